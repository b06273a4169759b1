#pragma once
// The text view: the child window that shows and edits the document and
// answers the edit-control messages the rest of the program drives it with.
// Its drawing state lives with the window; the document is its editor's.
#include <windows.h>

#include <string>

#include "platform/editor_app.h"

namespace stx {

extern const char kTextViewClass[];

// Posted to the main window after a file was dropped on the view.
constexpr UINT kDroppedFileMessage = WM_USER + 10;
// Sent to the view when the background settings changed: it loads them again.
constexpr UINT kBackgroundChangedMessage = WM_USER + 11;

bool RegisterTextViewClass(HINSTANCE instance);
// The view of the editor's main window, below the toolbar.
HWND CreateTextView(EditorApp& app, int width, int height);

// After the document was replaced or changed from outside the view (open):
// scroll ranges, caret placement and a full repaint.
void RefreshView(EditorApp& app);
// After a render setting changed: plane tables, geometry, repaint.
void ViewSettingsChanged(EditorApp& app);
// After the editor font changed: character widths, line height, layout.
void ViewFontChanged(EditorApp& app);
// Background: the built-in pattern, the image file named in the settings, or
// the colour; false when an image file could not be used (the pattern shows,
// the settings keep the image).
bool ApplyBackground(EditorApp& app);
// One tick of the caret timer.
void CaretTick(EditorApp& app);
// Pauses the caret animation (program inactive) or resumes it.
void PauseCaret(EditorApp& app, bool paused);
// The name of the file dropped last.
std::string DroppedFileName(EditorApp& app);

} // namespace stx
