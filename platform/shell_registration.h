#pragma once
// Registers the program with the shell: text files open in it, and the print
// verbs print through its command-line switches.
#include <windows.h>

#include <string>

namespace stx {

class EditorApp;

// Writes every key and value of the registration under `root` (the classes
// root by default) for the program at `programPath`, after removing the old
// print verbs. Running it again gives the same registry. Keys that cannot be
// created are skipped; returns the first error, or ERROR_SUCCESS when every
// key and value was written.
LSTATUS RegisterShellExtension(const std::string& programPath, HKEY root = HKEY_CLASSES_ROOT);

// Register shell extension (3408): silent when it worked, the error box when
// the registry refused a key or value.
void RegisterShellCommand(EditorApp& app, int command);

// The running program's full path.
std::string ProgramPath();

} // namespace stx
