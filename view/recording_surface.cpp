#include "view/recording_surface.h"

namespace stx {

namespace {
RecordingSurface::Call CallOf(RecordingSurface::Op op) {
    RecordingSurface::Call call;
    call.op = op;
    return call;
}
} // namespace

void RecordingSurface::UseFont(const EditorFont&) {
    calls_.push_back(CallOf(Op::UseFont));
}

void RecordingSurface::SetTextColour(Colour colour) {
    text_ = colour;
    Call call = CallOf(Op::TextColour);
    call.colour = colour;
    calls_.push_back(call);
}

void RecordingSurface::SetBackColour(Colour colour) {
    back_ = colour;
    Call call = CallOf(Op::BackColour);
    call.colour = colour;
    calls_.push_back(call);
}

void RecordingSurface::SetBackMode(BackMode mode) {
    mode_ = mode;
    Call call = CallOf(Op::BackMode);
    call.mode = mode;
    calls_.push_back(call);
}

void RecordingSurface::WriteText(int x, int y, std::string_view chars) {
    Call call = CallOf(Op::Text);
    call.x = x;
    call.y = y;
    call.colour = text_;
    call.mode = mode_;
    call.text = std::string(chars);
    calls_.push_back(call);
    texts_.push_back({x, y, std::string(chars), text_, back_, mode_});
}

void RecordingSurface::FillSolid(const Rect& area, Colour colour) {
    Call call = CallOf(Op::FillSolid);
    call.colour = colour;
    call.rect = area;
    calls_.push_back(call);
}

void RecordingSurface::FillTiled(const Rect& area) {
    Call call = CallOf(Op::FillTiled);
    call.rect = area;
    calls_.push_back(call);
}

void RecordingSurface::DrawImage(const Rect& dest) {
    Call call = CallOf(Op::Image);
    call.rect = dest;
    calls_.push_back(call);
}

void RecordingSurface::DrawLine(int x0, int y0, int x1, int y1, Colour pen) {
    Call call = CallOf(Op::Line);
    call.x = x0;
    call.y = y0;
    call.x1 = x1;
    call.y1 = y1;
    call.colour = pen;
    calls_.push_back(call);
}

void RecordingSurface::Clear() {
    calls_.clear();
    texts_.clear();
}

} // namespace stx
