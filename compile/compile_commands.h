// The Compile menu's commands over the interpreter: Compile, Compile & Run,
// Run executable, and the runs started from the compiler configuration
// dialog. The windows, the save question and the dialog itself belong to the
// Win32 layer, which passes them in.
#pragma once

#include "app/ui_language.h"
#include "compile/build_script.h"
#include "compile/script_host.h"
#include "files/document_path.h"

#include <functional>
#include <string>
#include <string_view>

namespace stx {

// What the commands keep between runs.
struct CompileState {
    bool abortFlag = false;  // left by the last run that started
    std::string commandText; // the last command typed into the Exec command box
};

struct CompileContext {
    ScriptHost& host; // its message owner is the window the run belongs to
    CompileState& state;
    const std::string& configuredScript;
    const DocumentState& document; // read after the save question, which may name it
    UiLanguage language;
    // The save question before a run; false when the command must stop.
    std::function<bool()> askToSave;
};

// Compile (F9): the save question, then the configured script.
void Compile(CompileContext& context);
// Compile & Run (Ctrl+F9): the configured script with `if run` true, then the
// program, unless the question was cancelled or the script aborted.
void CompileAndRun(CompileContext& context);
// Run executable (Alt+F9): starts the document's program without waiting.
void RunExecutable(CompileContext& context);
// Execute now and Exec command: `text`, whose jumps go into the configured
// script. The caller has asked the save question.
void RunScriptNow(CompileContext& context, std::string_view text);

// The document's path with its extension replaced by ".exe" (or ".exe" added).
std::string ExecutableNameOf(std::string_view documentPath);

// The configuration dialog's end: its button plus this bit when the script
// edit was changed.
inline constexpr int kScriptModifiedBit = 0x10000;
// Whether the dialog's result asks for the script to be stored: not after
// Cancel, and only when the edit was changed.
bool StoresConfiguredScript(int dialogResult);

} // namespace stx
