#pragma once
// The common reaction to a failed Windows call: a box with what is known about
// the thread's last error and the system's own text for it.
#include <windows.h>

#include <string>

namespace stx {

// The error catalogue's details of a code (names, severity, facility, message);
// empty while the code has no catalogue record.
std::string ErrorCatalogueDetails(DWORD code);

// What Windows says about a code (FormatMessageA, language 3, then 0). When it
// has nothing, the system's text for the error the formatting left instead.
std::string SystemMessageText(DWORD code);

// The text of the last-error box: the catalogue details (for a code without a
// record, the line "Error Code: XXXXXXXX (n)"), a blank line, "System returns: "
// and the system's text.
std::string ErrorReportText(DWORD code);

// Shows ErrorReportText of GetLastError() in a box captioned "Big fucking
// error", owned by `owner` (the main window) when that runs on the calling
// thread; nothing when the last error is 0. The last error is left as it was,
// so the caller may still read it.
void ReportLastError(HWND owner = nullptr);

} // namespace stx
