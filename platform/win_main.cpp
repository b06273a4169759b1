// Entry point of stratext.exe.
#include <windows.h>

#include "app/command_line.h"
#include "platform/editor_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    stx::CommandLine commandLine = stx::ReadCommandLine(GetCommandLineA());
    if (commandLine.print != stx::PrintMode::None) {
        // Printing from the command line is not built yet: leave without printing.
        ExitProcess(0);
    }
    int code = stx::StartEditor(instance, commandLine, show) ? stx::RunMessageLoop() : 0;
    stx::ShutdownEditor();
    ExitProcess(static_cast<UINT>(code));
}
