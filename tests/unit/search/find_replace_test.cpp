// Find, replace and go to line over a real editor, as the dialogs drive them.
#include "search/find_replace.h"

#include <gtest/gtest.h>

#include <random>

#include "../text/text_test_util.h"
#include "search/buffer_search.h"
#include "search/editor_search_target.h"
#include "search/match_text.h"
#include "text/text_editor.h"

namespace stx {
namespace {

// The view as the dialogs see it, over an editor of its own.
class EditorTarget final : public EditorSearchTarget {
  public:
    explicit EditorTarget(const std::string& text) : EditorSearchTarget(editor) {
        editor.Parse(text.data(), text.data() + text.size());
    }
    void ReportNotFound() override {}

    std::pair<uint32_t, uint32_t> Selection() const {
        uint32_t s, e;
        editor.GetSelectionRange(s, e);
        return {s, e};
    }

    TextEditor editor;
};

using Sel = std::pair<uint32_t, uint32_t>;

// The reference: every start position checked against the whole text, the
// neighbours of a match being the text's real characters.
int64_t ReferenceFind(const std::string& all, uint32_t start, uint32_t end, const std::string& what,
                      uint32_t flags) {
    end = std::min<uint32_t>(end, static_cast<uint32_t>(all.size()));
    for (uint64_t p = start; p + what.size() <= end; ++p) {
        bool same = true;
        for (size_t i = 0; i < what.size() && same; ++i) {
            unsigned char a = all[p + i], b = what[i];
            if (!(flags & kMatchCase)) {
                if (a >= 'A' && a <= 'Z') a += 32;
                if (b >= 'A' && b <= 'Z') b += 32;
            }
            same = a == b;
        }
        if (!same) continue;
        if ((flags & kMatchWholeWord) && !what.empty()) {
            bool before = p > 0 && IsWordChar(all[p - 1]);
            bool after = p + what.size() < all.size() && IsWordChar(all[p + what.size()]);
            if (before == IsWordChar(what.front()) || IsWordChar(what.back()) == after) continue;
        }
        return static_cast<int64_t>(p);
    }
    return what.empty() && start <= end ? int64_t{start} : -1;
}

TEST(FindInBuffer, AgreesWithAFlatSearchOfTheWholeText) {
    std::mt19937 rng(7);
    const char alphabet[] = "aAb_ -\t";
    TextBuffer buffer;
    for (int round = 0; round < 200; ++round) {
        // Short lines, lines long enough to be stored in several runs, NULs.
        std::string text;
        const int lines = 1 + int(rng() % 6);
        for (int l = 0; l < lines; ++l) {
            if (l) text += "\r\n";
            // Long lines without TAB or NUL are stored in runs that are scanned in place.
            const bool longLine = rng() % 4 == 0;
            const size_t length = longLine ? 600 + rng() % 2000 : rng() % 40;
            for (size_t i = 0; i < length; ++i)
                text += !longLine && rng() % 50 == 0
                            ? '\0'
                            : alphabet[rng() % (sizeof alphabet - (longLine ? 2 : 1))];
        }
        test::Parse(buffer, text);
        const std::string all = test::All(buffer);
        ASSERT_EQ(all, text);
        for (int q = 0; q < 20; ++q) {
            // Mostly a piece of the text itself, searched from just before it.
            std::string what;
            auto start = static_cast<uint32_t>(rng() % (all.size() + 2));
            const size_t length = rng() % 8 == 0 ? 0 : 1 + rng() % 4;
            if (rng() % 3 && start + length <= all.size()) {
                what = all.substr(start, length);
                start -= std::min<uint32_t>(start, rng() % 3);
            } else {
                for (size_t i = 0; i < length; ++i)
                    what += "aAb_ -\r\n"[rng() % 8];
            }
            const uint32_t flags =
                static_cast<uint32_t>(rng() % 8) & (kMatchCase | kMatchWholeWord);
            const uint32_t end =
                rng() % 3 == 0 ? UINT32_MAX : static_cast<uint32_t>(rng() % (all.size() + 2));
            const std::optional<uint32_t> found = FindInBuffer(buffer, start, end, what, flags);
            ASSERT_EQ(found ? int64_t{*found} : -1, ReferenceFind(all, start, end, what, flags))
                << "round " << round << " what '" << what << "' flags " << flags << " range "
                << start << ".." << end;
        }
    }
}

TEST(FindInBuffer, WholeWordsLookPastTheSearchStart) {
    TextBuffer buffer;
    test::Parse(buffer, "concat cat");
    // Starting inside "concat", its tail "cat" is not a whole word.
    EXPECT_EQ(FindInBuffer(buffer, 3, UINT32_MAX, "cat", kMatchWholeWord), 7u);
    EXPECT_EQ(FindInBuffer(buffer, 0, 6, "cat", kMatchWholeWord), std::nullopt);
}

// Wrapping, a miss and Find next without a search are checked through the
// running editor's commands; here what needs a text of its own.
TEST(Find, FindNextStartsOneAfterASelectedMatch) {
    EditorTarget aaa("aaa");
    SearchMemory memory{"aa", "", 0};
    EXPECT_TRUE(FindFromDialog(aaa, memory));
    EXPECT_EQ(aaa.Selection(), Sel(0, 2));
    EXPECT_TRUE(FindNext(aaa, memory));
    EXPECT_EQ(aaa.Selection(), Sel(1, 3));
}

} // namespace
} // namespace stx
