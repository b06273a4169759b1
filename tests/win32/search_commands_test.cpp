// Find, Find next, Replace and Go to line on a real text view, their dialogs
// driven through their control ids as a user would.
#include "platform/find_replace.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "editor_fixture.h"
#include "platform/text_view.h"
#include "search/match_text.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

class SearchCommands : public EditorTest {
  protected:
    void SetText(const char* text) { View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    SearchMemory memory;
};

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

TEST_F(SearchCommands, FindAndFindNextWithTheDialogsOptions) {
    SetText("cats cat CAT");
    Select(0, 0);
    std::string okLabel;
    DriveDialog([&] { FindCommand(app->main, app->view, UiLanguage::English, memory); },
                [&](HWND dialog) {
                    okLabel = ItemText(dialog, IDC_DIALOG_OK);
                    SetDlgItemTextA(dialog, IDC_FIND_WHAT, "cat");
                    CheckDlgButton(dialog, IDC_FIND_WHOLE_WORDS, BST_CHECKED);
                    PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
                });
    EXPECT_EQ(okLabel, "&Find Next");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{5}, DWORD{8}));
    EXPECT_EQ(memory.flags, kMatchWholeWord);
    FindNextCommand(app->main, app->view, UiLanguage::English, memory);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{9}, DWORD{12}));
    FindNextCommand(app->main, app->view, UiLanguage::English, memory);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{5}, DWORD{8}));

    // Cancel keeps what was remembered; the Romanian template is used for both Romanian settings.
    DriveDialog([&] { FindCommand(app->main, app->view, UiLanguage::RomanianDiacritics, memory); },
                [&](HWND dialog) {
                    okLabel = ItemText(dialog, IDC_DIALOG_OK);
                    SetDlgItemTextA(dialog, IDC_FIND_WHAT, "zzz");
                    PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
                });
    EXPECT_EQ(okLabel, "&Cauta");
    EXPECT_EQ(memory.searchText, "cat");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{5}, DWORD{8}));
}

TEST_F(SearchCommands, ReplaceReportsMissesThenReplacesAllAfterTheSelection) {
    SetText("cat 1 cat 2 cat 3 cat");
    Select(4, 4);
    SeenBox notFound, total;
    std::string label;
    std::pair<DWORD, DWORD> afterMiss;
    DriveDialog([&] { ReplaceCommand(app->main, app->view, UiLanguage::English, memory); },
                [&](HWND dialog) {
                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "dog");
                    notFound = PressAndAnswer(dialog, IDC_REPLACE_FIND_NEXT, IDOK);
                    SendMessageA(dialog, WM_NULL, 0, 0); // the command has finished
                    label = ItemText(dialog, IDC_REPLACE_FIND_FIRST);
                    SendMessageA(app->view, EM_GETSEL, reinterpret_cast<WPARAM>(&afterMiss.first),
                                 reinterpret_cast<LPARAM>(&afterMiss.second));
                    SendMessageA(app->view, EM_SETSEL, 4, 4);
                    CheckDlgButton(dialog, IDC_REPLACE_MATCH_CASE, BST_CHECKED);
                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_MATCH_CASE, 0);
                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "cat");
                    SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "(cat)");
                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_ALL_NEXT, 0);
                    WaitUntilGone(dialog);
                    if (HWND box =
                            WaitForDialogOfThread(GetWindowThreadProcessId(app->main, nullptr))) {
                        total = RecordBox(box);
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                    }
                });
    EXPECT_EQ(notFound.text, "Text not found\r\nSearch is restarted");
    EXPECT_EQ(notFound.caption, "Find text");
    EXPECT_EQ(label, "&Find first");
    EXPECT_EQ(afterMiss, std::make_pair(DWORD{0}, DWORD{0}));
    EXPECT_EQ(Text(), "cat 1 (cat) 2 (cat) 3 (cat)");
    EXPECT_EQ(total.text, "Total replaces: 3");
    EXPECT_EQ(total.owner, app->main);
    EXPECT_EQ(memory.flags, kMatchCase);
    // Each replacement is undone on its own.
    for (int i = 0; i < 3; ++i)
        View(EM_UNDO);
    EXPECT_EQ(Text(), "cat 1 cat 2 cat 3 cat");
}

TEST_F(SearchCommands, RomanianReplaceOneAtATime) {
    SetText("a b a");
    Select(0, 0);
    std::string label;
    SeenBox total;
    DriveDialog([&] { ReplaceCommand(app->main, app->view, UiLanguage::Romanian, memory); },
                [&](HWND dialog) {
                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "a");
                    SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "x");
                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                    label = ItemText(dialog, IDC_REPLACE_FIND_FIRST);
                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                    PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
                    WaitUntilGone(dialog);
                    if (HWND box =
                            WaitForDialogOfThread(GetWindowThreadProcessId(app->main, nullptr))) {
                        total = RecordBox(box);
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                    }
                });
    EXPECT_EQ(label, "&Inlocuieste");
    EXPECT_EQ(Text(), "x b a");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{5}));
    EXPECT_EQ(total.text, "Cuvinte inlocuite: 1");
    EXPECT_EQ(total.caption, "Cautare text");
    EXPECT_EQ(memory.replaceText, "x");
}

TEST_F(SearchCommands, GoToLineShowsTheCaretLineAndSkipsIndentation) {
    SetText("first\r\n\t\t x = 1\r\nthird");
    Select(20, 20);
    std::vector<SeenBox> boxes;
    std::string shown;
    AnswerBoxes<int>(
        [&] {
            GoToLineCommand(app->main, app->view, UiLanguage::Romanian, ViewEditor().Buffer(),
                            ViewEditor().GetCaret().line);
            return 0;
        },
        {{IDC_DIALOG_OK,
          [&](HWND box) {
              shown = ItemText(box, IDC_INPUT_EDIT);
              SetDlgItemTextA(box, IDC_INPUT_EDIT, " 0x2");
          }}},
        boxes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Pozitionare cursor:");
    EXPECT_EQ(shown, "3");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{10}, DWORD{10}));
}

} // namespace
} // namespace stx::test
