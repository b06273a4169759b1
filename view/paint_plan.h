#pragma once

#include "text/caret.h"
#include "text/text_buffer.h"
#include "view/caret_animation.h"
#include "view/plane_tables.h"
#include "view/render_settings.h"
#include "view/surface.h"

#include <cstdint>

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

// The drawing of one paint of the text view, onto any surface: the background over
// paintRect, then every plane from the back to the front, each with its lines, its hex
// addresses, its caret and the selection-anchor mark. Holds the text engine's busy flag
// while it walks the lines.
void PaintView(Surface& surface, const PaintScene& scene, const Rect& paintRect);

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
