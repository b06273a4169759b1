#include "app/ui_texts.h"

namespace stx {

const BilingualText* ToolbarTooltipFor(int command) {
    for (const CommandText& entry : kToolbarTooltips)
        if (entry.command == command) return &entry.text;
    return nullptr;
}

const BilingualText& OpenFailureNotice(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::TooLarge:
        return kDocumentTooLargeNotice;
    case OpenFailure::ShortRead:
        return kDocumentShortReadNotice;
    case OpenFailure::OutOfMemory:
        return kDocumentNoMemoryNotice;
    case OpenFailure::CannotOpen:
        break;
    }
    return kErrorOpeningFile;
}

} // namespace stx
