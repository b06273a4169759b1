#include "platform/win32_directory_source.h"

#include <windows.h>

#include <algorithm>

#include "platform/file_io.h"

namespace stx {

bool Win32DirectorySource::IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32DirectorySource::List(const std::string& directory,
                                std::vector<DirectoryEntry>& entries) {
    entries.clear();
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += "*.*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        DirectoryEntry e;
        e.name = found.cFileName;
        e.attributes = found.dwFileAttributes;
        e.time = uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32 |
                 found.ftLastWriteTime.dwLowDateTime;
        e.size = uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
        entries.push_back(std::move(e));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

std::optional<std::string> Win32DirectorySource::ReadFile(const std::string& path) {
    std::vector<char> bytes;
    if (ReadWholeFile(path, bytes) != FileReadResult::Ok) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

bool Win32DirectorySource::WriteFile(const std::string& path, std::string_view bytes) {
    // A read-only or hidden page from an earlier run is replaced too.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return WriteNewFile(path, bytes) == FileWriteResult::Ok;
}

CalendarTime Win32DirectorySource::LocalTime(uint64_t fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal)) return UtcCalendarTime(fileTime);
    // The zone's rule for that date, summer time included.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) local = universal;
    CalendarTime t;
    t.year = local.wYear;
    t.month = local.wMonth;
    t.day = local.wDay;
    t.weekday = local.wDayOfWeek;
    t.hour = local.wHour;
    t.minute = local.wMinute;
    return t;
}

} // namespace stx
