#include "app/settings.h"

#include "app/command_ids.h"

#include <algorithm>
#include <cstring>

namespace stx {

namespace {

constexpr std::array<SettingInfo, kSettingCount> kSettings = {{
    {SettingsKey::Main, "Auto-save options", SettingType::Binary, 1},
    {SettingsKey::Main, "Window x", SettingType::Dword, 4},
    {SettingsKey::Main, "Window y", SettingType::Dword, 4},
    {SettingsKey::Main, "Window width", SettingType::Dword, 4},
    {SettingsKey::Main, "Window height", SettingType::Dword, 4},
    {SettingsKey::Main, "Maximized", SettingType::Binary, 1},
    {SettingsKey::Main, "Language", SettingType::Binary, 1},
    {SettingsKey::Main, "External assembler commands", SettingType::String, kScriptValueSize},
    {SettingsKey::Main, "Custom help file", SettingType::String, kHelpFileValueSize},
    {SettingsKey::Main, "Help options", SettingType::Binary, 1},
    {SettingsKey::Editor, "Image", SettingType::String, 0},
    {SettingsKey::Editor, "Color", SettingType::Dword, 4},
    {SettingsKey::Editor, "Background", SettingType::Binary, 1},
    {SettingsKey::Editor, "Planes", SettingType::Dword, 4},
    {SettingsKey::Editor, "Distance", SettingType::Dword, 4},
    {SettingsKey::Editor, "First plane color", SettingType::Dword, 4},
    {SettingsKey::Editor, "Last plane color", SettingType::Dword, 4},
    {SettingsKey::Editor, "Direction", SettingType::Binary, 1},
    {SettingsKey::Editor, "Cursor type", SettingType::Binary, 1},
    {SettingsKey::Editor, "Cursor update", SettingType::Dword, 4},
    {SettingsKey::Editor, "Font", SettingType::Binary, kFontValueSize},
    {SettingsKey::Editor, "Syntax highlight", SettingType::Binary, 1},
    {SettingsKey::Editor, "Double buffering", SettingType::Binary, 1},
    {SettingsKey::Editor, "Auto indent", SettingType::Binary, 1},
    {SettingsKey::Editor, "Cursor over letter", SettingType::Binary, 1},
    {SettingsKey::Editor, "Show address", SettingType::Binary, 1},
    {SettingsKey::Editor, "Auto convert UNIX text", SettingType::Binary, 1},
}};

// Text values are read whole up to this size and then checked against their
// capacity; anything larger is not a value this program wrote.
constexpr std::size_t kMaxStoredText = 1 << 20;

constexpr int kMaxLineHeight = 4096;

// The order of "Save settings".
constexpr Setting kSaveAllOrder[] = {
    Setting::AutoSaveOptions,
    Setting::Language,
    Setting::Image,
    Setting::Background,
    Setting::Color,
    Setting::Planes,
    Setting::FirstPlaneColor,
    Setting::LastPlaneColor,
    Setting::Distance,
    Setting::Direction,
    Setting::CursorType,
    Setting::CursorUpdate,
    Setting::Font,
    Setting::SyntaxHighlight,
    Setting::DoubleBuffering,
    Setting::AutoIndent,
    Setting::CursorOverLetter,
    Setting::ShowAddress,
    Setting::AutoConvertUnixText,
    Setting::ExternalAssemblerCommands,
    Setting::CustomHelpFile,
    Setting::HelpOptions,
};

// The values of the "Editor" subkey in the order the loader reads them.
constexpr Setting kEditorLoadOrder[] = {
    Setting::Image,
    Setting::Color,
    Setting::Background,
    Setting::Planes,
    Setting::Distance,
    Setting::FirstPlaneColor,
    Setting::LastPlaneColor,
    Setting::Direction,
    Setting::CursorType,
    Setting::CursorUpdate,
    Setting::Font,
    Setting::SyntaxHighlight,
    Setting::DoubleBuffering,
    Setting::AutoIndent,
    Setting::CursorOverLetter,
    Setting::ShowAddress,
    Setting::AutoConvertUnixText,
};

void PutDword(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetDword(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

std::vector<std::uint8_t> DwordBytes(std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    PutDword(bytes.data(), value);
    return bytes;
}

std::vector<std::uint8_t> ByteBytes(unsigned value) {
    return {static_cast<std::uint8_t>(value)};
}

// Fixed-size text values: the text followed by zeros up to the size. A text at
// its capacity fills the value without a terminating zero, as the program's
// buffers always did; readers stop at the end of the value.
std::vector<std::uint8_t> PaddedText(const std::string& text, std::size_t size,
                                     std::size_t capacity) {
    std::vector<std::uint8_t> bytes(size, 0);
    const std::size_t n = std::min({text.size(), capacity, size});
    std::memcpy(bytes.data(), text.data(), n);
    return bytes;
}

// A stored text ends at its first zero or at the end of the value, whichever
// comes first, so a value without its terminator is never read past.
bool TextOf(const StoredValue& value, std::size_t capacity, std::string& text) {
    if (value.type != SettingType::String) return false;
    const auto end = std::find(value.bytes.begin(), value.bytes.end(), std::uint8_t{0});
    const auto length = static_cast<std::size_t>(end - value.bytes.begin());
    // A cut path would name another file and a cut script would run other
    // commands: an over-long text is ignored rather than shortened.
    if (length > capacity) return false;
    text.assign(value.bytes.begin(), end);
    return true;
}

bool ByteOf(const StoredValue& value, std::uint8_t& byte) {
    if (value.type != SettingType::Binary || value.bytes.size() != 1) return false;
    byte = value.bytes[0];
    return true;
}

bool DwordOf(const StoredValue& value, std::uint32_t& dword) {
    if (value.type != SettingType::Dword || value.bytes.size() != 4) return false;
    dword = GetDword(value.bytes.data());
    return true;
}

bool ReadStored(SettingsStore& store, Setting setting, StoredValue& value) {
    const SettingInfo& info = InfoOf(setting);
    const std::size_t maxBytes = info.type == SettingType::String ? kMaxStoredText : info.size;
    return store.Read(info.key, info.name, maxBytes, value) == ReadStatus::Ok;
}

// Reads one value over the setting in force; missing or unusable values leave it.
bool LoadSetting(SettingsStore& store, Setting setting, AppSettings& settings) {
    StoredValue value;
    return ReadStored(store, setting, value) && DecodeSetting(setting, value, settings);
}

void WriteEncoded(SettingsStore& store, bool autoSave, Setting setting,
                  const std::vector<std::uint8_t>& bytes) {
    // An empty script is never stored: it would stand in for the default one
    // at the next start.
    if (setting == Setting::ExternalAssemblerCommands &&
        std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }))
        return;
    const SettingInfo& info = InfoOf(setting);
    WriteSetting(store, autoSave, info.key, info.name, bytes.data(), info.type, bytes.size());
}

std::int64_t Overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
    return std::min(a1, b1) - std::max(a0, b0);
}

} // namespace

const SettingInfo& InfoOf(Setting setting) {
    return kSettings[static_cast<std::size_t>(setting)];
}

void ApplyPlatformDefaults(AppSettings& settings, bool ntPlatform) {
    if (ntPlatform) settings.render.planeCount = 1;
}

std::array<std::uint8_t, kFontValueSize> FontBytes(const EditorFont& font, Colour textColour) {
    std::array<std::uint8_t, kFontValueSize> bytes{};
    std::uint8_t* p = bytes.data();
    PutDword(p + 0, static_cast<std::uint32_t>(font.height));
    PutDword(p + 4, static_cast<std::uint32_t>(font.width));
    PutDword(p + 8, static_cast<std::uint32_t>(font.escapement));
    PutDword(p + 12, static_cast<std::uint32_t>(font.orientation));
    PutDword(p + 16, static_cast<std::uint32_t>(font.weight));
    p[20] = font.italic;
    p[21] = font.underline;
    p[22] = font.strikeOut;
    p[23] = font.charSet;
    p[24] = font.outPrecision;
    p[25] = font.clipPrecision;
    p[26] = font.quality;
    p[27] = font.pitchAndFamily;
    std::memcpy(p + 28, font.faceName, sizeof font.faceName);
    PutDword(p + kLogFontSize, textColour);
    return bytes;
}

bool FontFromBytes(std::span<const std::uint8_t> bytes, EditorFont& font, Colour& textColour) {
    if (bytes.size() != kFontValueSize) return false;
    const std::uint8_t* p = bytes.data();
    EditorFont f;
    f.height = static_cast<std::int32_t>(GetDword(p + 0));
    f.width = static_cast<std::int32_t>(GetDword(p + 4));
    f.escapement = static_cast<std::int32_t>(GetDword(p + 8));
    f.orientation = static_cast<std::int32_t>(GetDword(p + 12));
    f.weight = static_cast<std::int32_t>(GetDword(p + 16));
    f.italic = p[20];
    f.underline = p[21];
    f.strikeOut = p[22];
    f.charSet = p[23];
    f.outPrecision = p[24];
    f.clipPrecision = p[25];
    f.quality = p[26];
    f.pitchAndFamily = p[27];
    // The face name is handed to the font engine as a C string: it must end
    // inside its 32 bytes.
    std::memcpy(f.faceName, p + 28, sizeof f.faceName);
    if (std::memchr(f.faceName, 0, sizeof f.faceName) == nullptr)
        f.faceName[sizeof f.faceName - 1] = 0;
    font = f;
    textColour = ClampColour(GetDword(p + kLogFontSize));
    return true;
}

int LineHeightOf(const EditorFont& font) {
    const std::int64_t height = font.height;
    const std::int64_t magnitude = height < 0 ? -height : height;
    if (magnitude == 0) return EditorFont{}.height;
    return static_cast<int>(std::min<std::int64_t>(magnitude, kMaxLineHeight));
}

std::vector<std::uint8_t> EncodeSetting(Setting setting, const AppSettings& s) {
    const RenderSettings& r = s.render;
    switch (setting) {
    case Setting::AutoSaveOptions:
        return ByteBytes(s.autoSave ? 1 : 0);
    case Setting::WindowX:
        return DwordBytes(static_cast<std::uint32_t>(s.placement.x));
    case Setting::WindowY:
        return DwordBytes(static_cast<std::uint32_t>(s.placement.y));
    case Setting::WindowWidth:
        return DwordBytes(static_cast<std::uint32_t>(s.placement.width));
    case Setting::WindowHeight:
        return DwordBytes(static_cast<std::uint32_t>(s.placement.height));
    case Setting::Maximized:
        return ByteBytes(s.maximized ? 1 : 0);
    case Setting::Language:
        return ByteBytes(static_cast<unsigned>(s.language));
    case Setting::ExternalAssemblerCommands:
        return PaddedText(s.configuredScript, kScriptValueSize, kScriptCapacity);
    case Setting::CustomHelpFile:
        return PaddedText(s.customHelpFile, kHelpFileValueSize, kPathCapacity);
    case Setting::HelpOptions:
        return ByteBytes(s.helpOptions);
    case Setting::Image: {
        // The path with its terminating zero.
        const std::size_t n = std::min(r.imagePath.size(), kPathCapacity);
        std::vector<std::uint8_t> bytes(r.imagePath.begin(), r.imagePath.begin() + n);
        bytes.push_back(0);
        return bytes;
    }
    case Setting::Color:
        return DwordBytes(r.backgroundColour);
    case Setting::Background:
        return ByteBytes(BackgroundByte(r.backgroundKind, r.imagePlacement));
    case Setting::Planes:
        return DwordBytes(static_cast<std::uint32_t>(r.planeCount));
    case Setting::Distance:
        return DwordBytes(static_cast<std::uint32_t>(r.distance));
    case Setting::FirstPlaneColor:
        return DwordBytes(r.firstPlaneColour);
    case Setting::LastPlaneColor:
        return DwordBytes(r.lastPlaneColour);
    case Setting::Direction:
        return ByteBytes(static_cast<unsigned>(r.fadeDirection));
    case Setting::CursorType:
        return ByteBytes(static_cast<unsigned>(r.caretMode));
    case Setting::CursorUpdate:
        return DwordBytes(r.caretPeriodMs);
    case Setting::Font: {
        const auto bytes = FontBytes(r.font, r.textColour);
        return {bytes.begin(), bytes.end()};
    }
    case Setting::SyntaxHighlight:
        return ByteBytes(r.syntaxHighlight ? 1 : 0);
    case Setting::DoubleBuffering:
        return ByteBytes(r.doubleBuffering ? 1 : 0);
    case Setting::AutoIndent:
        return ByteBytes(s.autoIndent ? 1 : 0);
    case Setting::CursorOverLetter:
        return ByteBytes(r.overLetter ? 1 : 0);
    case Setting::ShowAddress:
        return ByteBytes(r.showAddress ? 1 : 0);
    case Setting::AutoConvertUnixText:
        return ByteBytes(s.autoConvertUnixText ? 1 : 0);
    }
    return {};
}

bool DecodeSetting(Setting setting, const StoredValue& value, AppSettings& s) {
    RenderSettings& r = s.render;
    std::uint8_t byte = 0;
    std::uint32_t dword = 0;
    switch (setting) {
    case Setting::AutoSaveOptions:
        if (!ByteOf(value, byte)) return false;
        s.autoSave = byte == 1;
        return true;
    case Setting::WindowX:
    case Setting::WindowY:
    case Setting::WindowWidth:
    case Setting::WindowHeight: {
        if (!DwordOf(value, dword)) return false;
        const auto v = static_cast<std::int32_t>(dword);
        if (setting == Setting::WindowX) s.placement.x = v;
        if (setting == Setting::WindowY) s.placement.y = v;
        if (setting == Setting::WindowWidth) s.placement.width = v;
        if (setting == Setting::WindowHeight) s.placement.height = v;
        return true;
    }
    case Setting::Maximized:
        if (!ByteOf(value, byte)) return false;
        s.maximized = byte == 1;
        return true;
    case Setting::Language:
        if (!ByteOf(value, byte)) return false;
        s.language = UiLanguageFromStored(byte);
        return true;
    case Setting::ExternalAssemblerCommands: {
        // A stored script that is empty (or all zeros) reads as missing.
        std::string script;
        if (!TextOf(value, kScriptCapacity, script) || script.empty()) return false;
        s.configuredScript = std::move(script);
        return true;
    }
    case Setting::CustomHelpFile:
        return TextOf(value, kPathCapacity, s.customHelpFile);
    case Setting::HelpOptions:
        if (!ByteOf(value, byte)) return false;
        s.helpOptions = byte;
        return true;
    case Setting::Image:
        return TextOf(value, kPathCapacity, r.imagePath);
    case Setting::Color:
        if (!DwordOf(value, dword)) return false;
        r.backgroundColour = ClampColour(dword);
        return true;
    case Setting::Background:
        if (!ByteOf(value, byte)) return false;
        DecodeBackgroundByte(byte, r.backgroundKind, r.imagePlacement);
        return true;
    case Setting::Planes:
        if (!DwordOf(value, dword)) return false;
        r.planeCount = ClampPlaneCount(dword);
        return true;
    case Setting::Distance:
        if (!DwordOf(value, dword)) return false;
        r.distance = ClampDistance(dword);
        return true;
    case Setting::FirstPlaneColor:
        if (!DwordOf(value, dword)) return false;
        r.firstPlaneColour = ClampColour(dword);
        return true;
    case Setting::LastPlaneColor:
        if (!DwordOf(value, dword)) return false;
        r.lastPlaneColour = ClampColour(dword);
        return true;
    case Setting::Direction:
        // An index above 7 names no direction; the one in force stays.
        return ByteOf(value, byte) && FadeDirectionFromIndex(byte, r.fadeDirection);
    case Setting::CursorType:
        if (!ByteOf(value, byte)) return false;
        r.caretMode = ClampCaretMode(byte);
        return true;
    case Setting::CursorUpdate:
        if (!DwordOf(value, dword)) return false;
        r.caretPeriodMs = dword;
        return true;
    case Setting::Font:
        return value.type == SettingType::Binary &&
               FontFromBytes(value.bytes, r.font, r.textColour);
    case Setting::SyntaxHighlight:
    case Setting::DoubleBuffering:
    case Setting::AutoIndent:
    case Setting::CursorOverLetter:
    case Setting::ShowAddress:
    case Setting::AutoConvertUnixText: {
        if (!ByteOf(value, byte)) return false;
        const bool on = byte != 0;
        if (setting == Setting::SyntaxHighlight) r.syntaxHighlight = on;
        if (setting == Setting::DoubleBuffering) r.doubleBuffering = on;
        if (setting == Setting::AutoIndent) s.autoIndent = on;
        if (setting == Setting::CursorOverLetter) r.overLetter = on;
        if (setting == Setting::ShowAddress) r.showAddress = on;
        if (setting == Setting::AutoConvertUnixText) s.autoConvertUnixText = on;
        return true;
    }
    }
    return false;
}

void WriteSetting(SettingsStore& store, bool autoSave, SettingsKey key, const char* name,
                  const void* data, SettingType type, std::size_t size) {
    if (!autoSave) return;
    static const std::uint8_t kNothing = 0;
    const auto* bytes = size == 0 ? &kNothing : static_cast<const std::uint8_t*>(data);
    // Registry failures are never reported: the setting still works for this run.
    (void)store.Write(key, name, type, bytes, size);
}

void StoreSetting(SettingsStore& store, const AppSettings& settings, Setting setting) {
    WriteEncoded(store, settings.autoSave, setting, EncodeSetting(setting, settings));
}

void LoadPlacementSettings(SettingsStore& store, AppSettings& settings,
                           std::uint32_t userLocaleId) {
    settings.placement = WindowPlacement{};
    if (!store.KeyExists(SettingsKey::Main)) {
        settings.language = InitialUiLanguage(false, std::nullopt, userLocaleId);
        return;
    }
    for (Setting s : {Setting::WindowX, Setting::WindowY, Setting::WindowWidth,
                      Setting::WindowHeight, Setting::HelpOptions, Setting::Maximized})
        LoadSetting(store, s, settings);

    StoredValue value;
    std::optional<std::uint8_t> storedLanguage;
    std::uint8_t byte = 0;
    if (ReadStored(store, Setting::Language, value) && ByteOf(value, byte)) storedLanguage = byte;
    settings.language = InitialUiLanguage(true, storedLanguage, userLocaleId);

    LoadSetting(store, Setting::ExternalAssemblerCommands, settings);
    LoadSetting(store, Setting::CustomHelpFile, settings);
}

WindowPlacement PlacementOnScreen(const WindowPlacement& stored,
                                  std::span<const ScreenRect> monitors) {
    WindowPlacement p = stored;
    // Half a position or half a size is not something the system can place:
    // a y of CW_USEDEFAULT beside a real x would put the window far off screen.
    if (p.x == kUseDefault || p.y == kUseDefault) p.x = p.y = kUseDefault;
    if (p.width == kUseDefault || p.height == kUseDefault || p.width <= 0 || p.height <= 0)
        p.width = p.height = kUseDefault;
    if (p.x == kUseDefault) return p;
    if (monitors.empty()) return WindowPlacement{};

    // With a default size the system picks one; judge by the corner it will have.
    constexpr std::int64_t kNominalSize = 100;
    // In sight: at least this much of the window (or all of a smaller one) on a monitor.
    constexpr std::int64_t kMinVisible = 32;
    const std::int64_t left = p.x;
    const std::int64_t top = p.y;
    const std::int64_t width = p.width == kUseDefault ? kNominalSize : p.width;
    const std::int64_t height = p.height == kUseDefault ? kNominalSize : p.height;
    for (const ScreenRect& m : monitors) {
        const std::int64_t w = Overlap(left, left + width, m.left, m.right);
        const std::int64_t h = Overlap(top, top + height, m.top, m.bottom);
        if (w >= std::min(width, kMinVisible) && h >= std::min(height, kMinVisible)) return p;
    }
    return WindowPlacement{};
}

void LoadEditorSettings(SettingsStore& store, AppSettings& settings) {
    if (!store.KeyExists(SettingsKey::Main)) return;
    if (store.KeyExists(SettingsKey::Editor))
        for (Setting s : kEditorLoadOrder)
            LoadSetting(store, s, settings);
    // 1 turns auto-save on; anything else, or no usable value, leaves it off.
    if (!LoadSetting(store, Setting::AutoSaveOptions, settings)) settings.autoSave = false;
}

MenuCheckState MenuCheckStateOf(const AppSettings& settings) {
    const RenderSettings& r = settings.render;
    MenuCheckState state;
    state.backgroundMode = BackgroundByte(r.backgroundKind, r.imagePlacement);
    state.directionIndex = static_cast<std::uint8_t>(r.fadeDirection);
    state.caretMode = static_cast<std::uint8_t>(r.caretMode);
    state.caretOverLetter = r.overLetter;
    state.syntaxHighlight = r.syntaxHighlight;
    state.autoIndent = settings.autoIndent;
    state.doubleBuffering = r.doubleBuffering;
    state.autoConvertUnixText = settings.autoConvertUnixText;
    state.autoSaveSettings = settings.autoSave;
    state.language = settings.language;
    return state;
}

std::vector<MenuCheck> EditorMenuChecks(const AppSettings& settings) {
    return MenuCheckMarks(MenuCheckStateOf(settings));
}

void StorePlacement(SettingsStore& store, AppSettings& settings, const WindowState& window) {
    if (window.minimized) return;
    if (window.maximized) {
        settings.maximized = true;
        StoreSetting(store, settings, Setting::Maximized);
        return;
    }
    const auto span = [](std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(b) -
                                         static_cast<std::uint32_t>(a));
    };
    settings.placement = {window.rect.left, window.rect.top,
                          span(window.rect.left, window.rect.right),
                          span(window.rect.top, window.rect.bottom)};
    settings.maximized = false;
    for (Setting s : {Setting::WindowX, Setting::WindowY, Setting::WindowWidth,
                      Setting::WindowHeight, Setting::Maximized})
        StoreSetting(store, settings, s);
}

void SaveAllSettings(SettingsStore& store, const AppSettings& settings) {
    // Written whatever the auto-save option says; it is recorded, not forced.
    for (Setting s : kSaveAllOrder) {
        std::vector<std::uint8_t> bytes = EncodeSetting(s, settings);
        // "Save settings" stores the image path without its terminating zero.
        if (s == Setting::Image) bytes.pop_back();
        WriteEncoded(store, true, s, bytes);
    }
}

bool ToggleAutoSave(SettingsStore& store, AppSettings& settings) {
    settings.autoSave = !settings.autoSave;
    // Written only when the option has just been turned on.
    const std::uint8_t on = 1;
    const SettingInfo& info = InfoOf(Setting::AutoSaveOptions);
    WriteSetting(store, settings.autoSave, info.key, info.name, &on, info.type, 1);
    if (settings.autoSave) SaveAllSettings(store, settings);
    return settings.autoSave;
}

} // namespace stx
