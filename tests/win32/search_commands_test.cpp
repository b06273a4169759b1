// Find, Find next, Replace and Go to line through the running editor's
// commands, their dialogs driven through their control ids as a user would.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "search/match_text.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

class SearchCommands : public EditorTest {
  protected:
    void SetText(const char* text) { View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // Runs the command while its dialog and the boxes after it are answered.
    std::vector<SeenBox> Run(int command, const std::vector<BoxAnswer>& answers) {
        return AnswerBoxes([&] { Command(command); }, answers);
    }
};

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

using Range = std::pair<DWORD, DWORD>;

TEST_F(SearchCommands, FindNextOpensFindThenWrapsWithItsOptions) {
    SetText("cats cat CAT");
    Select(0, 0);
    std::string okLabel;
    // Nothing to find yet: Find next opens the Find dialog.
    Run(IDM_EDIT_FIND_NEXT, {{IDC_DIALOG_OK, [&](HWND dialog) {
                                  okLabel = ItemText(dialog, IDC_DIALOG_OK);
                                  SetDlgItemTextA(dialog, IDC_FIND_WHAT, "cat");
                                  CheckDlgButton(dialog, IDC_FIND_WHOLE_WORDS, BST_CHECKED);
                              }}});
    EXPECT_EQ(okLabel, "&Find Next");
    EXPECT_EQ(Selection(), Range(5, 8));
    EXPECT_EQ(app->search.flags, kMatchWholeWord);
    Command(IDM_EDIT_FIND_NEXT);
    EXPECT_EQ(Selection(), Range(9, 12));
    Command(IDM_EDIT_FIND_NEXT);
    EXPECT_EQ(Selection(), Range(5, 8));

    // Cancel keeps what was remembered and searches nothing.
    Run(IDM_EDIT_FIND,
        {{IDC_DIALOG_CANCEL, [&](HWND dialog) { SetDlgItemTextA(dialog, IDC_FIND_WHAT, "zzz"); }}});
    EXPECT_EQ(app->search.searchText, "cat");
    EXPECT_EQ(Selection(), Range(5, 8));
    // No match anywhere leaves the caret at the end of the text.
    app->search.searchText = "dog";
    Command(IDM_EDIT_FIND_NEXT);
    EXPECT_EQ(Selection(), Range(12, 12));
}

TEST_F(SearchCommands, ReplaceReportsAMissThenReplacesAllAfterTheSelection) {
    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    SetText("cat 1 cat 2 cat 3 cat");
    Select(4, 4);
    SeenBox notFound;
    std::string label;
    Range afterMiss;
    // Replace all closes the dialog; the count comes in a box after it.
    const std::vector<SeenBox> seen =
        Run(IDM_EDIT_REPLACE,
            {{IDC_REPLACE_ALL_NEXT,
              [&](HWND dialog) {
                  SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "dog");
                  notFound = PressAndAnswer(dialog, IDC_REPLACE_FIND_NEXT, {IDOK});
                  EXPECT_EQ(notFound.owner, dialog);
                  SendMessageA(dialog, WM_NULL, 0, 0); // the command has finished
                  label = ItemText(dialog, IDC_REPLACE_FIND_FIRST);
                  SendMessageA(app->view, EM_GETSEL, reinterpret_cast<WPARAM>(&afterMiss.first),
                               reinterpret_cast<LPARAM>(&afterMiss.second));
                  SendMessageA(app->view, EM_SETSEL, 4, 4);
                  CheckDlgButton(dialog, IDC_REPLACE_MATCH_CASE, BST_CHECKED);
                  SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_MATCH_CASE, 0);
                  SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "cat");
                  SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "(cat)");
              }},
             {IDOK, {}}});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(notFound.text,
              "Textul nu a fost gasit\r\nCautarea se va face de la inceputul textului");
    EXPECT_EQ(notFound.caption, "Cautare text");
    EXPECT_EQ(label, "Cauta &primul");
    EXPECT_EQ(afterMiss, Range(0, 0));
    EXPECT_EQ(Text(), "cat 1 (cat) 2 (cat) 3 (cat)");
    EXPECT_EQ(seen[1].text, "Cuvinte inlocuite: 3");
    EXPECT_EQ(seen[1].owner, app->main);
    EXPECT_EQ(app->search.flags, kMatchCase);
    // Each replacement is undone on its own.
    for (int i = 0; i < 3; ++i)
        Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), "cat 1 cat 2 cat 3 cat");
}

TEST_F(SearchCommands, ReplaceOneAtATime) {
    Command(IDM_LANGUAGE_ROMANIAN);
    SetText("a b a");
    Select(0, 0);
    std::string label;
    const std::vector<SeenBox> seen =
        Run(IDM_EDIT_REPLACE, {{IDC_DIALOG_CANCEL,
                                [&](HWND dialog) {
                                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "a");
                                    SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "x");
                                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                                    label = ItemText(dialog, IDC_REPLACE_FIND_FIRST);
                                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                                }},
                               {IDOK, {}}});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(label, "&Inlocuieste");
    EXPECT_EQ(Text(), "x b a");
    EXPECT_EQ(Selection(), Range(4, 5));
    EXPECT_EQ(seen[1].text, "Cuvinte inlocuite: 1");
    EXPECT_EQ(app->search.replaceText, "x");
}

TEST_F(SearchCommands, GoToLineShowsTheCaretLineAndSkipsIndentation) {
    SetText("first\r\n\t\t x = 1\r\nthird");
    Select(20, 20);
    std::string shown;
    const std::vector<SeenBox> boxes =
        Run(IDM_EDIT_GOTO_LINE, {{IDC_DIALOG_OK, [&](HWND box) {
                                      shown = ItemText(box, IDC_INPUT_EDIT);
                                      SetDlgItemTextA(box, IDC_INPUT_EDIT, " 0x2");
                                  }}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Go to Line:");
    EXPECT_EQ(shown, "3");
    EXPECT_EQ(Selection(), Range(10, 10));
}

} // namespace
} // namespace stx::test
