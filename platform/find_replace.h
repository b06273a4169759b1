#pragma once
// Find, Find next, Replace and Go to line in the window: their dialogs, and
// the text view driven through its edit-control messages.
#include <windows.h>

#include <cstdint>

#include "app/ui_language.h"
#include "search/find_replace.h"

namespace stx {

class TextBuffer;

// The text view as find and replace drive it, through its messages.
class ViewSearchTarget final : public SearchTarget {
  public:
    ViewSearchTarget(HWND view, UiLanguage language) : view_(view), language_(language) {}
    // The window that owns the not-found box (the Replace dialog).
    void SetReportOwner(HWND owner) { reportOwner_ = owner; }

    int64_t Find(uint32_t start, std::string_view text, uint32_t flags) override;
    void GetSelection(uint32_t& start, uint32_t& end) override;
    void Select(uint32_t start, uint32_t end) override;
    void ScrollCaret() override;
    bool ReplaceSelection(std::string_view text) override;
    void ReportNotFound() override;

  private:
    HWND view_;
    UiLanguage language_;
    HWND reportOwner_ = nullptr;
};

// Find (1202): the dialog; OK searches from the selection start.
void FindCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory);
// Find next (1203); Find when there is nothing to look for yet.
void FindNextCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory);
// Replace (1211): the dialog, then the number of replacements when there were any.
void ReplaceCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory);
// Go to line (1204): the prompt shows the caret's line.
void GoToLineCommand(HWND owner, HWND view, UiLanguage language, const TextBuffer& buffer,
                     uint32_t caretLine);

} // namespace stx
