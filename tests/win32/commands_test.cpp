// Every command a user can send (menus of the three languages, toolbar,
// accelerators, the view's popup menu) reaches a handler. A command that
// would silently do nothing fails here; the commands of features still to be
// built are listed as such, and the list must shrink as they arrive.
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

const std::set<int> kNotBuiltYet = {
    IDM_STREAM_NEW,          IDM_HARD_LINK_CREATE, IDM_STREAM_DEFAULT,   IDM_STREAM_DELETE,
    IDM_FILE_PRINT_TEXT,     IDM_FILE_PRINT_3D,    IDM_EDIT_FIND,        IDM_EDIT_FIND_NEXT,
    IDM_EDIT_GOTO_LINE,      IDM_EDIT_REPLACE,     IDM_COMPILE,          IDM_COMPILE_CONFIGURE,
    IDM_COMPILE_RUN,         IDM_RUN_EXECUTABLE,   IDM_REGISTER_SHELL,   IDM_DIR_TO_HTML,
    IDM_INSERT_DATA,         IDM_HELP_ABOUT,       IDM_HELP_COMPILER,    IDM_HELP_EDITOR,
    IDM_HELP_WINDOWS_ERRORS, IDM_HELP_DEFINE,      IDM_HELP_CUSTOM_FILE, IDM_HELP_TOPIC_SEARCH,
};

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

    for (int command : commands) {
        if (kNotBuiltYet.count(command))
            EXPECT_EQ(FindCommandHandler(command), nullptr) << command << " is built now";
        else
            EXPECT_NE(FindCommandHandler(command), nullptr) << command << " reaches no handler";
    }
    for (int command : kNotBuiltYet)
        EXPECT_TRUE(commands.count(command)) << command << " is sent by nothing";
}

} // namespace

} // namespace stx::test
