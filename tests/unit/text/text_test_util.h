// Helpers shared by the text engine tests.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "text/text_buffer.h"

namespace stx::test {

// Allocator that refuses every allocation once its budget is spent.
class FailingAllocator final : public BlockAllocator {
  public:
    explicit FailingAllocator(long budget = -1) { SetBudget(budget); }
    void* Allocate(size_t size) override {
        if (size > largest.load() || (limited_.load() && budget_.fetch_sub(1) <= 0)) return nullptr;
        return std::malloc(size);
    }
    void Free(void* block) override { std::free(block); }
    // budget < 0: never fail.
    void SetBudget(long budget) {
        budget_ = budget;
        limited_ = budget >= 0;
    }
    std::atomic<size_t> largest{~size_t{0}}; // larger allocations fail too

  private:
    std::atomic<long> budget_{0};
    std::atomic<bool> limited_{false};
};

// Reads like a file that is cut short at some offset.
class ShortSource final : public ByteSource {
  public:
    ShortSource(const std::string& text, uint64_t failAt) : text_(text), failAt_(failAt) {}
    uint64_t Size() const override { return text_.size(); }
    bool Read(uint64_t offset, char* destination, size_t size) override {
        if (offset + size > failAt_) return false;
        std::memcpy(destination, text_.data() + offset, size);
        return true;
    }

  private:
    const std::string& text_;
    uint64_t failAt_;
};

inline std::string Repeat(const std::string& s, size_t times) {
    std::string out;
    while (times-- > 0)
        out += s;
    return out;
}

inline std::string All(const TextBuffer& b) {
    std::string s(size_t{b.TotalBytes()} + 1, '\x7f');
    uint32_t n = b.ExtractRange(b.TotalBytes() + 1, 0, s.data());
    s.resize(n);
    return s;
}

inline TextStatus Parse(TextBuffer& b, const std::string& s) {
    return b.Parse(s.data(), s.data() + s.size());
}

// "P:abc N:12 T Z" for the tokens of one line (T tab, Z NUL).
inline std::string Tokens(const TextBuffer& b, uint32_t line) {
    std::string out;
    TokenCursor c(b, b.FindLine(line));
    for (Token t = c.Next(); t.kind != TokenKind::End; t = c.Next()) {
        if (!out.empty()) out += ' ';
        if (t.kind == TokenKind::Tab)
            out += 'T';
        else if (t.kind == TokenKind::Nul)
            out += 'Z';
        else {
            out += t.tokenClass == TokenClass::Number ? "N:" : "P:";
            out.append(t.chars, t.count);
        }
    }
    return out;
}

// The saved form a text should extract to: lone CR and LF become CR LF when
// converting, everything else is kept.
inline std::string SavedForm(const std::string& s, bool convert) {
    if (!convert) return s;
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// The lines of a saved form (split at CR LF).
inline std::vector<std::string> SplitLines(const std::string& s) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += s[i];
        }
    }
    return lines;
}

// A text for messages: printable bytes as they are, the others escaped.
inline std::string Shown(const std::string& s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
            out += char(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out + "\"";
}

} // namespace stx::test
