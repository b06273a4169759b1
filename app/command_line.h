#pragma once
// Reading the program's command line: an optional document to open, or a
// print switch with the file to print.
#include <algorithm>
#include <string>
#include <string_view>

namespace stx {

enum class PrintMode { None, Plain, ThreeD };

struct CommandLine {
    PrintMode print = PrintMode::None;
    // The file to open (editor) or to print; may be empty.
    std::string file;
};

// Capacity of the argument buffer; a longer argument is cut to it.
constexpr size_t kArgumentCapacity = 8192;

// `fullCommandLine` is the whole process command line, program name included.
CommandLine ReadCommandLine(std::string_view fullCommandLine);

} // namespace stx
