#include "tools/description_file.h"

#include <algorithm>

namespace stx {

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return folded;
}

void DescriptionTable::Parse(std::string_view text) {
    entries_.clear();
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && (isBlank(text[i]) || isLineEnd(text[i])))
            ++i;
        if (i == n) break;
        std::string_view name;
        if (text[i] == '"') {
            const size_t start = ++i;
            while (i < n && text[i] != '"' && !isLineEnd(text[i]))
                ++i;
            name = text.substr(start, i - start);
            if (i < n && text[i] == '"') ++i;
        } else {
            const size_t start = i;
            while (i<n&& static_cast<unsigned char>(text[i])> ' ')
                ++i;
            name = text.substr(start, i - start);
        }
        while (i < n && isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < n && !isLineEnd(text[i]))
            ++i;
        const std::string_view description =
            text.substr(start, std::min(i - start, kMaxDescription));
        if (!name.empty()) entries_.emplace(FoldName(name), std::string(description));
    }
}

const std::string* DescriptionTable::Find(std::string_view name) const {
    const auto it = entries_.find(FoldName(name));
    return it == entries_.end() ? nullptr : &it->second;
}

} // namespace stx
