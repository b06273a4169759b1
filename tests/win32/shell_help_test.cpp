// Shell registration read back from the prefix's registry, the custom help
// file dialog and the About box.
#include <windows.h>

#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/settings.h"
#include "platform/help.h"
#include "platform/shell_registration.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(ShellRegistration, WritesEveryVerbAndRunsTwiceToTheSameRegistry) {
    const std::string program = "C:\\Program Files\\Stratext Test\\stratext.exe";
    ASSERT_TRUE(RegisterShellExtension(program));
    const std::string first = Registered();
    ASSERT_TRUE(RegisterShellExtension(program));
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

struct HelpDialogState {
    std::string file = "old.hlp";
    std::uint8_t options = kHelpF1GoesToIndex | kHelpUsed;
};

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(CustomHelpDialog, OkTakesTheFieldsAndCancelKeepsEverything) {
    HelpDialogState state;
    std::string seenFile;
    bool seenClose = true;
    bool seenIndex = false;
    const bool ok = DriveDialog<bool>(
        [&] {
            return ShowCustomHelpDialog(nullptr, UiLanguage::English, state.file, state.options);
        },
        [&](HWND dialog) {
            seenFile = WindowText(GetDlgItem(dialog, IDC_HELPFILE_NAME));
            seenClose = Checked(dialog, IDC_HELPFILE_CLOSE_ON_EXIT);
            seenIndex = Checked(dialog, IDC_HELPFILE_F1_INDEX);
            SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\new.hlp");
            SendDlgItemMessageA(dialog, IDC_HELPFILE_CLOSE_ON_EXIT, BM_SETCHECK, BST_CHECKED, 0);
            SendDlgItemMessageA(dialog, IDC_HELPFILE_F1_INDEX, BM_SETCHECK, BST_UNCHECKED, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
        });
    EXPECT_TRUE(ok);
    EXPECT_EQ(seenFile, "old.hlp");
    EXPECT_FALSE(seenClose);
    EXPECT_TRUE(seenIndex);
    EXPECT_EQ(state.file, "C:\\new.hlp");
    EXPECT_EQ(state.options, kHelpCloseOnExit | kHelpUsed);

    // The Romanian template; Cancel changes nothing.
    std::string caption;
    const bool cancelled = !DriveDialog<bool>(
        [&] {
            return ShowCustomHelpDialog(nullptr, UiLanguage::RomanianDiacritics, state.file,
                                        state.options);
        },
        [&](HWND dialog) {
            caption = WindowText(dialog);
            SetWindowTextA(GetDlgItem(dialog, IDC_HELPFILE_NAME), "C:\\other.hlp");
            SendDlgItemMessageA(dialog, IDC_HELPFILE_F1_INDEX, BM_SETCHECK, BST_CHECKED, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
        });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(caption, "Stabilire fisier documentatie");
    EXPECT_EQ(state.file, "C:\\new.hlp");
    EXPECT_EQ(state.options, kHelpCloseOnExit | kHelpUsed);
}

TEST(AboutBox, ShowsTheTextOfEachLanguage) {
    for (UiLanguage language :
         {UiLanguage::English, UiLanguage::Romanian, UiLanguage::RomanianDiacritics}) {
        const std::vector<SeenBox> seen =
            AnswerBoxes([&] { ShowAboutBox(nullptr, language); }, {{IDOK, {}}});
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Stratext");
        EXPECT_EQ(seen[0].text, AboutText(language));
    }
    EXPECT_NE(AboutText(UiLanguage::English), AboutText(UiLanguage::Romanian));
    EXPECT_NE(AboutText(UiLanguage::Romanian), AboutText(UiLanguage::RomanianDiacritics));
}

} // namespace
} // namespace stx::test
