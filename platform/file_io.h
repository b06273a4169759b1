#pragma once
// Whole-file reads and writes: files are opened, read or written whole and
// closed within one command.
#include <string>
#include <vector>

namespace stx {

enum class FileReadResult { Ok, CannotOpen, TooLarge, ShortRead, OutOfMemory };

// Reads the whole file; a file that reaches 4 GiB or stops short fails cleanly
// and leaves `bytes` empty.
FileReadResult ReadWholeFile(const std::string& path, std::vector<char>& bytes);

} // namespace stx
