#pragma once
// Dir to HTML (5010): the dialog that writes the HTML index of a directory tree.
#include "platform/editor_app.h"

namespace stx {

// The page colours are kept in app.indexColours for the run; the status bar
// shows the directory being indexed.
void HtmlIndexCommand(EditorApp& app, int command);

} // namespace stx
