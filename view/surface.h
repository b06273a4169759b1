#pragma once

#include "view/render_settings.h"
#include "view/view_geometry.h"

#include <string_view>

namespace stx {

// The view shares the text engine's pixel rectangle, so repaint rectangles pass between the
// two unchanged.
inline bool IsEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline bool Intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The values are the system's own, so a surface can pass them straight through.
enum class BackMode { Transparent = 1, Opaque = 2 };

// Where the view and printing draw: the few drawing operations the paint plan emits. The
// Win32 layer implements it on a device context; tests record the calls.
class Surface {
  public:
    virtual ~Surface() = default;

    virtual void UseFont(const EditorFont& font) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SetBackColour(Colour colour) = 0;
    virtual void SetBackMode(BackMode mode) = 0;
    // Text whose cell starts at (x, y), in the current font, colours and background mode.
    virtual void WriteText(int x, int y, std::string_view chars) = 0;
    virtual void FillSolid(const Rect& area, Colour colour) = 0;
    // The background tile brush, repeating from the surface's origin.
    virtual void FillTiled(const Rect& area) = 0;
    // The background image scaled into dest (which may reach beyond the surface).
    virtual void DrawImage(const Rect& dest) = 0;
    // A one-pixel solid line from (x0, y0) up to, not including, (x1, y1).
    virtual void DrawLine(int x0, int y0, int x1, int y1, Colour pen) = 0;
};

} // namespace stx
