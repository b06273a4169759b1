// The program's dialogs and boxes driven through their control ids as a user
// would: Find, Replace, Go to line, Insert data and the HTML index through the
// running editor's commands on real files (what the pages say is the
// generator's own business), the input box, the last-error box, the text
// window and the Windows error codes dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/command_ids.h"
#include "platform/error_codes_dialog.h"
#include "platform/input_box.h"
#include "platform/report_error.h"
#include "platform/text_window.h"
#include "search/match_text.h"
#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

class DialogCommands : public EditorTest {
  protected:
    // Runs the command while its dialog and the boxes after it are answered.
    std::vector<SeenBox> Run(int command, const std::vector<BoxAnswer>& answers) {
        return AnswerBoxes([&] { Command(command); }, answers);
    }
};

using Range = std::pair<DWORD, DWORD>;

TEST_F(DialogCommands, FindNextOpensFindThenWrapsWithItsOptions) {
    SetText("cats cat CAT");
    Select(0, 0);
    std::string okLabel;
    // Nothing to find yet: Find next opens the Find dialog.
    Run(IDM_EDIT_FIND_NEXT, {{IDC_DIALOG_OK, [&](HWND dialog) {
                                  okLabel = DlgItemText(dialog, IDC_DIALOG_OK);
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

// One Replace session: a miss, one replacement at a time, then the rest at once.
TEST_F(DialogCommands, ReplaceReportsAMissThenReplacesOneAndAll) {
    SetText("cat 1 cat 2 cat 3 cat");
    Select(4, 4);
    SeenBox notFound;
    std::string afterMiss, afterFirst;
    Range missAt, replacedOne;
    // Replace all closes the dialog; the count comes in a box after it.
    const std::vector<SeenBox> seen =
        Run(IDM_EDIT_REPLACE, {{IDC_REPLACE_ALL_NEXT,
                                [&](HWND dialog) {
                                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "dog");
                                    notFound =
                                        PressAndAnswer(dialog, IDC_REPLACE_FIND_NEXT, {IDOK});
                                    EXPECT_EQ(notFound.owner, dialog);
                                    SendMessageA(dialog, WM_NULL, 0, 0); // the command has finished
                                    afterMiss = DlgItemText(dialog, IDC_REPLACE_FIND_FIRST);
                                    missAt = Selection();
                                    Select(4, 4);
                                    CheckDlgButton(dialog, IDC_REPLACE_MATCH_CASE, BST_CHECKED);
                                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_MATCH_CASE, 0);
                                    SetDlgItemTextA(dialog, IDC_REPLACE_WHAT, "cat");
                                    SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "(cat)");
                                    // The first button finds, then replaces and finds the next.
                                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                                    afterFirst = DlgItemText(dialog, IDC_REPLACE_FIND_FIRST);
                                    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_FIND_FIRST, 0);
                                    replacedOne = Selection();
                                }},
                               {IDOK, {}}});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(notFound.text, "Text not found\r\nSearch is restarted");
    EXPECT_EQ(afterMiss, "&Find first");
    EXPECT_EQ(missAt, Range(0, 0));
    EXPECT_EQ(afterFirst, "&Replace");
    EXPECT_EQ(replacedOne, Range(14, 17));
    EXPECT_EQ(Text(), "cat 1 (cat) 2 (cat) 3 (cat)");
    EXPECT_EQ(seen[1].text, "Total replaces: 3");
    EXPECT_EQ(seen[1].owner, app->main);
    EXPECT_EQ(app->search.flags, kMatchCase);
    EXPECT_EQ(app->search.replaceText, "(cat)");
    // Each replacement is undone on its own.
    for (int i = 0; i < 3; ++i)
        Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), "cat 1 cat 2 cat 3 cat");
}

TEST_F(DialogCommands, GoToLineShowsTheCaretLineAndSkipsIndentation) {
    SetText("first\r\n\t\t x = 1\r\nthird");
    Select(20, 20);
    std::string shown;
    const std::vector<SeenBox> boxes =
        Run(IDM_EDIT_GOTO_LINE, {{IDC_DIALOG_OK, [&](HWND box) {
                                      shown = DlgItemText(box, IDC_INPUT_EDIT);
                                      SetDlgItemTextA(box, IDC_INPUT_EDIT, " 0x2");
                                  }}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Go to Line:");
    EXPECT_EQ(shown, "3");
    EXPECT_EQ(Selection(), Range(10, 10));
}

TEST_F(DialogCommands, InsertDataOfARealFileIsOneUndoStep) {
    TempFile file("logo.bmp", "\x42\x4D\x0A");
    SetText("x");
    Select(1, 1);
    app->insertData.radix = DataRadix::Binary;
    SeenBox missing;
    bool binaryEnabled = true, decimalChecked = false;
    AnswerBoxes(
        [&] { Command(IDM_INSERT_DATA); },
        {{IDC_DIALOG_OK, [&](HWND dialog) {
              SetDlgItemTextA(dialog, IDC_INSERT_FILE_NAME, "C:\\no\\such\\file.bin");
              missing = PressAndAnswer(dialog, IDC_DIALOG_OK, {IDOK});
              EXPECT_EQ(missing.owner, dialog);
              SetDlgItemTextA(dialog, IDC_INSERT_FILE_NAME, file.Path().c_str());
              HWND languages = GetDlgItem(dialog, IDC_INSERT_LANGUAGE);
              SendMessageA(languages, CB_SETCURSEL, 1, 0);
              SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSERT_LANGUAGE, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(languages));
              binaryEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_INSERT_BINARY));
              decimalChecked = IsDlgButtonChecked(dialog, IDC_INSERT_DECIMAL) == BST_CHECKED;
              SendMessageA(dialog, WM_COMMAND, IDC_INSERT_HEXADECIMAL, 0);
              SetDlgItemTextA(dialog, IDC_INSERT_PER_LINE, "2");
          }}});
    EXPECT_EQ(missing.text, "Error opening file");
    EXPECT_FALSE(binaryEnabled);
    EXPECT_TRUE(decimalChecked);
    EXPECT_EQ(Text(), "x\r\nunsigned char logo_bm[]={\r\n0x42,0x4D,\r\n0x0A};\r\n");
    EXPECT_EQ(app->insertData.language, DataLanguage::C);
    EXPECT_EQ(app->insertData.radix, DataRadix::Hexadecimal);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), "x");
}

TEST_F(DialogCommands, HtmlIndexOfARealTree) {
    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    ScratchDirectory dir("stx index test");
    const std::string& root = dir.Path();
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    WriteBytes(root + "\\a.txt", "hello");
    WriteBytes(root + "\\descript.ion", "a.txt Salut\r\n");
    WriteBytes(root + "\\INDEX.HTM", "old");
    WriteBytes(root + "\\sub\\b.txt", "");
    WriteBytes(root + "\\ascuns.txt", "x");
    SetFileAttributesA((root + "\\ascuns.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

    SeenBox refused;
    std::string saveLabel;
    bool robotsAtStart = true, robotsAfter = false;
    AnswerBoxes([&] { Command(IDM_DIR_TO_HTML); },
                {{IDC_DIALOG_OK, [&](HWND dialog) {
                      saveLabel = DlgItemText(dialog, IDC_DIALOG_OK);
                      robotsAtStart = IsWindowEnabled(GetDlgItem(dialog, IDC_HTML_ROBOTS));
                      SetDlgItemTextA(dialog, IDC_HTML_DIRECTORY, (root + "\\missing").c_str());
                      refused = PressAndAnswer(dialog, IDC_DIALOG_OK, {IDOK});
                      EXPECT_EQ(refused.owner, dialog);
                      SetDlgItemTextA(dialog, IDC_HTML_DIRECTORY, root.c_str());
                      SetDlgItemTextA(dialog, IDC_HTML_ROOT_PATH, "\\pub\\");
                      CheckDlgButton(dialog, IDC_HTML_INCLUDE_HIDDEN, BST_UNCHECKED);
                      SendMessageA(dialog, WM_COMMAND, IDC_HTML_INCLUDE_HIDDEN, 0);
                      robotsAfter = IsWindowEnabled(GetDlgItem(dialog, IDC_HTML_ROBOTS));
                      CheckDlgButton(dialog, IDC_HTML_ROBOTS, BST_CHECKED);
                  }}});
    EXPECT_EQ(saveLabel, "&Salveaza");
    EXPECT_FALSE(robotsAtStart);
    EXPECT_TRUE(robotsAfter);
    EXPECT_EQ(refused.text, "Directorul nu a fost gasit\r\n" + root + "\\missing");

    const std::string top = ReadBytes(root + "\\index.html");
    EXPECT_NE(top.find(">a.txt</A><TD ALIGN=RIGHT>5<TD ALIGN=CENTER>"), std::string::npos);
    EXPECT_NE(top.find("<TD>Salut\r\n"), std::string::npos);
    EXPECT_EQ(top.find("ascuns"), std::string::npos);
    EXPECT_EQ(top.find("INDEX.HTM"), std::string::npos);
    EXPECT_NE(top.find("2 fi\xBAiere \xBAi 1 director"), std::string::npos);
    EXPECT_EQ(ReadBytes(root + "\\index.htm"), top);
    EXPECT_NE(ReadBytes(root + "\\sub\\index.html").find("<TD>Director p\xE3rinte"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(root + "\\robots.txt"), "User-agent: *\nDisallow: /pub/ascuns.txt\n");
    EXPECT_EQ(StatusPart(0), "");
}

using Answer = std::optional<std::string>;

// The other boxes open the English template; this one the Romanian.
TEST(InputBox, ReturnsAtMost254TypedCharacters) {
    std::string okLabel;
    std::vector<SeenBox> seen;
    const Answer answer = AnswerBoxes<Answer>(
        [] {
            InputBoxRequest request;
            request.language = UiLanguage::Romanian;
            return InputBox(nullptr, request);
        },
        {{IDC_DIALOG_OK,
          [&](HWND dialog) {
              okLabel = DlgItemText(dialog, IDC_DIALOG_OK);
              SetDlgItemTextA(dialog, IDC_INPUT_EDIT, std::string(400, '7').c_str());
          }}},
        seen);
    EXPECT_EQ(okLabel, "&Acceptare");
    ASSERT_TRUE(answer.has_value());
    EXPECT_LE(answer->size(), 254u);
    EXPECT_GE(answer->size(), 2u);
    EXPECT_EQ(*answer, std::string(answer->size(), '7'));
}

TEST(ReportError, BoxShowsTheLastErrorAndKeepsItAndNoErrorShowsNone) {
    std::vector<SeenBox> seen;
    const DWORD after = AnswerBoxes<DWORD>(
        [] {
            // A call that fails: opening a file that is not there.
            CreateFileA("Z:\\no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        0, nullptr);
            ReportLastError();
            return GetLastError();
        },
        {{IDOK, {}}}, seen);
    EXPECT_EQ(after, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Big fucking error");
    // The catalogue's details, a blank line, then the system's own text.
    EXPECT_EQ(seen[0].text,
              ErrorDetailsText(BuiltInErrorCatalog(), ERROR_PATH_NOT_FOUND) +
                  "\r\n\r\nSystem returns: " + SystemMessageText(ERROR_PATH_NOT_FOUND));

    // A customer code has neither a record nor a system text: the code line,
    // and the system's words for the failed lookup instead of nothing.
    EXPECT_EQ(ErrorReportText(0x2000ABCDu), "Error Code: 2000ABCD (536914893)\r\n\r\n"
                                            "System returns: " +
                                                SystemMessageText(ERROR_MR_MID_NOT_FOUND));
    EXPECT_FALSE(SystemMessageText(ERROR_MR_MID_NOT_FOUND).empty());

    EXPECT_TRUE(AnswerBoxes(
                    [] {
                        SetLastError(0);
                        ReportLastError();
                    },
                    {{IDOK, {}, 1000}})
                    .empty());
}

TEST(TextWindow, ShowsTheWholeTextReadOnlyAndCloses) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    std::string shown;
    LONG_PTR style = 0;
    std::vector<SeenBox> seen;
    const bool closed =
        AnswerBoxes<bool>([&] { return ShowTextWindow(nullptr, "listing.lst", text, true); },
                          {{IDCANCEL,
                            [&](HWND dialog) {
                                HWND edit = GetDlgItem(dialog, IDC_HELP_TEXT);
                                shown.resize(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1);
                                shown.resize(static_cast<size_t>(GetWindowTextA(
                                    edit, shown.data(), static_cast<int>(shown.size()))));
                                style = GetWindowLongPtrA(edit, GWL_STYLE);
                            }}},
                          seen);
    EXPECT_TRUE(closed);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "listing.lst");
    // Past the control's default limit of 32 KB, to the last line.
    EXPECT_EQ(shown.rfind("line 0", 0), 0u);
    EXPECT_NE(shown.find("line 3999"), std::string::npos);
    EXPECT_TRUE(style & ES_READONLY);
}

const ErrorCatalog& catalog = BuiltInErrorCatalog();

// Replaces the field's text by typing: select all, then the characters (the
// Delete key's clear alone empties it).
void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(field, WM_CLEAR, 0, 0);
    for (char c : text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

int SelectedRow(HWND dialog) {
    return static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_ERRORS_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

int FirstRow(DWORD code) {
    return static_cast<int>(FindRecord(catalog, code)->index);
}

// The system's part of a details text.
std::string SystemPart(const std::string& details) {
    const auto at = details.find("\r\n\r\nSystem returns: ");
    return at == std::string::npos ? "<none>" : details.substr(at + 20);
}

using ErrorCodesDialog = EditorTest;

// One session of the dialog, opened over the main window: every record
// listed, codes typed into either field, a row picked, and messages from a
// module's own table.
TEST_F(ErrorCodesDialog, TypingPickingAndModuleTables) {
    const std::vector<SeenBox> seen = AnswerBoxes(
        [&] { Command(IDM_HELP_WINDOWS_ERRORS); },
        {{IDC_DIALOG_CANCEL, [&](HWND dialog) {
              HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST);
              EXPECT_EQ(static_cast<size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)),
                        RecordCount(catalog));
              EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
              GUITHREADINFO info{};
              info.cbSize = sizeof info;
              GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
              EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDC_ERRORS_HEX));
              EXPECT_EQ(SelectedRow(dialog), -1);

              TypeInto(dialog, IDC_ERRORS_CODE, "5");
              EXPECT_EQ(SelectedRow(dialog), FirstRow(5));
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_HEX), "00000005");
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_DETAILS),
                        WithSystemText(ErrorDetailsText(catalog, 5), 5));
              // A cleared Decimal field reads 0.
              TypeInto(dialog, IDC_ERRORS_CODE, "");
              EXPECT_EQ(SelectedRow(dialog), FirstRow(0));
              // A code without a record: no row, but the code line and the system's text.
              TypeInto(dialog, IDC_ERRORS_HEX, "c000");
              EXPECT_EQ(SelectedRow(dialog), -1);
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_CODE), "49152");
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_DETAILS),
                        WithSystemText("Error Code: 0000C000 (49152)", 0xC000));

              // The second record of code 1, picked in the list, not the first one.
              const int row = FirstRow(1) + 1;
              EXPECT_EQ(RecordAt(catalog, row)->code, 1u);
              LVITEMA item{};
              item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
              SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_HEX), "00000001");
              EXPECT_EQ(DlgItemText(dialog, IDC_ERRORS_DETAILS),
                        WithSystemText(FormatErrorDetails(catalog, 1, *RecordAt(catalog, row)), 1));

              // A module that does not exist: the system's text describes the failed load.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "no_such_module.dll");
              TypeInto(dialog, IDC_ERRORS_CODE, "5");
              const std::string missing = SystemPart(DlgItemText(dialog, IDC_ERRORS_DETAILS));
              EXPECT_TRUE(missing == SystemMessageText(ERROR_FILE_NOT_FOUND) ||
                          missing == SystemMessageText(ERROR_MOD_NOT_FOUND))
                  << missing;
              // The internet library's own table knows 12002, which the system's does not.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "wininet.dll");
              TypeInto(dialog, IDC_ERRORS_CODE, "12002");
              const std::string own = SystemPart(DlgItemText(dialog, IDC_ERRORS_DETAILS));
              EXPECT_NE(own.find("timed out"), std::string::npos) << own;
              // Leaving the Module field refreshes the details for the code shown.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "");
              SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ERRORS_MODULE, EN_KILLFOCUS),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ERRORS_MODULE)));
              EXPECT_EQ(SystemPart(DlgItemText(dialog, IDC_ERRORS_DETAILS)),
                        SystemMessageText(12002));
          }}});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, app->main);
}

} // namespace
} // namespace stx::test
