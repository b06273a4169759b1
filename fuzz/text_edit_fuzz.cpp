// A random edit sequence decoded from the input, applied to the text editor
// and to the reference model of the randomized test, which must agree after
// every step; undoing everything must give back the opened text. Between the
// edits come the view's own inputs (mouse, page keys, scrolling, new view
// metrics), which may move the caret but never change the text. Now and then
// memory runs out during an edit, which must then go through whole or change
// nothing.
#include "fuzz/fuzz_allocator.h"
#include "fuzz/fuzz_check.h"
#include "tests/unit/text/text_model.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace stx;
using stx::test::TextModel;

namespace {

// Mouse coordinates arrive as the 16-bit signed halves of a message parameter.
int32_t Coordinate(FuzzedDataProvider& in) {
    return in.ConsumeIntegral<int16_t>();
}

// The largest plane spread the settings allow: 255 planes 255 pixels apart.
constexpr uint32_t kMaxSpread = 255 * 255;
// Fonts are at most 4,096 pixels high; windows at most 32,767 pixels wide.
constexpr uint32_t kMaxLineHeight = 4096;
constexpr uint32_t kMaxViewSize = 32767;

// An input of the view that the model has no notion of: it may move the
// caret and the selection, never the text.
void ViewStep(FuzzedDataProvider& in, TextEditor& ed, TextModel& m) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0:
        ed.KeyDown(in.ConsumeBool() ? Key::PageUp : Key::PageDown, in.ConsumeBool(),
                   in.ConsumeBool());
        break;
    case 1:
        ed.MouseDown(Coordinate(in), Coordinate(in));
        break;
    case 2:
        ed.MouseMove(Coordinate(in), Coordinate(in), in.ConsumeBool());
        break;
    case 3:
        ed.MouseUp();
        break;
    case 4:
        ed.DragTick(Coordinate(in), Coordinate(in));
        break;
    case 5:
        ed.SetTopLine(in.ConsumeIntegralInRange<uint32_t>(0, m.Lines() + 2));
        break;
    case 6:
        ed.SetHorizontalOffset(in.ConsumeIntegralInRange<uint32_t>(0, 1u << 20));
        break;
    case 7:
        ed.ScrollCaretIntoView();
        break;
    case 8: {
        ViewGeometry view;
        view.lineHeight = in.ConsumeIntegralInRange<uint32_t>(1, kMaxLineHeight);
        view.viewWidth = in.ConsumeIntegralInRange<uint32_t>(0, kMaxViewSize);
        view.viewHeight = in.ConsumeIntegralInRange<uint32_t>(0, kMaxViewSize);
        view.hScrollBarHeight = in.ConsumeIntegralInRange<uint32_t>(0, 64);
        view.vScrollBarWidth = in.ConsumeIntegralInRange<uint32_t>(0, 64);
        view.planeSpread = in.ConsumeIntegralInRange<uint32_t>(0, kMaxSpread);
        view.fadeX = in.ConsumeIntegralInRange(-1, 1);
        view.fadeY = in.ConsumeIntegralInRange(-1, 1);
        view.hexView = in.ConsumeBool();
        view.addressColumnWidth = in.ConsumeIntegralInRange<uint32_t>(0, 200);
        ed.SetView(view);
        break;
    }
    case 9:
        ed.TakeRepaint();
        break;
    case 10: {
        // The selection as EM_GETSEL and the clipboard see it.
        uint32_t start = 0, end = 0;
        ed.GetSelectionRange(start, end);
        STX_FUZZ_CHECK(start <= end && end <= m.text.size());
        std::string copied(size_t{ed.SelectionLength()} + 1, '\x7f');
        const uint32_t length = ed.CopySelection(copied.data());
        STX_FUZZ_CHECK(copied[length] == '\0');
        copied.resize(length);
        if (ed.GetSelection().Exists())
            STX_FUZZ_CHECK_MSG(copied == m.text.substr(start, end - start), test::Shown(copied));
        else
            STX_FUZZ_CHECK(copied.empty() && start == end && start == ed.CaretOffset());
        break;
    }
    default:
        STX_FUZZ_CHECK(ed.CaretOffset() == m.Offset(m.line, m.col));
        break;
    }

    const std::string text = test::All(ed.Buffer());
    STX_FUZZ_CHECK_MSG(text == m.text,
                       "text " + test::Shown(text) + "\nmodel " + test::Shown(m.text));
    const Caret& c = ed.GetCaret();
    STX_FUZZ_CHECK(c.line >= 1 && c.line <= m.Lines() && c.column <= m.Line(c.line).size());
    STX_FUZZ_CHECK(ed.GetTopLine().line >= 1 && ed.GetTopLine().line <= m.Lines());
    // The model follows the caret and the anchor where the view put them.
    m.line = c.line;
    m.col = c.column;
    m.prefX = c.preferredX;
    const Selection& s = ed.GetSelection();
    m.hasAnchor = s.Exists();
    if (m.hasAnchor) {
        m.anchorLine = s.anchor.line;
        m.anchorCol = s.anchor.column;
    }
}

// What an edit or a move that failed must leave as it was. A typed key drops
// the selection whatever became of the edit, and Shift with a move anchors one
// at the caret before it moves, so a selection may be gone or newly anchored
// where the caret stayed.
struct EditorState {
    std::string text;
    uint32_t line, column;
    bool selection;
    uint32_t anchorLine, anchorColumn;
    uint32_t undoCount;

    explicit EditorState(const TextEditor& ed)
        : text(test::All(ed.Buffer())), line(ed.GetCaret().line), column(ed.GetCaret().column),
          selection(ed.GetSelection().Exists()), anchorLine(ed.GetSelection().anchor.line),
          anchorColumn(ed.GetSelection().anchor.column), undoCount(ed.Buffer().UndoCount()) {}
    bool KeptFrom(const EditorState& b) const {
        return text == b.text && line == b.line && column == b.column && undoCount == b.undoCount &&
               (!selection ||
                (b.selection ? anchorLine == b.anchorLine && anchorColumn == b.anchorColumn
                             : anchorLine == b.line && anchorColumn == b.column));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    auto pick = [&in](uint32_t n) { return in.ConsumeIntegralInRange<uint32_t>(0, n - 1); };
    auto text = [&in](size_t maxSize) {
        return in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, maxSize));
    };

    fuzz::FuzzAllocator& memory = fuzz::Allocator();
    memory.FailAfter(-1);
    TextEditor ed(&memory);
    test::PrepareModelEditor(ed, pick);
    TextModel m;
    const std::string start = text(400);
    STX_FUZZ_CHECK(ed.Parse(start.data(), start.data() + start.size()) == TextStatus::Ok);
    m.Reset(start);

    while (in.remaining_bytes() > 0) {
        if (pick(8) == 0) {
            ViewStep(in, ed, m);
            continue;
        }
        const bool starve = pick(16) == 0;
        const TextModel modelBefore = starve ? m : TextModel{};
        const EditorState before(ed);
        const long failures = memory.Failures();
        if (starve) memory.FailAfter(pick(3));
        const std::string what = test::ModelStep(ed, m, pick, text);
        memory.FailAfter(-1);
        if (what.empty()) continue;
        const std::string mismatch = test::ModelMismatch(ed, m, true);
        if (!mismatch.empty() && memory.Failures() != failures) {
            // Out of memory: the step changed nothing, so the model takes it back.
            STX_FUZZ_CHECK_MSG(EditorState(ed).KeptFrom(before) && ed.Buffer().CheckConsistency(),
                               "out of memory in " + what + "\n" + mismatch);
            m = modelBefore;
            m.hasAnchor = ed.GetSelection().Exists();
            m.anchorLine = ed.GetSelection().anchor.line;
            m.anchorCol = ed.GetSelection().anchor.column;
            continue;
        }
        STX_FUZZ_CHECK_MSG(mismatch.empty(), what + "\n" + mismatch);
    }
    const std::string mismatch = test::UndoAllMismatch(ed, m);
    STX_FUZZ_CHECK_MSG(mismatch.empty(), mismatch);
    return 0;
}
