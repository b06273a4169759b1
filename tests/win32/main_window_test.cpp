// The main window built in-process: its children, its menus in every language
// and the language switch, every command reaching a handler, the commands of
// the Edit menu and the keys that have no menu item, shell registration read
// back from the prefix's registry, the help commands and the About box.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/menu_state.h"
#include "app/settings.h"
#include "app/shell_registration.h"
#include "app/ui_texts.h"
#include "platform/accelerators.h"
#include "platform/commands.h"
#include "platform/help.h"
#include "platform/shell_registration.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

// A menu flattened item by item; a popup's items follow it and end with an
// item of id -1, so two lists are equal only for menus of the same shape.
struct MenuItem {
    int id;
    bool popup, separator, rightJustified;
    bool operator==(const MenuItem&) const = default;
};

void Flatten(HMENU menu, std::vector<MenuItem>& items, std::set<int>& checked) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        items.push_back({info.hSubMenu ? 0 : static_cast<int>(info.wID), info.hSubMenu != nullptr,
                         (info.fType & MFT_SEPARATOR) != 0, (info.fType & MFT_RIGHTJUSTIFY) != 0});
        if (info.fState & MFS_CHECKED) checked.insert(static_cast<int>(info.wID));
        if (!info.hSubMenu) continue;
        Flatten(info.hSubMenu, items, checked);
        items.push_back({-1, false, false, false});
    }
}

class MainWindowTest : public EditorTest {
  protected:
    // Runs Copy to, answers its save dialog with `path` and then every box
    // after it with OK; returns the boxes seen.
    std::vector<SeenBox> CopyTo(const std::string& path, size_t boxes = 1) {
        std::vector<BoxAnswer> answers{
            {IDOK, [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), path.c_str()); }}};
        answers.resize(boxes, BoxAnswer{IDOK, {}});
        return AnswerBoxes([&] { Command(IDM_EDIT_COPY_TO); }, answers);
    }
};

TEST_F(MainWindowTest, ViewFillsTheSpaceBetweenTheBars) {
    EXPECT_EQ(GetWindowLongA(app->view, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, WS_EX_ACCEPTFILES);
    RECT client, view, status;
    GetClientRect(app->main, &client);
    GetWindowRect(app->view, &view);
    GetWindowRect(app->status, &status);
    EXPECT_EQ(view.bottom, status.top);
    EXPECT_EQ(view.right - view.left, client.right);
}

// The three menu resources have the same shape and commands, the help popup
// at the right and the check marks of the built-in settings; every command of
// the menus, the toolbar, the accelerators and the view's popup menu reaches a
// handler.
TEST_F(MainWindowTest, MenusAgreeInEveryLanguageAndEveryCommandReachesAHandler) {
    const UiLanguage languages[] = {UiLanguage::English, UiLanguage::Romanian,
                                    UiLanguage::RomanianDiacritics};
    std::vector<MenuItem> menus[3];
    std::set<int> checked[3];
    for (int i = 0; i < 3; ++i) {
        HMENU menu =
            LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MenuResourceFor(languages[i])));
        ASSERT_NE(menu, nullptr);
        Flatten(menu, menus[i], checked[i]);
        DestroyMenu(menu);
    }
    const std::vector<MenuItem>& english = menus[0];
    std::multiset<int> ids;
    for (const MenuItem& item : english)
        if (item.id > 0) ids.insert(item.id);
    EXPECT_EQ(ids.size(), 70u);
    for (int id : ids)
        EXPECT_EQ(ids.count(id), 1u) << "command twice: " << id;
    size_t justified = 0;
    for (const MenuItem& item : english)
        justified += item.rightJustified;
    EXPECT_EQ(justified, 1u) << "the help popup, and nothing else, stands at the right";

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(menus[i] == english);
        MenuCheckState defaults;
        defaults.language = languages[i];
        std::set<int> expected = {IDM_STREAM_DEFAULT};
        for (const MenuCheck& mark : MenuCheckMarks(defaults))
            if (mark.checked) expected.insert(mark.command);
        EXPECT_EQ(checked[i], expected);
    }

    std::set<int> commands(ids.begin(), ids.end());
    const auto buttons = static_cast<int>(SendMessageA(app->toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons; ++i) {
        TBBUTTON button{};
        SendMessageA(app->toolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & TBSTYLE_SEP)) commands.insert(button.idCommand);
    }
    for (size_t i = 0; i < kAcceleratorCount; ++i)
        commands.insert(kAcceleratorTable[i].cmd);
    for (const CommandTrilingualText& item : kViewPopupMenu)
        if (item.command != 0) commands.insert(item.command);
    for (int command : commands)
        EXPECT_NE(FindCommandHandler(command), nullptr) << command << " reaches no handler";
}

TEST_F(MainWindowTest, LanguageSwitchReloadsMenuAndKeepsMarks) {
    auto tooltip = [&](int command) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = app->toolbar;
        info.hdr.idFrom = static_cast<UINT_PTR>(command);
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(app->main, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "");
    };
    EXPECT_EQ(MenuText(IDM_FILE_NEW), L"&New\tCtrl+N");
    EXPECT_EQ(tooltip(IDM_FILE_PRINT_3D), "Print 3D Text ...");
    EXPECT_TRUE(Checked(IDM_LANGUAGE_ENGLISH));
    HMENU streams = app->streamsPopup;
    ASSERT_NE(streams, nullptr);

    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    // The letters with diacritics are checked in Unicode: the ANSI form depends
    // on the system code page (Windows-1250 on a Romanian system).
    EXPECT_EQ(MenuText(IDM_FILE_PRINT_TEXT), L"Ti&p\u0103rire text ...\tCtrl+Shift+P");
    // The title, the status bar and the tooltips speak the new language at once.
    wchar_t title[64] = {};
    GetWindowTextW(app->main, title, 64);
    EXPECT_EQ(std::wstring(title), L"Stratext - F\u0103r\u0103 titlu");
    EXPECT_EQ(StatusPart(1), "Linia: 1");
    EXPECT_EQ(tooltip(IDM_FILE_PRINT_3D), "Tiparire text 3D ...");
    EXPECT_TRUE(Checked(IDM_LANGUAGE_ROMANIAN_DIACRITICS));
    EXPECT_FALSE(Checked(IDM_LANGUAGE_ENGLISH));
    EXPECT_TRUE(Checked(IDM_DIRECTION_SE));
    // The stream popup is the same menu, back in its place.
    EXPECT_EQ(GetSubMenu(GetSubMenu(GetMenu(app->main), 0), 5), streams);

    // Choosing the language in force again does not reload the menu.
    HMENU before = GetMenu(app->main);
    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    EXPECT_EQ(GetMenu(app->main), before);

    Command(IDM_LANGUAGE_ROMANIAN);
    EXPECT_EQ(MenuText(IDM_FILE_NEW), L"Document &nou\tCtrl+N");
}

TEST_F(MainWindowTest, CopyToWritesTheSelectionOrTheWholeTextAndReportsFailure) {
    const std::string path = TempDirectory() + "stratext copy to.txt";
    SetText("one\r\ntwo");
    // Another handle holds the file open without sharing: an error, never success.
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::vector<SeenBox> seen = CopyTo(path, 2);
    CloseHandle(lock);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, "Big fucking error");
    EXPECT_NE(StatusPart(0), "File written successfully");

    CopyTo(path);
    EXPECT_EQ(ReadBytes(path), "one\r\ntwo");
    EXPECT_EQ(StatusPart(0), "File written successfully");
    Select(2, 6);
    CopyTo(path);
    EXPECT_EQ(ReadBytes(path), "e\r\nt");
    DeleteFileA(path.c_str());
}

TEST_F(MainWindowTest, SelectAllAndTheDisplayModeKey) {
    SetText("abc\r\nde");
    Command(IDM_EDIT_SELECT_ALL);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{7}));

    // F4 steps the display mode and switches the address column.
    bool before = app->settings.render.showAddress;
    Command(IDM_DISPLAY_MODE_NEXT);
    EXPECT_NE(app->settings.render.showAddress, before);
    EXPECT_EQ(app->displayMode, 1);
    Command(IDM_DISPLAY_MODE_NEXT);
    EXPECT_EQ(app->settings.render.showAddress, before);
}

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
        auto seen = AnswerBoxes(
            [&] { Command(command); },
            {{IDCANCEL, [&](HWND window) { text = DlgItemText(window, IDC_HELP_TEXT); }}});
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
              seenFile = DlgItemText(dialog, IDC_HELPFILE_NAME);
              seenClose = IsDlgButtonChecked(dialog, IDC_HELPFILE_CLOSE_ON_EXIT) == BST_CHECKED;
              seenIndex = IsDlgButtonChecked(dialog, IDC_HELPFILE_F1_INDEX) == BST_CHECKED;
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
