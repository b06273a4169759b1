#include "app/command_line.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

TEST(CommandLine, DocumentArgumentForms) {
    EXPECT_EQ(ReadCommandLine("stratext.exe").file, "");
    EXPECT_EQ(ReadCommandLine("\"C:\\Program Files\\stratext.exe\"").file, "");
    EXPECT_EQ(ReadCommandLine("stratext.exe ").file, "");
    EXPECT_EQ(ReadCommandLine("stratext.exe a.asm").file, "a.asm");
    // An unquoted name with spaces is taken up to the end of the line.
    EXPECT_EQ(ReadCommandLine("stratext.exe my file.asm").file, "my file.asm");
    EXPECT_EQ(ReadCommandLine("stratext.exe   \tlead.txt").file, "lead.txt");
}

TEST(CommandLine, PrintSwitches) {
    // The quoted forms the shell uses are checked with the shell's verbs.
    CommandLine c = ReadCommandLine("stratext.exe /P notes.txt");
    EXPECT_EQ(c.print, PrintMode::Plain);
    EXPECT_EQ(c.file, "notes.txt");
    EXPECT_EQ(ReadCommandLine("stratext.exe /q x").print, PrintMode::Plain);
    c = ReadCommandLine("stratext.exe /");
    EXPECT_EQ(c.print, PrintMode::Plain);
    EXPECT_EQ(c.file, "");
}

TEST(CommandLine, HostileInputStaysBounded) {
    std::string longName(20000, 'a');
    CommandLine c = ReadCommandLine("stratext.exe " + longName);
    EXPECT_EQ(c.file.size(), kArgumentCapacity - 1);
    EXPECT_EQ(ReadCommandLine("\"unterminated name").file, "");
    EXPECT_EQ(ReadCommandLine("").file, "");
}

} // namespace
} // namespace stx
