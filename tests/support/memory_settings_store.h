#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_store.h"

namespace stx {

// An in-memory store that also records the order of the writes.
class MemorySettingsStore final : public SettingsStore {
  public:
    struct WriteRecord {
        SettingsKey key;
        std::string name;
    };

    bool KeyExists(SettingsKey key) override {
        return key == SettingsKey::Main ? mainKey_ : editorKey_;
    }

    ReadStatus Read(SettingsKey key, const char* name, std::size_t maxBytes,
                    StoredValue& value) override {
        if (!KeyExists(key)) return ReadStatus::Missing;
        auto it = values_.find({key, name});
        if (it == values_.end()) return ReadStatus::Missing;
        if (it->second.bytes.size() > maxBytes) return ReadStatus::TooLarge;
        value = it->second;
        return ReadStatus::Ok;
    }

    bool Write(SettingsKey key, const char* name, SettingType type, const std::uint8_t* data,
               std::size_t size) override {
        Put(key, name, type, std::vector<std::uint8_t>(data, data + size));
        writes.push_back({key, name});
        return true;
    }

    // Puts a value in place without recording a write, as another tool would.
    void Put(SettingsKey key, const std::string& name, SettingType type,
             std::vector<std::uint8_t> bytes) {
        mainKey_ = true;
        if (key == SettingsKey::Editor) editorKey_ = true;
        values_[{key, name}] = StoredValue{type, std::move(bytes)};
    }
    void CreateKey(SettingsKey key) {
        mainKey_ = true;
        if (key == SettingsKey::Editor) editorKey_ = true;
    }
    const StoredValue* Find(SettingsKey key, const std::string& name) const {
        auto it = values_.find({key, name});
        return it == values_.end() ? nullptr : &it->second;
    }

    std::vector<WriteRecord> writes;

  private:
    bool mainKey_ = false;
    bool editorKey_ = false;
    std::map<std::pair<SettingsKey, std::string>, StoredValue> values_;
};

} // namespace stx
