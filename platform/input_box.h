#pragma once
// The one-line text prompt shared by the number prompts, go to line, the
// stream name and the index descriptions.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace stx {

struct InputBoxRequest {
    int templateId = 763;           // English template; the Romanian one is templateId + 1
    bool english = true;            // false picks the Romanian template
    const char* prompt = nullptr;   // replaces the template's static text when given
    std::optional<uint32_t> number; // shown in decimal in the edit field when given
    const char* caption = nullptr;  // replaces the template's caption when given
    const char* text = nullptr;     // shown selected in the edit field when given
    int limit = 254;                // characters the edit field takes
};

// Shows the box modally; returns the typed text (at most `limit` characters)
// on OK and nothing on Cancel.
std::optional<std::string> InputBox(HWND owner, const InputBoxRequest& request);

} // namespace stx
