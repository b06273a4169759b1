#pragma once

#include <cstdint>
#include <string>

namespace stx {

// A colour as the system stores it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr int kMaxPlanes = 255;
constexpr int kMaxDistance = 255;

// The order is that of the menu commands 3608..3615 and of the stored "Direction" index.
enum class FadeDirection : std::uint8_t {
    North,
    NorthWest,
    NorthEast,
    South,
    SouthWest,
    SouthEast,
    West,
    East,
};
constexpr int kFadeDirectionCount = 8;

// Horizontal and vertical sign of the plane offsets: +1 right/down, -1 left/up, 0 none.
struct FadeSigns {
    int sx;
    int sy;
};
FadeSigns SignsOf(FadeDirection direction);

// A stored index above 7 has no direction; the caller keeps the one in force.
bool FadeDirectionFromIndex(unsigned index, FadeDirection& direction);

enum class CaretMode : std::uint8_t { Blink = 1, FadeIn = 2, FadeOut = 3, Static = 4 };

enum class BackgroundKind : std::uint8_t { Pattern = 0, Image = 1, Colour = 2 };
enum class ImagePlacement : std::uint8_t {
    Tile = 0,
    Center = 1,
    Stretch = 2,
    StretchIsotropic = 3
};

// The fields of the editor's logical font, in the order the system's font record has them.
struct EditorFont {
    std::int32_t height = 18;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 700;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 238;         // east European
    std::uint8_t outPrecision = 3;      // stroke
    std::uint8_t clipPrecision = 2;     // stroke
    std::uint8_t quality = 1;           // draft
    std::uint8_t pitchAndFamily = 0x31; // fixed pitch, modern family
    char faceName[32] = "Courier new";

    friend bool operator==(const EditorFont&, const EditorFont&) = default;
};

struct RenderSettings {
    int planeCount = 8;
    Colour firstPlaneColour = 0x606060;
    Colour lastPlaneColour = 0xD0D0D0;
    Colour textColour = 0x000000;
    int distance = 0;
    FadeDirection fadeDirection = FadeDirection::SouthEast;
    CaretMode caretMode = CaretMode::FadeOut;
    std::uint32_t caretPeriodMs = 200;
    bool overLetter = true;
    bool syntaxHighlight = true;
    bool doubleBuffering = true;
    BackgroundKind backgroundKind = BackgroundKind::Pattern;
    ImagePlacement imagePlacement = ImagePlacement::Tile;
    Colour backgroundColour = 0xFCD6A3;
    std::string imagePath;
    bool showAddress = false;
    EditorFont font;
};

// Values entered by the user or read back from the registry, brought into range.
int ClampPlaneCount(std::int64_t planes); // below 2 -> 1, above 255 -> 255
int ClampDistance(std::int64_t distance); // negative -> 0, above 255 -> 255
CaretMode ClampCaretMode(unsigned mode);  // above 4 -> Static, 0 -> Fade out
Colour ClampColour(std::uint32_t colour); // the top byte is not a colour

// The "Background" byte: low four bits kind, high four bits placement.
std::uint8_t BackgroundByte(BackgroundKind kind, ImagePlacement placement);
// Unknown kinds read as the built-in pattern, unknown placements as Tile.
void DecodeBackgroundByte(std::uint8_t value, BackgroundKind& kind, ImagePlacement& placement);

} // namespace stx
