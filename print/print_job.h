// A print job's pages: the page loop with its copies, and in 3D one pass per
// plane with the view's plane colours and offsets over the background. The
// printer itself (documents, pages, the device context) is behind PrintDevice.
#pragma once

#include "app/command_line.h"
#include "text/text_buffer.h"
#include "view/render_settings.h"
#include "view/surface.h"

#include <atomic>
#include <string_view>

namespace stx {

// The printer as the page loop sees it. A false result ends the job as failed.
class PrintDevice {
  public:
    virtual ~PrintDevice() = default;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    // Where the page is drawn, valid between StartPage and EndPage.
    virtual Surface& Page() = 0;
};

struct PrintJob {
    std::string_view text;
    PrintMode mode = PrintMode::Plain;
    int copies = 1; // each page is printed this often before the next (1, 1, 2, 2, ...)
    CharWidthTable widths;
    int pageWidth = 0;  // logical units
    int pageBottom = 0; // lines start above this
    int lineHeight = 1;
    Rect sheet;              // the whole sheet, which the 3D background covers
    RenderSettings settings; // planes, colours, direction, distance, background
};

enum class PrintOutcome { Completed, Aborted, Failed };

// Prints every page while `printing` stays set; the flag is tested before every
// page, plane and character, so clearing it stops the job at the next one and
// the page in progress is still ended.
PrintOutcome PrintPages(PrintDevice& device, const PrintJob& job,
                        const std::atomic<bool>& printing);

} // namespace stx
