#include "print/print_job.h"

#include "print/page_layout.h"
#include "view/background.h"
#include "view/plane_tables.h"

#include <algorithm>

namespace stx {

namespace {

class PagePrinter {
  public:
    PagePrinter(PrintDevice& device, const PrintJob& job, const std::atomic<bool>& printing)
        : device_(device), job_(job), printing_(printing), planes_(job.settings),
          threeD_(job.mode == PrintMode::ThreeD) {
        frame_.width = job.pageWidth;
        frame_.bottom = job.pageBottom;
        frame_.lineHeight = std::max(job.lineHeight, 1);
        if (threeD_) {
            // One layout serves every plane, so it leaves room for the farthest
            // offsets: no plane runs past the page's edges.
            int spreadX = 0;
            int spreadY = 0;
            for (int p = 0; p < planes_.PlaneCount(); ++p) {
                spreadX = std::max(spreadX, planes_.Offset(p).dx);
                spreadY = std::max(spreadY, planes_.Offset(p).dy);
            }
            frame_.width -= spreadX;
            frame_.bottom -= spreadY;
        }
    }

    PrintOutcome Run() {
        const int copies = std::max(job_.copies, 1);
        std::size_t pos = 0;
        while (pos < job_.text.size()) {
            const PageLayout page = LayOutPage(job_.text, pos, job_.widths, frame_);
            for (int copy = 0; copy < copies; ++copy) {
                if (!Printing()) return PrintOutcome::Aborted;
                if (!device_.StartPage()) return PrintOutcome::Failed;
                DrawPage(page);
                if (!device_.EndPage()) return PrintOutcome::Failed;
            }
            pos = page.end;
        }
        return Printing() ? PrintOutcome::Completed : PrintOutcome::Aborted;
    }

  private:
    bool Printing() const { return printing_.load(std::memory_order_relaxed); }

    void DrawPage(const PageLayout& page) {
        Surface& surface = device_.Page();
        if (!threeD_) {
            // Plain text keeps the device's own colours.
            DrawPass(surface, page, 0, 0);
            return;
        }
        PaintBackground(surface, job_.settings, job_.sheet, Size{}, Size{});
        surface.SetBackMode(BackMode::Transparent);
        // Back to front, as the view paints its planes.
        for (int p = 0; p < planes_.PlaneCount() && Printing(); ++p) {
            surface.SetTextColour(planes_.PlaneColour(p));
            DrawPass(surface, page, planes_.Offset(p).dx, planes_.Offset(p).dy);
        }
    }

    void DrawPass(Surface& surface, const PageLayout& page, int dx, int dy) {
        for (const PlacedChar& placed : page.chars) {
            if (!Printing()) return;
            surface.WriteText(placed.x + dx, placed.y + dy, std::string_view(&placed.c, 1));
        }
    }

    PrintDevice& device_;
    const PrintJob& job_;
    const std::atomic<bool>& printing_;
    PlaneTables planes_;
    const bool threeD_;
    PageFrame frame_;
};

} // namespace

PrintOutcome PrintPages(PrintDevice& device, const PrintJob& job,
                        const std::atomic<bool>& printing) {
    return PagePrinter(device, job, printing).Run();
}

} // namespace stx
