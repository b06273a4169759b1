// The statement keywords of build scripts and the longest-match lookup that
// recognises them without a delimiter ("cd..", "echo.").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace stx {

// Statement codes; several keywords share one.
enum class KeywordCode : std::uint8_t {
    None = 0,
    If = 1,
    Not = 2,
    Exist = 3,
    ErrorLevel = 4,
    Go = 5,
    To = 6,
    Jump = 7,
    Message = 8,
    Else = 9,
    ChangeDirectory = 10,
    MakeDirectory = 11,
    Delete = 12,
    Section = 20,
    ElseIf = 21,
    Hide = 22,
    GetTemp = 23,
    View = 24,
    Run = 25,
    Abort = 26,
};

struct KeywordMatch {
    KeywordCode code = KeywordCode::None;
    // Where the text goes on: behind the keyword and the spaces and TABs
    // after it; the start itself when nothing matched.
    std::size_t next = 0;
};

// The keyword that `text` begins with at `pos`. ASCII letters of the text are
// compared in lower case, anything else as it is; of several matches the
// longest wins ("deltree" over "del", "elseif" over "else").
KeywordMatch LookupKeyword(std::string_view text, std::size_t pos);

} // namespace stx
