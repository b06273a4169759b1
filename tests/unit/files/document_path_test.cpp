#include "files/document_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

// A window that answers as scripted and records what it was asked to do.
class ScriptedUi : public DocumentUi {
  public:
    SaveAnswer answer = SaveAnswer::Yes;
    std::optional<std::string> chosenName;
    bool writeSucceeds = true;

    int questions = 0;
    std::vector<std::string> writes;

    SaveAnswer AskSaveQuestion() override {
        ++questions;
        return answer;
    }
    std::optional<std::string> AskSaveName(std::string_view) override { return chosenName; }
    bool WriteDocument(const std::string& path) override {
        writes.push_back(path);
        return writeSucceeds;
    }
    void DocumentRenamed(const DocumentState&) override {}
};

TEST(DocumentPath, StreamNamesSplitAfterTheDrive) {
    auto split = [](std::string_view p) {
        StreamName s = SplitStreamName(p);
        return std::string(s.file) + "|" + std::string(s.stream);
    };
    EXPECT_EQ(split("C:\\Work\\a.txt:notes"), "C:\\Work\\a.txt|notes");
    EXPECT_EQ(split("C:\\Work\\a.txt"), "C:\\Work\\a.txt|");
    EXPECT_EQ(split("a.txt:notes:$DATA"), "a.txt|notes:$DATA");
    EXPECT_EQ(split("\\\\server\\share\\a.txt:s"), "\\\\server\\share\\a.txt|s");
    // The long-path forms have their drive colon further in.
    EXPECT_EQ(split("\\\\?\\C:\\a.txt"), "\\\\?\\C:\\a.txt|");
    EXPECT_EQ(split("\\\\?\\C:\\a.txt:s"), "\\\\?\\C:\\a.txt|s");
    EXPECT_EQ(split("\\\\.\\D:\\b:x"), "\\\\.\\D:\\b|x");
    EXPECT_EQ(split(""), "|");
    EXPECT_EQ(split("C:"), "C:|");
    EXPECT_EQ(split("C:\\a:"), "C:\\a|");
}

TEST(DocumentPath, SaveAsProposesTheFileWithoutItsStream) {
    EXPECT_EQ(ProposedSaveName({"C:\\Work\\a.txt:notes", true}), "C:\\Work\\a.txt");
    EXPECT_EQ(ProposedSaveName({"C:\\Work\\old.txt", false}), "");

    EXPECT_EQ(WithDefaultExtension("C:\\My.Dir\\report"), "C:\\My.Dir\\report.txt");
    EXPECT_EQ(WithDefaultExtension("C:report"), "C:report.txt");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\.profile"), "C:\\a\\.profile");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\"), "C:\\a\\");
}

TEST(DocumentPath, OpenKeepsTheStoredCaseOfTheName) {
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\demo.asm", "Demo.asm"), "C:\\Work\\Demo.asm");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\demo.asm", "DEMO.ASM"), "C:\\DEMO.ASM");
    // A short name comes back in its long form.
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\LONGFI~1.TXT", "Long file name.txt"),
              "C:\\Work\\Long file name.txt");
    // Streams, failed searches and implausible answers keep the full path.
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt:notes", std::nullopt),
              "C:\\Work\\a.txt:notes");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt:notes", "a.txt"), "C:\\Work\\a.txt:notes");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\*.txt", "other.txt"), "C:\\Work\\*.txt");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt", "..\\x"), "C:\\Work\\a.txt");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt", ""), "C:\\Work\\a.txt");
    const std::string deep = "C:\\" + std::string(8170, 'd') + "\\SHORT~1.TXT";
    EXPECT_EQ(DocumentPathAfterOpen(deep, std::string(100, 'n')), deep);
}

TEST(DocumentPath, AskToSaveNeverLosesTextWhenTheSaveDoesNotHappen) {
    struct Case {
        const char* what;
        bool modified, named;
        SaveAnswer answer;
        bool writeSucceeds;
        std::optional<std::string> chosenName;
        SaveAnswer result;
        std::size_t writes;
    } const cases[] = {
        {"unmodified: not asked", false, true, SaveAnswer::Yes, true, {}, SaveAnswer::No, 0},
        {"no", true, true, SaveAnswer::No, true, {}, SaveAnswer::No, 0},
        {"cancel", true, true, SaveAnswer::Cancel, true, {}, SaveAnswer::Cancel, 0},
        {"yes", true, true, SaveAnswer::Yes, true, {}, SaveAnswer::Yes, 1},
        // The write fails: the caller must stop.
        {"write fails", true, true, SaveAnswer::Yes, false, {}, SaveAnswer::Cancel, 1},
        {"untitled, cancelled", true, false, SaveAnswer::Yes, true, {}, SaveAnswer::Cancel, 0},
        {"untitled, named", true, false, SaveAnswer::Yes, true, "C:\\new.txt", SaveAnswer::Yes, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedUi ui;
        ui.answer = c.answer;
        ui.writeSucceeds = c.writeSucceeds;
        ui.chosenName = c.chosenName;
        DocumentState doc = c.named ? DocumentState{"C:\\a.txt", true} : DocumentState{};
        EXPECT_EQ(AskToSave(c.modified, doc, ui), c.result);
        EXPECT_EQ(ui.questions, c.modified ? 1 : 0);
        EXPECT_EQ(ui.writes.size(), c.writes);
        EXPECT_EQ(doc.named, c.named || c.result == SaveAnswer::Yes);
        EXPECT_EQ(doc.path, c.chosenName.value_or(c.named ? "C:\\a.txt" : ""));
    }
}

} // namespace
} // namespace stx
