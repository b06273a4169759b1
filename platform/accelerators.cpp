#include "platform/accelerators.h"

#include "app/command_ids.h"

namespace stx {

namespace {
constexpr BYTE V = FVIRTKEY;
constexpr BYTE N = FVIRTKEY | FNOINVERT;
constexpr BYTE C = FCONTROL;
constexpr BYTE A = FALT;
constexpr BYTE S = FSHIFT;
} // namespace

// Ctrl+C, Ctrl+X, Ctrl+V, Delete, the caret keys and F1 are left out on
// purpose: the text view handles them itself, and F1 arrives as WM_HELP.
const ACCEL kAcceleratorTable[] = {
    {N, VK_ESCAPE, IDM_ESCAPE},
    {N | A, VK_BACK, IDM_EDIT_UNDO},
    {N | C, 'N', IDM_FILE_NEW},
    {N | A, 'U', IDM_EDIT_UNDO},
    {N | C, 'O', IDM_FILE_OPEN},
    {N | C, VK_F4, IDM_FILE_EXIT},
    {N | C, 'S', IDM_FILE_SAVE},
    {N | C, 'A', IDM_EDIT_SELECT_ALL},
    {N, VK_F2, IDM_FILE_SAVE},
    {N | C, 'Z', IDM_EDIT_UNDO},
    {V | C | A, 'A', IDM_FILE_SAVE_AS},
    {N | C, 'T', IDM_EDIT_COPY_TO},
    {N, VK_F5, IDM_EDIT_GOTO_LINE},
    {N | C, 'F', IDM_EDIT_FIND},
    {N | C, 'G', IDM_EDIT_GOTO_LINE},
    {N, VK_F7, IDM_EDIT_FIND},
    {V | C | S, 'P', IDM_FILE_PRINT_TEXT},
    {N | C, VK_F7, IDM_EDIT_FIND_NEXT},
    {V | C, 'P', IDM_FILE_PRINT_3D},
    {N, VK_F3, IDM_EDIT_FIND_NEXT},
    {N | A, 'X', IDM_FILE_EXIT},
    {V | S, VK_F10, IDM_EDIT_CONTEXT_MENU},
    {N, VK_F9, IDM_COMPILE},
    {N, VK_INSERT, IDM_EDIT_OVERWRITE},
    {V | C, VK_F1, IDM_HELP_TOPIC_SEARCH},
    {V | C, VK_INSERT, IDM_EDIT_COPY},
    {V | A, VK_F5, IDM_CONVERT_UNIX},
    {V | S, VK_DELETE, IDM_EDIT_CUT},
    {N | C, VK_F9, IDM_COMPILE_RUN},
    {V | S, VK_INSERT, IDM_EDIT_PASTE},
    {N | A, VK_F9, IDM_RUN_EXECUTABLE},
    {N, VK_F4, IDM_DISPLAY_MODE_NEXT},
    {V | C | S, 'M', IDM_TEMPLATE_MASM32},
    {V | C | S, 'T', IDM_TEMPLATE_TASM},
    {V | C, 'R', IDM_EDIT_REPLACE},
    {V | C, 'E', IDM_HELP_WINDOWS_ERRORS},
    {V | C, 'I', IDM_INSERT_DATA},
};
const size_t kAcceleratorCount = sizeof kAcceleratorTable / sizeof kAcceleratorTable[0];

HACCEL CreateMainAccelerators() {
    return CreateAcceleratorTableA(const_cast<ACCEL*>(kAcceleratorTable),
                                   static_cast<int>(kAcceleratorCount));
}

} // namespace stx
