#include "platform/report_error.h"

#include <cstdio>

namespace stx {

namespace {

// Windows' message buffer: longer texts are cut by FormatMessageA itself.
constexpr DWORD kSystemTextCapacity = 1000;
// Language 3 first, then whatever the system picks.
constexpr DWORD kFirstLanguage = 3;

// Inserts are ignored: without an argument list a message with "%1" in it
// would otherwise fail or read arguments that are not there.
constexpr DWORD kFormatFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

bool FormatSystemText(DWORD code, std::string& text) {
    char buffer[kSystemTextCapacity];
    for (DWORD language : {kFirstLanguage, DWORD{0}}) {
        DWORD length =
            FormatMessageA(kFormatFlags, nullptr, code, language, buffer, sizeof buffer, nullptr);
        if (length > 0 && length < sizeof buffer) {
            text.assign(buffer, length);
            return true;
        }
    }
    return false;
}

std::string CodeLine(DWORD code) {
    char line[48];
    std::snprintf(line, sizeof line, "Error Code: %08lX (%lu)", static_cast<unsigned long>(code),
                  static_cast<unsigned long>(code));
    return line;
}

} // namespace

std::string ErrorCatalogueDetails(DWORD) {
    return {};
}

std::string SystemMessageText(DWORD code) {
    std::string text;
    if (FormatSystemText(code, text)) return text;
    // No text for the code: say why, in the system's words.
    const DWORD formatError = GetLastError();
    if (formatError != 0 && FormatSystemText(formatError, text)) return text;
    return {};
}

std::string ErrorReportText(DWORD code) {
    std::string text = ErrorCatalogueDetails(code);
    if (text.empty()) text = CodeLine(code);
    text += "\r\n\r\nSystem returns: ";
    text += SystemMessageText(code);
    return text;
}

void ReportLastError(HWND owner) {
    const DWORD code = GetLastError();
    if (code == 0) return;
    const std::string text = ErrorReportText(code);
    // A box owned by another thread's window would tie the two threads' input
    // together; a caller off the window's thread gets a box of its own.
    if (owner &&
        (!IsWindow(owner) || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()))
        owner = nullptr;
    MessageBoxA(owner, text.c_str(), "Big fucking error", MB_OK);
    SetLastError(code);
}

} // namespace stx
