// A script host over an in-memory file system that records every call, for
// the interpreter's tests (and usable by a fuzz target: nothing in it touches
// the real system).
#pragma once

#include "compile/script_host.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace stx::test {

class MemoryScriptHost : public ScriptHost {
  public:
    struct Node {
        std::string path; // as created, absolute
        bool directory = false;
        std::uint32_t attributes = 0;
        std::vector<std::uint8_t> bytes;
    };

    MemoryScriptHost();

    // ---- the test's side ------------------------------------------------------------
    void AddFile(const std::string& path, const std::string& bytes = {},
                 std::uint32_t attributes = kAttributeArchive);
    void AddDirectory(const std::string& path);
    bool Exists(const std::string& path) const;
    std::string Contents(const std::string& path) const;
    Node* Find(const std::string& path);
    // Absolute form of a path relative to the current directory.
    std::string Resolve(const std::string& path) const;

    // Every call, in order: "run ...", "message ...", "status ...", ...
    std::vector<std::string> calls;
    // Only the calls that begin with `prefix`, without it.
    std::vector<std::string> CallsOf(const std::string& prefix) const;

    std::string currentDirectory = "C:\\";
    std::map<std::string, std::string> shortPaths; // long path -> short path
    std::map<std::string, std::string> environment;
    bool ntFamily = false;
    // A program starts when its file exists; it then runs this (if set) and
    // ends with the exit code it returns. Redirected, it writes "output\r\n".
    std::function<std::uint32_t(const ProgramStart&)> onRun;

    // ---- ScriptHost -----------------------------------------------------------------
    std::vector<FoundFile> FindFiles(const std::string& pattern, std::size_t limit) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    bool ChangeDirectory(const std::string& path) override;
    std::unique_ptr<OpenedFile> OpenForUpdate(const std::string& path) override;
    std::string TemporaryFolder() override { return "C:\\Temp\\"; }
    std::optional<std::string> ShortPath(const std::string& path) override;
    std::optional<std::uint32_t> RunProgram(const ProgramStart& start) override;
    bool StartProgram(const std::string& commandLine) override;
    bool NtFamily() override { return ntFamily; }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    void ShowMessage(const std::string& text) override { calls.push_back("message " + text); }
    void ViewFile(const std::string& path, const std::string& caption,
                  const std::string& failureText) override;
    void ShowStatus(const std::string& text) override { calls.push_back("status " + text); }
    void ReportLastError() override { calls.push_back("last error"); }
    void RepaintMainWindow() override { calls.push_back("repaint"); }

  private:
    std::string ParentOf(const std::string& absolute) const;
    bool HasChildren(const std::string& absolute) const;

    std::map<std::string, Node> nodes_; // by lower-case absolute path
};

} // namespace stx::test
