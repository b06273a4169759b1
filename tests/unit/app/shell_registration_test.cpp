#include "app/shell_registration.h"

#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace stx {
namespace {

// What the shell runs for a verb: the command with %1 replaced by the file.
std::string Expand(std::string command, const std::string& file) {
    command.replace(command.find("%1"), 2, file);
    return command;
}

TEST(ShellRegistration, VerbsStartTheProgramAsItsCommandLineExpects) {
    const std::string program = "C:\\Program Files\\Strat ext\\stratext.exe";
    const std::string file = "C:\\My Documents\\notes for me.txt";
    int opens = 0;
    int prints = 0;
    for (const ShellRegistryValue& v : ShellRegistrationValues(program)) {
        if (v.key.ends_with("\\DefaultIcon")) {
            EXPECT_EQ(v.data, program + ",1");
        }
        if (v.data.find("%1") == std::string::npos) continue;
        SCOPED_TRACE(v.key);
        const CommandLine line = ReadCommandLine(Expand(v.data, file));
        EXPECT_EQ(line.file, file);
        if (v.key.find("Print 3D text") != std::string::npos) {
            EXPECT_EQ(line.print, PrintMode::ThreeD);
            ++prints;
        } else if (v.key.find("Print text") != std::string::npos) {
            EXPECT_EQ(line.print, PrintMode::Plain);
            ++prints;
        } else {
            EXPECT_EQ(line.print, PrintMode::None);
            ++opens;
        }
    }
    EXPECT_EQ(opens, 10);
    EXPECT_EQ(prints, 14);
}

} // namespace
} // namespace stx
