#include "app/command_line.h"

namespace stx {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

CommandLine ReadCommandLine(std::string_view line) {
    CommandLine result;
    size_t i = 0;
    // Skip the program name: quoted up to its closing quote and one beyond,
    // otherwise up to the first control character or space.
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"')
            ++i;
        if (i < line.size()) ++i;
    } else {
        while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ')
            ++i;
    }
    // One separator character follows the name.
    if (i >= line.size()) return result;
    ++i;

    // The argument runs to the next quote or the end, so an unquoted name with
    // spaces is taken whole, and a quoted "switch name" pair arrives as one.
    if (i < line.size() && line[i] == '"') ++i;
    size_t end = line.find('"', i);
    if (end == std::string_view::npos) end = line.size();
    std::string_view arg = line.substr(i, std::min(end - i, kArgumentCapacity - 1));
    while (!arg.empty() && IsBlank(arg.front()))
        arg.remove_prefix(1);

    if (!arg.empty() && arg.front() == '/') {
        // Any switch character other than 3 prints plain text.
        result.print = arg.size() > 1 && arg[1] == '3' ? PrintMode::ThreeD : PrintMode::Plain;
        arg.remove_prefix(std::min<size_t>(2, arg.size()));
        while (!arg.empty() && IsBlank(arg.front()))
            arg.remove_prefix(1);
    }
    result.file.assign(arg);
    return result;
}

} // namespace stx
