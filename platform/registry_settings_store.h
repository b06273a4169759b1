// The settings port on the registry: HKEY_CURRENT_USER\Software\Corvani\Stratext
// and its "Editor" subkey. Every call opens what it needs and closes it again.
#pragma once

#include "app/settings_store.h"

namespace stx {

class RegistrySettingsStore final : public SettingsStore {
  public:
    bool KeyExists(SettingsKey key) override;
    ReadStatus Read(SettingsKey key, const char* name, std::size_t maxBytes,
                    StoredValue& value) override;
    bool Write(SettingsKey key, const char* name, SettingType type, const std::uint8_t* data,
               std::size_t size) override;
};

} // namespace stx
