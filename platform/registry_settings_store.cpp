#include "platform/registry_settings_store.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace stx {

namespace {

std::string KeyPath(SettingsKey key) {
    std::string path = kSettingsKeyPath;
    if (key == SettingsKey::Editor) {
        path += '\\';
        path += kEditorSubkey;
    }
    return path;
}

SettingType TypeOf(DWORD type) {
    switch (type) {
    case REG_SZ:
        return SettingType::String;
    case REG_BINARY:
        return SettingType::Binary;
    case REG_DWORD:
        return SettingType::Dword;
    default:
        return SettingType::Other;
    }
}

DWORD RegistryType(SettingType type) {
    switch (type) {
    case SettingType::String:
        return REG_SZ;
    case SettingType::Dword:
        return REG_DWORD;
    case SettingType::Binary:
    case SettingType::Other:
        break;
    }
    return REG_BINARY;
}

class KeyHandle {
  public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

} // namespace

bool RegistrySettingsStore::KeyExists(SettingsKey key) {
    KeyHandle handle;
    return RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, KEY_READ, handle.Out()) ==
           ERROR_SUCCESS;
}

ReadStatus RegistrySettingsStore::Read(SettingsKey key, const char* name, std::size_t maxBytes,
                                       StoredValue& value) {
    KeyHandle handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, KEY_READ, handle.Out()) !=
        ERROR_SUCCESS)
        return ReadStatus::Missing;

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return ReadStatus::Missing;
    // The size asked without a buffer can exceed the data (text kept as UTF-16),
    // so the limit is checked again on what was actually read.
    const std::size_t sizeLimit = maxBytes > (SIZE_MAX - 2) / 2 ? SIZE_MAX : maxBytes * 2 + 2;
    std::vector<std::uint8_t> bytes;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (size > sizeLimit) return ReadStatus::TooLarge;
        bytes.assign(static_cast<std::size_t>(size) + 1, 0);
        DWORD got = size;
        const LONG result =
            RegQueryValueExA(handle.Get(), name, nullptr, &type, bytes.data(), &got);
        if (result == ERROR_MORE_DATA) {
            // The value grew between the two calls; `got` is its new size.
            size = got;
            continue;
        }
        if (result != ERROR_SUCCESS) return ReadStatus::Missing;
        if (got > maxBytes) return ReadStatus::TooLarge;
        bytes.resize(got);
        value.type = TypeOf(type);
        value.bytes = std::move(bytes);
        return ReadStatus::Ok;
    }
    return ReadStatus::Missing;
}

bool RegistrySettingsStore::Write(SettingsKey key, const char* name, SettingType type,
                                  const std::uint8_t* data, std::size_t size) {
    if (size > MAXDWORD) return false;
    KeyHandle main;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, main.Out(), nullptr) != ERROR_SUCCESS)
        return false;
    KeyHandle editor;
    HKEY target = main.Get();
    if (key == SettingsKey::Editor) {
        if (RegCreateKeyExA(main.Get(), kEditorSubkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, editor.Out(), nullptr) != ERROR_SUCCESS)
            return false;
        target = editor.Get();
    }
    static const BYTE kNothing = 0;
    return RegSetValueExA(target, name, 0, RegistryType(type), size ? data : &kNothing,
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

} // namespace stx
