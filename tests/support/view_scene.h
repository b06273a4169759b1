// Everything one paint of the view reads, owned in one place, for the tests
// and benchmarks that paint without the window.
#pragma once

#include "text/caret.h"
#include "text/text_buffer.h"
#include "view/caret_animation.h"
#include "view/paint_plan.h"
#include "view/plane_tables.h"
#include "view/render_settings.h"

#include <array>

namespace stx {

// A rectangle as left, top, right, bottom, comparable and printable in expectations.
using Box = std::array<int, 4>;
inline Box BoxOf(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

struct ViewScene {
    PaintScene Scene() const {
        return PaintScene{.buffer = buffer,
                          .caret = caret,
                          .selection = selection,
                          .top = top,
                          .view = view,
                          .settings = settings,
                          .planes = planes,
                          .animation = animation,
                          .overwrite = overwrite,
                          .charUnderCaret = CharUnderCaret(buffer, caret)};
    }
    // The caret at a column of a line with no TAB before it, in a font of fixed pitch.
    Caret At(std::uint32_t line, std::uint32_t column) const {
        Caret c;
        c.line = line;
        c.column = column;
        c.record = buffer.FindLine(line);
        c.x = column * buffer.Widths()['m'];
        c.y = static_cast<std::int32_t>((line - top.line) * view.lineHeight);
        return c;
    }
    Rect Full() const {
        return Rect{0, 0, static_cast<int>(view.viewWidth), static_cast<int>(view.viewHeight)};
    }

    TextBuffer buffer;
    Caret caret;
    Selection selection;
    TopLine top;
    ViewGeometry view;
    RenderSettings settings;
    PlaneTables planes;
    CaretAnimation animation;
    bool overwrite = false;
};

} // namespace stx
