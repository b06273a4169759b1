#include "platform/clipboard.h"

#include <windows.h>

#include <cstring>

namespace stx {

bool PutClipboardText(std::string_view text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool ok = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1)) {
        if (auto* bytes = static_cast<char*>(GlobalLock(block))) {
            std::memcpy(bytes, text.data(), text.size());
            bytes[text.size()] = '\0';
            GlobalUnlock(block);
            // From here on the clipboard owns the block.
            ok = SetClipboardData(CF_OEMTEXT, block) != nullptr;
        }
        if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}

std::optional<std::string> GetClipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_OEMTEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            // Another program's block need not be terminated: stay within it.
            size_t size = GlobalSize(data);
            text.emplace(bytes, strnlen(bytes, size));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace stx
