#include "print/page_layout.h"

#include <cstdint>

namespace stx {

namespace {

bool AboveSpace(char c) {
    return static_cast<unsigned char>(c) > ' ';
}

// A tab that would leave less than this much room moves to the next line.
constexpr std::int64_t kTabRoom = 256;

class PageFlow {
  public:
    PageFlow(std::string_view text, std::size_t pos, const CharWidthTable& widths,
             const PageFrame& frame)
        : text_(text), pos_(pos), widths_(widths), width_(frame.width) {}

    // One line at y; returns with pos_ after the bytes the line consumed.
    void LayOutLine(std::int64_t y, std::vector<PlacedChar>& out) {
        std::int64_t x = 0;
        bool consumed = false;
        while (pos_ < text_.size()) {
            // The line's first byte always goes, whatever the rules below say,
            // so a page too narrow for it still moves on.
            const bool force = !consumed;
            if (!force && x >= width_) return;
            const char c = text_[pos_];
            if (!force && WrapsBefore(x)) return;
            if (c == '\t') {
                const std::int64_t step = widths_.TabWidth();
                const std::int64_t advance = step - x % step;
                const std::int64_t room = width_ - x - advance;
                if (!force && room >= 0 && room < kTabRoom) return;
                x += advance;
                ++pos_;
            } else if (c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
                pos_ += 2;
                return;
            } else {
                const std::int64_t w = widths_[static_cast<unsigned char>(c)];
                if (!force && x + w >= width_) return;
                out.push_back({static_cast<int>(x), static_cast<int>(y), c});
                x += w;
                ++pos_;
            }
            consumed = true;
        }
    }

    std::size_t Position() const { return pos_; }
    bool Done() const { return pos_ >= text_.size(); }

  private:
    // A word after a space or tab goes to the next line when it would reach the
    // right edge, the same test that ends a line before a single byte; a word
    // too long for any line is broken at the edge instead.
    bool WrapsBefore(std::int64_t x) const {
        if (x <= 0 || pos_ == 0 || text_.size() - pos_ <= 1) return false;
        const char previous = text_[pos_ - 1];
        if ((previous != ' ' && previous != '\t') || !AboveSpace(text_[pos_])) return false;
        std::int64_t sum = 0;
        for (std::size_t i = pos_; i < text_.size() && AboveSpace(text_[i]); ++i) {
            sum += widths_[static_cast<unsigned char>(text_[i])];
            if (x + sum >= width_) break;
        }
        return x + sum >= width_;
    }

    std::string_view text_;
    std::size_t pos_;
    const CharWidthTable& widths_;
    std::int64_t width_;
};

} // namespace

PageLayout LayOutPage(std::string_view text, std::size_t start, const CharWidthTable& widths,
                      const PageFrame& frame) {
    PageLayout page;
    PageFlow flow(text, start < text.size() ? start : text.size(), widths, frame);
    const std::int64_t lineHeight = frame.lineHeight > 0 ? frame.lineHeight : 1;
    // The first line always goes on the page, so a page shorter than a line still moves on.
    for (std::int64_t y = 0; !flow.Done() && (y == 0 || y < frame.bottom); y += lineHeight)
        flow.LayOutLine(y, page.chars);
    page.end = flow.Position();
    return page;
}

} // namespace stx
