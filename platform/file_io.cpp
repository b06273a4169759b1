#include "platform/file_io.h"

#include <algorithm>
#include <new>
#include <stdexcept>

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

FileReadResult ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
    bytes.clear();
    DocumentFile file;
    const FileReadResult opened = file.Open(path);
    if (opened != FileReadResult::Ok) return opened;
    try {
        bytes.resize(static_cast<size_t>(file.Size()));
    } catch (const std::bad_alloc&) {
        return FileReadResult::OutOfMemory;
    } catch (const std::length_error&) {
        return FileReadResult::TooLarge; // beyond what one block can hold here (the 32-bit build)
    }
    if (!file.Read(0, bytes.data(), bytes.size())) {
        bytes.clear();
        return FileReadResult::ShortRead;
    }
    return FileReadResult::Ok;
}

FileWriteResult WriteNewFile(const std::string& path, std::string_view bytes, DWORD shareMode) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, shareMode, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileWriteResult::CannotCreate;
    const char* next = bytes.data();
    size_t left = bytes.size();
    FileWriteResult result = FileWriteResult::Ok;
    while (left > 0) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(left, 1u << 30));
        if (!WriteFile(file, next, want, &written, nullptr)) {
            result = FileWriteResult::WriteFailed;
            break;
        }
        if (written == 0 || written > want) {
            result = FileWriteResult::ShortWrite;
            break;
        }
        next += written;
        left -= written;
    }
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(file);
    if (result != FileWriteResult::Ok) {
        SetLastError(error);
        return result;
    }
    return closed ? FileWriteResult::Ok : FileWriteResult::WriteFailed;
}

} // namespace stx
