#include "platform/ui_text.h"

namespace stx {

namespace {

constexpr UINT kUiCodePage = 1250;

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

std::wstring WideUiText(std::string_view text) {
    return Widen(kUiCodePage, text);
}

std::wstring WideSystemText(std::string_view text) {
    return Widen(CP_ACP, text);
}

bool NarrowSystemText(std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr,
                                           0, nullptr, &lossy);
    if (length <= 0 || lossy) return false;
    out.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), length,
                        nullptr, &lossy);
    return !lossy;
}

int ShowUiMessage(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    return ShowUiMessage(owner, WideUiText(text), caption, type);
}

int ShowUiMessage(HWND owner, const std::wstring& text, std::string_view caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), WideUiText(caption).c_str(), type);
}

BOOL SetUiWindowText(HWND window, std::string_view text) {
    return SetWindowTextW(window, WideUiText(text).c_str());
}

BOOL SetUiDlgItemText(HWND dialog, int item, std::string_view text) {
    return SetDlgItemTextW(dialog, item, WideUiText(text).c_str());
}

BOOL AppendUiMenuItem(HMENU menu, UINT flags, UINT_PTR command, std::string_view text) {
    return AppendMenuW(menu, flags, command, WideUiText(text).c_str());
}

} // namespace stx
