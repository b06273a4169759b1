#pragma once
// Printing on a printer device context: the print dialog, the job on a thread
// of its own (the menu) or on the calling thread (the command line), and the
// GDI side of the page loop.
#include <windows.h>

#include "app/command_line.h"
#include "print/print_job.h"
#include "view/render_settings.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace stx {

class EditorApp;

// Posted to the main window when the menu's print job ends.
constexpr UINT kPrintDoneMessage = WM_USER + 12;

// The print dialog's answer.
struct PrinterChoice {
    HDC dc = nullptr; // the printer's context; the job deletes it
    int copies = 1;
    bool selectionOnly = false; // "Selection" was chosen
};

// The print dialog (returning a device context, collated copies). Nothing when
// cancelled or when no printer can be had; then the thread's last error says
// which: 0 after Cancel, a system error code when the dialog failed (no
// printer installed gives ERROR_PRINTER_NOT_FOUND).
std::optional<PrinterChoice> ShowPrintDialog(HWND owner);

// What printing needs from the editor, copied on the user-interface thread
// before the job starts, so the job never reads what the user goes on editing.
struct PrintRequest {
    PrinterChoice printer;
    PrintMode mode = PrintMode::Plain;
    std::string text;
    RenderSettings settings;
    HBRUSH tile = nullptr; // the background's tile brush, the job's own (deleted at the end)
};

// The text to print: the selection when the user chose "Selection" and there
// is one, otherwise the whole document, both as the text view gives them.
std::string TextToPrint(HWND view, bool selectionOnly);

// A tile brush of the job's own for a tiled bitmap background (the chosen
// image, or the built-in pattern); null for the other backgrounds.
HBRUSH TileBrushFor(HINSTANCE instance, const RenderSettings& settings);

// The document and page calls of a job. The spooler's own by default; tests
// print on a memory context and look at every page as it ends.
struct PageCalls {
    using Call = bool (*)(HDC dc, void* context);
    Call startDoc = nullptr;
    Call startPage = nullptr;
    Call endPage = nullptr;
    Call endDoc = nullptr;
    void* context = nullptr; // passed to every call
};
PageCalls SpoolerCalls();

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Completed;
    DWORD error = 0; // the failed call's last error
};

// Prints the request's text on its device context and deletes the context:
// pages of 1/100 inch, the editor font, copies page by page, in 3D one pass per
// plane over the background. Stops at the next character once `printing` is
// cleared. The request's tile brush is deleted too.
PrintResult PrintOnDc(PrintRequest& request, const std::atomic<bool>& printing,
                      const PageCalls& calls = SpoolerCalls());

// The menu's print job: one at a time, on a thread of its own. When the job
// ends, doneMessage is posted to the notify window with the PrintOutcome as
// wParam and the failed call's error code as lParam.
class PrintRunner {
  public:
    PrintRunner() = default;
    ~PrintRunner(); // aborts a running job and waits for its thread
    PrintRunner(const PrintRunner&) = delete;
    PrintRunner& operator=(const PrintRunner&) = delete;

    // A job runs, or its thread has not ended yet.
    bool Busy() const;
    // A job runs and has not been told to stop.
    bool Printing() const { return *printing_; }
    // Takes the request; false, with the last error set, when no thread could
    // be started (the request's context and brush are then deleted).
    bool Start(std::unique_ptr<PrintRequest> request, HWND notify, UINT doneMessage,
               const PageCalls& calls = SpoolerCalls());
    // Esc and closing the window: the job stops at its next character.
    void Abort() { *printing_ = false; }
    // Waits for the thread to end; false on timeout.
    bool Wait(DWORD timeoutMs);

  private:
    struct Job;
    static DWORD WINAPI ThreadMain(void* param);

    // Shared with the thread, which may outlive a runner that gave up waiting.
    std::shared_ptr<std::atomic<bool>> printing_ = std::make_shared<std::atomic<bool>>(false);
    HANDLE thread_ = nullptr;
};

// Print text (1011) and Print 3D text (1012): nothing while a job runs or for
// an empty document; otherwise the print dialog, then the job on its own thread
// with its own copy of the text (the selection when the user chose it) and of
// the settings.
void PrintCommand(EditorApp& app, int command);
// kPrintDoneMessage: the notice of a completed job, or the error report of a
// failed one (an aborted job has had its notice already).
void PrintFinished(EditorApp& app, WPARAM outcome, LPARAM error);
// Esc (1510): stops a running print job with the abort notice; without one it
// closes the window.
void EscapeCommand(EditorApp& app, int command);

// The command-line print path: reads the file, asks for the printer and prints
// with the built-in settings. Returns the process exit code: 0 when printed,
// for an empty file and when the user cancelled; 1 after a reported failure
// (the file, no printer, a failed printer call).
int PrintFromCommandLine(const CommandLine& commandLine);

} // namespace stx
