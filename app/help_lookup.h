// The bridge to the user's help file: the word the topic search looks up, and
// what the help options decide.
#pragma once

#include "text/text_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace stx {

// How much text around the caret the topic search reads: up to this many bytes
// before the caret and as many again from there on.
inline constexpr std::size_t kKeywordReach = 100;

// The word the topic search looks up. `text` is the text read around the caret,
// starting at most kKeywordReach bytes before it; `caret` is the caret's offset
// in it. The keyword is the identifier (letters, digits, "_") that reaches the
// caret or, with the caret between words, the next one after it; where no
// identifier follows, the last run of printable characters.
std::string HelpKeyword(std::string_view text, std::size_t caret);

// The keyword at a byte offset of the document (the caret, or the start of the selection).
std::string HelpKeywordAt(const TextBuffer& buffer, std::uint32_t caretOffset);

// The help options after OK in the custom help file dialog: the two check boxes
// replace their bits; whether help has been used is kept.
std::uint8_t HelpOptionsFromDialog(std::uint8_t options, bool closeOnExit, bool f1GoesToIndex);

// Whether ending the program closes the help viewer: asked for, and help used.
bool ClosesHelpOnExit(std::uint8_t options);

} // namespace stx
