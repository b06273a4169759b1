// The settings port: one typed value at a time under the settings key or its
// "Editor" subkey. The registry implements it on Windows; tests use one in
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace stx {

// Under HKEY_CURRENT_USER. Other installations and tools read these names.
inline constexpr const char* kSettingsKeyPath = "Software\\Corvani\\Stratext";
inline constexpr const char* kEditorSubkey = "Editor";

enum class SettingsKey : std::uint8_t { Main, Editor };

// The three kinds the program writes; anything else found in the store is Other.
enum class SettingType : std::uint8_t { String, Binary, Dword, Other };

struct StoredValue {
    SettingType type = SettingType::Other;
    std::vector<std::uint8_t> bytes;
};

enum class ReadStatus : std::uint8_t { Missing, Ok, TooLarge };

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual bool KeyExists(SettingsKey key) = 0;
    // The stored type and bytes of one value. A key or value that does not
    // exist is Missing; a value longer than maxBytes is TooLarge and not read.
    virtual ReadStatus Read(SettingsKey key, const char* name, std::size_t maxBytes,
                            StoredValue& value) = 0;
    // Creates the key (and the subkey) when needed. False when the write failed.
    virtual bool Write(SettingsKey key, const char* name, SettingType type,
                       const std::uint8_t* data, std::size_t size) = 0;
};

} // namespace stx
