#include "platform/shell_registration.h"

#include "app/shell_registration.h"
#include "platform/editor_app.h"
#include "platform/report_error.h"

namespace stx {

LSTATUS RegisterShellExtension(const std::string& programPath, HKEY root) {
    for (const char* key : kShellKeysToDelete)
        RegDeleteKeyA(root, key);
    LSTATUS first = ERROR_SUCCESS;
    const auto note = [&first](LSTATUS result) {
        if (first == ERROR_SUCCESS) first = result;
    };
    HKEY open = nullptr;
    std::string openPath;
    for (const ShellRegistryValue& value : ShellRegistrationValues(programPath)) {
        if (value.key != openPath) {
            if (open) RegCloseKey(open);
            open = nullptr;
            openPath = value.key;
            const LSTATUS created = RegCreateKeyExA(root, value.key.c_str(), 0, nullptr, 0,
                                                    KEY_ALL_ACCESS, nullptr, &open, nullptr);
            if (created != ERROR_SUCCESS) {
                open = nullptr;
                note(created);
            }
        }
        if (!open) continue; // a key that could not be created takes none of its values
        // Strings are stored with their terminator, as the registry's readers expect.
        const DWORD type = value.binary ? REG_BINARY : REG_SZ;
        const DWORD size = static_cast<DWORD>(value.data.size() + (value.binary ? 0 : 1));
        note(RegSetValueExA(open, value.name.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(value.data.c_str()), size));
    }
    if (open) RegCloseKey(open);
    return first;
}

void RegisterShellCommand(EditorApp& app, int) {
    const LSTATUS result = RegisterShellExtension(ProgramPath());
    if (result == ERROR_SUCCESS) return;
    SetLastError(static_cast<DWORD>(result));
    ReportLastError(app.main);
}

std::string ProgramPath() {
    std::string path(8192, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

} // namespace stx
