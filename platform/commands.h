#pragma once
// The main window's commands: every number a menu item, toolbar button,
// accelerator or the view's popup menu sends, with the handler that does it.
#include "platform/editor_app.h"

namespace stx {

using CommandHandler = void (*)(EditorApp& app, int command);

// The handler of a command number, or null when the program has none.
CommandHandler FindCommandHandler(int command);
// Runs the command; false when it is none of the program's.
bool RunCommand(EditorApp& app, int command);

} // namespace stx
