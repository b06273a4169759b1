#include "platform/file_io.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace stx {

FileReadResult ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileReadResult::CannotOpen;
    FileReadResult result = FileReadResult::Ok;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        result = FileReadResult::CannotOpen;
    } else if (size.QuadPart >= 0xFFFFFFFFLL) {
        result = FileReadResult::TooLarge;
    } else {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            result = FileReadResult::OutOfMemory;
        }
        size_t done = 0;
        while (result == FileReadResult::Ok && done < bytes.size()) {
            DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file, bytes.data() + done, want, &got, nullptr) || got == 0)
                result = FileReadResult::ShortRead;
            done += got;
        }
    }
    CloseHandle(file);
    if (result != FileReadResult::Ok) bytes.clear();
    return result;
}

} // namespace stx
