#include "app/settings.h"
#include "tests/support/memory_settings_store.h"
#include "view/caret_animation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace stx {
namespace {

std::vector<std::uint8_t> Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

std::vector<std::uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(Settings, NumbersAreBroughtIntoRangeOnReading) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        SettingType type;
        int planes, distance, caretMode;
    };
    const Case cases[] = {
        {"Planes", Dword(0), SettingType::Dword, 1, 0, 3},
        {"Planes", Dword(1000), SettingType::Dword, 255, 0, 3},
        {"Planes", Dword(0xFFFFFFFF), SettingType::Dword, 255, 0, 3},
        {"Distance", Dword(300), SettingType::Dword, 8, 255, 3},
        {"Distance", Dword(0x80000000), SettingType::Dword, 8, 255, 3},
        {"Cursor type", {9}, SettingType::Binary, 8, 0, 4},
        // Mode 0 is no caret mode; the default mode stands in for it.
        {"Cursor type", {0}, SettingType::Binary, 8, 0, 3},
        {"Cursor type", {1}, SettingType::Binary, 8, 0, 1},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        store.Put(SettingsKey::Editor, c.name, c.type, c.bytes);
        AppSettings s;
        LoadEditorSettings(store, s);
        EXPECT_EQ(s.render.planeCount, c.planes) << c.name;
        EXPECT_EQ(s.render.distance, c.distance) << c.name;
        EXPECT_EQ(static_cast<int>(s.render.caretMode), c.caretMode) << c.name;
        EXPECT_EQ(CaretTimerFor(s.render).running, c.caretMode != 4) << c.name;
    }

    MemorySettingsStore store;
    store.Put(SettingsKey::Editor, "Direction", SettingType::Binary, {8});
    store.Put(SettingsKey::Editor, "Color", SettingType::Dword, Dword(0xFF00FF00));
    store.Put(SettingsKey::Editor, "Background", SettingType::Binary, {0x97});
    AppSettings s;
    LoadEditorSettings(store, s);
    EXPECT_EQ(s.render.fadeDirection, FadeDirection::SouthEast);
    EXPECT_EQ(s.render.backgroundColour, 0x00FF00u);
    EXPECT_EQ(s.render.backgroundKind, BackgroundKind::Pattern);
    EXPECT_EQ(s.render.imagePlacement, ImagePlacement::Tile);
}

TEST(Settings, MalformedValuesReadAsMissing) {
    MemorySettingsStore store;
    const auto put = [&](SettingsKey key, const char* name, SettingType type,
                         std::vector<std::uint8_t> bytes) { store.Put(key, name, type, bytes); };
    // Wrong types.
    put(SettingsKey::Editor, "Planes", SettingType::String, Text("20"));
    put(SettingsKey::Editor, "Distance", SettingType::Binary, {5});
    put(SettingsKey::Editor, "Show address", SettingType::Dword, Dword(1));
    put(SettingsKey::Main, "Auto-save options", SettingType::Dword, Dword(1));
    put(SettingsKey::Main, "Maximized", SettingType::String, Text("1"));
    put(SettingsKey::Main, "Custom help file", SettingType::Dword, Dword(0x41414141));
    // Wrong sizes.
    put(SettingsKey::Editor, "Color", SettingType::Dword, {1, 2});
    put(SettingsKey::Editor, "Direction", SettingType::Binary, {});
    put(SettingsKey::Editor, "Cursor type", SettingType::Binary, {1, 1});
    put(SettingsKey::Main, "Window x", SettingType::Binary, {1, 0, 0, 0});
    put(SettingsKey::Main, "Language", SettingType::Binary, {1, 0});
    // An over-long path is ignored rather than cut into another path.
    put(SettingsKey::Editor, "Image", SettingType::String,
        Text(std::string(kPathCapacity + 1, 'p')));

    AppSettings s;
    s.configuredScript = "default";
    LoadPlacementSettings(store, s, 0x0418);
    LoadEditorSettings(store, s);
    AppSettings expected;
    expected.configuredScript = "default";
    expected.language = UiLanguage::Romanian; // the locale decides a missing language
    // Every stored value but auto-save and the placement, compared in its written form.
    for (std::size_t i = static_cast<std::size_t>(Setting::Language); i < kSettingCount; ++i) {
        const auto setting = static_cast<Setting>(i);
        EXPECT_EQ(EncodeSetting(setting, s), EncodeSetting(setting, expected))
            << InfoOf(setting).name;
    }
    EXPECT_FALSE(s.autoSave);
    EXPECT_FALSE(s.maximized);
    EXPECT_EQ(s.placement, WindowPlacement{});
}

TEST(Settings, TextsEndInsideTheirValue) {
    MemorySettingsStore store;
    // A script that fills its whole value has no terminator either.
    const std::string full(kScriptCapacity, 'x');
    store.Put(SettingsKey::Main, "External assembler commands", SettingType::String, Text(full));
    // Text after the first zero is padding.
    store.Put(SettingsKey::Main, "Custom help file", SettingType::String,
              Text(std::string("a.hlp\0junk", 10)));
    AppSettings s;
    LoadPlacementSettings(store, s, 0);
    LoadEditorSettings(store, s);
    EXPECT_EQ(s.configuredScript, full);
    EXPECT_EQ(s.customHelpFile, "a.hlp");
}

TEST(Settings, AnEmptyScriptIsNeitherStoredNorRead) {
    MemorySettingsStore store;
    SaveAllSettings(store, AppSettings{});
    EXPECT_EQ(store.Find(SettingsKey::Main, "External assembler commands"), nullptr);

    // As an older save left it: the whole value zeros.
    store.Put(SettingsKey::Main, "External assembler commands", SettingType::String,
              std::vector<std::uint8_t>(kScriptValueSize, 0));
    AppSettings s;
    s.configuredScript = "default";
    LoadPlacementSettings(store, s, 0);
    EXPECT_EQ(s.configuredScript, "default");
}

TEST(Settings, FontFaceNameAndLineHeightStayInBounds) {
    EditorFont font;
    font.height = -13;
    std::strcpy(font.faceName, "Fixedsys");
    auto damaged = FontBytes(font, 0x00112233);
    // A face name that fills its 32 bytes without a zero is cut to 31 characters.
    std::memset(&damaged[28], 'Z', 32);
    damaged[63] = 0xFF; // and a colour with a top byte
    EditorFont read;
    Colour colour = 0;
    ASSERT_TRUE(FontFromBytes(damaged, read, colour));
    EXPECT_EQ(std::strlen(read.faceName), 31u);
    EXPECT_EQ(read.height, -13);
    EXPECT_EQ(colour, 0x112233u);

    EXPECT_EQ(LineHeightOf(read), 13);
    read.height = 0;
    EXPECT_EQ(LineHeightOf(read), 18);
    read.height = INT32_MIN;
    EXPECT_EQ(LineHeightOf(read), 4096);
}

TEST(Settings, LanguageAtStart) {
    auto start = [](bool key, std::vector<std::uint8_t> stored, std::uint32_t locale) {
        MemorySettingsStore store;
        if (key) store.CreateKey(SettingsKey::Main);
        if (!stored.empty()) store.Put(SettingsKey::Main, "Language", SettingType::Binary, stored);
        AppSettings s;
        LoadPlacementSettings(store, s, locale);
        return s.language;
    };
    // First run: no settings key, English whatever the locale.
    EXPECT_EQ(start(false, {}, 0x0418), UiLanguage::English);
    // A key without "Language": the locale decides, sort bits aside (Moldova is not Romania).
    EXPECT_EQ(start(true, {}, 0x0418), UiLanguage::Romanian);
    EXPECT_EQ(start(true, {}, 0x00010418), UiLanguage::Romanian);
    EXPECT_EQ(start(true, {}, 0x0818), UiLanguage::English);
    // A stored value wins over the locale; an unknown one reads as English.
    EXPECT_EQ(start(true, {2}, 0x0409), UiLanguage::RomanianDiacritics);
    EXPECT_EQ(start(true, {0}, 0x0418), UiLanguage::English);
    EXPECT_EQ(start(true, {7}, 0x0418), UiLanguage::English);
}

TEST(Settings, StoredPlacementMustLieOnAMonitor) {
    const ScreenRect primary{0, 0, 1024, 768};
    const ScreenRect left{-1280, 0, 0, 1024};
    const std::vector<ScreenRect> one{primary};
    const std::vector<ScreenRect> two{primary, left};
    const WindowPlacement defaults;

    const WindowPlacement onLeft{-1000, 50, 600, 400};
    EXPECT_EQ(PlacementOnScreen(onLeft, two), onLeft);
    // The monitor it was on is gone.
    EXPECT_EQ(PlacementOnScreen(onLeft, one), defaults);
    // A sliver at the edge is not in sight.
    EXPECT_EQ(PlacementOnScreen({1020, 100, 600, 400}, one), defaults);
    EXPECT_EQ(PlacementOnScreen({990, 100, 600, 400}, one), (WindowPlacement{990, 100, 600, 400}));
    // Extreme values do not overflow.
    EXPECT_EQ(PlacementOnScreen({INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, INT32_MAX}, one),
              defaults);
    EXPECT_EQ(PlacementOnScreen({-2147483000, 0, INT32_MAX, 400}, one).x, -2147483000);

    // Halves of a position or a size, and empty sizes, fall back to the defaults.
    EXPECT_EQ(PlacementOnScreen({100, kUseDefault, 600, 400}, one),
              (WindowPlacement{kUseDefault, kUseDefault, 600, 400}));
    EXPECT_EQ(PlacementOnScreen({100, 100, 0, 400}, one),
              (WindowPlacement{100, 100, kUseDefault, kUseDefault}));
    EXPECT_EQ(PlacementOnScreen(defaults, {}), defaults);
}

} // namespace
} // namespace stx
