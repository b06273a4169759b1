#include "view/recording_surface.h"

namespace stx {

void RecordingSurface::UseFont(const EditorFont&) {
    calls_.push_back({.op = Op::UseFont});
}

void RecordingSurface::SetTextColour(Colour colour) {
    text_ = colour;
    calls_.push_back({.op = Op::TextColour, .colour = colour});
}

void RecordingSurface::SetBackColour(Colour colour) {
    back_ = colour;
    calls_.push_back({.op = Op::BackColour, .colour = colour});
}

void RecordingSurface::SetBackMode(BackMode mode) {
    mode_ = mode;
    calls_.push_back({.op = Op::BackMode, .mode = mode});
}

void RecordingSurface::WriteText(int x, int y, std::string_view chars) {
    calls_.push_back({.op = Op::Text, .x = x, .y = y, .colour = text_, .text = std::string(chars)});
    texts_.push_back({x, y, std::string(chars), text_, back_, mode_});
}

void RecordingSurface::FillSolid(const Rect& area, Colour colour) {
    calls_.push_back({.op = Op::FillSolid, .colour = colour, .rect = area});
}

void RecordingSurface::FillTiled(const Rect& area) {
    calls_.push_back({.op = Op::FillTiled, .rect = area});
}

void RecordingSurface::DrawImage(const Rect& dest) {
    calls_.push_back({.op = Op::Image, .rect = dest});
}

void RecordingSurface::DrawLine(int x0, int y0, int x1, int y1, Colour pen) {
    calls_.push_back({.op = Op::Line, .x = x0, .y = y0, .x1 = x1, .y1 = y1, .colour = pen});
}

void RecordingSurface::Clear() {
    calls_.clear();
    texts_.clear();
}

} // namespace stx
