// Running out of memory inside the view's handlers: document-sized copies
// (std::string, std::vector) and the text engine's own blocks. Nothing may
// leave the window procedure; the user is told, and the text and its flags
// stay as they were.
// This program replaces operator new and delete; the compiler cannot see that
// the two belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <windows.h>

#include <richedit.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "app/command_ids.h"
#include "platform/clipboard.h"
#include "win32_test_support.h"

namespace {

// Allocations above this many bytes fail, as they would on a full system.
std::atomic<size_t> failAbove{SIZE_MAX};

} // namespace

void* operator new(size_t size) {
    if (size > failAbove.load()) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace stx::test {

namespace {

// Memory of the text engine, refused on demand.
class SwitchableAllocator final : public BlockAllocator {
  public:
    void* Allocate(size_t size) override { return failing ? nullptr : std::malloc(size); }
    void Free(void* block) override { std::free(block); }
    bool failing = false;
};

class OutOfMemoryTest : public EditorTest {
  protected:
    OutOfMemoryTest() { options.allocator = &allocator; }
    void TearDown() override {
        failAbove = SIZE_MAX;
        allocator.failing = false;
        EditorTest::TearDown();
    }
    // Runs the action, answering the box it must bring up; returns the box's text.
    std::string ReportedBy(const std::function<void()>& action) {
        std::vector<SeenBox> boxes = AnswerBoxes(action, {{IDOK, {}}});
        return boxes.size() == 1 ? boxes[0].text : "<" + std::to_string(boxes.size()) + " boxes>";
    }
    SwitchableAllocator allocator;
};

constexpr char kNoMemory[] = "Not enough memory for this operation";

TEST_F(OutOfMemoryTest, DocumentSizedCopiesAreRefusedWithTheTextKept) {
    std::string text(300000, 'a');
    text += "\r\nlast";
    SetText(text);
    View(EM_SETMODIFY, 0);
    PutClipboardText("before");
    Select(0, -1);
    failAbove = 100000;

    EXPECT_EQ(ReportedBy([&] { View(WM_COPY); }), kNoMemory);
    EXPECT_EQ(ReportedBy([&] { View(WM_CUT); }), kNoMemory);
    // The search reads the text where it is stored: no copy, nothing to refuse.
    char what[] = "last";
    FINDTEXTA find{{0, -1}, what};
    LRESULT found = 0;
    EXPECT_TRUE(AnswerBoxes([&] { found = View(EM_FINDTEXT, 0, reinterpret_cast<LPARAM>(&find)); },
                            {{IDOK, {}, 1000}})
                    .empty());
    EXPECT_EQ(found, 300002);

    failAbove = SIZE_MAX;
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
    EXPECT_EQ(GetClipboardText().value_or(""), "before");

    // A clipboard text too large to take in.
    PutClipboardText(text);
    Select(0, 0);
    failAbove = 100000;
    EXPECT_EQ(ReportedBy([&] { View(WM_PASTE); }), kNoMemory);
    failAbove = SIZE_MAX;
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
}

TEST_F(OutOfMemoryTest, FailedEditsAreReportedAndChangeNoFlag) {
    app->document = {"C:\\\\named.txt", true};
    allocator.failing = true;
    EXPECT_EQ(ReportedBy([&] { Type("x"); }), kNoMemory);
    EXPECT_EQ(ReportedBy([&] { View(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("abc")); }),
              kNoMemory);
    LRESULT set = TRUE;
    EXPECT_EQ(ReportedBy([&] { set = View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new")); }),
              kNoMemory);
    EXPECT_EQ(set, FALSE);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(View(EM_GETMODIFY), 0);

    // A template that cannot be loaded keeps the document's name and flag.
    View(EM_SETMODIFY, 1);
    const std::string title = WindowText(app->main);
    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { Command(IDM_TEMPLATE_MASM32); }, {{IDNO, {}}, {IDOK, {}}});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, kNoMemory);
    EXPECT_EQ(View(EM_GETMODIFY), 1);
    EXPECT_TRUE(app->document.named);
    EXPECT_EQ(WindowText(app->main), title);
}

} // namespace

} // namespace stx::test
