#pragma once
// The Compile menu on Windows: Compile, Compile & Run, Run executable and the
// compiler configuration dialog with Execute now and Exec command.
#include <windows.h>

#include <functional>
#include <string>

#include "app/settings.h"
#include "app/settings_store.h"
#include "app/status_texts.h"
#include "compile/compile_commands.h"
#include "files/document_path.h"

namespace stx {

// What the commands need from the editor.
struct CompileEnvironment {
    HWND main = nullptr;
    AppSettings& settings; // the language, the configured script, auto-save
    SettingsStore& store;
    DocumentState& document;
    CompileState& state;
    StatusBar* status = nullptr;
    bool ntFamily = true;
    // The save question; false when the command must stop.
    std::function<bool()> askToSave;
    // The modal view window of `type` and `view`, owned by `owner`.
    std::function<void(HWND owner, const std::string& path, const std::string& caption,
                       const std::string& failureText)>
        viewFile;
};

void CommandCompile(CompileEnvironment& environment);
void CommandCompileAndRun(CompileEnvironment& environment);
void CommandRunExecutable(CompileEnvironment& environment);
// Dialog 800 (801 in Romanian); returns its result, with kScriptModifiedBit
// when the script edit was changed. A changed script is stored afterwards.
INT_PTR CommandConfigureCompiler(CompileEnvironment& environment);

// `type` and `view`: the file's bytes in the text window, or the failure text
// when it cannot be read.
void ViewFileInTextWindow(HWND owner, const std::string& path, const std::string& caption,
                          const std::string& failureText);

class EditorApp;
// The main window's handler of the Compile menu (2000, 2003, 2010, 2011).
void CompileCommand(EditorApp& app, int command);

} // namespace stx
