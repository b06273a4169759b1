#pragma once
// Opening and saving the document on disk, the file dialogs and the save
// question: the window side of files/document_path.h, and the document
// commands of the File and Edit menus.
#include <string>

#include "files/document_path.h"
#include "platform/editor_app.h"

namespace stx {

// Loads the named file into the editor: the document takes its full path
// with the name as the file system stores it, the title follows and the
// modified flag is cleared. On failure the error is shown, the status bar says
// why, and the text, its name and its modified flag stay as they were.
bool OpenDocument(EditorApp& app, const std::string& name);

// The window title: the product name with the document's path, or the
// untitled title in the UI language.
void ShowDocumentTitle(EditorApp& app);

// Save (1002) and Save As (1003).
SaveResult SaveCurrentDocument(EditorApp& app);
SaveResult SaveCurrentDocumentAs(EditorApp& app);
// The save question before an action that would lose the text (New, the
// templates, Open, a dropped file, closing, compiling, switching streams).
// False when the action must stop: Cancel, or Yes with a save that failed or a
// Save As that was cancelled.
bool AskToSaveBeforeReplacing(EditorApp& app);
// A file dropped on the view: the save question, then OpenDocument. True when
// the dropped file was opened.
bool OpenDroppedFile(EditorApp& app, const std::string& path);

// ---- Commands ----------------------------------------------------------------
// New (1000) and the templates (1050, 1051).
void NewDocumentCommand(EditorApp& app, int command);
// Open (1001): the save question, the open dialog, OpenDocument.
void OpenCommand(EditorApp& app, int command);
void SaveCommand(EditorApp& app, int command);
void SaveAsCommand(EditorApp& app, int command);
// Copy to (1201): the selection, or the whole text without one, to a file.
void CopyToCommand(EditorApp& app, int command);

} // namespace stx
