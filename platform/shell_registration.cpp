#include "platform/shell_registration.h"

#include "app/shell_registration.h"

namespace stx {

bool RegisterShellExtension(const std::string& programPath, HKEY root) {
    for (const char* key : kShellKeysToDelete)
        RegDeleteKeyA(root, key);
    bool complete = true;
    HKEY open = nullptr;
    std::string openPath;
    for (const ShellRegistryValue& value : ShellRegistrationValues(programPath)) {
        if (!open || value.key != openPath) {
            if (open) RegCloseKey(open);
            open = nullptr;
            openPath = value.key;
            if (RegCreateKeyExA(root, value.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &open, nullptr) != ERROR_SUCCESS)
                open = nullptr;
        }
        if (!open) {
            complete = false;
            continue;
        }
        // Strings are stored with their terminator, as the registry's readers expect.
        const DWORD type = value.binary ? REG_BINARY : REG_SZ;
        const DWORD size = static_cast<DWORD>(value.data.size() + (value.binary ? 0 : 1));
        if (RegSetValueExA(open, value.name.c_str(), 0, type,
                           reinterpret_cast<const BYTE*>(value.data.c_str()),
                           size) != ERROR_SUCCESS)
            complete = false;
    }
    if (open) RegCloseKey(open);
    return complete;
}

std::string ProgramPath() {
    std::string path(8192, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

} // namespace stx
