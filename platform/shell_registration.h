#pragma once
// Registers the program with the shell: text files open in it, and the print
// verbs print through its command-line switches.
#include <windows.h>

#include <string>

namespace stx {

// Writes every key and value of the registration under `root` (the classes
// root by default) for the program at `programPath`, after removing the old
// print verbs. Running it again gives the same registry. Keys that cannot be
// created are skipped; returns false when any key or value could not be written.
bool RegisterShellExtension(const std::string& programPath, HKEY root = HKEY_CLASSES_ROOT);

// The running program's full path.
std::string ProgramPath();

} // namespace stx
