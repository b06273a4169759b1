// The settings port: one typed value at a time under the settings key or its
// "Editor" subkey. The registry implements it on Windows; MemorySettingsStore
// stands in for it in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
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
        if (failWrites) return false;
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
    std::size_t ValueCount() const { return values_.size(); }

    std::vector<WriteRecord> writes;
    bool failWrites = false;

  private:
    bool mainKey_ = false;
    bool editorKey_ = false;
    std::map<std::pair<SettingsKey, std::string>, StoredValue> values_;
};

} // namespace stx
