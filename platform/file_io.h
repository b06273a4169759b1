#pragma once
// Whole-file reads and writes: files are opened, read or written whole and
// closed within one command.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace stx {

enum class FileReadResult { Ok, CannotOpen, TooLarge, ShortRead, OutOfMemory };

// Reads the whole file; a file that reaches 4 GiB or stops short fails cleanly
// and leaves `bytes` empty.
FileReadResult ReadWholeFile(const std::string& path, std::vector<char>& bytes);

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
