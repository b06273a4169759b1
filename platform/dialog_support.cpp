#include "platform/dialog_support.h"

#include <vector>

namespace stx {

std::string DialogItemText(HWND dialog, int id, int maxLength) {
    std::vector<char> text(static_cast<size_t>(maxLength) + 1);
    const int n = GetDlgItemTextA(dialog, id, text.data(), maxLength + 1);
    return std::string(text.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

bool DialogItemChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

} // namespace stx
