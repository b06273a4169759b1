// The settings against the real registry of the test prefix. Each test starts
// and ends without the settings key.
#include "app/settings.h"
#include "platform/registry_settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

const char kEditorPath[] = "Software\\Corvani\\Stratext\\Editor";

void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    // The vendor key goes too when nothing else lives in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvani");
}

// Writes a value the way another tool might.
void PutRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue GetRaw(const char* path, const char* name) {
    RawValue raw;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return raw;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &raw.type, nullptr, &size) == ERROR_SUCCESS) {
        raw.bytes.resize(size + 1);
        DWORD got = size + 1;
        raw.found = RegQueryValueExA(key, name, nullptr, &raw.type, raw.bytes.data(), &got) ==
                    ERROR_SUCCESS;
        raw.bytes.resize(got);
    }
    RegCloseKey(key);
    return raw;
}

class RegistrySettings : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
    RegistrySettingsStore store;
};

TEST_F(RegistrySettings, WritesAndReadsBackEveryValueType) {
    EXPECT_FALSE(store.KeyExists(SettingsKey::Main));
    StoredValue value;
    EXPECT_EQ(store.Read(SettingsKey::Main, "Language", 1, value), ReadStatus::Missing);

    const std::uint8_t dword[] = {0x78, 0x56, 0x34, 0x12};
    const std::uint8_t byte[] = {5};
    const char text[] = "C:\\dir\\\xBA.bmp"; // a Windows-1250 letter survives the round trip
    ASSERT_TRUE(store.Write(SettingsKey::Editor, "Planes", SettingType::Dword, dword, 4));
    ASSERT_TRUE(store.Write(SettingsKey::Editor, "Direction", SettingType::Binary, byte, 1));
    ASSERT_TRUE(store.Write(SettingsKey::Main, "Custom help file", SettingType::String,
                            reinterpret_cast<const std::uint8_t*>(text), sizeof text));
    EXPECT_TRUE(store.KeyExists(SettingsKey::Main));
    EXPECT_TRUE(store.KeyExists(SettingsKey::Editor));

    RawValue raw = GetRaw(kEditorPath, "Planes");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.bytes, std::vector<BYTE>(dword, dword + 4));
    EXPECT_EQ(GetRaw(kEditorPath, "Direction").type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(GetRaw(kSettingsKeyPath, "Custom help file").type, static_cast<DWORD>(REG_SZ));

    ASSERT_EQ(store.Read(SettingsKey::Editor, "Planes", 4, value), ReadStatus::Ok);
    EXPECT_EQ(value.type, SettingType::Dword);
    EXPECT_EQ(value.bytes, std::vector<std::uint8_t>(dword, dword + 4));
    ASSERT_EQ(store.Read(SettingsKey::Editor, "Direction", 1, value), ReadStatus::Ok);
    EXPECT_EQ(value.type, SettingType::Binary);
    EXPECT_EQ(value.bytes, std::vector<std::uint8_t>{5});
    ASSERT_EQ(store.Read(SettingsKey::Main, "Custom help file", 100, value), ReadStatus::Ok);
    EXPECT_EQ(value.type, SettingType::String);
    EXPECT_EQ(std::string(value.bytes.begin(), value.bytes.end()), std::string(text, sizeof text));

    EXPECT_EQ(store.Read(SettingsKey::Editor, "Planes", 3, value), ReadStatus::TooLarge);
    EXPECT_EQ(store.Read(SettingsKey::Main, "Planes", 4, value), ReadStatus::Missing);
    const std::uint64_t qword = 7;
    PutRaw(kEditorPath, "Cursor update", REG_QWORD, &qword, 8);
    ASSERT_EQ(store.Read(SettingsKey::Editor, "Cursor update", 8, value), ReadStatus::Ok);
    EXPECT_EQ(value.type, SettingType::Other);
}

} // namespace
} // namespace stx
