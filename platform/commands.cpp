#include "platform/commands.h"

#include <richedit.h>

#include <iterator>

#include "app/command_ids.h"
#include "platform/compile_commands.h"
#include "platform/documents.h"
#include "platform/error_codes_dialog.h"
#include "platform/find_replace.h"
#include "platform/html_index_dialog.h"
#include "platform/insert_data_dialog.h"
#include "platform/help.h"
#include "platform/option_commands.h"
#include "platform/printing.h"
#include "platform/shell_registration.h"
#include "platform/streams.h"

namespace stx {

namespace {

void Forward(EditorApp& app, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageA(app.view, msg, wParam, lParam);
}

void EditCommand(EditorApp& app, int command) {
    switch (command) {
    case IDM_EDIT_COPY:
        Forward(app, WM_COPY);
        break;
    case IDM_EDIT_CUT:
        Forward(app, WM_CUT);
        break;
    case IDM_EDIT_PASTE:
        Forward(app, WM_PASTE);
        break;
    case IDM_EDIT_CLEAR:
        Forward(app, WM_CLEAR);
        break;
    case IDM_EDIT_UNDO:
        Forward(app, EM_UNDO);
        break;
    case IDM_EDIT_SELECT_ALL:
        Forward(app, EM_SETSEL, 0, -1);
        Forward(app, EM_SCROLLCARET);
        break;
    case IDM_EDIT_CONTEXT_MENU:
        Forward(app, WM_RBUTTONDOWN, 10, 10);
        break;
    case IDM_EDIT_OVERWRITE:
        app.editor.overwrite ^= 1;
        InvalidateRect(app.view, nullptr, FALSE);
        break;
    }
}

void CloseCommand(EditorApp& app, int) {
    SendMessageA(app.main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

struct CommandRange {
    int first;
    int last;
    CommandHandler handler;
};

// clang-format off
constexpr CommandRange kCommands[] = {
    {IDM_FILE_NEW,            IDM_FILE_NEW,            NewDocumentCommand},
    {IDM_FILE_OPEN,           IDM_FILE_OPEN,           OpenCommand},
    {IDM_FILE_SAVE,           IDM_FILE_SAVE,           SaveCommand},
    {IDM_FILE_SAVE_AS,        IDM_FILE_SAVE_AS,        SaveAsCommand},
    {IDM_FILE_EXIT,           IDM_FILE_EXIT,           CloseCommand},
    {IDM_TEMPLATE_MASM32,     IDM_TEMPLATE_TASM,       NewDocumentCommand},
    {IDM_ESCAPE,              IDM_ESCAPE,              EscapeCommand},
    {IDM_STREAM_NEW,          IDM_STREAM_DEFAULT,      StreamCommand},
    {IDM_STREAM_DELETE,       IDM_STREAM_DELETE,       StreamCommand},
    {IDM_STREAM_FIRST,        kLastStreamCommand,      StreamCommand},
    {IDM_FILE_PRINT_TEXT,     IDM_FILE_PRINT_3D,       PrintCommand},
    {IDM_REGISTER_SHELL,      IDM_REGISTER_SHELL,      RegisterShellCommand},
    {IDM_HELP_ABOUT,          IDM_HELP_EDITOR,         HelpCommand},
    {IDM_HELP_DEFINE,         IDM_HELP_TOPIC_SEARCH,   HelpCommand},
    {IDM_EDIT_COPY,           IDM_EDIT_COPY,           EditCommand},
    {IDM_EDIT_COPY_TO,        IDM_EDIT_COPY_TO,        CopyToCommand},
    {IDM_EDIT_SELECT_ALL,     IDM_EDIT_PASTE,          EditCommand},
    {IDM_EDIT_CLEAR,          IDM_EDIT_UNDO,           EditCommand},
    {IDM_EDIT_CONTEXT_MENU,   IDM_EDIT_OVERWRITE,      EditCommand},
    {IDM_COMPILE,             IDM_COMPILE,             CompileCommand},
    {IDM_COMPILE_CONFIGURE,   IDM_COMPILE_CONFIGURE,   CompileCommand},
    {IDM_COMPILE_RUN,         IDM_RUN_EXECUTABLE,      CompileCommand},
    {IDM_EDIT_FIND,           IDM_EDIT_GOTO_LINE,      SearchCommand},
    {IDM_EDIT_REPLACE,        IDM_EDIT_REPLACE,        SearchCommand},
    {IDM_DIR_TO_HTML,         IDM_DIR_TO_HTML,         HtmlIndexCommand},
    {IDM_INSERT_DATA,         IDM_INSERT_DATA,         InsertDataCommand},
    {IDM_SAVE_SETTINGS,       IDM_AUTO_SAVE_SETTINGS,  OptionCommand},
    {IDM_SELECT_FONT,         IDM_AUTO_INDENT,         OptionCommand},
    {IDM_CARET_OVER_LETTER,   IDM_CARET_OVER_LETTER,   OptionCommand},
    {IDM_PLACEMENT_TILE,      IDM_PLACEMENT_ISOTROPIC, OptionCommand},
    {IDM_LANGUAGE_ENGLISH,    IDM_LANGUAGE_ROMANIAN_DIACRITICS, LanguageCommand},
    {IDM_AUTO_CONVERT_UNIX,   IDM_CONVERT_UNIX,        OptionCommand},
    {IDM_SHOW_ADDRESS,        IDM_DISPLAY_MODE_LAST,   OptionCommand},
    {IDM_DISPLAY_MODE_NEXT,   IDM_DISPLAY_MODE_NEXT,   OptionCommand},
    {IDM_HELP_WINDOWS_ERRORS, IDM_HELP_WINDOWS_ERRORS, ErrorCodesCommand},
};
// clang-format on

} // namespace

CommandHandler FindCommandHandler(int command) {
    for (const CommandRange& range : kCommands)
        if (command >= range.first && command <= range.last) return range.handler;
    return nullptr;
}

bool RunCommand(EditorApp& app, int command) {
    CommandHandler handler = FindCommandHandler(command);
    if (!handler) return false;
    handler(app, command);
    return true;
}

} // namespace stx
