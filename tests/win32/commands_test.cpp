// Every command a user can send (menus of the three languages, toolbar,
// accelerators, the view's popup menu) reaches a handler. A command that
// would silently do nothing fails here.
#include <windows.h>

#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/menu_state.h"
#include "app/ui_texts.h"
#include "editor_fixture.h"
#include "platform/accelerators.h"
#include "platform/commands.h"

namespace stx::test {

namespace {

// A menu flattened item by item; a popup's items follow it and end with an
// item of id -1, so two lists are equal only for menus of the same shape.
struct MenuItem {
    int id;
    bool popup, separator, rightJustified, checked;
    std::wstring text;
};

void Flatten(HMENU menu, std::vector<MenuItem>& items) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        items.push_back({info.hSubMenu ? 0 : static_cast<int>(info.wID), info.hSubMenu != nullptr,
                         (info.fType & MFT_SEPARATOR) != 0, (info.fType & MFT_RIGHTJUSTIFY) != 0,
                         (info.fState & MFS_CHECKED) != 0, text});
        if (!info.hSubMenu) continue;
        Flatten(info.hSubMenu, items);
        items.push_back({-1, false, false, false, false, L""});
    }
}

// The Romanian letters with diacritics as their plain letters.
std::wstring FoldDiacritics(std::wstring text) {
    static const std::wstring marked = L"\u0103\u00E2\u00EE\u00CE\u015F\u015E\u0163";
    static const std::wstring plain = L"aaiIsSt";
    for (wchar_t& c : text)
        if (const auto at = marked.find(c); at != std::wstring::npos) c = plain[at];
    return text;
}

using CommandsTest = EditorTest;

// The three menu resources have the same shape and commands, the help popup
// at the right, the check marks of the built-in settings, and Romanian labels
// that differ only by their diacritics.
TEST_F(CommandsTest, MenusAgreeInEveryLanguage) {
    const UiLanguage languages[] = {UiLanguage::English, UiLanguage::Romanian,
                                    UiLanguage::RomanianDiacritics};
    std::vector<MenuItem> menus[3];
    for (int i = 0; i < 3; ++i) {
        HMENU menu =
            LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MenuResourceFor(languages[i])));
        ASSERT_NE(menu, nullptr);
        Flatten(menu, menus[i]);
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

    size_t differing = 0;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(menus[i].size(), english.size());
        MenuCheckState defaults;
        defaults.language = languages[i];
        std::set<int> expected = {IDM_STREAM_DEFAULT}, checked;
        for (const MenuCheck& mark : MenuCheckMarks(defaults))
            if (mark.checked) expected.insert(mark.command);
        for (size_t j = 0; j < english.size(); ++j) {
            const MenuItem& item = menus[i][j];
            EXPECT_EQ(item.id, english[j].id) << j;
            EXPECT_EQ(item.popup, english[j].popup) << j;
            EXPECT_EQ(item.separator, english[j].separator) << j;
            EXPECT_EQ(item.rightJustified, english[j].rightJustified) << j;
            if (item.checked) checked.insert(item.id);
            if (i == 2) {
                EXPECT_EQ(FoldDiacritics(item.text), FoldDiacritics(menus[1][j].text));
                differing += item.text != menus[1][j].text;
            }
        }
        EXPECT_EQ(checked, expected);
    }
    EXPECT_EQ(differing, 30u);
}

TEST_F(CommandsTest, EveryCommandReachesAHandler) {
    std::set<int> commands;
    for (int resource : {IDR_MENU_ENGLISH, IDR_MENU_ROMANIAN, IDR_MENU_ROMANIAN_DIACRITICS}) {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
        ASSERT_NE(menu, nullptr) << resource;
        std::vector<MenuItem> items;
        Flatten(menu, items);
        DestroyMenu(menu);
        for (const MenuItem& item : items)
            if (item.id > 0) commands.insert(item.id);
    }
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
    ASSERT_GT(commands.size(), 70u);

    for (int command : commands)
        EXPECT_NE(FindCommandHandler(command), nullptr) << command << " reaches no handler";
}

} // namespace

} // namespace stx::test
