#include "compile/keywords.h"

#include <array>

namespace stx {

namespace {

struct Keyword {
    KeywordCode code;
    std::string_view word; // lower case
};

// clang-format off
constexpr std::array<Keyword, 38> kKeywordTable{{
    {KeywordCode::If, "if"},
    {KeywordCode::Not, "not"},
    {KeywordCode::Exist, "exist"},
    {KeywordCode::ErrorLevel, "errorlevel"},
    {KeywordCode::Go, "go"},
    {KeywordCode::To, "to"},
    {KeywordCode::Jump, "jmp"}, {KeywordCode::Jump, "goto"}, {KeywordCode::Jump, "jump"},
    {KeywordCode::Message, "echo"}, {KeywordCode::Message, "message"},
    {KeywordCode::Message, "messagebox"},
    {KeywordCode::Else, "else"},
    {KeywordCode::ChangeDirectory, "cd"}, {KeywordCode::ChangeDirectory, "chdir"},
    {KeywordCode::MakeDirectory, "md"}, {KeywordCode::MakeDirectory, "mkdir"},
    {KeywordCode::Delete, "rd"}, {KeywordCode::Delete, "rmdir"}, {KeywordCode::Delete, "del"},
    {KeywordCode::Delete, "delete"}, {KeywordCode::Delete, "erase"},
    {KeywordCode::Delete, "deltree"},
    {KeywordCode::Section, "section"},
    {KeywordCode::ElseIf, "elseif"},
    {KeywordCode::Hide, "hide"}, {KeywordCode::Hide, "sw_hide"}, {KeywordCode::Hide, "hidden"},
    {KeywordCode::GetTemp, "gettemp"}, {KeywordCode::GetTemp, "gettemppath"},
    {KeywordCode::GetTemp, "gettmp"}, {KeywordCode::GetTemp, "gettemporaryfolder"},
    {KeywordCode::GetTemp, "get_temp"},
    {KeywordCode::View, "type"}, {KeywordCode::View, "view"},
    {KeywordCode::Run, "run"},
    {KeywordCode::Abort, "abort"}, {KeywordCode::Abort, "error"},
}};
// clang-format on

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWith(std::string_view text, std::size_t pos, std::string_view word) {
    if (text.size() - pos < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(text[pos + i]) != word[i]) return false;
    return true;
}

} // namespace

KeywordMatch LookupKeyword(std::string_view text, std::size_t pos) {
    KeywordMatch match{KeywordCode::None, pos};
    if (pos >= text.size()) return match;
    std::size_t best = 0;
    for (const Keyword& keyword : kKeywordTable) {
        if (keyword.word.size() > best && StartsWith(text, pos, keyword.word)) {
            best = keyword.word.size();
            match.code = keyword.code;
        }
    }
    if (best == 0) return match;
    std::size_t next = pos + best;
    while (next < text.size() && (text[next] == ' ' || text[next] == '\t'))
        ++next;
    match.next = next;
    return match;
}

} // namespace stx
