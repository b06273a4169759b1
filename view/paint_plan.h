#pragma once

#include "text/caret.h"
#include "text/text_buffer.h"
#include "view/caret_animation.h"
#include "view/plane_tables.h"
#include "view/render_settings.h"
#include "view/surface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stx {

constexpr int kLeftMargin = 8;    // pixels left of every line's text
constexpr int kFarCaretY = 32000; // a caret this low (scrolled far away) is not drawn

// Everything one paint of the text view reads. The plane tables must be up to date with the
// settings, and the geometry in step with both (SyncViewGeometry).
struct PaintScene {
    const TextBuffer& buffer;
    const Caret& caret;
    const Selection& selection;
    const TopLine& top;
    const ViewGeometry& view;
    const RenderSettings& settings;
    const PlaneTables& planes;
    const CaretAnimation& animation;
    bool overwrite = false;          // typing overwrites: only the front plane shows a caret
    std::uint8_t charUnderCaret = 0; // 0 at a line's end, a TAB or a NUL byte
    Size imageSize{};                // the background bitmap's size, empty when none
};

// What one plane draws, the same on every plane but for the plane's offset and colours: the
// planes are copies of one drawing. Positions are those of a plane with no offset.
enum class ShapeRole : std::uint8_t {
    Text,         // transparent text: the plane colour, on the front plane its own colour
    SelectedText, // opaque, inverted from Text, on the plane's selection background
    CaretBlock,   // opaque: the letter under the caret inverted, on the caret pen plane's
                  // selection background
    CaretLine,    // in the caret pen plane's colour
    AnchorLine,   // in the plane's own pen
};

struct PlaneShape {
    ShapeRole role = ShapeRole::Text;
    bool frontOnly = false;      // typing overwrites: the caret is on the front plane alone
    bool letterSelected = false; // CaretBlock: the letter under it is drawn selected
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;  // text: the cell width; lines: 1
    std::int64_t height = 0; // the line height
    // Text of a line's row: a plane draws it only while its copy of the row reaches into the
    // paint rectangle and its copy of cullX (where the run starts) lies left of its right edge.
    bool rowText = false;
    std::int64_t cullX = 0;
    const char* chars = nullptr;
    std::uint32_t count = 0;
    Colour front = 0; // text roles: the colour on the front plane before any inversion
};

// The shapes of one plane in drawing order: each row's address and runs, then the caret,
// then the selection-anchor mark.
struct PlaneShapes {
    std::vector<PlaneShape> shapes;
    std::string texts; // the addresses and the caret's letter, which the buffer does not hold
};

// Text and background colour of a shape on plane p. Lines use text as their pen.
struct ShapeColours {
    Colour text;
    Colour back;
};
ShapeColours ShapeColoursOn(const PlaneShape& shape, int p, const PlaneTables& planes,
                            const CaretAnimation& animation);

// The shapes one paint of paintRect draws on each plane. Reads the lines: the caller holds
// the text engine's busy flag, and the shapes point into the buffer until the next edit.
void PlanPlaneShapes(const PaintScene& scene, const Rect& paintRect, PlaneShapes& out);

// A way to draw all planes at once that some surfaces allow.
class PlaneCompositor {
  public:
    virtual ~PlaneCompositor() = default;
    // Draws every plane's shapes over paintRect, on top of the background. False when it
    // cannot, leaving the surface as it was.
    virtual bool ComposePlanes(const PaintScene& scene, const PlaneShapes& shapes,
                               const Rect& paintRect) = 0;
};

// The drawing of one paint of the text view, onto any surface: the background over
// paintRect, then every plane from the back to the front, each with its lines, its hex
// addresses, its caret and the selection-anchor mark. A compositor, when given and able,
// draws the planes in one go; otherwise they are drawn one by one on the surface. Holds the
// text engine's busy flag while it walks the lines.
void PaintView(Surface& surface, const PaintScene& scene, const Rect& paintRect,
               PlaneCompositor* compositor = nullptr);

// The byte the over-letter caret shows: the character at the caret's column, or 0 at the
// end of the line, on a TAB or on a NUL byte.
std::uint8_t CharUnderCaret(const TextBuffer& buffer, const Caret& caret);

// Copies what the text engine's geometry needs from the render settings: the plane spread,
// the fade signs, the hex view flag and the address column's width.
void SyncViewGeometry(ViewGeometry& view, const RenderSettings& settings, const PlaneTables& planes,
                      const CharWidthTable& widths);

// Brings the plane tables, the caret phase and the geometry in line with changed settings:
// the tables are recomputed when their inputs changed, and a new plane count or distance
// restarts the caret's colour phase.
PlaneTables::Change ApplyRenderSettings(const RenderSettings& settings, PlaneTables& planes,
                                        CaretAnimation& animation, ViewGeometry& view,
                                        const CharWidthTable& widths);

// Repaint rectangles. The caret rectangle covers every plane's caret; in hex view it is
// shifted right by the address column like everything else on the line.
Rect CaretRepaintRect(const Caret& caret, const TopLine& top, const ViewGeometry& view,
                      int widestChar);
// The caret line across the whole view, deep enough for every plane.
Rect CaretBandRect(const Caret& caret, const ViewGeometry& view);

} // namespace stx
