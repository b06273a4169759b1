#pragma once
// The common reaction to a failed Windows call: a box with the catalogue's
// details of the thread's last error and the system's own text for it.
#include <windows.h>

#include <string>

namespace stx {

// What Windows says about a code, searching the message table of the named
// module first when a name is given. A module that cannot be loaded is
// described instead of the code (its load error); when Windows has no text,
// the text of the error the formatting left.
std::string SystemMessageText(DWORD code, const std::string& moduleName = {});

// The details followed by a blank line, "System returns: " and the system's
// text for the code (from the module's message table first, when one is named).
std::string WithSystemText(std::string details, DWORD code, const std::string& moduleName = {});

// The text of the last-error box: the catalogue details of the code (for a
// code without a record, the line "Error Code: XXXXXXXX (n)"), a blank line,
// "System returns: " and the system's text.
std::string ErrorReportText(DWORD code);

// Shows ErrorReportText of GetLastError() in a box captioned "Big fucking
// error", owned by `owner` (the main window) when that runs on the calling
// thread; nothing when the last error is 0. The last error is left as it was,
// so the caller may still read it.
void ReportLastError(HWND owner = nullptr);

} // namespace stx
