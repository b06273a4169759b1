#pragma once
// The description file of a directory (descript.ion): one line per entry,
// the entry's name (bare, or in double quotes when it holds blanks) followed
// by its description.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace stx {

// Longest description kept; a longer line is cut (a page row stays bounded).
constexpr size_t kMaxDescription = 30000;

class DescriptionTable {
  public:
    // Reads any bytes. Lines end at CR, LF or NUL; blanks before a name are
    // skipped; a bare name ends at the first space, TAB or control
    // character; the description is the rest of the line after its blanks.
    // The first line naming an entry wins.
    void Parse(std::string_view text);
    // The description of an entry whose name equals the line's name with
    // A-Z and a-z alike, or nothing.
    const std::string* Find(std::string_view name) const;
    size_t Size() const { return entries_.size(); }

  private:
    std::unordered_map<std::string, std::string> entries_; // by name, folded
};

// A name with A-Z folded to lower case, the form names are compared in.
std::string FoldName(std::string_view name);

} // namespace stx
