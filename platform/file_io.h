#pragma once
// Document files are opened, read whole and closed within one command.
#include <cstdint>
#include <string>

#include "text/line_scan.h"

namespace stx {

enum class FileReadResult { Ok, CannotOpen, TooLarge, ShortRead, OutOfMemory };

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
    void* file_ = nullptr; // the handle
    uint64_t size_ = 0;
};

} // namespace stx
