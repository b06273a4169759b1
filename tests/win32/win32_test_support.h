#pragma once
// Helpers shared by the Win32 tests: paths beside the test executable,
// temporary files, and starting stratext.exe as a separate process.
#include <windows.h>

#include <string>

namespace stx::test {

// Full path of a file in the directory of the running test executable.
std::string PathBesideTests(const std::string& name);

// A file in the temporary directory with the given bytes; removed on destruction.
class TempFile {
  public:
    TempFile(const std::string& name, const std::string& bytes);
    ~TempFile();
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// stratext.exe started with a command line; killed on destruction if still running.
class ProgramProcess {
  public:
    explicit ProgramProcess(const std::string& arguments);
    ~ProgramProcess();
    bool Started() const { return info_.hProcess != nullptr; }
    // The process's top-level window of the given class, waited for up to timeoutMs.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 30000) const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long WaitForExit(DWORD timeoutMs = 30000);

  private:
    PROCESS_INFORMATION info_{};
};

std::string WindowText(HWND hwnd);

} // namespace stx::test

#include <functional>
#include <thread>

namespace stx::test {

// Runs `drive` on a helper thread with the first dialog that the calling
// thread opens (found by its owner thread), while the calling thread runs
// `open`, which shows the modal dialog. Returns what `open` returned.
template <typename Result>
Result DriveDialog(const std::function<Result()>& open, const std::function<void(HWND)>& drive);

// Finds a visible dialog box owned by a thread, waiting up to timeoutMs.
HWND WaitForDialogOfThread(DWORD threadId, DWORD timeoutMs = 10000);

template <typename Result>
Result DriveDialog(const std::function<Result()>& open, const std::function<void(HWND)>& drive) {
    DWORD uiThread = GetCurrentThreadId();
    std::thread helper([&] {
        if (HWND dialog = WaitForDialogOfThread(uiThread)) drive(dialog);
    });
    Result result = open();
    helper.join();
    return result;
}

} // namespace stx::test
