#pragma once
// Opening and saving the document on disk, the file dialogs and the save
// question: the window side of files/document_path.h, and the entry points of
// the document commands.
#include <optional>
#include <string>

#include "files/document_path.h"

namespace stx {

// Loads the named file into the view's editor: the document takes its full
// path with the name as the file system stores it, the title follows and the
// modified flag is cleared. On failure the error is shown, the status bar says
// why, and the text, its name and its modified flag stay as they were.
bool OpenDocument(const std::string& name);

// The open dialog: the chosen name, or nothing when cancelled.
std::optional<std::string> AskOpenName();

// The dialogs, the question box and the save proper, as the save rules use them.
DocumentUi& WindowDocumentUi();

// ---- Commands ----------------------------------------------------------------
// Each returns what happened, so the caller knows whether to rebuild the stream
// list (a document was opened) or to go on (the question was not cancelled).

// Open (1001): the save question, the open dialog, OpenDocument. True when a
// document was opened.
bool CommandOpen();
// Save (1002) and Save As (1003).
SaveResult CommandSave();
SaveResult CommandSaveAs();
// The save question before an action that would lose the text (New, the
// templates, Open, a dropped file, closing, compiling, switching streams).
// False when the action must stop: Cancel, or Yes with a save that failed or a
// Save As that was cancelled.
bool AskToSaveBeforeReplacing();
// A file dropped on the view: the save question, then OpenDocument. True when
// the dropped file was opened.
bool OpenDroppedFile(const std::string& path);

} // namespace stx
