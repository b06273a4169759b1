#include "compile/script_variables.h"

#include "files/number.h"

#include <array>

namespace stx {

namespace {

constexpr int kMaxSizeNesting = 8;

std::size_t IdentifierEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsIdentifierChar(text[pos]))
        ++pos;
    return pos;
}

struct Entry {
    std::size_t start; // at its "%"
    std::size_t end;   // the next entry's "%" or the end of the area
    std::string_view name;
    std::string_view value;
};

// The entry starting at `start`: its name is the run of identifier characters
// after the "%", its value follows the first "=".
Entry EntryAt(std::string_view area, std::size_t start) {
    Entry entry{start, area.find('%', start + 1), {}, {}};
    if (entry.end == std::string_view::npos) entry.end = area.size();
    const std::string_view body = area.substr(start + 1, entry.end - start - 1);
    entry.name = body.substr(0, IdentifierEnd(body, 0));
    const std::size_t equals = body.find('=');
    if (equals != std::string_view::npos) entry.value = body.substr(equals + 1);
    return entry;
}

std::size_t LastSeparator(std::string_view path) {
    return path.rfind('\\');
}

} // namespace

std::optional<std::string_view> VariableArea::Find(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    for (std::size_t pos = 0; pos < area_.size();) {
        const Entry entry = EntryAt(area_, pos);
        if (EqualsIgnoringCase(entry.name, name)) return entry.value;
        pos = entry.end;
    }
    return std::nullopt;
}

bool VariableArea::Set(std::string_view name, std::string_view value) {
    std::string kept;
    kept.reserve(area_.size());
    for (std::size_t pos = 0; pos < area_.size();) {
        const Entry entry = EntryAt(area_, pos);
        if (!EqualsIgnoringCase(entry.name, name))
            kept.append(area_, entry.start, entry.end - entry.start);
        pos = entry.end;
    }
    if (kept.size() + name.size() + value.size() + 2 > kVariableAreaSize) return false;
    kept += '%';
    for (char c : name)
        kept += LowerAscii(c);
    kept += '=';
    kept += value;
    area_ = std::move(kept);
    return true;
}

bool VariableArea::Add(std::string_view name, std::string_view value) {
    if (area_.size() + name.size() + value.size() + 2 > kVariableAreaSize) return false;
    area_ += '%';
    area_ += name;
    area_ += '=';
    area_ += value;
    return true;
}

std::string_view PathDirectory(std::string_view path) {
    const std::size_t slash = LastSeparator(path);
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view PathFileName(std::string_view path) {
    const std::size_t slash = LastSeparator(path);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view PathWithoutExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = LastSeparator(path);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

std::string_view PathExtension(std::string_view path) {
    const std::string_view stem = PathWithoutExtension(path);
    return stem.size() == path.size() ? std::string_view{} : path.substr(stem.size() + 1);
}

const std::string& ScriptExpander::ShortDocumentPath() {
    if (!shortPath_) {
        std::optional<std::string> shortPath = host_.ShortPath(std::string(documentPath_));
        shortPath_ =
            shortPath && !shortPath->empty() ? std::move(*shortPath) : std::string(documentPath_);
    }
    return *shortPath_;
}

std::optional<std::size_t> ScriptExpander::ExpandSize(std::string_view text, std::size_t pos,
                                                      BoundedText& out) {
    if (sizeDepth_ >= kMaxSizeNesting) return std::nullopt;
    for (std::string_view word : {std::string_view("sizeof"), std::string_view("size")}) {
        const std::string_view here = text.substr(pos + 1, word.size());
        if (!EqualsIgnoringCase(here, word) ||
            !IsSpaceOrControl(CharAt(text, pos + 1 + word.size())))
            continue;
        std::size_t next = SkipBlanks(text, pos + 1 + word.size());
        BoundedText name;
        ++sizeDepth_;
        next = ReadArgument(text, next, name);
        --sizeDepth_;
        if (name.Overflowed()) out.MarkOverflowed();
        std::uint32_t size = 0;
        if (!name.Text().empty()) {
            const std::vector<FoundFile> found = host_.FindFiles(name.Text(), 1);
            if (!found.empty()) size = static_cast<std::uint32_t>(found.front().size);
        }
        out.Append(DecimalText(size));
        return next;
    }
    return std::nullopt;
}

std::optional<std::size_t> ScriptExpander::ExpandVariable(std::string_view text, std::size_t pos,
                                                          BoundedText& out) {
    std::size_t p = pos + 1;
    char c = CharAt(text, p);
    if (c == '%' || c == ';' || c == '{' || c == '}') {
        out.Append(c);
        return p + 1;
    }
    if (std::optional<std::size_t> next = ExpandSize(text, pos, out)) return next;

    const bool longForm = c == '!';
    if (longForm) c = CharAt(text, ++p);
    const bool digitForm = c == '0' || c == '1' || c == '2';
    const bool extensionForm =
        c == '.' && (CharAt(text, p + 1) == '1' || CharAt(text, p + 1) == '2');
    if (digitForm || extensionForm) {
        const std::string_view path = longForm ? documentPath_ : ShortDocumentPath();
        const bool stem = CharAt(text, p + 1) == '.';
        switch (c) {
        case '0':
            out.Append(PathDirectory(path));
            break;
        case '1':
            out.Append(stem ? PathWithoutExtension(path) : path);
            break;
        case '2':
            out.Append(stem ? PathWithoutExtension(PathFileName(path)) : PathFileName(path));
            break;
        default:
            out.Append(PathExtension(path));
            return p + 2;
        }
        return p + 1;
    }
    if (longForm) return std::nullopt;

    const std::size_t end = IdentifierEnd(text, p);
    if (std::optional<std::string_view> value = variables_.Find(text.substr(p, end - p))) {
        out.Append(*value);
        return end;
    }
    return std::nullopt;
}

std::size_t ScriptExpander::CopyOne(std::string_view text, std::size_t pos, BoundedText& out) {
    if (text[pos] == '%') {
        if (std::optional<std::size_t> next = ExpandVariable(text, pos, out)) return *next;
    }
    out.Append(text[pos]);
    return pos + 1;
}

std::size_t ScriptExpander::ReadArgument(std::string_view text, std::size_t pos, BoundedText& out) {
    if (CharAt(text, pos) == '"') {
        ++pos;
        while (!IsLineEnd(CharAt(text, pos)) && text[pos] != '"')
            pos = CopyOne(text, pos, out);
        if (CharAt(text, pos) == '"') ++pos;
        return pos;
    }
    for (char c = CharAt(text, pos); !IsSpaceOrControl(c) && c != '{' && c != '}';
         c = CharAt(text, pos))
        pos = CopyOne(text, pos, out);
    return pos;
}

std::size_t ScriptExpander::CopyToStatementEnd(std::string_view text, std::size_t pos,
                                               BoundedText& out) {
    while (!IsStatementEnd(CharAt(text, pos)))
        pos = CopyOne(text, pos, out);
    return pos;
}

} // namespace stx
