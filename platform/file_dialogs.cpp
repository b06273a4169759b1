#include "platform/file_dialogs.h"

#include <commdlg.h>

#include "app/settings.h"

#include <algorithm>
#include <vector>

namespace stx {

std::optional<std::string> AskFileName(const FileDialog& request) {
    constexpr DWORD kNameBufferSize = kPathCapacity + 1;
    std::vector<char> name(kNameBufferSize, '\0');
    request.initialName.copy(
        name.data(), std::min<std::size_t>(request.initialName.size(), kNameBufferSize - 1));
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = request.filter;
    dialog.nFilterIndex = request.filterIndex;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kNameBufferSize;
    dialog.lpstrInitialDir = ".";
    dialog.lpstrTitle = request.title;
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    if (request.save) dialog.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL chosen = request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen || name[0] == '\0') return std::nullopt;
    return std::string(name.data());
}

} // namespace stx
