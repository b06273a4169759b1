#pragma once
// Find and replace driving an editor directly: the view's side of the
// searching without a window around it.
#include "search/find_replace.h"

namespace stx {

class TextEditor;

class EditorSearchTarget : public SearchTarget {
  public:
    explicit EditorSearchTarget(TextEditor& editor) : editor_(editor) {}
    std::optional<uint32_t> Find(uint32_t start, std::string_view text, uint32_t flags) override;
    void GetSelection(uint32_t& start, uint32_t& end) override;
    void Select(uint32_t start, uint32_t end) override;
    void ScrollCaret() override;
    bool ReplaceSelection(std::string_view text) override;
    void ReportNotFound() override {}

  protected:
    TextEditor& editor_;
};

} // namespace stx
