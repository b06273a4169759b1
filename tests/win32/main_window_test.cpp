// The main window built in-process: its children, menus and language switch.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "editor_fixture.h"
#include "win32_test_support.h"

namespace stx::test {

class MainWindowTest : public EditorTest {
  protected:
    std::string MenuText(UINT command) {
        char text[256] = {};
        GetMenuStringA(GetMenu(app->main), command, text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    bool Checked(UINT command) {
        return GetMenuState(GetMenu(app->main), command, MF_BYCOMMAND) & MF_CHECKED;
    }
};

TEST_F(MainWindowTest, WindowsAndLayout) {
    EXPECT_EQ(GetWindowLongA(app->view, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, WS_EX_ACCEPTFILES);

    // Status bar parts: 300 and 150 pixels at the right.
    RECT client;
    GetClientRect(app->main, &client);
    int parts[3] = {};
    EXPECT_EQ(SendMessageA(app->status, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(parts)), 3);
    EXPECT_EQ(parts[0], client.right - 300);
    EXPECT_EQ(parts[1], client.right - 150);

    // The view fills the space between toolbar and status bar.
    RECT view, status;
    GetWindowRect(app->view, &view);
    GetWindowRect(app->status, &status);
    EXPECT_EQ(view.bottom, status.top);
    EXPECT_EQ(view.right - view.left, client.right);

    EXPECT_EQ(WindowText(app->main), "Stratext - Untitled");
}

TEST_F(MainWindowTest, LanguageSwitchReloadsMenuAndKeepsMarks) {
    EXPECT_EQ(MenuText(IDM_FILE_NEW), "&New\tCtrl+N");
    EXPECT_TRUE(Checked(IDM_LANGUAGE_ENGLISH));
    HMENU streams = app->streamsPopup;
    ASSERT_NE(streams, nullptr);

    SendMessageA(app->main, WM_COMMAND, IDM_LANGUAGE_ROMANIAN_DIACRITICS, 0);
    // The letters with diacritics are checked in Unicode: the ANSI form depends
    // on the system code page (Windows-1250 on a Romanian system).
    wchar_t wide[64] = {};
    GetMenuStringW(GetMenu(app->main), IDM_FILE_PRINT_TEXT, wide, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(wide), L"Ti&p\u0103rire text ...\tCtrl+Shift+P");
    // The title and the status bar speak the new language at once.
    GetWindowTextW(app->main, wide, 64);
    EXPECT_EQ(std::wstring(wide), L"Stratext - F\u0103r\u0103 titlu");
    EXPECT_EQ(StatusPart(1), "Linia: 1");
    EXPECT_TRUE(Checked(IDM_LANGUAGE_ROMANIAN_DIACRITICS));
    EXPECT_FALSE(Checked(IDM_LANGUAGE_ENGLISH));
    EXPECT_TRUE(Checked(IDM_DIRECTION_SE));
    // The stream popup is the same menu, back in its place.
    EXPECT_EQ(GetSubMenu(GetSubMenu(GetMenu(app->main), 0), 5), streams);

    // Choosing the language in force again does not reload the menu.
    HMENU before = GetMenu(app->main);
    SendMessageA(app->main, WM_COMMAND, IDM_LANGUAGE_ROMANIAN_DIACRITICS, 0);
    EXPECT_EQ(GetMenu(app->main), before);

    SendMessageA(app->main, WM_COMMAND, IDM_LANGUAGE_ROMANIAN, 0);
    EXPECT_EQ(MenuText(IDM_FILE_NEW), "Document &nou\tCtrl+N");
}

TEST_F(MainWindowTest, ToolbarTooltipsFollowLanguage) {
    auto tooltip = [&](int command) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = app->toolbar;
        info.hdr.idFrom = static_cast<UINT_PTR>(command);
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(app->main, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "");
    };
    EXPECT_EQ(tooltip(IDM_FILE_PRINT_3D), "Print 3D Text ...");
    SendMessageA(app->main, WM_COMMAND, IDM_LANGUAGE_ROMANIAN_DIACRITICS, 0);
    EXPECT_EQ(tooltip(IDM_FILE_PRINT_3D), "Tiparire text 3D ...");
    EXPECT_EQ(tooltip(IDM_HELP_TOPIC_SEARCH), "Informatii ...");
}

} // namespace stx::test
