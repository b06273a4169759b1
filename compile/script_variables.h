// The variables of a build-script run and the expansion of every "%" form:
// user variables, the document's path parts, %sizeof and the escapes.
#pragma once

#include "compile/script_host.h"
#include "compile/script_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stx {

inline constexpr std::size_t kVariableAreaSize = 65536;

// Entries follow each other as "%name=value". A value never holds a "%" of
// its own: a "%" that "%%" put into it ends the value when it is read.
class VariableArea {
  public:
    // The value of the oldest entry named `name` (compared without regard to
    // case), or nothing.
    std::optional<std::string_view> Find(std::string_view name) const;
    // `set`: earlier entries of the name go and the new one is appended, its
    // name in lower case. False, and nothing changed, when it would not fit.
    bool Set(std::string_view name, std::string_view value);
    // The temporary-folder statements: appended under the name as written;
    // earlier entries of the name stay and are found first.
    bool Add(std::string_view name, std::string_view value);

    std::string_view Bytes() const { return area_; }

  private:
    std::string area_;
};

// The parts of a document path that the digit forms give. The extension is
// what follows the last "." after the last "\".
std::string_view PathDirectory(std::string_view path);        // %0: without the final "\"
std::string_view PathFileName(std::string_view path);         // %2
std::string_view PathWithoutExtension(std::string_view path); // %1. and %2.
std::string_view PathExtension(std::string_view path);        // %.1: without the dot

class ScriptExpander {
  public:
    ScriptExpander(ScriptHost& host, std::string_view documentPath, const VariableArea& variables)
        : host_(host), documentPath_(documentPath), variables_(variables) {}

    // At the "%" at text[pos]: appends the expansion and returns the position
    // behind the form; an unknown form appends nothing and returns nothing.
    std::optional<std::size_t> ExpandVariable(std::string_view text, std::size_t pos,
                                              BoundedText& out);
    // Appends text[pos] unless it starts a known "%" form, which is expanded;
    // returns the position behind what was consumed.
    std::size_t CopyOne(std::string_view text, std::size_t pos, BoundedText& out);
    // An argument (a file name): in quotes to the closing quote or the line's
    // end, or else to a blank, a control character or a brace. Expanded into
    // `out`; returns the position behind it (and behind its closing quote).
    std::size_t ReadArgument(std::string_view text, std::size_t pos, BoundedText& out);
    // The rest of the statement, to a line break or a brace, expanded.
    std::size_t CopyToStatementEnd(std::string_view text, std::size_t pos, BoundedText& out);

    // The short form of the document path, asked of the host once per run;
    // the long form when the system has no short one.
    const std::string& ShortDocumentPath();

  private:
    std::optional<std::size_t> ExpandSize(std::string_view text, std::size_t pos, BoundedText& out);

    ScriptHost& host_;
    std::string_view documentPath_;
    const VariableArea& variables_;
    std::optional<std::string> shortPath_;
    // %sizeof arguments may hold %sizeof again; nesting this deep is no
    // longer taken for the form, which bounds the recursion.
    int sizeDepth_ = 0;
};

} // namespace stx
