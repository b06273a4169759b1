#include "search/editor_search_target.h"

#include <limits>

#include "search/buffer_search.h"
#include "text/text_editor.h"

namespace stx {

std::optional<uint32_t> EditorSearchTarget::Find(uint32_t start, std::string_view text,
                                                 uint32_t flags) {
    return FindInBuffer(editor_.Buffer(), start, std::numeric_limits<uint32_t>::max(), text, flags);
}

void EditorSearchTarget::GetSelection(uint32_t& start, uint32_t& end) {
    editor_.GetSelectionRange(start, end);
}

void EditorSearchTarget::Select(uint32_t start, uint32_t end) {
    editor_.SetSelection(start, end);
}

void EditorSearchTarget::ScrollCaret() {
    editor_.ScrollCaretIntoView();
}

bool EditorSearchTarget::ReplaceSelection(std::string_view text) {
    return editor_.InsertText(text.data(), text.size()) == TextStatus::Ok;
}

} // namespace stx
