// Entry point of stratext.exe: the main window on the document named on the
// command line.
#include <windows.h>

#include "platform/file_io.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kMainClass[] = "Stratext";

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        // Until the text view exists, the window shows what it opened.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        char text[1024];
        int n = GetWindowTextA(hwnd, text, sizeof text);
        TextOutA(dc, 8, 8, text, n);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The first argument of the command line, with or without quotes.
std::string FirstArgument(const char* cmdLine) {
    while (*cmdLine == ' ' || *cmdLine == '\t') ++cmdLine;
    std::string arg;
    if (*cmdLine == '"') {
        ++cmdLine;
        while (*cmdLine && *cmdLine != '"') arg += *cmdLine++;
    } else {
        while (*cmdLine && *cmdLine != ' ' && *cmdLine != '\t') arg += *cmdLine++;
    }
    return arg;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExA(&wc)) return 1;

    std::string title = "Stratext";
    std::string path = FirstArgument(cmdLine);
    if (!path.empty()) {
        std::vector<char> bytes;
        if (stx::ReadWholeFile(path, bytes) == stx::FileReadResult::Ok) {
            unsigned lines = 1;
            for (size_t i = 0; i < bytes.size(); ++i)
                if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++lines, ++i;
            title += ": " + path + " (" + std::to_string(lines) + " lines)";
        }
    }

    HWND main = CreateWindowExA(WS_EX_OVERLAPPEDWINDOW, kMainClass, title.c_str(),
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!main) return 1;
    ShowWindow(main, show);
    UpdateWindow(main);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
