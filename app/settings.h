// The settings the program keeps in the registry: every value's name, type,
// size and default, the range checks on reading, and the loaders and writers
// that start-up and the option commands call. The window applies what the
// loaders report (check marks, background, caret timer); nothing here touches
// a window.
#pragma once

#include "app/menu_state.h"
#include "app/settings_store.h"
#include "app/ui_language.h"
#include "view/render_settings.h"

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stx {

// The system's "choose a default" coordinate (CW_USEDEFAULT).
inline constexpr std::int32_t kUseDefault = INT32_MIN;

// Text capacities: the configured script holds 32,767 characters; paths live
// in 8,192-byte buffers, so 8,191 characters and the terminating zero.
inline constexpr std::size_t kScriptCapacity = 32767;
inline constexpr std::size_t kPathCapacity = 8191;

// Sizes of the values written at a fixed size.
inline constexpr std::size_t kScriptValueSize = 32767;
inline constexpr std::size_t kHelpFileValueSize = 8192;
inline constexpr std::size_t kFontValueSize = 64; // LOGFONTA (60 bytes) + text colour
inline constexpr std::size_t kLogFontSize = 60;

// "Help options" bits.
inline constexpr std::uint8_t kHelpCloseOnExit = 1;
inline constexpr std::uint8_t kHelpF1GoesToIndex = 2;
inline constexpr std::uint8_t kHelpUsed = 4;

struct WindowPlacement {
    std::int32_t x = kUseDefault;
    std::int32_t y = kUseDefault;
    std::int32_t width = kUseDefault;
    std::int32_t height = kUseDefault;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// A rectangle in screen coordinates, right and bottom exclusive.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Everything the two tables of stored values hold, with the built-in defaults.
// `configuredScript` starts empty: the caller puts the default build script in
// it before loading, and the stored script replaces it when there is one.
struct AppSettings {
    // The settings key.
    bool autoSave = false;
    WindowPlacement placement;
    bool maximized = false;
    UiLanguage language = UiLanguage::English;
    std::string configuredScript;
    std::string customHelpFile;
    std::uint8_t helpOptions = 0;

    // The "Editor" subkey.
    RenderSettings render;
    bool autoIndent = true;
    bool autoConvertUnixText = false;
};

// One per stored value.
enum class Setting : std::uint8_t {
    AutoSaveOptions,
    WindowX,
    WindowY,
    WindowWidth,
    WindowHeight,
    Maximized,
    Language,
    ExternalAssemblerCommands,
    CustomHelpFile,
    HelpOptions,
    Image,
    Color,
    Background,
    Planes,
    Distance,
    FirstPlaneColor,
    LastPlaneColor,
    Direction,
    CursorType,
    CursorUpdate,
    Font,
    SyntaxHighlight,
    DoubleBuffering,
    AutoIndent,
    CursorOverLetter,
    ShowAddress,
    AutoConvertUnixText,
};
inline constexpr std::size_t kSettingCount = 27;

struct SettingInfo {
    SettingsKey key;
    const char* name;
    SettingType type;
    std::size_t size; // 0: the length of the text
};
const SettingInfo& InfoOf(Setting setting);

// The Windows NT family starts with one plane instead of eight; a stored
// "Planes" still overrides it.
void ApplyPlatformDefaults(AppSettings& settings, bool ntPlatform);

// The bytes an option command writes for a setting, from the values in force.
std::vector<std::uint8_t> EncodeSetting(Setting setting, const AppSettings& settings);
// Takes a stored value when it has the type and size the program writes,
// bringing it into range. Anything else leaves the setting as it was and
// returns false, so damaged values read as missing ones.
bool DecodeSetting(Setting setting, const StoredValue& value, AppSettings& settings);

// The editor font as stored: the LOGFONTA layout followed by the text colour.
std::array<std::uint8_t, kFontValueSize> FontBytes(const EditorFont& font, Colour textColour);
// False (and nothing changed) unless there are exactly 64 bytes. A face name
// without its terminating zero is cut to 31 characters.
bool FontFromBytes(std::span<const std::uint8_t> bytes, EditorFont& font, Colour& textColour);
// The line height a stored font gives before the font is measured: the size
// of its height value (the font dialog stores it negative), the default font's
// height when it is 0, never above 4,096.
int LineHeightOf(const EditorFont& font);

// Stores one value, but only while auto-save is on. Failures are ignored.
void WriteSetting(SettingsStore& store, bool autoSave, SettingsKey key, const char* name,
                  const void* data, SettingType type, std::size_t size);
// WriteSetting of a setting's current value in its written form: what every
// option command does after changing it.
void StoreSetting(SettingsStore& store, const AppSettings& settings, Setting setting);

// Start-up, before the main window exists: placement, help options, language,
// configured script and custom help file. `userLocaleId` decides the language
// when the key exists without a "Language" value.
void LoadPlacementSettings(SettingsStore& store, AppSettings& settings, std::uint32_t userLocaleId);

// Where a stored window comes back: the stored placement when it lies on one
// of the monitors, else the system defaults, so the window is never restored
// out of sight. Partial positions or sizes also fall back to the defaults.
WindowPlacement PlacementOnScreen(const WindowPlacement& stored,
                                  std::span<const ScreenRect> monitors);

// Start-up, after the text view exists: every value of the "Editor" subkey and
// "Auto-save options", each replacing the value in force only when present
// and usable. The window then applies the settings in force as a whole.
void LoadEditorSettings(SettingsStore& store, AppSettings& settings);

// What the menu's check marks show for the settings in force.
MenuCheckState MenuCheckStateOf(const AppSettings& settings);
// The check marks the settings in force call for: auto-save, the toggles, the
// caret mode, the direction, the background kind and its placement.
std::vector<MenuCheck> EditorMenuChecks(const AppSettings& settings);

struct WindowState {
    bool minimized = false;
    bool maximized = false;
    ScreenRect rect; // the window rectangle
};

// On WM_MOVE and WM_SIZE: a minimized window stores nothing, a maximized one
// only "Maximized" = 1, any other its rectangle and "Maximized" = 0.
void StorePlacement(SettingsStore& store, AppSettings& settings, const WindowState& window);

// "Save settings": every value but the placement, in a fixed order, whatever
// the auto-save option says; "Auto-save options" records that option.
void SaveAllSettings(SettingsStore& store, const AppSettings& settings);

// "Auto-save settings": flips the option and returns its new state. Turning it
// on stores everything; turning it off writes nothing.
bool ToggleAutoSave(SettingsStore& store, AppSettings& settings);

} // namespace stx
