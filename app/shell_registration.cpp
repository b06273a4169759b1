#include "app/shell_registration.h"

namespace stx {

namespace {

enum class Data {
    TextDocument, // "Text Document"
    NoFlags,      // binary 00 00 00 00
    OpenFlags,    // binary 01 00 00 00
    OpenCommand,  // program "%1"
    PlainPrint,   // program "/P %1"
    Print3D,      // program "/3 %1"
    Icon,         // program,1: the second icon group, the text documents' icon
    TextFileType, // "txtfile"
};

struct Row {
    const char* key;
    const char* name;
    Data data;
};

// clang-format off
constexpr Row kRows[] = {
    {"txtfile",                             "",          Data::TextDocument},
    {"txtfile",                             "EditFlags", Data::NoFlags},
    {"txtfile\\Shell\\Open",                "EditFlags", Data::OpenFlags},
    {"txtfile\\Shell\\Open\\command",       "",          Data::OpenCommand},
    {"txtfile\\DefaultIcon",                "",          Data::Icon},
    {"txtfile\\Shell\\Print text\\command",    "",       Data::PlainPrint},
    {"txtfile\\Shell\\Print 3D text\\command", "",       Data::Print3D},
    {".txt", "", Data::TextFileType},
    {".log", "", Data::TextFileType},
    {".as",  "", Data::TextFileType},
    {".dic", "", Data::TextFileType},
    {".exc", "", Data::TextFileType},
    {".nfo", "", Data::TextFileType},
    {".diz", "", Data::TextFileType},
    {".ion", "", Data::TextFileType},
    {"batfile\\Shell\\edit\\command",           "", Data::OpenCommand},
    {"batfile\\Shell\\Print text\\command",     "", Data::PlainPrint},
    {"batfile\\Shell\\Print 3D text\\command",  "", Data::Print3D},
    {"ChannelFile\\Shell\\Edit\\Command",          "", Data::OpenCommand},
    {"ChannelFile\\Shell\\Print text\\command",    "", Data::PlainPrint},
    {"ChannelFile\\Shell\\Print 3D text\\command", "", Data::Print3D},
    {"inffile\\shell\\open\\command",           "", Data::OpenCommand},
    {"inffile\\Shell\\Print text\\command",     "", Data::PlainPrint},
    {"inffile\\Shell\\Print 3D text\\command",  "", Data::Print3D},
    {"inifile\\shell\\open\\command",           "", Data::OpenCommand},
    {"inifile\\Shell\\Print text\\command",     "", Data::PlainPrint},
    {"inifile\\Shell\\Print 3D text\\command",  "", Data::Print3D},
    {"iqyfile\\Shell\\open\\command",           "", Data::OpenCommand},
    {"JSFile\\Shell\\Edit\\Command",            "", Data::OpenCommand},
    {"regfile\\shell\\edit\\command",           "", Data::OpenCommand},
    {"regfile\\Shell\\Print text\\command",     "", Data::PlainPrint},
    {"regfile\\Shell\\Print 3D text\\command",  "", Data::Print3D},
    {"scpfile\\shell\\open\\command",           "", Data::OpenCommand},
    {"VBSFile\\Shell\\Edit\\Command",           "", Data::OpenCommand},
    {"VBSFile\\Shell\\Print text\\command",     "", Data::PlainPrint},
    {"VBSFile\\Shell\\Print 3D text\\command",  "", Data::Print3D},
};
// clang-format on

std::string Command(std::string_view program, std::string_view arguments) {
    std::string command = "\"";
    command += program;
    command += "\" ";
    command += arguments;
    return command;
}

} // namespace

std::vector<ShellRegistryValue> ShellRegistrationValues(std::string_view programPath) {
    std::vector<ShellRegistryValue> values;
    values.reserve(std::size(kRows));
    for (const Row& row : kRows) {
        ShellRegistryValue v;
        v.key = row.key;
        v.name = row.name;
        switch (row.data) {
        case Data::TextDocument:
            v.data = "Text Document";
            break;
        case Data::NoFlags:
            v.binary = true;
            v.data = std::string(4, '\0');
            break;
        case Data::OpenFlags:
            v.binary = true;
            v.data = std::string("\x01\0\0\0", 4);
            break;
        case Data::OpenCommand:
            v.data = Command(programPath, "\"%1\"");
            break;
        case Data::PlainPrint:
            v.data = Command(programPath, "\"/P %1\"");
            break;
        case Data::Print3D:
            v.data = Command(programPath, "\"/3 %1\"");
            break;
        case Data::Icon:
            // An icon location is a path, a comma and an index: no quotes.
            v.data = std::string(programPath) + ",1";
            break;
        case Data::TextFileType:
            v.data = "txtfile";
            break;
        }
        values.push_back(std::move(v));
    }
    return values;
}

} // namespace stx
