#include "app/ui_texts.h"

namespace stx {

const BilingualText* ToolbarTooltipFor(int command) {
    for (const CommandText& entry : kToolbarTooltips)
        if (entry.command == command) return &entry.text;
    return nullptr;
}

} // namespace stx
