#include "search/buffer_search.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "search/match_text.h"
#include "text/text_buffer.h"

namespace stx {

namespace {

// Pieces at least this long are scanned where they lie; shorter ones are
// gathered in the window first.
constexpr size_t kDirectPiece = 256;
// The window is scanned when it holds this much, doubling up to the largest
// size, so a nearby match is found quickly and a far one at full speed.
constexpr size_t kFirstScan = 256;
constexpr size_t kLargestScan = 64 * 1024;

class PieceScanner {
  public:
    PieceScanner(const TextMatcher& matcher, uint64_t walkStart, uint64_t walkEnd,
                 bool leadingContext)
        : matcher_(matcher), m_(matcher.Size()), position_(walkStart), end_(walkEnd),
          skipContext_(leadingContext) {
        scanAt_ = std::max(kFirstScan, 2 * m_ + 1);
        Reserve();
        windowBase_ = walkStart + (leadingContext ? 1 : 0);
    }

    static bool Visit(void* self, const char* bytes, size_t size) {
        return static_cast<PieceScanner*>(self)->Take(bytes, size);
    }

    // The last scan, once the walk has ended; trailingContext: the window's
    // last byte is the character after the range, not part of it.
    int64_t Finish(bool trailingContext) {
        if (found_ >= 0) return found_;
        if (trailingContext) {
            if (length_ == 0) return -1;
            ScanWindow(length_ - 1, static_cast<unsigned char>(window_[length_ - 1]));
        } else {
            ScanWindow(length_, kNoChar);
        }
        return found_;
    }

  private:
    bool Take(const char* bytes, size_t size) {
        if (position_ >= end_) return false;
        size = static_cast<size_t>(std::min<uint64_t>(size, end_ - position_));
        position_ += size;
        if (skipContext_ && size > 0) {
            before_ = static_cast<unsigned char>(bytes[0]);
            skipContext_ = false;
            ++bytes;
            --size;
        }
        if (size > m_ && size >= kDirectPiece) {
            TakeLong(bytes, size);
        } else {
            std::memcpy(window_.get() + length_, bytes, size);
            length_ += size;
            if (length_ >= scanAt_) {
                if (ScanWindow(length_ - 1, static_cast<unsigned char>(window_[length_ - 1])))
                    return false;
                KeepTail(window_.get(), length_);
                scanAt_ = std::min(scanAt_ * 2, std::max(kLargestScan, 4 * m_));
                Reserve();
            }
        }
        return found_ < 0 && position_ < end_;
    }

    // A long piece is scanned in place. The window first gets the piece's
    // first bytes, so matches that start in the window and end in the piece
    // are found; the piece's last bytes go on in the window.
    void TakeLong(const char* bytes, size_t size) {
        const int lastOfWindow =
            length_ > 0 ? static_cast<unsigned char>(window_[length_ - 1]) : before_;
        const uint64_t pieceBase = windowBase_ + length_;
        std::memcpy(window_.get() + length_, bytes, m_);
        length_ += m_;
        if (ScanWindow(length_ - 1, static_cast<unsigned char>(window_[length_ - 1]))) return;
        const std::ptrdiff_t at = matcher_.Find(std::string_view(bytes, size - 1), lastOfWindow,
                                                static_cast<unsigned char>(bytes[size - 1]));
        if (at >= 0) {
            found_ = static_cast<int64_t>(pieceBase + static_cast<uint64_t>(at));
            return;
        }
        before_ = static_cast<unsigned char>(bytes[size - m_ - 1]);
        std::memcpy(window_.get(), bytes + size - m_, m_);
        length_ = m_;
        windowBase_ = pieceBase + size - m_;
    }

    // Scans the first count bytes of the window, the byte after them being
    // after. Every start position before the window has been scanned.
    bool ScanWindow(size_t count, int after) {
        const std::ptrdiff_t at =
            matcher_.Find(std::string_view(window_.get(), count), before_, after);
        if (at >= 0) found_ = static_cast<int64_t>(windowBase_ + static_cast<uint64_t>(at));
        return found_ >= 0;
    }

    // Room for a scan's worth of bytes, plus one more piece and the bytes
    // carried over; the window grows with the scans.
    void Reserve() {
        const size_t needed = scanAt_ + std::max(kDirectPiece, m_ + 1) + m_;
        if (needed <= capacity_) return;
        std::unique_ptr<char[]> larger(new char[needed]);
        if (length_ > 0) std::memcpy(larger.get(), window_.get(), length_);
        window_ = std::move(larger);
        capacity_ = needed;
    }

    // Keeps the last m bytes, whose start positions are not scanned yet.
    void KeepTail(const char* bytes, size_t size) {
        before_ = static_cast<unsigned char>(bytes[size - m_ - 1]);
        std::memmove(window_.get(), bytes + size - m_, m_);
        windowBase_ += size - m_;
        length_ = m_;
    }

    const TextMatcher& matcher_;
    const size_t m_;
    uint64_t position_; // offset of the next byte the walk hands over
    const uint64_t end_;
    bool skipContext_; // the first byte is the character before the range
    std::unique_ptr<char[]> window_;
    size_t capacity_ = 0;
    size_t length_ = 0;
    size_t scanAt_ = 0;
    uint64_t windowBase_ = 0; // offset of window_[0]
    int before_ = kNoChar;    // the character before window_[0]
    int64_t found_ = -1;
};

} // namespace

std::optional<uint32_t> FindInBuffer(const TextBuffer& buffer, uint32_t start, uint32_t end,
                                     std::string_view text, uint32_t flags) {
    const uint32_t total = buffer.TotalBytes();
    end = std::min(end, total);
    if (start > end) return std::nullopt;
    const TextMatcher matcher(text, flags);
    if (matcher.Size() == 0) return start;
    if (end - start < matcher.Size()) return std::nullopt;
    // One character on either side of the range comes along as context.
    const bool leading = start > 0;
    const bool trailing = end < total;
    const uint64_t walkStart = start - (leading ? 1 : 0);
    const uint64_t walkEnd = uint64_t{end} + (trailing ? 1 : 0);
    PieceScanner scanner(matcher, walkStart, walkEnd, leading);
    buffer.VisitPieces(static_cast<uint32_t>(walkStart), &PieceScanner::Visit, &scanner);
    const int64_t at = scanner.Finish(trailing);
    if (at < 0) return std::nullopt;
    return static_cast<uint32_t>(at);
}

} // namespace stx
