#pragma once
// Whole-file reads and writes: files are opened, read or written whole and
// closed within one command.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_scan.h"

namespace stx {

enum class FileReadResult { Ok, CannotOpen, TooLarge, ShortRead, OutOfMemory };

// Reads the whole file; a file that reaches 4 GiB or stops short fails cleanly
// and leaves `bytes` empty.
FileReadResult ReadWholeFile(const std::string& path, std::vector<char>& bytes);

// A document file for the text buffer to parse: read by position, so that
// both halves of a large file can be read at once.
class DocumentFile final : public ByteSource {
  public:
    DocumentFile() = default;
    ~DocumentFile();
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    // CannotOpen, or TooLarge for a file of 4 GiB or more.
    FileReadResult Open(const std::string& path);
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, char* destination, size_t size) override;

  private:
    HANDLE file_ = nullptr;
    uint64_t size_ = 0;
};

enum class FileWriteResult {
    Ok,
    CannotCreate, // the last error says why
    WriteFailed,  // the last error says why
    ShortWrite,   // the system took fewer bytes and said nothing
};

// Creates (or replaces) the file and writes every byte; a failed close counts
// as a failed write.
FileWriteResult WriteNewFile(const std::string& path, std::string_view bytes, DWORD shareMode = 0);

} // namespace stx
