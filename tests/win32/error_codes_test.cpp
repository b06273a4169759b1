// The Windows error codes dialog driven through its controls as a user would:
// typing codes, picking rows, naming modules, reading the details.
#include "platform/error_codes_dialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "platform/report_error.h"
#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

const ErrorCatalog& Catalog() {
    return BuiltInErrorCatalog();
}

// Replaces the field's text by typing: select all, then the characters (the
// Delete key's clear alone empties it; a backspace would meet the Ctrl key
// that opened the dialog, still down while it runs).
void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(field, WM_CLEAR, 0, 0);
    for (char c : text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string FieldText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

int SelectedRow(HWND dialog) {
    return static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_ERRORS_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

int FirstRow(DWORD code) {
    return static_cast<int>(FindRecord(Catalog(), code)->index);
}

// The system's part of a details text.
std::string SystemPart(const std::string& details) {
    const auto at = details.find("\r\n\r\nSystem returns: ");
    return at == std::string::npos ? "<none>" : details.substr(at + 20);
}

using ErrorCodesDialog = EditorTest;

// One session of the dialog, opened with Ctrl+E over the main window: every
// record listed, codes typed into either field, a row picked, and messages
// from a module's own table.
TEST_F(ErrorCodesDialog, TypingPickingAndModuleTables) {
    std::vector<SeenBox> seen;
    const bool translated = AnswerBoxes<bool>(
        [&] {
            // Ctrl+E as the editor's message loop sees it.
            BYTE keys[256];
            GetKeyboardState(keys);
            keys[VK_CONTROL] = 0x80;
            SetKeyboardState(keys);
            MSG msg{app->view, WM_KEYDOWN, 'E', 1, 0, {}};
            const bool done = TranslateAcceleratorA(app->main, app->accelerators, &msg) != 0;
            keys[VK_CONTROL] = 0;
            SetKeyboardState(keys);
            return done;
        },
        {{IDC_DIALOG_CANCEL,
          [&](HWND dialog) {
              HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST);
              EXPECT_EQ(static_cast<size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)),
                        RecordCount(Catalog()));
              EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
              GUITHREADINFO info{};
              info.cbSize = sizeof info;
              GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
              EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDC_ERRORS_HEX));
              EXPECT_EQ(SelectedRow(dialog), -1);

              TypeInto(dialog, IDC_ERRORS_CODE, "5");
              EXPECT_EQ(SelectedRow(dialog), FirstRow(5));
              EXPECT_EQ(FieldText(dialog, IDC_ERRORS_HEX), "00000005");
              EXPECT_EQ(FieldText(dialog, IDC_ERRORS_DETAILS),
                        WithSystemText(ErrorDetailsText(Catalog(), 5), 5));
              // A cleared Decimal field reads 0.
              TypeInto(dialog, IDC_ERRORS_CODE, "");
              EXPECT_EQ(SelectedRow(dialog), FirstRow(0));
              // A code without a record: no row, but the code line and the system's text.
              TypeInto(dialog, IDC_ERRORS_HEX, "c000");
              EXPECT_EQ(SelectedRow(dialog), -1);
              EXPECT_EQ(FieldText(dialog, IDC_ERRORS_CODE), "49152");
              EXPECT_EQ(FieldText(dialog, IDC_ERRORS_DETAILS),
                        WithSystemText("Error Code: 0000C000 (49152)", 0xC000));

              // The second record of code 1, picked in the list, not the first one.
              const int row = FirstRow(1) + 1;
              EXPECT_EQ(RecordAt(Catalog(), row)->code, 1u);
              LVITEMA item{};
              item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
              SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
              EXPECT_EQ(FieldText(dialog, IDC_ERRORS_HEX), "00000001");
              EXPECT_EQ(
                  FieldText(dialog, IDC_ERRORS_DETAILS),
                  WithSystemText(FormatErrorDetails(Catalog(), 1, *RecordAt(Catalog(), row)), 1));

              // A module that does not exist: the system's text describes the failed load.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "no_such_module.dll");
              TypeInto(dialog, IDC_ERRORS_CODE, "5");
              const std::string missing = SystemPart(FieldText(dialog, IDC_ERRORS_DETAILS));
              EXPECT_TRUE(missing == SystemMessageText(ERROR_FILE_NOT_FOUND) ||
                          missing == SystemMessageText(ERROR_MOD_NOT_FOUND))
                  << missing;
              // The internet library's own table knows 12002, which the system's does not.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "wininet.dll");
              TypeInto(dialog, IDC_ERRORS_CODE, "12002");
              const std::string own = SystemPart(FieldText(dialog, IDC_ERRORS_DETAILS));
              EXPECT_NE(own.find("timed out"), std::string::npos) << own;
              // Leaving the Module field refreshes the details for the code shown.
              SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "");
              SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ERRORS_MODULE, EN_KILLFOCUS),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ERRORS_MODULE)));
              EXPECT_EQ(SystemPart(FieldText(dialog, IDC_ERRORS_DETAILS)),
                        SystemMessageText(12002));
          }}},
        seen);
    EXPECT_TRUE(translated);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, app->main);
}

} // namespace
} // namespace stx::test
