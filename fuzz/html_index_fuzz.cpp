// The HTML index over a directory whose description file holds any bytes and
// whose entries have any names, sizes, dates and attributes: the run ends,
// both page copies agree and are whole pages. The description table alone:
// descriptions stay bounded, names match without regard to A-Z case, and the
// file read twice over gives the same table (the first line naming an entry
// wins).
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_tree.h"
#include "tools/description_file.h"
#include "tools/html_index.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace stx;

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

void CheckTable(const std::string& text, const std::vector<DirectoryEntry>& entries) {
    DescriptionTable table;
    table.Parse(text);
    DescriptionTable twice;
    twice.Parse(text + "\n" + text);
    STX_FUZZ_CHECK(twice.Size() == table.Size());
    for (const DirectoryEntry& e : entries) {
        const std::string* found = table.Find(e.name);
        STX_FUZZ_CHECK(found == table.Find(Upper(e.name)) && found == table.Find(FoldName(e.name)));
        const std::string* again = twice.Find(e.name);
        STX_FUZZ_CHECK((found == nullptr) == (again == nullptr));
        if (!found) continue;
        STX_FUZZ_CHECK(*found == *again && found->size() <= kMaxDescription);
        STX_FUZZ_CHECK(found->find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    IndexOptions options;
    options.directory = "C:\\web";
    options.recurse = in.ConsumeBool();
    options.includeHidden = in.ConsumeBool();
    options.robots = in.ConsumeBool();
    options.prompt = in.ConsumeBool();
    options.language = UiLanguageFromStored(in.ConsumeIntegralInRange(0, 2));
    options.rootPath = NormaliseRootPath(in.ConsumeRandomLengthString(16));

    test::MemoryTree tree;
    std::vector<DirectoryEntry> entries;
    for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        DirectoryEntry e;
        e.name = in.ConsumeRandomLengthString(24);
        e.attributes = in.ConsumeIntegral<std::uint16_t>();
        e.time = in.ConsumeIntegral<std::uint64_t>();
        e.size = in.ConsumeIntegral<std::uint64_t>();
        entries.push_back(e);
    }
    for (int n = in.ConsumeIntegralInRange(0, 2); n > 0; --n)
        tree.answers.push_back(in.ConsumeRandomLengthString(40));
    const std::string descriptions = in.ConsumeRemainingBytesAsString();
    tree.Dir("C:\\web", entries, 0);
    tree.Dir("C:\\web\\sub", entries, 1);
    tree.files["C:\\web\\descript.ion"] = descriptions;
    tree.files["C:\\web\\sub\\descript.ion"] = descriptions;

    STX_FUZZ_CHECK(GenerateIndex(options, tree, tree) == IndexResult::Done);
    const std::string page = tree.Page("C:\\web");
    STX_FUZZ_CHECK(page == tree.files["C:\\web\\index.htm"]);
    STX_FUZZ_CHECK(page.rfind("<HTML>", 0) == 0 && page.ends_with("</HTML>"));

    CheckTable(descriptions, entries);
    return 0;
}
