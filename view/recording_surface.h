#pragma once

#include "view/surface.h"

#include <string>
#include <vector>

namespace stx {

// A surface that keeps every call, for tests of what a paint draws and for printing
// previews of the plan without a device.
class RecordingSurface final : public Surface {
  public:
    enum class Op {
        UseFont,
        TextColour,
        BackColour,
        BackMode,
        Text,
        FillSolid,
        FillTiled,
        Image,
        Line
    };

    struct Call {
        Op op = Op::UseFont;
        int x = 0;
        int y = 0;
        int x1 = 0;
        int y1 = 0;
        Colour colour = 0;
        BackMode mode = BackMode::Transparent;
        Rect rect;
        std::string text;
    };

    // The text colour, background colour and mode in force when a text call was made.
    struct TextCall {
        int x;
        int y;
        std::string text;
        Colour colour;
        Colour back;
        BackMode mode;
    };

    void UseFont(const EditorFont& font) override;
    void SetTextColour(Colour colour) override;
    void SetBackColour(Colour colour) override;
    void SetBackMode(BackMode mode) override;
    void WriteText(int x, int y, std::string_view chars) override;
    void FillSolid(const Rect& area, Colour colour) override;
    void FillTiled(const Rect& area) override;
    void DrawImage(const Rect& dest) override;
    void DrawLine(int x0, int y0, int x1, int y1, Colour pen) override;

    const std::vector<Call>& Calls() const { return calls_; }
    const std::vector<TextCall>& Texts() const { return texts_; }
    void Clear();

  private:
    std::vector<Call> calls_;
    std::vector<TextCall> texts_;
    Colour text_ = 0;
    Colour back_ = 0xFFFFFF;
    BackMode mode_ = BackMode::Opaque;
};

} // namespace stx
