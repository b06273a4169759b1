#include "platform/insert_data_dialog.h"

#include <new>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/document_path.h"
#include "platform/dialog_support.h"
#include "platform/file_dialog.h"
#include "platform/file_io.h"
#include "platform/ui_text.h"
#include "text/text_buffer.h"

namespace stx {

namespace {

// The file name field: 8,192 characters and the terminator.
constexpr int kNameLength = 8192;

struct InsertDataState {
    HWND view;
    UiLanguage language;
    InsertDataOptions* options;
};

void ShowRadios(HWND dialog, const InsertDataOptions& o) {
    CheckRadioButton(dialog, IDC_INSERT_BYTE, IDC_INSERT_DWORD,
                     IDC_INSERT_BYTE + static_cast<int>(o.width));
    CheckRadioButton(dialog, IDC_INSERT_BINARY, IDC_INSERT_HEXADECIMAL,
                     IDC_INSERT_BINARY + static_cast<int>(o.radix));
}

void Problem(HWND dialog, const char* text) {
    ShowUiMessage(dialog, text, kProductName, MB_OK);
}

void Browse(HWND dialog, UiLanguage language) {
    FileDialogRequest request;
    request.owner = dialog;
    request.filter = kDocumentFilter.english; // the same list in every language
    request.filterIndex = 2;                  // all files
    request.title = ChooseText(language, kOpenTitle);
    if (const std::optional<std::string> name = AskOpenFileName(request))
        SetDlgItemTextA(dialog, IDC_INSERT_FILE_NAME, name->c_str());
}

// The document's length (the view counts its terminator too).
uint64_t TextLength(HWND view) {
    return static_cast<uint32_t>(SendMessageA(view, WM_GETTEXTLENGTH, 0, 0)) - 1u;
}

// Reads the file and inserts its declarations; false (with the reason
// shown) leaves the document as it was and the dialog open.
bool Insert(HWND dialog, const InsertDataState& state) {
    InsertDataOptions options = *state.options;
    options.alignZeroes = DialogItemChecked(dialog, IDC_INSERT_ALIGN_ZEROES);
    char perLine[32];
    GetDlgItemTextA(dialog, IDC_INSERT_PER_LINE, perLine, sizeof perLine);
    options.valuesPerLine = ValuesPerLine(perLine);

    const std::string name = DialogItemText(dialog, IDC_INSERT_FILE_NAME, kNameLength);
    const UiLanguage language = state.language;
    std::vector<char> bytes;
    switch (ReadWholeFile(name, bytes)) {
    case FileReadResult::Ok:
        break;
    case FileReadResult::CannotOpen:
        Problem(dialog, ChooseText(language, kErrorOpeningFile));
        return false;
    case FileReadResult::ShortRead:
        Problem(dialog, ChooseText(language, kDocumentShortReadNotice));
        return false;
    case FileReadResult::TooLarge:
        Problem(dialog, ChooseText(language, kInsertTooLarge));
        return false;
    case FileReadResult::OutOfMemory:
        Problem(dialog, ChooseText(language, kInsertNoMemory));
        return false;
    }

    // The document must hold its text without the selection, plus the new text.
    const std::string identifier = DataIdentifier(name);
    const uint64_t length = FormattedDataLength(bytes.size(), options, identifier.size());
    DWORD start = 0, end = 0;
    SendMessageA(state.view, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const uint64_t expected = TextLength(state.view) - (end - start) + length;
    if (expected > kMaxTotalBytes) {
        Problem(dialog, ChooseText(language, kInsertTooLarge));
        return false;
    }
    std::string text;
    try {
        text = FormatData(std::string_view(bytes.data(), bytes.size()), options, identifier);
    } catch (const std::bad_alloc&) {
        Problem(dialog, ChooseText(language, kInsertNoMemory));
        return false;
    }
    bytes = {};
    // The view reports an insertion it could not make; the dialog stays open.
    SendMessageA(state.view, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return TextLength(state.view) == expected;
}

void LanguageChosen(HWND dialog, InsertDataOptions& options) {
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_INSERT_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(kDataLanguageNames.size())) return;
    ChooseLanguage(options, static_cast<DataLanguage>(index));
    const DataLanguageRules rules = RulesFor(options.language);
    EnableWindow(GetDlgItem(dialog, IDC_INSERT_BINARY), rules.binaryAndOctal);
    EnableWindow(GetDlgItem(dialog, IDC_INSERT_OCTAL), rules.binaryAndOctal);
    EnableWindow(GetDlgItem(dialog, IDC_INSERT_DWORD), rules.dword);
    ShowRadios(dialog, options);
}

INT_PTR HandleInsertData(HWND dialog, UINT msg, WPARAM wParam, LPARAM, InsertDataState& state) {
    InsertDataOptions& options = *state.options;
    if (msg == WM_INITDIALOG) {
        ShowRadios(dialog, options);
        for (const char* name : kDataLanguageNames)
            SendDlgItemMessageA(dialog, IDC_INSERT_LANGUAGE, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, IDC_INSERT_LANGUAGE, CB_SETCURSEL,
                            static_cast<WPARAM>(options.language), 0);
        CheckDlgButton(dialog, IDC_INSERT_ALIGN_ZEROES, BST_CHECKED);
        SetDlgItemTextA(dialog, IDC_INSERT_PER_LINE, "15");
        SendDlgItemMessageA(dialog, IDC_INSERT_FILE_NAME, EM_LIMITTEXT, kNameLength, 0);
        SetFocus(GetDlgItem(dialog, IDC_INSERT_FILE_NAME));
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    if (id >= IDC_INSERT_BYTE && id <= IDC_INSERT_DWORD) {
        options.width = static_cast<DataWidth>(id - IDC_INSERT_BYTE);
        ShowRadios(dialog, options);
        return TRUE;
    }
    if (id >= IDC_INSERT_BINARY && id <= IDC_INSERT_HEXADECIMAL) {
        options.radix = static_cast<DataRadix>(id - IDC_INSERT_BINARY);
        ShowRadios(dialog, options);
        return TRUE;
    }
    switch (id) {
    case IDC_INSERT_LANGUAGE:
        if (HIWORD(wParam) == CBN_SELCHANGE) LanguageChosen(dialog, options);
        return TRUE;
    case IDC_INSERT_BROWSE:
        Browse(dialog, state.language);
        return TRUE;
    }
    return OkOrCancel(dialog, id, [&] { return Insert(dialog, state); });
}

} // namespace

void InsertDataCommand(EditorApp& app, int) {
    InsertDataState state{app.view, app.Language(), &app.insertData};
    ShowDialog<InsertDataState, HandleInsertData>(app.main, IDD_INSERT_DATA, app.Language(), state);
    SetFocus(app.view);
}

} // namespace stx
