#pragma once
// The text window (template 765): a RichEdit 1.0 control showing a text, and
// an OK button. The help commands show their texts in it and build scripts
// show files in it.
#include <windows.h>

#include <string_view>

namespace stx {

// Shows the text modally, owned by `owner`. Caption and text are in the
// system's code page (file contents, or plain-letter program texts). A
// read-only window keeps the user from typing into it; in the other nothing
// typed is kept either. False when the window could not be shown (the rich
// edit library or the template missing); the last error says why.
bool ShowTextWindow(HWND owner, std::string_view caption, std::string_view text, bool readOnly);

} // namespace stx
