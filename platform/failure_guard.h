#pragma once
// The edge between the system and the program's handlers: no exception may
// leave a window procedure, dialog procedure, callback or thread. A handler
// that runs out of memory (or finds a text too large for a std::string on the
// 32-bit build) is stopped there and the user is told; the handlers allocate
// before they change anything, so the text and its flags stay as they were.
#include <windows.h>

#include <new>
#include <stdexcept>

#include "text/text_buffer.h"

namespace stx {

enum class Failure : unsigned char { OutOfMemory, TooLarge };

// A box, captioned "Stratext", in the language of the window's editor. While one
// such box is up, further failures are not reported again.
void ReportFailure(HWND window, Failure failure);
// A text operation that did not happen: reported unless it succeeded; true for Ok.
bool ReportTextStatus(HWND window, TextStatus status);

// Runs body; true when it returned normally. On an exception the failure is
// reported and false returned. A paint that fails validates the window first,
// so it does not come back at once.
template <typename Body> bool GuardWindowMessage(HWND window, UINT msg, Body&& body) {
    Failure failure;
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        failure = Failure::OutOfMemory;
    } catch (const std::length_error&) {
        failure = Failure::TooLarge;
    } catch (...) {
        failure = Failure::OutOfMemory;
    }
    if (msg == WM_PAINT) ValidateRect(window, nullptr);
    ReportFailure(window, failure);
    return false;
}

// A dialog procedure around Handler, with the same guard.
template <INT_PTR (*Handler)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    GuardWindowMessage(dialog, msg, [&] { result = Handler(dialog, msg, wParam, lParam); });
    return result;
}

} // namespace stx
