// Insert data and the HTML index through the running editor's commands on
// real files (what the pages say is the generator's own business), and every
// search and tool dialog in every UI language.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

using ToolDialogs = EditorTest;

TEST_F(ToolDialogs, EveryDialogInEveryLanguage) {
    struct Expected {
        int command;
        const char* english;
        const char* romanian; // both Romanian settings
    };
    const Expected dialogs[] = {
        {IDM_EDIT_FIND, "Find Text", "Cautare Text"},
        {IDM_EDIT_REPLACE, "Replace text", "Inlocuire text"},
        {IDM_EDIT_GOTO_LINE, "Go to Line:", "Pozitionare cursor:"},
        {IDM_INSERT_DATA, "Insert data", "Inserare date"},
        {IDM_DIR_TO_HTML, "Generate HTML index", "Generare index HTML"},
    };
    for (int language :
         {IDM_LANGUAGE_ENGLISH, IDM_LANGUAGE_ROMANIAN, IDM_LANGUAGE_ROMANIAN_DIACRITICS}) {
        Command(language);
        for (const Expected& expected : dialogs) {
            auto seen = AnswerBoxes([&] { Command(expected.command); }, {{IDC_DIALOG_CANCEL, {}}});
            ASSERT_EQ(seen.size(), 1u) << expected.command << " in " << language;
            EXPECT_EQ(seen[0].caption,
                      language == IDM_LANGUAGE_ENGLISH ? expected.english : expected.romanian)
                << expected.command << " in " << language;
        }
    }
}

TEST_F(ToolDialogs, InsertDataOfARealFileIsOneUndoStep) {
    TempFile file("logo.bmp", "\x42\x4D\x0A");
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
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
    EXPECT_EQ(missing.caption, "Stratext");
    EXPECT_FALSE(binaryEnabled);
    EXPECT_TRUE(decimalChecked);
    EXPECT_EQ(Text(), "x\r\nunsigned char logo_bm[]={\r\n0x42,0x4D,\r\n0x0A};\r\n");
    EXPECT_EQ(app->insertData.language, DataLanguage::C);
    EXPECT_EQ(app->insertData.radix, DataRadix::Hexadecimal);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), "x");
}

TEST_F(ToolDialogs, HtmlIndexOfARealTree) {
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
                      saveLabel = WindowText(GetDlgItem(dialog, IDC_DIALOG_OK));
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

} // namespace
} // namespace stx::test
