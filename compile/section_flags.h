// The `section` statement: changes the Characteristics of section headers in
// a PE32 or PE32+ file in place. Every offset the file gives is checked
// against its size before anything is read or written, so a damaged file is
// left byte for byte as it was.
#pragma once

#include "compile/script_host.h"
#include "compile/script_variables.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stx {

inline constexpr std::uint32_t kSectionWrite = 0x80000000;

struct SectionRequest {
    std::uint32_t setMask = kSectionWrite; // without a flag group: add write
    std::uint32_t keepMask = 0xFFFFFFFF;
    // The sections to change by name ("*" for all); none: the section that
    // holds the entry point.
    std::vector<std::string> names;
};

struct SectionStatement {
    SectionRequest request;
    std::size_t next = 0; // behind the statement's last word
};

// Reads "[+letters | -letters]... [&hex | |hex]... [name...] file" from pos.
// The file name, the last word, is expanded into `fileName`; section names
// are taken as written. A word that begins with ";" or "//" starts a comment.
SectionStatement ParseSectionStatement(std::string_view text, std::size_t pos,
                                       ScriptExpander& expander, BoundedText& fileName);

enum class SectionEditResult {
    Done,        // the selected sections (possibly none) were changed
    NoSections,  // a PE file without sections: nothing to change
    NotPe,       // not an MZ/PE file, or truncated or inconsistent: unchanged
    WriteFailed, // a write failed part-way
};

// A file held in memory: reads and writes stay within its bytes.
class BytesFile final : public OpenedFile {
  public:
    explicit BytesFile(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint64_t Size() override;
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> in) override;

  private:
    std::vector<std::uint8_t>& bytes_;
};

// Applies the request to an open file.
SectionEditResult EditSectionFlags(OpenedFile& file, const SectionRequest& request);
// The same on bytes in memory.
SectionEditResult EditSectionFlags(std::vector<std::uint8_t>& bytes, const SectionRequest& request);

enum class SectionFileResult {
    Done,
    Missing,  // the file does not exist
    NoAccess, // it cannot be opened for writing (read-only, in use)
    NoSections,
    NotPe,
    WriteFailed,
};

// The whole statement on a file: its attributes are restored afterwards.
SectionFileResult ApplySectionFlags(ScriptHost& host, const std::string& path,
                                    const SectionRequest& request);

} // namespace stx
