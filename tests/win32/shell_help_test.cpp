// Shell registration read back from the prefix's registry, the custom help
// file dialog and the About box.
#include <windows.h>

#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/settings.h"
#include "app/shell_registration.h"
#include "app/ui_texts.h"
#include "platform/help.h"
#include "platform/shell_registration.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace stx::test {
namespace {

// A value of a key of the classes root as stored: its type and bytes.
std::pair<DWORD, std::string> Stored(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return {REG_NONE, "<no key>"};
    char data[1024];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS)
        size = 0;
    RegCloseKey(handle);
    return {type, std::string(data, size)};
}

using ShellRegistrationTest = EditorTest;

TEST_F(ShellRegistrationTest, WritesEveryValueAndRunsTwice) {
    // The command registers the running program.
    Command(IDM_REGISTER_SHELL);
    EXPECT_EQ(Stored("txtfile\\Shell\\Open\\command", "").second,
              "\"" + ProgramPath() + "\" \"%1\"" + '\0');

    // A program path with spaces, registered twice: every value stands as
    // written, the strings with their terminator.
    const std::string program = "C:\\Program Files\\Stratext Test\\stratext.exe";
    ASSERT_EQ(RegisterShellExtension(program), ERROR_SUCCESS);
    ASSERT_EQ(RegisterShellExtension(program), ERROR_SUCCESS);
    for (const ShellRegistryValue& v : ShellRegistrationValues(program))
        EXPECT_EQ(Stored(v.key, v.name),
                  std::make_pair(static_cast<DWORD>(v.binary ? REG_BINARY : REG_SZ),
                                 v.binary ? v.data : v.data + '\0'))
            << v.key << " " << v.name;
}

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// What the help viewer was asked, in place of the viewer itself.
struct ViewerCall {
    std::string file;
    UINT command;
    std::string keyword;
};
std::vector<ViewerCall> viewerCalls;

BOOL WINAPI RecordViewer(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
    viewerCalls.push_back({file ? file : "", command,
                           command == HELP_PARTIALKEY ? reinterpret_cast<const char*>(data) : ""});
    return TRUE;
}

class HelpTest : public EditorTest {
  protected:
    void SetUp() override {
        viewerCalls.clear();
        SetHelpViewerForTests(RecordViewer);
        EditorTest::SetUp();
    }
    void TearDown() override {
        EditorTest::TearDown();
        SetHelpViewerForTests(nullptr);
    }

    // The caption and text of the help window a command opens.
    std::pair<std::string, std::string> HelpWindowOf(int command) {
        std::string text;
        auto seen = AnswerBoxes([&] { Command(command); },
                                {{IDCANCEL, [&](HWND window) {
                                      text = WindowText(GetDlgItem(window, IDC_HELP_TEXT));
                                  }}});
        return {seen.empty() ? "<none>" : seen[0].caption, text};
    }
};

TEST_F(HelpTest, HelpTextsAndAboutInEachLanguage) {
    EXPECT_EQ(HelpWindowOf(IDM_HELP_EDITOR),
              std::make_pair(std::string("Editor"), EditorKeyHelpText(UiLanguage::English)));
    auto about = AnswerBoxes([&] { Command(IDM_HELP_ABOUT); }, {{IDOK, {}}});
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0].caption, "Stratext");
    EXPECT_EQ(about[0].text, AboutText(UiLanguage::English));
    EXPECT_EQ(about[0].owner, app->main);

    Command(IDM_LANGUAGE_ROMANIAN);
    EXPECT_EQ(HelpWindowOf(IDM_HELP_COMPILER),
              std::make_pair(std::string(kCompilerHelpTitle.romanian),
                             ScriptHelpText(UiLanguage::Romanian)));
}

TEST_F(HelpTest, CustomHelpFileDialogOkTakesTheFieldsAndCancelKeepsEverything) {
    app->settings.customHelpFile = "old.hlp";
    app->settings.helpOptions = kHelpF1GoesToIndex | kHelpUsed;
    std::string seenFile;
    bool seenClose = true;
    bool seenIndex = false;
    AnswerBoxes(
        [&] { Command(IDM_HELP_DEFINE); },
        {{IDC_DIALOG_OK, [&](HWND dialog) {
              seenFile = WindowText(GetDlgItem(dialog, IDC_HELPFILE_NAME));
              seenClose = Checked(dialog, IDC_HELPFILE_CLOSE_ON_EXIT);
              seenIndex = Checked(dialog, IDC_HELPFILE_F1_INDEX);
              SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\new.hlp");
              SendDlgItemMessageA(dialog, IDC_HELPFILE_CLOSE_ON_EXIT, BM_SETCHECK, BST_CHECKED, 0);
              SendDlgItemMessageA(dialog, IDC_HELPFILE_F1_INDEX, BM_SETCHECK, BST_UNCHECKED, 0);
          }}});
    EXPECT_EQ(seenFile, "old.hlp");
    EXPECT_FALSE(seenClose);
    EXPECT_TRUE(seenIndex);
    EXPECT_EQ(app->settings.customHelpFile, "C:\\new.hlp");
    EXPECT_EQ(app->settings.helpOptions, kHelpCloseOnExit | kHelpUsed);

    // Cancel changes nothing.
    AnswerBoxes([&] { Command(IDM_HELP_DEFINE); },
                {{IDC_DIALOG_CANCEL, [&](HWND dialog) {
                      SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\other.hlp");
                  }}});
    EXPECT_EQ(app->settings.customHelpFile, "C:\\new.hlp");
    EXPECT_EQ(app->settings.helpOptions, kHelpCloseOnExit | kHelpUsed);
}

TEST_F(HelpTest, HelpFileKeywordAndClosingOnExit) {
    app->settings.customHelpFile = "api.hlp";
    app->settings.helpOptions = kHelpCloseOnExit;
    // F1 opens the help file, as the main window receives it.
    SendMessageA(app->main, WM_HELP, 0, 0);
    ASSERT_EQ(viewerCalls.size(), 1u);
    EXPECT_EQ(viewerCalls[0].file, "api.hlp");
    EXPECT_EQ(viewerCalls[0].command, static_cast<UINT>(HELP_CONTENTS));
    EXPECT_TRUE(app->settings.helpOptions & kHelpUsed);

    // Ctrl+F1 looks up the word at the caret.
    Type("invoke CreateWindowExA, 0");
    Select(12, 12);
    Command(IDM_HELP_TOPIC_SEARCH);
    ASSERT_EQ(viewerCalls.size(), 2u);
    EXPECT_EQ(viewerCalls[1].command, static_cast<UINT>(HELP_PARTIALKEY));
    EXPECT_EQ(viewerCalls[1].keyword, "CreateWindowExA");

    // Help was used and closing it on exit was asked for: the editor's end closes it.
    EditorTest::TearDown();
    ASSERT_EQ(viewerCalls.size(), 3u);
    EXPECT_EQ(viewerCalls[2].command, static_cast<UINT>(HELP_QUIT));
    EditorTest::SetUp(); // for the fixture's own tear-down
}

} // namespace
} // namespace stx::test
