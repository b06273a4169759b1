#include "platform/printing.h"

#include <cderr.h>
#include <commdlg.h>
#include <richedit.h>
#include <winspool.h>

#include "app/command_ids.h"
#include "platform/editor_app.h"
#include "platform/file_io.h"
#include "platform/gdi_surface.h"
#include "platform/report_error.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

namespace stx {

namespace {

constexpr int kUnitsPerInch = 100;

int Caps(HDC dc, int index) {
    return GetDeviceCaps(dc, index);
}
// A device that reports no resolution counts as 1 dot per inch, so nothing divides by 0.
int Dpi(HDC dc, int index) {
    const int dpi = Caps(dc, index);
    return dpi > 0 ? dpi : 1;
}

// 1/100 inch per logical unit on both axes, x to the right and y down from the
// top-left corner of the printable area.
void MapPage(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, kUnitsPerInch, kUnitsPerInch, nullptr);
    SetViewportExtEx(dc, Dpi(dc, LOGPIXELSX), Dpi(dc, LOGPIXELSY), nullptr);
}

int ToUnits(int dots, int dpi) {
    return static_cast<int>(static_cast<long long>(dots) * kUnitsPerInch / dpi);
}

DWORD FailureCode() {
    const DWORD code = GetLastError();
    return code ? code : ERROR_GEN_FAILURE;
}

class GdiPrintDevice final : public PrintDevice {
  public:
    GdiPrintDevice(HDC dc, GdiObjects& objects, const EditorFont& font, const PageCalls& calls)
        : dc_(dc), surface_(dc, objects), font_(font), calls_(calls) {}

    bool StartPage() override {
        if (!calls_.startPage(dc_, calls_.context)) return Fail();
        // Some drivers reset the context at every page.
        MapPage(dc_);
        surface_.UseFont(font_);
        return true;
    }
    bool EndPage() override { return calls_.endPage(dc_, calls_.context) || Fail(); }
    Surface& Page() override { return surface_; }

    DWORD Error() const { return error_; }

  private:
    bool Fail() {
        error_ = FailureCode();
        return false;
    }

    HDC dc_;
    GdiSurface surface_;
    const EditorFont& font_;
    const PageCalls& calls_;
    DWORD error_ = 0;
};

PrintResult PrintPagesOnDc(PrintRequest& request, const std::atomic<bool>& printing,
                           const PageCalls& calls) {
    HDC dc = request.printer.dc;
    GdiObjects objects;
    objects.SetBackground(request.tile, nullptr);
    MapPage(dc);

    PrintJob job;
    job.text = request.text;
    job.mode = request.mode;
    job.copies = request.printer.copies;
    job.settings = request.settings;
    // The font is measured on the printer in the page's own units, so the
    // layout and the printed characters agree.
    std::uint8_t widths[256];
    int lineHeight = 0;
    MeasureFont(dc, request.settings.font, objects, widths, lineHeight);
    job.widths.Fill(widths);
    job.lineHeight = std::max(lineHeight, 1);
    const int dpiX = Dpi(dc, LOGPIXELSX);
    const int dpiY = Dpi(dc, LOGPIXELSY);
    job.pageWidth = ToUnits(Caps(dc, HORZRES), dpiX);
    job.pageBottom = ToUnits(Caps(dc, VERTRES), dpiY) - job.lineHeight;
    // The whole sheet, margins included, in page units; a device without
    // physical sizes (not a printer) is all printable area.
    const int sheetW = Caps(dc, PHYSICALWIDTH) > 0 ? Caps(dc, PHYSICALWIDTH) : Caps(dc, HORZRES);
    const int sheetH = Caps(dc, PHYSICALHEIGHT) > 0 ? Caps(dc, PHYSICALHEIGHT) : Caps(dc, VERTRES);
    const int offX = Caps(dc, PHYSICALOFFSETX);
    const int offY = Caps(dc, PHYSICALOFFSETY);
    job.sheet = {ToUnits(-offX, dpiX), ToUnits(-offY, dpiY), ToUnits(sheetW - offX, dpiX),
                 ToUnits(sheetH - offY, dpiY)};

    if (!calls.startDoc(dc, calls.context)) return {PrintOutcome::Failed, FailureCode()};
    PrintResult result;
    {
        GdiPrintDevice device(dc, objects, request.settings.font, calls);
        result.outcome = PrintPages(device, job, printing);
        result.error = device.Error();
    }
    calls.endDoc(dc, calls.context);
    return result;
}

bool SpoolStartDoc(HDC dc, void*) {
    DOCINFOA info{};
    info.cbSize = sizeof info;
    return StartDocA(dc, &info) > 0;
}
bool SpoolStartPage(HDC dc, void*) {
    return ::StartPage(dc) > 0;
}
bool SpoolEndPage(HDC dc, void*) {
    return ::EndPage(dc) > 0;
}
bool SpoolEndDoc(HDC dc, void*) {
    return ::EndDoc(dc) > 0;
}

// Whether any printer is installed: false only when the spooler says there is
// none; a spooler that cannot tell leaves the question to the print dialog.
bool PrinterInstalled() {
    DWORD needed = 0;
    DWORD count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    if (EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count)) return count > 0;
    return true;
}

} // namespace

PageCalls SpoolerCalls() {
    return PageCalls{SpoolStartDoc, SpoolStartPage, SpoolEndPage, SpoolEndDoc, nullptr};
}

std::optional<PrinterChoice> ShowPrintDialog(HWND owner) {
    // Without a printer the dialog could only be cancelled.
    if (!PrinterInstalled()) {
        SetLastError(ERROR_PRINTER_NOT_FOUND);
        return std::nullopt;
    }
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_COLLATE;
    dialog.nCopies = 1;
    const BOOL ok = PrintDlgA(&dialog);
    const DWORD failure = ok ? 0 : CommDlgExtendedError();
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!ok || !dialog.hDC) {
        if (dialog.hDC) DeleteDC(dialog.hDC);
        // The dialog's own codes are no system errors: say what they mean in
        // the system's terms, so the error box has something true to show.
        DWORD code = 0;
        if (failure == PDERR_NODEFAULTPRN || failure == PDERR_NODEVICES ||
            failure == PDERR_PRINTERNOTFOUND)
            code = ERROR_PRINTER_NOT_FOUND;
        else if (failure != 0 || ok)
            code = ERROR_GEN_FAILURE;
        SetLastError(code);
        return std::nullopt;
    }
    PrinterChoice choice;
    choice.dc = dialog.hDC;
    choice.copies = std::max<int>(dialog.nCopies, 1);
    choice.selectionOnly = (dialog.Flags & PD_SELECTION) != 0;
    return choice;
}

std::string TextToPrint(HWND view, bool selectionOnly) {
    std::string text;
    if (selectionOnly) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        if (end < start) std::swap(start, end);
        if (end > start) {
            text.resize(static_cast<std::size_t>(end - start) + 1);
            const LRESULT got =
                SendMessageA(view, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
            text.resize(std::min<std::size_t>(static_cast<std::size_t>(got), end - start));
            return text;
        }
    }
    const auto length = static_cast<std::size_t>(SendMessageA(view, WM_GETTEXTLENGTH, 0, 0));
    text.resize(length + 1);
    const LRESULT got =
        SendMessageA(view, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(got), length));
    return text;
}

HBRUSH TileBrushFor(HINSTANCE instance, const RenderSettings& settings) {
    if (settings.backgroundKind == BackgroundKind::Colour ||
        settings.imagePlacement != ImagePlacement::Tile)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (settings.backgroundKind == BackgroundKind::Image && !settings.imagePath.empty())
        bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, settings.imagePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    if (!bitmap) return nullptr;
    // The brush keeps a copy of the bitmap.
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

PrintResult PrintOnDc(PrintRequest& request, const std::atomic<bool>& printing,
                      const PageCalls& calls) {
    PrintResult result{PrintOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY};
    try {
        result = PrintPagesOnDc(request, printing, calls);
    } catch (const std::bad_alloc&) {
        // A page's layout that does not fit in memory ends the job; the
        // context is still released below.
    } catch (const std::length_error&) {
    }
    if (request.printer.dc) DeleteDC(request.printer.dc);
    if (request.tile) DeleteObject(request.tile);
    request.printer.dc = nullptr;
    request.tile = nullptr;
    return result;
}

// ---- The menu's job ---------------------------------------------------------

struct PrintRunner::Job {
    std::unique_ptr<PrintRequest> request;
    std::shared_ptr<std::atomic<bool>> printing;
    HWND notify;
    UINT message;
    PageCalls calls;
};

PrintRunner::~PrintRunner() {
    Abort();
    if (thread_) {
        // The job stops at its next character; only a printer call that hangs
        // can keep it, and the thread owns everything it still touches.
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
}

bool PrintRunner::Busy() const {
    return *printing_ || (thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT);
}

bool PrintRunner::Wait(DWORD timeoutMs) {
    return !thread_ || WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI PrintRunner::ThreadMain(void* param) {
    std::unique_ptr<Job> job(static_cast<Job*>(param));
    const PrintResult result = PrintOnDc(*job->request, *job->printing, job->calls);
    job->printing->store(false);
    if (job->notify)
        PostMessageA(job->notify, job->message, static_cast<WPARAM>(result.outcome),
                     static_cast<LPARAM>(result.error));
    return 0;
}

bool PrintRunner::Start(std::unique_ptr<PrintRequest> request, HWND notify, UINT doneMessage,
                        const PageCalls& calls) {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE); // Busy() said it has ended
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    PrintRequest* raw = request.get();
    auto job = std::unique_ptr<Job>(
        new (std::nothrow) Job{std::move(request), printing_, notify, doneMessage, calls});
    if (job) {
        *printing_ = true;
        thread_ = CreateThread(nullptr, 0, ThreadMain, job.get(), 0, nullptr);
        if (thread_) {
            job.release(); // the thread owns it now
            return true;
        }
        *printing_ = false;
    }
    const DWORD code = job ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    PrintRequest& failed = job ? *job->request : *raw;
    if (failed.printer.dc) DeleteDC(failed.printer.dc);
    if (failed.tile) DeleteObject(failed.tile);
    failed.printer.dc = nullptr;
    failed.tile = nullptr;
    SetLastError(code);
    return false;
}

// ---- The editor's commands --------------------------------------------------

void PrintCommand(EditorApp& app, int command) {
    if (app.printer.Busy() || app.editor.Buffer().TotalBytes() == 0) return;
    auto request = std::make_unique<PrintRequest>();
    std::optional<PrinterChoice> printer = ShowPrintDialog(app.main);
    if (!printer) {
        ReportLastError(app.main); // nothing after Cancel
        return;
    }
    request->printer = *printer;
    request->mode = command == IDM_FILE_PRINT_3D ? PrintMode::ThreeD : PrintMode::Plain;
    request->settings = app.settings.render;
    try {
        request->text = TextToPrint(app.view, printer->selectionOnly);
    } catch (...) {
        DeleteDC(printer->dc);
        throw; // reported at the window's edge
    }
    request->tile = TileBrushFor(app.instance, request->settings);
    app.Status().ShowNotice(Notice::Printing, app.Language());
    if (!app.printer.Start(std::move(request), app.main, kPrintDoneMessage))
        ReportLastError(app.main);
}

void PrintFinished(EditorApp& app, WPARAM outcome, LPARAM error) {
    switch (static_cast<PrintOutcome>(outcome)) {
    case PrintOutcome::Completed:
        app.Status().ShowNotice(Notice::OperationCompleted, app.Language());
        break;
    case PrintOutcome::Failed:
        // Never "completed": the status says the job stopped, the box says why.
        app.Status().ShowNotice(Notice::OperationAborted, app.Language());
        SetLastError(static_cast<DWORD>(error));
        ReportLastError(app.main);
        break;
    case PrintOutcome::Aborted:
        break;
    }
}

void EscapeCommand(EditorApp& app, int) {
    if (app.printer.Printing()) {
        app.printer.Abort();
        app.Status().ShowNotice(Notice::OperationAborted, app.Language());
        return;
    }
    SendMessageA(app.main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// ---- The command line -------------------------------------------------------

namespace {

int PrintFile(const CommandLine& commandLine) {
    const std::string& name = commandLine.file;
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ReportLastError();
        return 1;
    }
    std::vector<char> bytes;
    const FileReadResult read = ReadWholeFile(name, bytes);
    if (read != FileReadResult::Ok) {
        if (read == FileReadResult::TooLarge) SetLastError(ERROR_FILE_TOO_LARGE);
        if (read == FileReadResult::OutOfMemory) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        if (read == FileReadResult::ShortRead && GetLastError() == 0)
            SetLastError(ERROR_READ_FAULT);
        ReportLastError();
        return 1;
    }
    if (bytes.empty()) return 0;

    std::optional<PrinterChoice> printer = ShowPrintDialog(nullptr);
    if (!printer) {
        if (GetLastError() == 0) return 0; // cancelled
        ReportLastError();
        return 1;
    }
    PrintRequest request;
    request.printer = *printer;
    request.mode = commandLine.print == PrintMode::ThreeD ? PrintMode::ThreeD : PrintMode::Plain;
    request.text.assign(bytes.begin(), bytes.end());
    bytes = {};
    // The built-in settings: the registry is read only by the editor.
    if (HBITMAP pattern =
            LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND))) {
        request.tile = CreatePatternBrush(pattern);
        DeleteObject(pattern);
    }
    const std::atomic<bool> printing{true};
    const PrintResult result = PrintOnDc(request, printing);
    if (result.outcome == PrintOutcome::Failed) {
        SetLastError(result.error);
        ReportLastError();
        return 1;
    }
    return 0;
}

} // namespace

int PrintFromCommandLine(const CommandLine& commandLine) {
    try {
        return PrintFile(commandLine);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ReportLastError();
    return 1;
}

} // namespace stx
