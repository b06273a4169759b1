#pragma once
// Dir to HTML (5010): the dialog that writes the HTML index of a directory tree.
#include <windows.h>

#include "app/ui_language.h"

namespace stx {

class StatusBar;

// The page colours, kept for the run of the program.
struct HtmlIndexColours {
    COLORREF text = RGB(0xFF, 0xFF, 0xFF);
    COLORREF background = RGB(0, 0, 0);
    COLORREF link = RGB(0xC0, 0xFF, 0xFF);
};

// customColours: the 16 custom colours the program's colour choices share.
// status (may be null) shows the directory being indexed.
void HtmlIndexCommand(HWND owner, UiLanguage language, HtmlIndexColours& colours,
                      COLORREF* customColours, StatusBar* status);

} // namespace stx
