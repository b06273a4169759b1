// The command-line reader over any process command line, and the document-name
// rules its file name meets next: the argument stays inside its buffer and
// never carries a quote or leading blanks, and the names derived from it are
// pieces of it.
#include "app/command_line.h"
#include "files/document_path.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace stx;

namespace {

bool IsPieceOf(std::string_view piece, std::string_view whole) {
    return piece.empty() || (piece.data() >= whole.data() &&
                             piece.data() + piece.size() <= whole.data() + whole.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const CommandLine command = ReadCommandLine(line);
    const std::string& file = command.file;
    STX_FUZZ_CHECK(file.size() < kArgumentCapacity);
    STX_FUZZ_CHECK(file.find('"') == std::string::npos);
    STX_FUZZ_CHECK(file.empty() || (file.front() != ' ' && file.front() != '\t'));
    STX_FUZZ_CHECK(line.find(file) != std::string_view::npos);
    if (command.print != PrintMode::None) STX_FUZZ_CHECK(line.find('/') != std::string_view::npos);

    const StreamName split = SplitStreamName(file);
    STX_FUZZ_CHECK(IsPieceOf(split.file, file) && IsPieceOf(split.stream, file));
    STX_FUZZ_CHECK(split.file.size() + (split.stream.empty() ? 0 : split.stream.size() + 1) <=
                   file.size());
    const std::string proposed = ProposedSaveName({file, true});
    STX_FUZZ_CHECK(std::string_view(file).starts_with(proposed));
    const std::string extended = WithDefaultExtension(file);
    STX_FUZZ_CHECK(extended == file || extended == file + ".txt");

    // The name a search found for the file, taken from the end of the line.
    const std::string_view stored =
        line.substr(line.size() - std::min<std::size_t>(line.size(), 12));
    const std::string after = DocumentPathAfterOpen(file, stored);
    STX_FUZZ_CHECK(after == file || (after.size() <= kDocumentPathCapacity &&
                                     std::string_view(after).ends_with(stored)));
    return 0;
}
