// A plain reference model of the editor (a byte string, a caret, an anchor
// and a stack of saved states) and a driver that applies the same random
// operations to it and to a TextEditor, comparing them after every step.
// Used by the unit test (100,000 operations) and the soak target.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/unit/text/text_test_util.h"
#include "text/text_editor.h"

namespace stx::test {

class TextModel {
  public:
    std::string text;
    bool convert = false;
    bool overwrite = false;
    bool autoIndent = true;
    uint32_t line = 1, col = 0, prefX = 0;
    bool hasAnchor = false;
    uint32_t anchorLine = 1, anchorCol = 0;
    std::string base;        // the text undo goes back to
    uint32_t mostRecent = 0; // line of the newest written record, 0 for none

    struct Step {
        std::string text;
        uint32_t line, col;
    };
    std::vector<Step> steps;

    // --- lines, offsets and pixels (every character 8 pixels, TAB to 64) ---
    std::vector<uint32_t> Starts() const {
        std::vector<uint32_t> s{0};
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '\r' && text[i + 1] == '\n') {
                s.push_back(uint32_t(i + 2));
                ++i;
            }
        return s;
    }
    uint32_t Lines() const { return uint32_t(Starts().size()); }
    std::string Line(uint32_t n) const {
        auto s = Starts();
        uint32_t b = s[n - 1];
        uint32_t e = n < s.size() ? s[n] - 2 : uint32_t(text.size());
        return text.substr(b, e - b);
    }
    uint32_t Offset(uint32_t l, uint32_t c) const { return Starts()[l - 1] + c; }
    void Pos(uint32_t off, uint32_t& l, uint32_t& c) const {
        off = std::min<uint32_t>(off, uint32_t(text.size()));
        auto s = Starts();
        l = uint32_t(std::upper_bound(s.begin(), s.end(), off) - s.begin());
        uint32_t len = uint32_t(Line(l).size());
        c = std::min(off - s[l - 1], len); // the LF of a break counts as the line end
    }
    static uint32_t Advance(uint32_t x, char ch) { return ch == '\t' ? x + 64 - x % 64 : x + 8; }
    uint32_t X(uint32_t l, uint32_t c) const {
        std::string s = Line(l);
        uint32_t x = 0;
        for (uint32_t i = 0; i < c && i < s.size(); ++i)
            x = Advance(x, s[i]);
        return x;
    }
    uint32_t ColumnAt(uint32_t l, uint32_t px) const {
        std::string s = Line(l);
        uint32_t x = 0;
        for (uint32_t i = 0; i < s.size(); ++i) {
            uint32_t w = Advance(x, s[i]) - x;
            if (px < x + (w + 1) / 2) return i;
            x += w;
        }
        return uint32_t(s.size());
    }
    void CaretTo(uint32_t off) {
        Pos(off, line, col);
        prefX = X(line, col);
    }

    // --- writing, with the undo-step rules ---
    // Replaces lines [first, last] by content; a step is saved unless the
    // newest record is that one line and content holds no line break.
    void Replace(uint32_t first, uint32_t last, const std::string& content, bool newStep,
                 uint32_t pendLine, uint32_t pendCol, bool paired) {
        uint32_t breaks = 0;
        for (size_t i = 0; i + 1 < content.size(); ++i)
            if (content[i] == '\r' && content[i + 1] == '\n') ++breaks, ++i;
        bool inPlace = !newStep && first == last && mostRecent == first && breaks == 0;
        if (!inPlace && !paired) steps.push_back({text, pendLine, pendCol});
        uint32_t s = Offset(first, 0);
        uint32_t e = Offset(last, 0) + uint32_t(Line(last).size());
        text.replace(s, e - s, content);
        mostRecent = first + breaks;
    }
    void ReplaceSelection(const std::string& insert) {
        uint32_t sl = line, sc = col, el = anchorLine, ec = anchorCol;
        if (sl > el || (sl == el && sc > ec)) std::swap(sl, el), std::swap(sc, ec);
        uint32_t start = Offset(sl, sc);
        Replace(sl, el, Line(sl).substr(0, sc) + insert + Line(el).substr(ec), true, line, col,
                false);
        hasAnchor = false;
        CaretTo(start + uint32_t(insert.size()));
    }

    // --- operations ---
    void InsertChar(char c) {
        if (hasAnchor) return ReplaceSelection(std::string(1, c));
        std::string l = Line(line);
        uint32_t tail = overwrite && col < l.size() ? col + 1 : col;
        uint32_t off = Offset(line, col);
        Replace(line, line, l.substr(0, col) + c + l.substr(tail), false, line, col, false);
        CaretTo(off + 1);
    }
    void DeleteSelection() {
        if (hasAnchor) ReplaceSelection("");
    }
    void Enter() {
        bool paired = hasAnchor;
        DeleteSelection();
        std::string l = Line(line);
        uint32_t indent = 0;
        if (autoIndent) {
            for (char ch : l) {
                if (ch == '\t')
                    indent = (indent / 8 + 1) * 8;
                else if (ch == ' ')
                    ++indent;
                else
                    break;
            }
            indent = std::min(indent, X(line, col) / 8);
        }
        std::string ins = "\r\n" + std::string(indent / 8, '\t') + std::string(indent % 8, ' ');
        uint32_t off = Offset(line, col);
        Replace(line, line, l.substr(0, col) + ins + l.substr(col), true, line, col, paired);
        CaretTo(off + uint32_t(ins.size()));
    }
    void Backspace() {
        if (col > 0) {
            std::string l = Line(line);
            uint32_t off = Offset(line, col);
            Replace(line, line, l.substr(0, col - 1) + l.substr(col), false, line, col, false);
            CaretTo(off - 1);
        } else if (line > 1) {
            uint32_t pl = line - 1, pc = uint32_t(Line(pl).size());
            uint32_t off = Offset(pl, pc);
            Replace(pl, line, Line(pl) + Line(line), true, pl, pc, false);
            CaretTo(off);
        }
        hasAnchor = false;
    }
    void Delete() {
        if (hasAnchor) return DeleteSelection();
        std::string l = Line(line);
        uint32_t off = Offset(line, col);
        if (col < l.size()) {
            Replace(line, line, l.substr(0, col) + l.substr(col + 1), false, line, col, false);
            CaretTo(off);
        } else if (line < Lines()) {
            Replace(line, line + 1, l + Line(line + 1), true, line, col, false);
            CaretTo(off);
        }
    }
    void InsertText(const std::string& t) {
        std::string conv = SavedForm(t, convert);
        if (conv.empty()) return DeleteSelection();
        bool paired = hasAnchor;
        DeleteSelection();
        std::string l = Line(line);
        uint32_t off = Offset(line, col);
        Replace(line, line, l.substr(0, col) + conv + l.substr(col), true, line, col, paired);
        CaretTo(off + uint32_t(conv.size()));
    }
    void Undo() {
        if (steps.empty()) return;
        Step s = steps.back();
        steps.pop_back();
        text = s.text;
        hasAnchor = false;
        mostRecent = 0;
        CaretTo(Offset(s.line, s.col));
    }
    void Reset(const std::string& t) {
        text = t;
        base = t;
        steps.clear();
        mostRecent = 0;
        line = 1, col = 0, prefX = 0;
        hasAnchor = false;
    }
    void SetSel(uint32_t start, uint32_t end) {
        uint32_t total = uint32_t(text.size());
        hasAnchor = start != end && total > 0;
        if (hasAnchor) Pos(std::min(start, total), anchorLine, anchorCol);
        CaretTo(std::min(end, total));
        if (hasAnchor && anchorLine == line && anchorCol == col) hasAnchor = false;
    }

    static int Kind(char c) {
        if (c == ' ' || c == '\t' || c == 0) return 0;
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return 1;
        if (c == '^' || c == '_' || c == '`' || c == '~') return 1;
        return 2;
    }
    static bool Boundary(int before, int at) {
        return (at != 0 && before == 0) || (at == 1 && before == 2) || (at == 2 && before == 1);
    }
    void Key(stx::Key key, bool ctrl, bool shift) {
        if (shift && !hasAnchor) hasAnchor = true, anchorLine = line, anchorCol = col;
        if (!shift) hasAnchor = false;
        std::string l = Line(line);
        uint32_t n = Lines();
        switch (key) {
        case Key::Left:
            if (ctrl && col > 0) {
                uint32_t last = 0;
                for (uint32_t i = 1; i < col; ++i)
                    if (Boundary(Kind(l[i - 1]), Kind(l[i]))) last = i;
                col = last;
            } else if (col > 0) {
                --col;
            } else if (line > 1) {
                --line;
                col = uint32_t(Line(line).size());
            }
            prefX = X(line, col);
            break;
        case Key::Right:
            if (ctrl) {
                if (col < l.size()) {
                    uint32_t i = col + 1;
                    int k = Kind(l[col]);
                    for (; i < l.size() && !Boundary(k, Kind(l[i])); ++i)
                        k = Kind(l[i]);
                    col = i;
                }
            } else if (col < l.size()) {
                ++col;
            } else if (line < n) {
                ++line;
                col = 0;
            }
            prefX = X(line, col);
            break;
        case Key::Up:
            if (line > 1) --line, col = ColumnAt(line, prefX);
            break;
        case Key::Down:
            if (line < n) ++line, col = ColumnAt(line, prefX);
            break;
        case Key::Home:
            if (ctrl) line = 1;
            col = 0;
            prefX = 0;
            break;
        case Key::End:
            if (ctrl) line = n;
            col = uint32_t(Line(line).size());
            prefX = X(line, col);
            break;
        default:
            break;
        }
    }
};

// Random text for pasting and for whole-document replacement.
inline std::string ModelText(std::mt19937& rng, size_t maxSize) {
    static const std::string kPieces[] = {
        "a",    "mov", " ",  "\t", "12", "-3",   "x_", ";",
        "\r\n", "\r",  "\n", "+",  "~",  "\xe9", ",",  std::string(1, '\0')};
    std::uniform_int_distribution<size_t> len(0, maxSize), piece(0, std::size(kPieces) - 1);
    std::string s;
    for (size_t n = len(rng); s.size() < n;)
        s += kPieces[piece(rng)];
    return s;
}

// One random operation applied to the editor and the model alike. pick(n)
// gives a number below n, text(maxSize) a text of at most maxSize bytes.
// Returns what was done, or nothing when there is nothing to compare.
template <class Pick, class MakeText>
std::string ModelStep(TextEditor& ed, TextModel& m, Pick&& pick, MakeText&& text) {
    const Key kKeys[] = {Key::Left, Key::Right, Key::Up, Key::Down, Key::Home, Key::End};
    const char kTyped[] = "abz09_+- \t;,.~\xe9";
    uint32_t op = pick(1000);
    std::string what;
    if (op < 300) {
        char c = pick(40) == 0 ? '\0' : kTyped[pick(sizeof kTyped - 1)];
        what = "type";
        ed.Char(static_cast<uint8_t>(c));
        m.InsertChar(c);
        m.hasAnchor = false;
    } else if (op < 320) {
        ed.overwrite = m.overwrite = !m.overwrite;
    } else if (op < 390) {
        what = "enter";
        m.autoIndent = pick(2);
        ed.autoIndent = m.autoIndent;
        ed.Char(0x0D);
        m.Enter();
    } else if (op < 460) {
        what = "backspace";
        ed.Char(0x08);
        m.Backspace();
    } else if (op < 510) {
        what = "delete";
        ed.DeleteKey();
        m.Delete();
    } else if (op < 740) {
        Key k = kKeys[pick(6)];
        bool ctrl = pick(4) == 0, shift = pick(3) == 0;
        what = "key " + std::to_string(int(k)) + (ctrl ? " ctrl" : "") + (shift ? " shift" : "");
        ed.KeyDown(k, ctrl, shift);
        m.Key(k, ctrl, shift);
    } else if (op < 780) {
        uint32_t total = uint32_t(m.text.size());
        // Mostly short selections, so the document keeps growing.
        uint32_t a = pick(total + 3), b = pick(total + 3);
        if (pick(8) != 0) b = a + pick(40) > 20 ? a + pick(40) - 20 : 0;
        what = "setsel";
        ed.SetSelection(a, b);
        m.SetSel(a, b);
    } else if (op < 880) {
        std::string t = text(pick(10) == 0 ? 400 : 40);
        bool convert = pick(3) == 0;
        ed.Buffer().convertLineBreaks = convert;
        m.convert = convert;
        what = "insert text " + Shown(t);
        ed.InsertText(t.data(), t.size());
        m.InsertText(t);
    } else if (op < 950) {
        what = "undo";
        ed.Char(0x1A);
        m.Undo();
        m.hasAnchor = false;
    } else if (op < 970) {
        what = "ctrl+k";
        ed.Char(0x0B);
        m.hasAnchor = false;
    } else if (op < 971) {
        what = "convert";
        ed.ConvertUnixText();
        m.Reset(SavedForm(m.text, true));
    } else if (op < 990 && m.text.size() > 4000) {
        // Keep the document small enough to compare after every step.
        std::string t = text(400);
        what = "settext";
        ed.SetText(t.c_str());
        m.Reset(SavedForm(t.substr(0, t.find('\0')), m.convert)); // parsed by the setting
    }
    return what;
}

// Nothing when the editor and the model agree, else what differs.
inline std::string ModelMismatch(const TextEditor& ed, const TextModel& m, bool checkStructure) {
    const TextBuffer& b = ed.Buffer();
    const Caret& c = ed.GetCaret();
    const Selection& s = ed.GetSelection();
    // Everything compared besides the text, in words.
    auto state = [](size_t bytes, uint32_t lines, uint32_t line, uint32_t col, uint32_t x,
                    bool anchor, uint32_t anchorLine, uint32_t anchorCol, bool undo) {
        auto at = [](uint32_t l, uint32_t n) {
            return std::to_string(l) + ":" + std::to_string(n);
        };
        return std::to_string(bytes) + " bytes " + std::to_string(lines) + " lines, caret " +
               at(line, col) + " x " + std::to_string(x) + ", anchor " +
               (anchor ? at(anchorLine, anchorCol) : "none") + (undo ? ", undo" : "");
    };
    const std::string seen = state(b.TotalBytes(), b.LineCount(), c.line, c.column, c.x, s.Exists(),
                                   s.anchor.line, s.anchor.column, ed.CanUndo());
    const std::string want = state(m.text.size(), m.Lines(), m.line, m.col, m.X(m.line, m.col),
                                   m.hasAnchor, m.anchorLine, m.anchorCol, !m.steps.empty());
    const std::string text = All(b);
    const bool consistent = !checkStructure || b.CheckConsistency();
    if (seen == want && text == m.text && consistent) return {};
    return "text  " + Shown(text) + "\nmodel " + Shown(m.text) + "\neditor " + seen + "\nmodel  " +
           want + (consistent ? "" : "\nthe structure is inconsistent");
}

// Undoes every step; nothing when that gives back the text, totals and lines
// the history started from, else what differs.
inline std::string UndoAllMismatch(TextEditor& ed, const TextModel& m) {
    while (ed.CanUndo())
        if (!ed.Undo().done) return "an undo failed";
    const TextBuffer& b = ed.Buffer();
    if (All(b) == m.base && b.TotalBytes() == m.base.size() &&
        b.LineCount() == SplitLines(m.base).size() && b.CheckConsistency())
        return {};
    return "after undoing everything: text " + Shown(All(b)) + "\nbase " + Shown(m.base) +
           "\nlines " + std::to_string(b.LineCount()) + " consistent " +
           std::to_string(b.CheckConsistency());
}

// Spans of a few lines and bytes, and two-part scans of small texts, so that
// laying lines out on demand and the scan's seams meet every edit; and a view
// of ten rows. pick(n) chooses in [0, n).
template <class Pick> void PrepareModelEditor(TextEditor& ed, Pick&& pick) {
    ParseGrain& grain = ed.Buffer().grain;
    grain.spanLines = 1 + pick(5);
    grain.spanBytes = 4 + pick(60);
    grain.parallelBytes = 128 + pick(600);
    grain.pieceBytes = 64 + pick(100);
    ViewGeometry view;
    view.lineHeight = 16;
    view.viewHeight = 160;
    ed.SetView(view);
}

// Applies count random operations from seed; stops at the first mismatch.
inline void RunTextModel(uint32_t seed, uint64_t count, bool checkStructure) {
    std::mt19937 rng(seed);
    auto pick = [&rng](uint32_t n) {
        return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng);
    };
    TextEditor ed;
    PrepareModelEditor(ed, pick);
    TextModel m;
    std::string start = ModelText(rng, 400);
    ed.Parse(start.data(), start.data() + start.size());
    m.Reset(start);

    auto text = [&rng](size_t maxSize) { return ModelText(rng, maxSize); };
    for (uint64_t i = 0; i < count; ++i) {
        const std::string what = ModelStep(ed, m, pick, text);
        if (what.empty()) continue;
        const std::string mismatch = ModelMismatch(ed, m, checkStructure);
        if (!mismatch.empty()) {
            ADD_FAILURE() << "seed " << seed << " op " << i << " (" << what << ")\n" << mismatch;
            return;
        }
    }
    const std::string mismatch = UndoAllMismatch(ed, m);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

} // namespace stx::test
