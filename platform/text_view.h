#pragma once
// The text view: the child window that shows and edits the document and
// answers the edit-control messages the rest of the program drives it with.
#include <windows.h>

#include <cstdint>
#include <string>

namespace stx {

class TextEditor;

extern const char kTextViewClass[];

// Posted to the main window after a file was dropped on the view.
constexpr UINT kDroppedFileMessage = WM_USER + 10;

bool RegisterTextViewClass(HINSTANCE instance);
// Unregisters the class and releases the view's GDI objects.
void UnregisterTextViewClass(HINSTANCE instance);
LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The document the view shows, with its caret and selection.
TextEditor& ViewEditor();
// After the document was replaced or changed from outside the view (open):
// scroll ranges, caret placement and a full repaint.
void RefreshView();
// After a render setting changed: plane tables, geometry, repaint.
void ViewSettingsChanged();
// After the editor font changed: character widths, line height, layout.
void ViewFontChanged();
// Background: the built-in pattern, the image file named in the settings, or
// the colour; false when an image file could not be used (the pattern stays).
bool ApplyBackground();
HBRUSH BackgroundBrush();
// One tick of the caret timer.
void CaretTick();
// Pauses the caret animation (program inactive) or resumes it.
void PauseCaret(bool paused);
// The name of the file dropped last.
const std::string& DroppedFileName();
// Shows line, column and the number under the caret in the status bar.
void UpdateViewStatus();

} // namespace stx
