// Installs the Windows installer silently, starts the installed program from
// its Start-menu entry and uninstalls it again. scripts/package --test runs it
// under Wine:  install_test.exe <installer>
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "stratext_version.h"

namespace {

std::wstring gInstaller;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Stratext";

std::wstring Widen(const char* text) {
    return std::wstring(text, text + strlen(text));
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A string of the installed-programs entry; empty when it is not there.
std::wstring UninstallValue(const wchar_t* name) {
    wchar_t data[1024];
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return {};
    return data;
}

std::wstring StartMenuEntry() {
    wchar_t programs[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs))) return {};
    return std::wstring(programs) + L"\\Stratext.lnk";
}

// A string of the file's version resource (US English, Windows-1252 block).
std::wstring VersionText(const std::wstring& file, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, info.data())) return {};
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

// Runs a command line to its end; its exit code, or -1 when it did not start or end in time.
long RunToEnd(std::wstring commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// The uninstaller runs on as a copy of itself that nobody can wait for, so
// what it leaves is watched instead.
bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(100);
    }
    return true;
}

// A run that stopped half-way may have left an installation behind; its own
// uninstaller takes it away first.
void RemoveEarlierInstallation() {
    const std::wstring uninstall = UninstallValue(L"QuietUninstallString");
    if (uninstall.empty()) return;
    RunToEnd(uninstall, 60000);
    Eventually([] { return UninstallValue(L"UninstallString").empty(); }, 60000);
}

std::wstring ProcessImage(HANDLE process) {
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, image, &length)) return {};
    return std::wstring(image, length);
}

TEST(Installer, InstallsSilentlyStartsAndUninstalls) {
    RemoveEarlierInstallation();
    ASSERT_TRUE(UninstallValue(L"UninstallString").empty()) << "an earlier installation stays";
    ASSERT_EQ(RunToEnd(L"\"" + gInstaller + L"\" /S", 120000), 0);

    const std::wstring folder = UninstallValue(L"InstallLocation");
    ASSERT_FALSE(folder.empty()) << "no entry among the installed programs";
    const std::wstring program = folder + L"\\stratext.exe";
    ASSERT_TRUE(Exists(program));
    const std::wstring version = Widen(STX_VERSION_TEXT);
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), version);
    EXPECT_EQ(VersionText(program, L"ProductVersion"), version);
    EXPECT_EQ(VersionText(program, L"CompanyName"), Widen(STX_COMPANY));
    const std::wstring entry = StartMenuEntry();
    ASSERT_TRUE(Exists(entry)) << "no Start-menu entry";

    // Started from its Start-menu entry, the installed program shows its main window.
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.lpFile = entry.c_str();
    start.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&start));
    if (start.hProcess) CloseHandle(start.hProcess);
    HWND main = nullptr;
    ASSERT_TRUE(
        Eventually([&] { return (main = FindWindowW(L"Stratext", nullptr)) != nullptr; }, 30000))
        << "the main window did not appear";
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(_wcsicmp(ProcessImage(process).c_str(), program.c_str()), 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0) << "the program did not end";
    CloseHandle(process);

    // The silent uninstaller of the installed-programs entry takes back everything.
    const std::wstring uninstall = UninstallValue(L"QuietUninstallString");
    ASSERT_FALSE(uninstall.empty());
    EXPECT_EQ(RunToEnd(uninstall, 60000), 0);
    EXPECT_TRUE(Eventually([] { return UninstallValue(L"UninstallString").empty(); }, 60000))
        << "the installed-programs entry stays";
    EXPECT_TRUE(Eventually([&] { return !Exists(folder); }, 10000)) << "the program folder stays";
    EXPECT_FALSE(Exists(entry)) << "the Start-menu entry stays";
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argc != 2 || !arguments || count < 2) {
        fprintf(stderr, "usage: install_test <installer>\n");
        return 2;
    }
    gInstaller = arguments[count - 1];
    LocalFree(arguments);
    return RUN_ALL_TESTS();
}
