#include "platform/error_codes_dialog.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "app/command_ids.h"
#include "files/number.h"
#include "platform/editor_app.h"
#include "platform/failure_guard.h"
#include "platform/report_error.h"
#include "tools/error_catalogue.h"

namespace stx {

namespace {

constexpr int kCodeColumnWidth = 70;
// The names column takes the list's width less this.
constexpr int kNamesColumnMargin = 90;

struct DialogState {
    const ErrorCatalog* catalog = nullptr;
    // The code field whose text the user is changing; it is left as typed.
    int typingField = 0;
    // Set while the dialog writes the code fields itself.
    bool writingFields = false;
    // What the details show, so a new module name can refresh them.
    std::optional<DWORD> shownCode;
    std::optional<CatalogRecord> shownRecord;
};

DialogState* StateOf(HWND dialog) {
    return reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ShowDetails(HWND dialog, DialogState& state) {
    if (!state.shownCode) return;
    const DWORD code = *state.shownCode;
    std::string details = state.shownRecord
                              ? FormatErrorDetails(*state.catalog, code, *state.shownRecord)
                              : ErrorDetailsText(*state.catalog, code);
    details = WithSystemText(std::move(details), code, ItemText(dialog, IDC_ERRORS_MODULE));
    SetDlgItemTextA(dialog, IDC_ERRORS_DETAILS, details.c_str());
}

// Writes the code into the code fields the user is not typing in.
void WriteCodeFields(HWND dialog, DialogState& state, DWORD code) {
    state.writingFields = true;
    if (state.typingField != IDC_ERRORS_HEX)
        SetDlgItemTextA(dialog, IDC_ERRORS_HEX, HexCodeText(code).c_str());
    if (state.typingField != IDC_ERRORS_CODE)
        SetDlgItemTextA(dialog, IDC_ERRORS_CODE, DecimalText(code).c_str());
    state.writingFields = false;
}

void OnRowSelected(HWND dialog, DialogState& state, int row) {
    const auto record = RecordAt(*state.catalog, static_cast<size_t>(row));
    if (!record) return;
    WriteCodeFields(dialog, state, record->code);
    state.shownCode = record->code;
    state.shownRecord = record;
    ShowDetails(dialog, state);
}

void SetRowState(HWND list, int row, UINT state) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void OnCodeTyped(HWND dialog, DialogState& state, int field) {
    const DWORD code = field == IDC_ERRORS_HEX
                           ? ReadHexCode(ItemText(dialog, IDC_ERRORS_HEX))
                           : GetDlgItemInt(dialog, IDC_ERRORS_CODE, nullptr, FALSE);
    HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST);
    state.typingField = field;
    if (const auto record = FindRecord(*state.catalog, code)) {
        const int row = static_cast<int>(record->index);
        // Selecting the row fills the other field and the details.
        SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    } else {
        // No record: no row stands for the code, but the details still show
        // it and what Windows says about it.
        SetRowState(list, -1, 0);
        WriteCodeFields(dialog, state, code);
        state.shownCode = code;
        state.shownRecord.reset();
        ShowDetails(dialog, state);
    }
    state.typingField = 0;
}

// Row texts are decoded when the list shows them, so opening the dialog costs
// the same however many records the catalogue holds.
std::string RowText(const DialogState& state, int row, int column) {
    const auto record = RecordAt(*state.catalog, static_cast<size_t>(row));
    if (!record) return {};
    if (column == 0) return HexCodeText(record->code);
    std::string names;
    DecodeNames(*state.catalog, record->streams, names);
    return names;
}

void FillDisplayInfo(const DialogState& state, NMHDR* header) {
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
        const std::string text = RowText(state, item.iItem, item.iSubItem);
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    } else {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
        const std::string text = RowText(state, item.iItem, item.iSubItem);
        const int n =
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, item.pszText, item.cchTextMax);
        if (n == 0) item.pszText[item.cchTextMax - 1] = L'\0'; // too long: cut
    }
}

void InitDialog(HWND dialog, DialogState& state) {
    HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT bounds{};
    GetWindowRect(list, &bounds);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_CENTER;
    column.cx = kCodeColumnWidth;
    column.pszText = const_cast<char*>("Error Code");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.fmt = LVCFMT_LEFT;
    column.cx = (bounds.right - bounds.left) - kNamesColumnMargin;
    column.pszText = const_cast<char*>("Message ID");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, LVM_SETITEMCOUNT, RecordCount(*state.catalog), 0);
    // With today's wider borders and scroll bar the names column would stick
    // out of the list by a pixel or two and bring a horizontal scroll bar.
    RECT client{};
    GetClientRect(list, &client);
    if (kCodeColumnWidth + column.cx > client.right)
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, client.right - kCodeColumnWidth);
    SetFocus(GetDlgItem(dialog, IDC_ERRORS_HEX));
}

INT_PTR HandleMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        InitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
        return FALSE; // the focus is set
    }
    DialogState* state = StateOf(dialog);
    if (!state) return FALSE;
    switch (msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_ERRORS_LIST) break;
        if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW) {
            FillDisplayInfo(*state, header);
        } else if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
            if (change->iItem >= 0 && (change->uChanged & LVIF_STATE) &&
                (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
                OnRowSelected(dialog, *state, change->iItem);
        }
        break;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if ((id == IDC_ERRORS_CODE || id == IDC_ERRORS_HEX) && code == EN_CHANGE) {
            if (!state->writingFields) OnCodeTyped(dialog, *state, id);
            return TRUE;
        }
        // A module named after the code was chosen counts once the user leaves the field.
        if (id == IDC_ERRORS_MODULE && code == EN_KILLFOCUS) {
            ShowDetails(dialog, *state);
            return TRUE;
        }
        if (id == IDOK || id == IDC_DIALOG_CANCEL) {
            EndDialog(dialog, id);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

} // namespace

void ShowErrorCodesDialog(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogState state;
    state.catalog = &BuiltInErrorCatalog();
    if (DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ERROR_CODES), owner,
                        GuardedDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state)) == -1)
        ReportLastError(owner);
}

void ErrorCodesCommand(EditorApp& app, int) {
    ShowErrorCodesDialog(app.main);
}

} // namespace stx
