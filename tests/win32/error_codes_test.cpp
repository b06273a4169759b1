// The Windows error codes dialog driven through its controls as a user would:
// typing codes, picking rows, naming modules, reading the details.
#include "platform/error_codes_dialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/command_ids.h"
#include "editor_fixture.h"
#include "platform/report_error.h"
#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {
namespace {

const ErrorCatalog& Catalog() {
    return BuiltInErrorCatalog();
}

// Replaces the field's text by typing: select all, then the characters
// (a backspace alone clears it).
void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(field, WM_CHAR, VK_BACK, 1);
    for (char c : text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string Text(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

int SelectedRow(HWND dialog) {
    return static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_ERRORS_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

std::string RowText(HWND dialog, int row, int column) {
    char buffer[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendDlgItemMessageA(dialog, IDC_ERRORS_LIST, LVM_GETITEMTEXTA, row,
                        reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int FirstRow(DWORD code) {
    return static_cast<int>(FindRecord(Catalog(), code)->index);
}

// The system's part of a details text.
std::string SystemPart(const std::string& details) {
    const auto at = details.find("\r\n\r\nSystem returns: ");
    return at == std::string::npos ? "<none>" : details.substr(at + 20);
}

// Opens the dialog on this thread and runs `drive` on a helper thread with it;
// the dialog is closed with its Ok button afterwards.
void WithDialog(const std::function<void(HWND)>& drive) {
    bool closed = DriveDialog<bool>(
        [] {
            ShowErrorCodesDialog(nullptr);
            return true;
        },
        [&](HWND dialog) {
            drive(dialog);
            SendDlgItemMessageA(dialog, IDC_DIALOG_CANCEL, BM_CLICK, 0, 0);
        });
    EXPECT_TRUE(closed);
}

TEST(ErrorCodesDialog, OpensWithEveryRecordAndTheFocusInHex) {
    WithDialog([](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Microsoft Windows Error Codes");
        HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST);
        ASSERT_EQ(static_cast<size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)),
                  RecordCount(Catalog()));
        RECT bounds{};
        GetWindowRect(list, &bounds);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 70);
        // The names column is the list's width less 90, or less where that would
        // need a horizontal scroll bar.
        RECT client{};
        GetClientRect(list, &client);
        const auto names = SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0);
        EXPECT_EQ(names, std::min<LRESULT>(bounds.right - bounds.left - 90, client.right - 70));
        EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);

        const int row = FirstRow(ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RowText(dialog, row, 0), "00000002");
        EXPECT_EQ(RowText(dialog, row, 1), "ERROR_FILE_NOT_FOUND");
        const int last = static_cast<int>(RecordCount(Catalog())) - 1;
        EXPECT_EQ(RowText(dialog, last, 0), HexCodeText(RecordAt(Catalog(), last)->code));

        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDC_ERRORS_HEX));
        EXPECT_EQ(SelectedRow(dialog), -1);
    });
}

TEST(ErrorCodesDialog, TypingCodesSelectsRowsAndFillsTheOtherField) {
    WithDialog([](HWND dialog) {
        TypeInto(dialog, IDC_ERRORS_CODE, "5");
        EXPECT_EQ(SelectedRow(dialog), FirstRow(5));
        EXPECT_EQ(Text(dialog, IDC_ERRORS_HEX), "00000005");
        EXPECT_EQ(Text(dialog, IDC_ERRORS_CODE), "5");
        EXPECT_EQ(Text(dialog, IDC_ERRORS_DETAILS),
                  WithSystemText(ErrorDetailsText(Catalog(), 5), 5));

        // 'x' reads as the digit 1; code 1 has several records and the first is chosen.
        TypeInto(dialog, IDC_ERRORS_HEX, "x");
        EXPECT_EQ(SelectedRow(dialog), FirstRow(1));
        EXPECT_EQ(RecordAt(Catalog(), FirstRow(1) + 1)->code, 1u);
        EXPECT_EQ(Text(dialog, IDC_ERRORS_CODE), "1");
        EXPECT_EQ(Text(dialog, IDC_ERRORS_HEX), "x");

        // A cleared Decimal field reads 0.
        TypeInto(dialog, IDC_ERRORS_CODE, "");
        EXPECT_EQ(SelectedRow(dialog), FirstRow(0));
        EXPECT_EQ(Text(dialog, IDC_ERRORS_HEX), "00000000");

        // A code without a record: no row, but the code line and the system's text.
        TypeInto(dialog, IDC_ERRORS_HEX, "c000");
        EXPECT_EQ(SelectedRow(dialog), -1);
        EXPECT_EQ(Text(dialog, IDC_ERRORS_CODE), "49152");
        EXPECT_EQ(Text(dialog, IDC_ERRORS_DETAILS),
                  WithSystemText("Error Code: 0000C000 (49152)", 0xC000));
    });
}

TEST(ErrorCodesDialog, PickingARowShowsThatRecord) {
    WithDialog([](HWND dialog) {
        // The second record of code 1, picked in the list, not the first one.
        const int row = FirstRow(1) + 1;
        LVITEMA item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageA(dialog, IDC_ERRORS_LIST, LVM_SETITEMSTATE, row,
                            reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(Text(dialog, IDC_ERRORS_HEX), "00000001");
        EXPECT_EQ(Text(dialog, IDC_ERRORS_CODE), "1");
        const std::string details = Text(dialog, IDC_ERRORS_DETAILS);
        EXPECT_EQ(details,
                  WithSystemText(FormatErrorDetails(Catalog(), 1, *RecordAt(Catalog(), row)), 1));
        EXPECT_NE(details.find("Message ID: " + RowText(dialog, row, 1) + "\r\n"),
                  std::string::npos);
    });
}

TEST(ErrorCodesDialog, ModuleMessageTablesAndModulesThatDoNotLoad) {
    WithDialog([](HWND dialog) {
        // A module that does not exist: the system's text describes the failed load.
        SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "no_such_module.dll");
        TypeInto(dialog, IDC_ERRORS_CODE, "5");
        const std::string missing = SystemPart(Text(dialog, IDC_ERRORS_DETAILS));
        EXPECT_NE(missing, SystemMessageText(5));
        EXPECT_TRUE(missing == SystemMessageText(ERROR_FILE_NOT_FOUND) ||
                    missing == SystemMessageText(ERROR_MOD_NOT_FOUND))
            << missing;

        // The internet library's own table knows 12002, which the system's does not.
        SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "wininet.dll");
        TypeInto(dialog, IDC_ERRORS_CODE, "12002");
        const std::string own = SystemPart(Text(dialog, IDC_ERRORS_DETAILS));
        EXPECT_NE(own.find("timed out"), std::string::npos) << own;
        EXPECT_NE(own, SystemMessageText(12002));

        // Leaving the Module field refreshes the details for the code shown.
        SetDlgItemTextA(dialog, IDC_ERRORS_MODULE, "");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ERRORS_MODULE, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ERRORS_MODULE)));
        EXPECT_EQ(SystemPart(Text(dialog, IDC_ERRORS_DETAILS)), SystemMessageText(12002));
    });
}

using ErrorCodesCommandTest = EditorTest;

TEST_F(ErrorCodesCommandTest, CtrlEOpensTheDialogOverTheMainWindow) {
    HWND owner = nullptr;
    std::string names;
    const bool translated = DriveDialog<bool>(
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
        [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            TypeInto(dialog, IDC_ERRORS_HEX, "20");
            names = RowText(dialog, SelectedRow(dialog), 1);
            SendDlgItemMessageA(dialog, IDC_DIALOG_CANCEL, BM_CLICK, 0, 0);
        });
    EXPECT_TRUE(translated);
    EXPECT_EQ(owner, app->main);
    EXPECT_EQ(names, "ERROR_SHARING_VIOLATION");
}

} // namespace
} // namespace stx::test
