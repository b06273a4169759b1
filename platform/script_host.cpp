#include "platform/script_host.h"

#include <vector>

#include "platform/report_error.h"

namespace stx {

namespace {

// The system's path buffers hold 8,192 bytes.
constexpr DWORD kPathBuffer = 8192;
constexpr DWORD kStartFlags =
    CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE; // 0x04000210

// Attributes SetFileAttributesA accepts; the others (directory, reparse
// point, ...) describe a file and cannot be set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32OpenedFile final : public OpenedFile {
  public:
    explicit Win32OpenedFile(HANDLE file) : file_(file) {}
    ~Win32OpenedFile() override { CloseHandle(file_); }

    std::uint64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) override {
        return Seek(offset) &&
               Transfer(bytes.size(), [&](std::size_t done, DWORD want, DWORD& moved) {
                   return ReadFile(file_, bytes.data() + done, want, &moved, nullptr);
               });
    }
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        return Seek(offset) &&
               Transfer(bytes.size(), [&](std::size_t done, DWORD want, DWORD& moved) {
                   return WriteFile(file_, bytes.data() + done, want, &moved, nullptr);
               });
    }

  private:
    // Moves size bytes a piece at a time; false when the system fails or moves none.
    template <typename Move> static bool Transfer(std::size_t size, Move move) {
        for (std::size_t done = 0; done < size;) {
            DWORD moved = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
            if (!move(done, want, moved) || moved == 0) return false;
            done += moved;
        }
        return true;
    }
    bool Seek(std::uint64_t offset) {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(file_, to, nullptr, FILE_BEGIN) != 0;
    }

    HANDLE file_;
};

// CreateProcessA may write into its command line, so it gets a copy.
std::vector<char> CommandBuffer(const std::string& commandLine) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    return buffer;
}

HANDLE OpenRedirection(const Redirection& target) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE file = CreateFileA(
        target.path.c_str(), target.append ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE,
        FILE_SHARE_READ, &inheritable, target.append ? OPEN_ALWAYS : CREATE_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && target.append) SetFilePointer(file, 0, nullptr, FILE_END);
    return file;
}

} // namespace

void WaitKeepingWindowsPainted(HANDLE process) {
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return;
        if (woke != WAIT_OBJECT_0 + 1) break;
        // PeekMessage delivers sent messages itself; of the posted ones only
        // paint messages are taken.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    // The wait failed: still never return before the program has ended.
    WaitForSingleObject(process, INFINITE);
}

std::vector<FoundFile> Win32ScriptHost::FindFiles(const std::string& pattern, std::size_t limit) {
    std::vector<FoundFile> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        found.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
             (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while ((limit == 0 || found.size() < limit) && FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

std::optional<std::uint32_t> Win32ScriptHost::GetAttributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32ScriptHost::SetAttributes(const std::string& path, std::uint32_t attributes) {
    const DWORD settable = attributes & kSettableAttributes;
    return SetFileAttributesA(path.c_str(), settable ? settable : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32ScriptHost::RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool Win32ScriptHost::RemoveEmptyDirectory(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32ScriptHost::MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32ScriptHost::ChangeDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::unique_ptr<OpenedFile> Win32ScriptHost::OpenForUpdate(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32OpenedFile>(file);
}

std::string Win32ScriptHost::TemporaryFolder() {
    std::vector<char> buffer(kPathBuffer);
    const DWORD length = GetTempPathA(kPathBuffer, buffer.data());
    if (length == 0 || length >= kPathBuffer) return {};
    return {buffer.data(), length};
}

std::optional<std::string> Win32ScriptHost::ShortPath(const std::string& path) {
    std::vector<char> buffer(kPathBuffer);
    const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), kPathBuffer);
    if (length == 0 || length >= kPathBuffer) return std::nullopt;
    return std::string(buffer.data(), length);
}

std::optional<std::uint32_t> Win32ScriptHost::RunProgram(const ProgramStart& start) {
    HANDLE output = INVALID_HANDLE_VALUE;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = start.showWindow ? SW_SHOWNORMAL : SW_HIDE;
    if (start.redirection) {
        // A file that cannot be opened leaves the program without its output.
        output = OpenRedirection(*start.redirection);
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
    }
    std::vector<char> commandLine = CommandBuffer(start.commandLine);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr,
                                        start.redirection ? TRUE : FALSE, kStartFlags, nullptr,
                                        nullptr, &startup, &process);
    const DWORD error = GetLastError();
    // The program holds its own copy of the handle.
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (!started) {
        SetLastError(error);
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    WaitKeepingWindowsPainted(process.hProcess);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool Win32ScriptHost::StartProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    std::vector<char> line = CommandBuffer(commandLine);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, kStartFlags, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::optional<std::string> Win32ScriptHost::EnvironmentVariable(const std::string& name) {
    std::vector<char> buffer(kPathBuffer);
    const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), kPathBuffer);
    if (length == 0 || length >= kPathBuffer) return std::nullopt;
    return std::string(buffer.data(), length);
}

void Win32ScriptHost::ShowMessage(const std::string& text) {
    HWND owner = windows_.messageOwner;
    if (owner) {
        SetForegroundWindow(owner);
        SetActiveWindow(owner);
        SetFocus(owner);
    }
    MessageBoxA(owner, text.c_str(), "Stratext", MB_OK);
}

void Win32ScriptHost::ViewFile(const std::string& path, const std::string& caption,
                               const std::string& failureText) {
    if (windows_.viewFile) windows_.viewFile(path, caption, failureText);
}

void Win32ScriptHost::ShowStatus(const std::string& text) {
    if (windows_.status) windows_.status->ShowNotice(text.c_str());
}

void Win32ScriptHost::ReportLastError() {
    stx::ReportLastError(windows_.messageOwner);
}

void Win32ScriptHost::RepaintMainWindow() {
    if (windows_.mainWindow) InvalidateRect(windows_.mainWindow, nullptr, FALSE);
}

} // namespace stx
