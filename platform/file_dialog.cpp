#include "platform/file_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "files/document_path.h"
#include "platform/report_error.h"
#include "platform/ui_text.h"

namespace stx {

namespace {

// A filter list runs to its double zero.
std::string_view FilterList(const char* filter) {
    if (!filter) return {};
    size_t n = 0;
    while (filter[n] || filter[n + 1])
        ++n;
    return {filter, n + 2};
}

std::optional<std::string> AskFileName(const FileDialogRequest& r, bool save) {
    constexpr DWORD kCapacity = kDocumentPathCapacity + 1;
    std::vector<wchar_t> name(kCapacity, L'\0');
    const std::wstring initial = WideSystemText(r.initialName);
    std::wmemcpy(name.data(), initial.data(), std::min<size_t>(initial.size(), kCapacity - 1));
    const std::wstring filter = WideUiText(FilterList(r.filter));
    const std::wstring title = WideUiText(r.title ? r.title : "");
    const std::wstring extension = WideUiText(r.defaultExtension ? r.defaultExtension : "");
    const std::wstring directory = WideSystemText(r.initialDirectory ? r.initialDirectory : "");

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = r.owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = r.filterIndex;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kCapacity;
    dialog.lpstrInitialDir = r.initialDirectory ? directory.c_str() : nullptr;
    dialog.lpstrTitle = r.title ? title.c_str() : nullptr;
    dialog.lpstrDefExt = r.defaultExtension ? extension.c_str() : nullptr;
    dialog.Flags = r.flags;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)) || name[0] == L'\0')
        return std::nullopt;
    std::string chosen;
    if (!NarrowSystemText(name.data(), chosen)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        ReportLastError(r.owner);
        return std::nullopt;
    }
    return chosen;
}

} // namespace

std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) {
    return AskFileName(request, false);
}

std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) {
    return AskFileName(request, true);
}

} // namespace stx
