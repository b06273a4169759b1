// The build-script interpreter: runs one script text from start to end on the
// user-interface thread, starting programs through the host and waiting for
// each.
#pragma once

#include "app/ui_language.h"
#include "compile/script_host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace stx {

// ErrorLevel when no process could be started.
inline constexpr std::uint32_t kNoProcessErrorLevel = 259;

struct BuildScriptRun {
    // Jumps search this text, also from a command typed on its own.
    std::string_view configuredScript;
    std::string_view documentPath;
    bool documentNamed = false;
    UiLanguage language = UiLanguage::English;
    bool runMode = false; // `if run`: the script runs for Compile & Run
    // Statements dispatched before the run is cut short; 0: no limit. Fuzzing
    // uses it to bound scripts that loop.
    std::uint64_t statementLimit = 0;
};

struct BuildScriptResult {
    bool ran = false; // false: the document had no name, nothing ran
    std::uint32_t errorLevel = 0;
    // `error` or `abort`, or a run that stopped on a missing label or a
    // buffer limit: Compile & Run must not start the program.
    bool aborted = false;
};

// Runs `text` (to its end or its first NUL) in the document's directory.
BuildScriptResult RunBuildScript(std::string_view text, const BuildScriptRun& run,
                                 ScriptHost& host);

// Where a run starts: the document's directory ("C:\" for a file at a drive's root).
std::string ScriptDirectoryOf(std::string_view documentPath);

} // namespace stx
