// The settings loaders over a store holding values of any type and any bytes
// under the program's value names (or others): every setting they take is in
// range and whole, what the program then stores reads back unchanged, and a
// value decoding refuses leaves the setting as it was.
#include "app/settings.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_settings_store.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace stx;

namespace {

Setting SettingAt(std::size_t i) {
    return static_cast<Setting>(i);
}

// Every setting in the form the program writes it.
std::vector<std::vector<std::uint8_t>> Encoded(const AppSettings& s) {
    std::vector<std::vector<std::uint8_t>> all;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        all.push_back(EncodeSetting(SettingAt(i), s));
    return all;
}

bool IsPlacement(Setting setting) {
    return setting == Setting::WindowX || setting == Setting::WindowY ||
           setting == Setting::WindowWidth || setting == Setting::WindowHeight ||
           setting == Setting::Maximized;
}

// A value's bytes: a few from the input, or a long run around the text
// capacities, where cutting and terminating go wrong.
std::vector<std::uint8_t> ValueBytes(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 7) != 0)
        return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 80));
    constexpr std::size_t kLengths[] = {
        kPathCapacity - 1,   kPathCapacity,   kPathCapacity + 1,   kHelpFileValueSize,
        kScriptCapacity - 1, kScriptCapacity, kScriptCapacity + 1, 40000};
    std::vector<std::uint8_t> bytes(in.PickValueInArray(kLengths),
                                    in.ConsumeIntegral<std::uint8_t>());
    // Perhaps a terminator somewhere near the end.
    if (in.ConsumeBool())
        bytes[bytes.size() - 1 - in.ConsumeIntegralInRange<std::size_t>(0, 2)] = 0;
    return bytes;
}

void CheckInRange(const AppSettings& s) {
    const RenderSettings& r = s.render;
    STX_FUZZ_CHECK(r.planeCount >= 1 && r.planeCount <= kMaxPlanes);
    STX_FUZZ_CHECK(r.distance >= 0 && r.distance <= kMaxDistance);
    for (Colour c : {r.firstPlaneColour, r.lastPlaneColour, r.textColour, r.backgroundColour})
        STX_FUZZ_CHECK(c <= 0xFFFFFF);
    STX_FUZZ_CHECK(static_cast<unsigned>(r.fadeDirection) < kFadeDirectionCount);
    STX_FUZZ_CHECK(r.caretMode >= CaretMode::Blink && r.caretMode <= CaretMode::Static);
    STX_FUZZ_CHECK(r.backgroundKind <= BackgroundKind::Colour);
    STX_FUZZ_CHECK(r.imagePlacement <= ImagePlacement::StretchIsotropic);
    STX_FUZZ_CHECK(s.language <= UiLanguage::RomanianDiacritics);
    STX_FUZZ_CHECK(std::memchr(r.font.faceName, 0, sizeof r.font.faceName) != nullptr);
    const int height = LineHeightOf(r.font);
    STX_FUZZ_CHECK(height >= 1 && height <= 4096);
    STX_FUZZ_CHECK(!s.configuredScript.empty() && s.configuredScript.size() <= kScriptCapacity);
    STX_FUZZ_CHECK(s.customHelpFile.size() <= kPathCapacity);
    STX_FUZZ_CHECK(r.imagePath.size() <= kPathCapacity);
    for (const std::string* text : {&s.configuredScript, &s.customHelpFile, &r.imagePath})
        STX_FUZZ_CHECK(text->find('\0') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint32_t locale = in.ConsumeIntegral<std::uint32_t>();
    const bool nt = in.ConsumeBool();

    MemorySettingsStore store;
    if (in.ConsumeBool()) store.CreateKey(SettingsKey::Main);
    if (in.ConsumeBool()) store.CreateKey(SettingsKey::Editor);
    std::vector<std::pair<Setting, StoredValue>> values;
    while (in.remaining_bytes() > 0) {
        const auto setting =
            SettingAt(in.ConsumeIntegralInRange<std::size_t>(0, kSettingCount - 1));
        const SettingInfo& info = InfoOf(setting);
        StoredValue value;
        value.type = static_cast<SettingType>(in.ConsumeIntegralInRange(0, 3));
        value.bytes = ValueBytes(in);
        // Now and then under the other key, where the program never looks for it.
        const bool otherKey = in.ConsumeIntegralInRange(0, 15) == 0;
        const SettingsKey key =
            otherKey == (info.key == SettingsKey::Main) ? SettingsKey::Editor : SettingsKey::Main;
        store.Put(key, info.name, value.type, value.bytes);
        values.emplace_back(setting, std::move(value));
    }

    AppSettings loaded;
    loaded.configuredScript = "default script";
    ApplyPlatformDefaults(loaded, nt);
    LoadPlacementSettings(store, loaded, locale);
    LoadEditorSettings(store, loaded);
    CheckInRange(loaded);
    const std::array<ScreenRect, 2> monitors = {{{0, 0, 1280, 1024}, {-1920, -200, 0, 880}}};
    const WindowPlacement placed = PlacementOnScreen(loaded.placement, monitors);
    // Off screen gives the default placement; half a default position becomes a whole one;
    // otherwise the window stays where it was.
    const bool halfDefault = loaded.placement.x == kUseDefault || loaded.placement.y == kUseDefault;
    STX_FUZZ_CHECK(placed == WindowPlacement{} ||
                   (halfDefault
                        ? placed.x == kUseDefault && placed.y == kUseDefault
                        : placed.x == loaded.placement.x && placed.y == loaded.placement.y));

    // Every setting in force reads back from its written form as itself.
    const auto written = Encoded(loaded);
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        AppSettings copy = loaded;
        STX_FUZZ_CHECK(DecodeSetting(SettingAt(i), {InfoOf(SettingAt(i)).type, written[i]}, copy));
        STX_FUZZ_CHECK(Encoded(copy) == written);
    }

    // "Save settings", then a fresh start over what it stored.
    MemorySettingsStore saved;
    SaveAllSettings(saved, loaded);
    AppSettings restarted;
    LoadPlacementSettings(saved, restarted, locale);
    LoadEditorSettings(saved, restarted);
    const auto reread = Encoded(restarted);
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (!IsPlacement(SettingAt(i))) STX_FUZZ_CHECK(reread[i] == written[i]);

    // A value the decoder refuses changes nothing.
    for (const auto& [setting, value] : values) {
        AppSettings copy = loaded;
        if (!DecodeSetting(setting, value, copy)) STX_FUZZ_CHECK(Encoded(copy) == written);
        CheckInRange(copy);
    }
    return 0;
}
