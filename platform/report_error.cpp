#include "platform/report_error.h"

#include "tools/error_catalogue.h"

namespace stx {

namespace {

// Windows' message buffer: longer texts make FormatMessageA fail.
constexpr DWORD kSystemTextCapacity = 1000;

// Language 0 lets Windows pick the user's language. Inserts are ignored:
// without an argument list a message with "%1" in it would otherwise fail or
// read arguments that are not there.
bool FormatSystemText(DWORD code, HMODULE module, std::string& text) {
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    char buffer[kSystemTextCapacity];
    const DWORD length = FormatMessageA(flags, module, code, 0, buffer, sizeof buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return false;
    text.append(buffer, length);
    return true;
}

} // namespace

std::string SystemMessageText(DWORD code, const std::string& moduleName) {
    HMODULE module = nullptr;
    if (!moduleName.empty()) {
        // Loaded as data: only its message table is read, none of its code runs.
        module = LoadLibraryExA(moduleName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) code = GetLastError();
    }
    std::string text;
    // A module without a message table fails the first call; the system's
    // table alone may still know the code.
    bool found =
        FormatSystemText(code, module, text) || (module && FormatSystemText(code, nullptr, text));
    const DWORD formatError = found ? 0 : GetLastError();
    if (module) FreeLibrary(module);
    // No text for the code: say why, in the system's words.
    if (!found && formatError != 0) FormatSystemText(formatError, nullptr, text);
    return text;
}

std::string WithSystemText(std::string details, DWORD code, const std::string& moduleName) {
    details += "\r\n\r\nSystem returns: ";
    details += SystemMessageText(code, moduleName);
    return details;
}

std::string ErrorReportText(DWORD code) {
    return WithSystemText(ErrorDetailsText(BuiltInErrorCatalog(), code), code);
}

void ReportLastError(HWND owner) {
    const DWORD code = GetLastError();
    if (code == 0) return;
    try {
        const std::string text = ErrorReportText(code);
        // A box owned by another thread's window would tie the two threads'
        // input together; a caller off the window's thread gets a box of its own.
        if (owner &&
            (!IsWindow(owner) || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()))
            owner = nullptr;
        MessageBoxA(owner, text.c_str(), "Big fucking error", MB_OK);
    } catch (...) {
        // Out of memory for the text: the caller goes on as after any report.
    }
    SetLastError(code);
}

} // namespace stx
