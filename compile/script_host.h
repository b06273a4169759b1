// What a build script needs from the operating system: files and directories,
// starting programs and waiting for them, and the user. The Win32 layer
// implements it for the real editor; tests implement it in memory.
//
// Method names avoid the Win32 API names (DeleteFile, CreateDirectory, ...),
// which <windows.h> turns into macros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/file_attributes.h"

namespace stx {

// One match of a file search: its name within its directory.
struct FoundFile {
    std::string name;
    bool directory = false;
    std::uint64_t size = 0;
};

// A file opened for reading and writing in place, closed on destruction.
class OpenedFile {
  public:
    virtual ~OpenedFile() = default;
    virtual std::uint64_t Size() = 0;
    // Whole reads and writes only: false unless every byte was transferred.
    virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) = 0;
    virtual bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
};

// The standard output of a started program sent to a file.
struct Redirection {
    std::string path;
    bool append = false; // ">>": open or create and write at the end; ">": create or truncate
};

struct ProgramStart {
    std::string commandLine;
    bool showWindow = true; // false after "hide"
    std::optional<Redirection> redirection;
};

class ScriptHost {
  public:
    virtual ~ScriptHost() = default;

    // ---- files and directories ------------------------------------------------
    // The matches of a path whose last component may hold wildcards, in the
    // order the file system yields them, at most `limit` (0: all).
    virtual std::vector<FoundFile> FindFiles(const std::string& pattern, std::size_t limit) = 0;
    // The attributes of a file or directory; nothing when it does not exist.
    virtual std::optional<std::uint32_t> GetAttributes(const std::string& path) = 0;
    virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes an empty directory.
    virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
    virtual bool MakeDirectory(const std::string& path) = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // Opens an existing file for reading and writing, not shared; nothing
    // when it cannot be opened so (missing, read-only, in use).
    virtual std::unique_ptr<OpenedFile> OpenForUpdate(const std::string& path) = 0;
    // The temporary-files folder, as the system reports it (with its trailing
    // backslash).
    virtual std::string TemporaryFolder() = 0;
    // The short (8.3) form of an existing path; nothing when there is none.
    virtual std::optional<std::string> ShortPath(const std::string& path) = 0;

    // ---- programs ---------------------------------------------------------------
    // Starts the program and waits until it has ended; its exit code, or
    // nothing when no process could be started (the host keeps the reason for
    // ReportLastError). A redirection file that cannot be opened leaves the
    // program without its output.
    virtual std::optional<std::uint32_t> RunProgram(const ProgramStart& start) = 0;
    // Starts a program and returns at once; false when it could not be started.
    virtual bool StartProgram(const std::string& commandLine) = 0;
    // The Windows NT family, where redirected statements go through the
    // command interpreter.
    virtual bool NtFamily() = 0;
    virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;

    // ---- the user -----------------------------------------------------------------
    // A box captioned "Stratext" with an OK button, owned by the run's message owner.
    virtual void ShowMessage(const std::string& text) = 0;
    // The modal view window: the file's text, or `failureText` when the file
    // cannot be opened.
    virtual void ViewFile(const std::string& path, const std::string& caption,
                          const std::string& failureText) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    // The box for the failure of the last host call that returned false or nothing.
    virtual void ReportLastError() = 0;
    // Marks the main window for repainting once a run is over.
    virtual void RepaintMainWindow() = 0;
};

} // namespace stx
