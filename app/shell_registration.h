// What registering the editor with the shell writes under the classes root:
// text files open in the editor and get two print verbs, and several script
// and configuration file types get an open or edit verb and the print verbs.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace stx {

// One value to set; the key is opened (created when missing) under the classes root.
struct ShellRegistryValue {
    std::string key;
    std::string name; // empty: the key's default value
    bool binary = false;
    std::string data; // the string without its terminator, or the binary bytes
};

// Print verb keys removed first, so that the print verbs above are the ones the
// shell offers; a key that still has subkeys may stay, as the system decides.
inline constexpr std::array<const char*, 7> kShellKeysToDelete{
    "txtfile\\shell\\print", "ChannelFile\\Shell\\Print", "batfile\\Shell\\Print",
    "inffile\\Shell\\Print", "inifile\\Shell\\Print",     "regfile\\Shell\\Print",
    "VBSFile\\Shell\\Print",
};

// Every value, in the order it is written. Commands start the program by its
// full path in quotes, so a path with spaces stays one word; the switch and the
// file name are quoted together, as the command line reads them.
std::vector<ShellRegistryValue> ShellRegistrationValues(std::string_view programPath);

} // namespace stx
