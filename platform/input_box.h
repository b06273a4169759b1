#pragma once
// The one-line text prompt shared by the number prompts, go to line, the
// stream name and the index descriptions.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/command_ids.h"
#include "app/ui_language.h"

namespace stx {

struct InputBoxRequest {
    int templateId = IDD_INPUT_BOX; // the English template; the language picks its twin
    UiLanguage language = UiLanguage::English;
    const char* prompt = nullptr;   // a program text; replaces the template's static text
    std::optional<uint32_t> number; // shown in decimal in the edit field when given
    const char* caption = nullptr;  // a program text; replaces the template's caption
    const char* text = nullptr;     // shown selected in the edit field when given
    int limit = 254;                // characters the edit field takes
};

// Shows the box modally; returns the typed text (at most `limit` characters)
// on OK and nothing on Cancel.
std::optional<std::string> InputBox(HWND owner, const InputBoxRequest& request);

} // namespace stx
