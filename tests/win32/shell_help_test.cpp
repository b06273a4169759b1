// Shell registration read back from the prefix's registry, the custom help
// file dialog and the About box.
#include <windows.h>

#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/settings.h"
#include "app/ui_texts.h"
#include "editor_fixture.h"
#include "platform/help.h"
#include "platform/shell_registration.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace stx::test {
namespace {

// Every key and value under a key of the classes root, as text.
std::string Dump(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::string out = "[" + path + "]\n";
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        out += std::string(name, nameSize) + "=" + std::to_string(type) + ":" +
               std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        out += Dump(parent, path + "\\" + name);
    }
    RegCloseKey(key);
    return out;
}

std::string Registered() {
    std::string all;
    for (const char* root : {"txtfile", ".txt", ".log", ".as", ".dic", ".exc", ".nfo", ".diz",
                             ".ion", "batfile", "ChannelFile", "inffile", "inifile", "iqyfile",
                             "JSFile", "regfile", "scpfile", "VBSFile"})
        all += Dump(HKEY_CLASSES_ROOT, root);
    return all;
}

std::string DefaultValue(const char* path) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CLASSES_ROOT, path, nullptr, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "<none>";
    return data;
}

using ShellRegistrationTest = EditorTest;

TEST_F(ShellRegistrationTest, WritesEveryVerbAndRunsTwiceToTheSameRegistry) {
    // The command registers the running program.
    Command(IDM_REGISTER_SHELL);
    EXPECT_EQ(DefaultValue("txtfile\\Shell\\Open\\command"), "\"" + ProgramPath() + "\" \"%1\"");

    // A program path with spaces.
    const std::string program = "C:\\Program Files\\Stratext Test\\stratext.exe";
    ASSERT_EQ(RegisterShellExtension(program), ERROR_SUCCESS);
    const std::string first = Registered();
    ASSERT_EQ(RegisterShellExtension(program), ERROR_SUCCESS);
    EXPECT_EQ(Registered(), first);

    const std::string quoted = "\"" + program + "\"";
    EXPECT_EQ(DefaultValue("txtfile\\Shell\\Print 3D text\\command"), quoted + " \"/3 %1\"");
    EXPECT_EQ(DefaultValue("regfile\\Shell\\Print text\\command"), quoted + " \"/P %1\"");
    EXPECT_EQ(DefaultValue("JSFile\\Shell\\Edit\\Command"), quoted + " \"%1\"");
    EXPECT_EQ(DefaultValue("txtfile\\DefaultIcon"), program + ",1");
    EXPECT_EQ(DefaultValue(".nfo"), "txtfile");
    EXPECT_EQ(DefaultValue("txtfile"), "Text Document");
    DWORD flags = 0;
    DWORD size = sizeof flags;
    EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, "txtfile\\Shell\\Open", "EditFlags",
                           RRF_RT_REG_BINARY, nullptr, &flags, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(flags, 1u);
    // Types that only open get no print verbs.
    EXPECT_EQ(first.find("[iqyfile\\Shell\\Print"), std::string::npos);
    EXPECT_EQ(first.find("[scpfile\\shell\\Print"), std::string::npos);
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

    // The caption and text of the help window a command opens; it is closed with OK.
    std::pair<std::string, std::string> HelpWindowOf(int command) {
        std::pair<std::string, std::string> seen;
        DriveDialog<int>(
            [&] {
                Command(command);
                return 0;
            },
            [&](HWND window) {
                seen.first = WindowText(window);
                seen.second = WindowText(GetDlgItem(window, IDC_HELP_TEXT));
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            });
        return seen;
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
    EXPECT_EQ(HelpWindowOf(IDM_HELP_EDITOR).second, EditorKeyHelpText(UiLanguage::Romanian));
    EXPECT_EQ(HelpWindowOf(IDM_HELP_COMPILER),
              std::make_pair(std::string(kCompilerHelpTitle.romanian),
                             ScriptHelpText(UiLanguage::Romanian)));
    about = AnswerBoxes([&] { Command(IDM_HELP_ABOUT); }, {{IDOK, {}}});
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0].text, AboutText(UiLanguage::Romanian));
    EXPECT_NE(AboutText(UiLanguage::Romanian), AboutText(UiLanguage::English));
    EXPECT_NE(AboutText(UiLanguage::Romanian), AboutText(UiLanguage::RomanianDiacritics));
}

TEST_F(HelpTest, CustomHelpFileDialogOkTakesTheFieldsAndCancelKeepsEverything) {
    app->settings.customHelpFile = "old.hlp";
    app->settings.helpOptions = kHelpF1GoesToIndex | kHelpUsed;
    std::string seenFile;
    bool seenClose = true;
    bool seenIndex = false;
    DriveDialog<int>(
        [&] { return static_cast<int>(Command(IDM_HELP_DEFINE)); },
        [&](HWND dialog) {
            seenFile = WindowText(GetDlgItem(dialog, IDC_HELPFILE_NAME));
            seenClose = Checked(dialog, IDC_HELPFILE_CLOSE_ON_EXIT);
            seenIndex = Checked(dialog, IDC_HELPFILE_F1_INDEX);
            SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\new.hlp");
            SendDlgItemMessageA(dialog, IDC_HELPFILE_CLOSE_ON_EXIT, BM_SETCHECK, BST_CHECKED, 0);
            SendDlgItemMessageA(dialog, IDC_HELPFILE_F1_INDEX, BM_SETCHECK, BST_UNCHECKED, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
        });
    EXPECT_EQ(seenFile, "old.hlp");
    EXPECT_FALSE(seenClose);
    EXPECT_TRUE(seenIndex);
    EXPECT_EQ(app->settings.customHelpFile, "C:\\new.hlp");
    EXPECT_EQ(app->settings.helpOptions, kHelpCloseOnExit | kHelpUsed);

    // The Romanian template; Cancel changes nothing.
    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    std::string caption;
    DriveDialog<int>([&] { return static_cast<int>(Command(IDM_HELP_DEFINE)); },
                     [&](HWND dialog) {
                         caption = WindowText(dialog);
                         SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\other.hlp");
                         PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
                     });
    EXPECT_EQ(caption, "Stabilire fisier documentatie");
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
