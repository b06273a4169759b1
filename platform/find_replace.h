#pragma once
// Find, Find next, Replace and Go to line in the window: their dialogs, and
// the text view driven through its edit-control messages.
#include <windows.h>

#include <cstdint>

#include "app/ui_language.h"
#include "platform/editor_app.h"
#include "search/find_replace.h"

namespace stx {

// The text view as find and replace drive it, through its messages.
class ViewSearchTarget final : public SearchTarget {
  public:
    ViewSearchTarget(HWND view, UiLanguage language) : view_(view), language_(language) {}
    // The window that owns the not-found box (the Replace dialog).
    void SetReportOwner(HWND owner) { reportOwner_ = owner; }

    std::optional<uint32_t> Find(uint32_t start, std::string_view text, uint32_t flags) override;
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

// Find (1202), Find next (1203), Go to line (1204) and Replace (1211); the
// keyboard focus goes back to the view afterwards.
void SearchCommand(EditorApp& app, int command);

} // namespace stx
