// A program for build scripts to start in the Win32 tests (a GUI program, so
// it opens no console):
//   script_probe exit N      ends with exit code N
//   script_probe print WORD  writes WORD and CR LF to its standard output
//   script_probe wait FILE   ends once FILE exists (or after 30 seconds)
//   script_probe             adds a line to "<its own path>.started", to show it ran
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc == 1) {
        char self[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string mark = std::string(self, length) + ".started";
        HANDLE file = CreateFileA(mark.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        DWORD written = 0;
        WriteFile(file, "started\r\n", 9, &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    if (argc < 3) return 2;
    if (std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
    if (std::strcmp(argv[1], "print") == 0) {
        const std::string text = std::string(argv[2]) + "\r\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                  &written, nullptr);
        return 0;
    }
    if (std::strcmp(argv[1], "wait") == 0) {
        for (int i = 0; i < 3000; ++i) {
            if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) return 0;
            Sleep(10);
        }
        return 1;
    }
    return 2;
}
