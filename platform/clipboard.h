#pragma once
// The clipboard in the one format the editor exchanges: CF_OEMTEXT, a
// zero-terminated byte string with CR LF line breaks.
#include <optional>
#include <string>
#include <string_view>

namespace stx {

// Replaces the clipboard's contents by the text; false when the clipboard
// could not be opened or the memory could not be had.
bool PutClipboardText(std::string_view text);

// The clipboard's text up to its terminating zero; nothing when the
// clipboard cannot be opened or holds no text.
std::optional<std::string> GetClipboardText();

} // namespace stx
