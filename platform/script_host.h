#pragma once
// The build-script host on Windows: files, processes and the user's windows.
#include <windows.h>

#include <functional>
#include <string>

#include "app/status_texts.h"
#include "compile/script_host.h"

namespace stx {

struct ScriptHostWindows {
    HWND messageOwner = nullptr; // owns the run's message boxes
    HWND mainWindow = nullptr;   // repainted when the run is over
    StatusBar* status = nullptr; // command lines and the end notice; none: not shown
    bool ntFamily = true;
    // The modal view window of `type` and `view`.
    std::function<void(const std::string& path, const std::string& caption,
                       const std::string& failureText)>
        viewFile;
};

class Win32ScriptHost final : public ScriptHost {
  public:
    explicit Win32ScriptHost(ScriptHostWindows windows) : windows_(std::move(windows)) {}

    std::vector<FoundFile> FindFiles(const std::string& pattern, std::size_t limit) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    bool ChangeDirectory(const std::string& path) override;
    std::unique_ptr<OpenedFile> OpenForUpdate(const std::string& path) override;
    std::string TemporaryFolder() override;
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::optional<std::uint32_t> RunProgram(const ProgramStart& start) override;
    bool StartProgram(const std::string& commandLine) override;
    bool NtFamily() override { return windows_.ntFamily; }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    void ShowMessage(const std::string& text) override;
    void ViewFile(const std::string& path, const std::string& caption,
                  const std::string& failureText) override;
    void ShowStatus(const std::string& text) override;
    void ReportLastError() override;
    void RepaintMainWindow() override;

  private:
    ScriptHostWindows windows_;
};

// Waits for a process to end while the thread's windows keep painting and
// sent messages are answered; input and timer messages stay queued until
// the wait is over.
void WaitKeepingWindowsPainted(HANDLE process);

} // namespace stx
