#include "compile/compile_commands.h"

#include "app/ui_texts.h"
#include "compile/script_text.h"
#include "compile/script_variables.h"

namespace stx {

namespace {

constexpr int kCancelResult = 2;

void RunText(CompileContext& context, std::string_view text, bool runMode) {
    BuildScriptRun run;
    run.configuredScript = context.configuredScript;
    run.documentPath = context.document.path;
    run.documentNamed = context.document.named;
    run.language = context.language;
    run.runMode = runMode;
    const BuildScriptResult result = RunBuildScript(text, run, context.host);
    if (result.ran) context.state.abortFlag = result.aborted;
}

// The configured script after the save question; false when the question was
// cancelled and nothing ran.
bool RunConfiguredScript(CompileContext& context, bool runMode) {
    if (!context.askToSave()) {
        context.host.ShowStatus(ChooseText(context.language, kCompilerTerminated));
        return false;
    }
    RunText(context, context.configuredScript, runMode);
    return true;
}

bool RefuseUnnamed(CompileContext& context) {
    if (context.document.named) return false;
    context.host.ShowMessage(ChooseText(context.language, kSaveBeforeCompiling));
    return true;
}

void StartExecutable(CompileContext& context) {
    std::string name = ExecutableNameOf(context.document.path);
    if (!context.host.GetAttributes(name)) name.replace(name.size() - 3, 3, "com");
    // Quoted, so a path with spaces names one file; nothing is reported.
    context.host.StartProgram(name.find(' ') == std::string::npos ? name : "\"" + name + "\"");
}

} // namespace

void Compile(CompileContext& context) {
    RunConfiguredScript(context, false);
}

void CompileAndRun(CompileContext& context) {
    if (RefuseUnnamed(context)) return;
    // A cancelled question runs nothing, and an earlier run's flag says nothing
    // about the program on disk, so nothing is started either.
    if (!RunConfiguredScript(context, true) || context.state.abortFlag) return;
    if (context.document.named) StartExecutable(context);
}

void RunExecutable(CompileContext& context) {
    if (RefuseUnnamed(context)) return;
    StartExecutable(context);
}

void RunScriptNow(CompileContext& context, std::string_view text) {
    RunText(context, text, false);
}

std::string ExecutableNameOf(std::string_view documentPath) {
    return std::string(PathWithoutExtension(documentPath)) + ".exe";
}

bool StoresConfiguredScript(int dialogResult) {
    return (dialogResult & 0xFFFF) != kCancelResult && dialogResult > 10000;
}

} // namespace stx
