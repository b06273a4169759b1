#pragma once
// The main window's menu bar: the menu of the UI language in force, its check
// marks, and the NTFS stream popup kept across language switches.
#include "platform/editor_app.h"

namespace stx {

// Loads and attaches the menu of the current UI language, keeping the NTFS
// stream popup, and sets its check marks from the settings in force.
void ApplyLanguage(EditorApp& app);
// Sets every check mark of the menu from the settings in force.
void ApplyMenuChecks(EditorApp& app);
// One check mark (a command that no menu holds is left alone).
void CheckCommand(EditorApp& app, int command, bool checked);

} // namespace stx
