// Entry point of stratext.exe.
#include <windows.h>

#include "app/command_line.h"
#include "platform/editor_start.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    stx::CommandLine commandLine = stx::ReadCommandLine(GetCommandLineA());
    if (commandLine.print != stx::PrintMode::None) {
        // Printing from the command line is not built yet: leave without printing.
        ExitProcess(0);
    }
    int code = 0;
    {
        stx::EditorApp app;
        if (stx::StartEditor(app, instance, commandLine, show)) code = stx::RunMessageLoop(app);
        stx::ShutdownEditor(app);
    }
    ExitProcess(static_cast<UINT>(code));
}
