// Every command a user can send (menus of the three languages, toolbar,
// accelerators, the view's popup menu) reaches a handler. A command that
// would silently do nothing fails here.
#include <windows.h>

#include <commctrl.h>

#include <set>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "editor_fixture.h"
#include "platform/accelerators.h"
#include "platform/commands.h"

namespace stx::test {

namespace {

void AddMenuCommands(HMENU menu, std::set<int>& commands) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU popup = GetSubMenu(menu, i)) {
            AddMenuCommands(popup, commands);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1)) commands.insert(static_cast<int>(id));
    }
}

using CommandsTest = EditorTest;

TEST_F(CommandsTest, EveryCommandReachesAHandler) {
    std::set<int> commands;
    for (int resource : {IDR_MENU_ENGLISH, IDR_MENU_ROMANIAN, IDR_MENU_ROMANIAN_DIACRITICS}) {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
        ASSERT_NE(menu, nullptr) << resource;
        AddMenuCommands(menu, commands);
        DestroyMenu(menu);
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
