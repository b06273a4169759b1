#include "platform/failure_guard.h"

#include "app/ui_texts.h"
#include "platform/editor_app.h"
#include "platform/ui_text.h"

namespace stx {

void ReportFailure(HWND window, Failure failure) {
    static bool reporting = false;
    if (reporting) return;
    reporting = true;
    const EditorApp* app = AppOf(window);
    const UiLanguage language = app ? app->Language() : UiLanguage::English;
    const BilingualText& text = failure == Failure::TooLarge ? kTextTooLarge : kNotEnoughMemory;
    HWND owner = window ? GetAncestor(window, GA_ROOT) : nullptr;
    ShowUiMessage(owner, ChooseText(language, text), kProductName, MB_OK | MB_ICONERROR);
    reporting = false;
}

bool ReportTextStatus(HWND window, TextStatus status) {
    switch (status) {
    case TextStatus::Ok:
        return true;
    case TextStatus::TooLarge:
        ReportFailure(window, Failure::TooLarge);
        return false;
    case TextStatus::OutOfMemory:
    case TextStatus::BadArgument:
    case TextStatus::ReadFailed: // only an open reads a file, and it says so itself
        break;
    }
    ReportFailure(window, Failure::OutOfMemory);
    return false;
}

} // namespace stx
