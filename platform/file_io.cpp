#include "platform/file_io.h"

#include <windows.h>

namespace stx {

DocumentFile::~DocumentFile() {
    if (file_) CloseHandle(file_);
}

FileReadResult DocumentFile::Open(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileReadResult::CannotOpen;
    file_ = file;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return FileReadResult::CannotOpen;
    if (size.QuadPart >= 0xFFFFFFFFLL) return FileReadResult::TooLarge;
    size_ = static_cast<uint64_t>(size.QuadPart);
    return FileReadResult::Ok;
}

bool DocumentFile::Read(uint64_t offset, char* destination, size_t size) {
    while (size > 0) {
        // A position with each read: the two halves are read from two threads.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        DWORD got = 0;
        if (!ReadFile(file_, destination, want, &got, &at) || got == 0) return false;
        destination += got;
        offset += got;
        size -= got;
    }
    return true;
}

} // namespace stx
