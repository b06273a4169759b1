#include "search/find_replace.h"

#include <limits>

#include "files/number.h"
#include "search/match_text.h"
#include "text/text_buffer.h"

namespace stx {

namespace {

constexpr uint32_t kEndOfText = std::numeric_limits<uint32_t>::max();

void SelectMatch(SearchTarget& target, uint32_t start, size_t length) {
    target.Select(start, static_cast<uint32_t>(start + length));
    target.ScrollCaret();
}

} // namespace

std::string SearchFieldText(std::string_view field) {
    return std::string(field.substr(0, kMaxSearchText));
}

bool FindForward(SearchTarget& target, uint32_t start, std::string_view text, uint32_t flags) {
    std::optional<uint32_t> at = target.Find(start, text, flags);
    if (!at) at = target.Find(0, text, flags);
    if (!at) {
        target.Select(kEndOfText, kEndOfText);
        target.ScrollCaret();
        return false;
    }
    SelectMatch(target, *at, text.size());
    return true;
}

uint32_t FindNextStart(SearchTarget& target) {
    uint32_t start, end;
    target.GetSelection(start, end);
    return start != end ? start + 1 : start;
}

bool FindFromDialog(SearchTarget& target, const SearchMemory& memory) {
    uint32_t start, end;
    target.GetSelection(start, end);
    return FindForward(target, start, memory.searchText, memory.flags);
}

bool FindNext(SearchTarget& target, const SearchMemory& memory) {
    if (memory.searchText.empty()) return false;
    FindForward(target, FindNextStart(target), memory.searchText, memory.flags);
    return true;
}

void ReplaceSession::SetOption(uint32_t flag, bool on) {
    memory_.flags = on ? memory_.flags | flag : memory_.flags & ~flag;
}

bool ReplaceSession::FindFrom(uint32_t start, bool report) {
    const std::optional<uint32_t> at = target_.Find(start, memory_.searchText, memory_.flags);
    if (at) {
        SelectMatch(target_, *at, memory_.searchText.size());
        return true;
    }
    if (report) {
        // The next search starts again at the top.
        target_.ReportNotFound();
        target_.Select(0, 0);
        target_.ScrollCaret();
    }
    return false;
}

bool ReplaceSession::FindFromSelection(bool report) {
    uint32_t start, end;
    target_.GetSelection(start, end);
    return FindFrom(start, report);
}

bool ReplaceSession::FindNext(std::string_view searchField) {
    memory_.searchText = SearchFieldText(searchField);
    if (memory_.searchText.empty()) return false;
    if (count_ < 0) {
        if (!FindFromSelection(true)) return false;
        count_ = 0;
        return true;
    }
    return FindFrom(FindNextStart(target_), true);
}

bool ReplaceSession::ReplaceCurrent() {
    if (!target_.ReplaceSelection(memory_.replaceText)) return false;
    if (count_ < std::numeric_limits<int32_t>::max()) ++count_;
    return true;
}

bool ReplaceSession::FirstButton(std::string_view searchField, std::string_view replaceField) {
    if (count_ < 0) return FindNext(searchField);
    memory_.searchText = SearchFieldText(searchField);
    memory_.replaceText = SearchFieldText(replaceField);
    if (memory_.searchText.empty()) return false;
    if (!FindFromSelection(true)) return false;
    if (!ReplaceCurrent()) return false;
    FindFromSelection(false);
    return true;
}

bool ReplaceSession::ReplaceAll(std::string_view searchField, std::string_view replaceField) {
    memory_.searchText = SearchFieldText(searchField);
    memory_.replaceText = SearchFieldText(replaceField);
    if (memory_.searchText.empty()) return false;
    // Each search starts behind the text just inserted, where the caret is,
    // so a replacement that contains the search text is not replaced again.
    // Nothing is drawn before the loop ends, so the view scrolls once.
    uint32_t start, end;
    target_.GetSelection(start, end);
    std::optional<uint32_t> at;
    while ((at = target_.Find(start, memory_.searchText, memory_.flags))) {
        if (count_ < 0) count_ = 0;
        const uint32_t from = *at;
        target_.Select(from, static_cast<uint32_t>(from + memory_.searchText.size()));
        if (!ReplaceCurrent()) break;
        start = static_cast<uint32_t>(from + memory_.replaceText.size());
    }
    target_.ScrollCaret();
    return true;
}

void ReplaceSession::Close(std::string_view searchField, std::string_view replaceField) {
    memory_.searchText = SearchFieldText(searchField);
    memory_.replaceText = SearchFieldText(replaceField);
}

uint32_t LineJumpOffset(const TextBuffer& buffer, uint32_t line) {
    if (line == 0) line = 1;
    const uint32_t start = buffer.LineStartOffset(line);
    if (line > buffer.LineCount()) return start;
    struct Blanks {
        uint32_t count = 0;
        static bool Visit(void* self, const char* bytes, size_t size) {
            auto& blanks = *static_cast<Blanks*>(self);
            for (size_t i = 0; i < size; ++i) {
                if (bytes[i] != '\t' && bytes[i] != ' ' && bytes[i] != '\0') return false;
                ++blanks.count;
            }
            return true;
        }
    } blanks;
    buffer.VisitPieces(start, &Blanks::Visit, &blanks);
    return start + blanks.count;
}

void GoToLine(SearchTarget& target, const TextBuffer& buffer, std::string_view typed) {
    const size_t first = typed.find_first_not_of(" \t");
    const std::string_view token =
        NumberToken(first == std::string_view::npos ? std::string_view() : typed.substr(first));
    const uint32_t offset = LineJumpOffset(buffer, ParseNumber(token).value);
    target.Select(offset, offset);
    target.ScrollCaret();
}

} // namespace stx
