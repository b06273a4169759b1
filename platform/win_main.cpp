// Entry point of stratext.exe.
#include <windows.h>

#include "app/command_line.h"
#include "platform/editor_start.h"
#include "platform/printing.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    stx::CommandLine commandLine = stx::ReadCommandLine(GetCommandLineA());
    // A print switch prints the file and ends without showing the editor.
    if (commandLine.print != stx::PrintMode::None)
        ExitProcess(static_cast<UINT>(stx::PrintFromCommandLine(commandLine)));
    int code = 0;
    {
        stx::EditorApp app;
        if (stx::StartEditor(app, instance, commandLine, show)) code = stx::RunMessageLoop(app);
        stx::ShutdownEditor(app);
    }
    ExitProcess(static_cast<UINT>(code));
}
