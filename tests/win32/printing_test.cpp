// Printing on a memory context that stands in for the printer: every page is
// looked at as it ends. Wine has no printers, so the command line's print
// switch meets the no-printer path.
#include <windows.h>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/printing.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace stx::test {
namespace {

// Only the top of each page is kept: enough to tell pages and planes apart.
constexpr int kKeptRows = 120;

// A memory context as large as the screen (its reported page size) with a
// 32-bit DIB, and the pages it printed.
class PageCapture {
  public:
    PageCapture() {
        HDC screen = GetDC(nullptr);
        width_ = GetDeviceCaps(screen, HORZRES);
        height_ = GetDeviceCaps(screen, VERTRES);
        ReleaseDC(nullptr, screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        SelectObject(dc_, dib_);
    }
    ~PageCapture() {
        if (GetObjectType(dc_) != 0) DeleteDC(dc_);
        DeleteObject(dib_);
    }

    // The calls of a printer, on this context.
    PageCalls Calls() {
        PageCalls calls;
        calls.context = this;
        calls.startDoc = [](HDC, void* self) { return static_cast<PageCapture*>(self)->Log('D'); };
        calls.startPage = [](HDC, void* self) {
            auto* capture = static_cast<PageCapture*>(self);
            if (capture->gate) {
                SetEvent(capture->entered);
                WaitForSingleObject(capture->gate, 10000);
            }
            std::memset(capture->bits_, 0xFF,
                        static_cast<std::size_t>(capture->width_) * capture->height_ * 4);
            return capture->Log('S') && capture->failStartPage-- != 0;
        };
        calls.endPage = [](HDC, void* self) {
            auto* capture = static_cast<PageCapture*>(self);
            GdiFlush();
            const auto* first = static_cast<const std::uint32_t*>(capture->bits_);
            capture->pages.emplace_back(first, first + static_cast<std::size_t>(capture->width_) *
                                                           kKeptRows);
            return capture->Log('E');
        };
        calls.endDoc = [](HDC, void* self) { return static_cast<PageCapture*>(self)->Log('d'); };
        return calls;
    }

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }

    // 0x00BBGGRR of a kept pixel.
    static Colour At(const std::vector<std::uint32_t>& page, int width, int x, int y) {
        const std::uint32_t v = page[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
        return (v & 0xFF) << 16 | (v & 0xFF00) | v >> 16;
    }

    std::string log;
    std::vector<std::vector<std::uint32_t>> pages;
    int failStartPage = -1;
    HANDLE gate = nullptr;    // pages wait for it when set,
    HANDLE entered = nullptr; // after setting this

  private:
    bool Log(char c) {
        log += c;
        return true;
    }

    HDC dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

PrintRequest RequestOn(HDC dc, const std::string& text, PrintMode mode, int copies = 1) {
    PrintRequest request;
    request.printer.dc = dc;
    request.printer.copies = copies;
    request.mode = mode;
    request.text = text;
    return request;
}

// The rightmost column where a colour shows in the kept rows, or -1.
int RightmostOf(const std::vector<std::uint32_t>& page, int width, Colour colour) {
    int right = -1;
    for (int y = 0; y < kKeptRows; ++y)
        for (int x = 0; x < 200; ++x)
            if (PageCapture::At(page, width, x, y) == colour && x > right) right = x;
    return right;
}

TEST(Printing, ThreeDPrintsEveryPlaneOverTheBackground) {
    PageCapture capture;
    PrintRequest request = RequestOn(capture.Dc(), "HI", PrintMode::ThreeD);
    RenderSettings& s = request.settings;
    s.font.quality = NONANTIALIASED_QUALITY; // exact colours, whatever the prefix's smoothing
    s.planeCount = 3;
    s.distance = 1; // planes 2 units apart
    s.fadeDirection = FadeDirection::SouthEast;
    s.lastPlaneColour = 0xFF0000;
    s.firstPlaneColour = 0x0000FF;
    s.textColour = 0x000000;
    s.backgroundKind = BackgroundKind::Colour;
    s.backgroundColour = 0x80FF80;
    const std::atomic<bool> printing{true};
    ASSERT_EQ(PrintOnDc(request, printing, capture.Calls()).outcome, PrintOutcome::Completed);
    ASSERT_EQ(capture.pages.size(), 1u);
    const auto& page = capture.pages[0];
    const int w = capture.Width();

    // The background covers the sheet; the planes show in their ramp colours and
    // the front in the text colour, and nothing else is on the page.
    EXPECT_EQ(PageCapture::At(page, w, w - 1, kKeptRows - 1), 0x80FF80u);
    std::set<Colour> colours;
    for (int y = 0; y < kKeptRows; ++y)
        for (int x = 0; x < w; ++x)
            colours.insert(PageCapture::At(page, w, x, y));
    EXPECT_EQ(colours, (std::set<Colour>{0x80FF80, 0xFF0000, 0xAA0055, 0x000000}));
    // Back to front: the back plane reaches 4 units (about 4 pixels here) past the
    // front, the middle plane 2.
    const int front = RightmostOf(page, w, 0x000000);
    EXPECT_NEAR(RightmostOf(page, w, 0xFF0000) - front, 4, 1);
    EXPECT_NEAR(RightmostOf(page, w, 0xAA0055) - front, 2, 1);
}

class PrintCommandsTest : public EditorTest {
  protected:
    // Runs the editor's messages until part 0 of the status bar shows `notice`.
    bool WaitForNotice(const char* notice) {
        return WaitFor(
            [&] {
                Pump();
                return StatusPart(0) == notice;
            },
            30000);
    }
    // A job of the editor's own runner, on a capture instead of a printer:
    // two pages of a screen-sized sheet.
    void StartJob(PageCapture& capture, int copies = 1) {
        auto request = std::make_unique<PrintRequest>(
            RequestOn(capture.Dc(), NumberedLines(70), PrintMode::Plain, copies));
        ASSERT_TRUE(
            app->printer.Start(std::move(request), app->main, kPrintDoneMessage, capture.Calls()));
    }
};

TEST_F(PrintCommandsTest, NoPrinterIsReportedAndAnEmptyDocumentPrintsNothing) {
    EXPECT_TRUE(AnswerBoxes([&] { Command(IDM_FILE_PRINT_3D); }, {{IDOK, {}, 500}}).empty());
    Type("x");
    const std::vector<SeenBox> boxes =
        AnswerBoxes([&] { Command(IDM_FILE_PRINT_TEXT); }, {{IDOK, {}}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("(3012)"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].owner, app->main);
}

TEST_F(PrintCommandsTest, EscAbortsTheJobAndAFinishedJobSaysSo) {
    PageCapture held;
    held.gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    held.entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    StartJob(held);
    ASSERT_EQ(WaitForSingleObject(held.entered, 10000), WAIT_OBJECT_0);
    // Esc stops the job instead of closing the editor.
    Command(IDM_ESCAPE);
    EXPECT_EQ(StatusPart(0), kNoticeAborted.english);
    SetEvent(held.gate);
    ASSERT_TRUE(app->printer.Wait(10000));
    Pump();
    EXPECT_EQ(held.log, "DSEd"); // the page in progress is ended, the document closed
    EXPECT_EQ(StatusPart(0), kNoticeAborted.english);
    EXPECT_TRUE(IsWindow(app->main));
    CloseHandle(held.gate);
    CloseHandle(held.entered);

    // Three copies follow each other page by page.
    PageCapture whole;
    StartJob(whole, 3);
    EXPECT_TRUE(app->printer.Busy());
    EXPECT_TRUE(WaitForNotice(kNoticeCompleted.english));
    EXPECT_EQ(whole.log, "DSESESESESESEd");
    ASSERT_EQ(whole.pages.size(), 6u);
    EXPECT_EQ(whole.pages[0], whole.pages[1]);
    EXPECT_EQ(whole.pages[1], whole.pages[2]);
    EXPECT_NE(whole.pages[2], whole.pages[3]);
    EXPECT_EQ(whole.pages[3], whole.pages[5]);
    // Something dark was printed, and the job took the context.
    EXPECT_TRUE(std::any_of(whole.pages[3].begin(), whole.pages[3].end(),
                            [](std::uint32_t v) { return (v & 0xFFFFFF) == 0; }));
    EXPECT_EQ(GetObjectType(whole.Dc()), 0u);

    // A printer that refuses a page: the error is reported, success never shown.
    PageCapture failing;
    failing.failStartPage = 1;
    std::vector<SeenBox> boxes = AnswerBoxes(
        [&] {
            StartJob(failing);
            WaitForNotice(kNoticeAborted.english);
        },
        {{IDOK, {}}});
    EXPECT_EQ(StatusPart(0), kNoticeAborted.english);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST(PrintSwitch, WithoutAPrinterReportsTheErrorAndFails) {
    TempFile doc("stratext print.txt", "print me");
    ProgramProcess program("\"/3 " + doc.Path() + "\"");
    HWND box = program.WaitForWindow("#32770");
    ASSERT_NE(box, nullptr);
    // The box is found as soon as it exists; its texts are there once it shows.
    EXPECT_TRUE(WaitFor([box] { return IsWindowVisible(box) != FALSE; }));

    char text[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_NE(std::string(text).find("(3012)"), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(), 1);

    // An empty file is not printed, and nothing is asked.
    TempFile empty("stratext empty.txt", "");
    ProgramProcess quiet("/p " + empty.Path());
    EXPECT_EQ(quiet.WaitForExit(), 0);
}

} // namespace
} // namespace stx::test
