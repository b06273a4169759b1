#pragma once
// The background colour chosen by the user (the Color command and the view's
// EM_SETBKGNDCOLOR): the setting, its stored values, the menu marks and the
// repaint.
#include <windows.h>

#include "platform/editor_app.h"

namespace stx {

void SetBackgroundColour(EditorApp& app, COLORREF colour);

} // namespace stx
