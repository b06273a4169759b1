#include "files/document_path.h"

#include "app/ui_texts.h"

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
    std::vector<std::string> proposals;
    std::vector<std::string> writes;
    std::vector<std::string> renames;

    SaveAnswer AskSaveQuestion() override {
        ++questions;
        return answer;
    }
    std::optional<std::string> AskSaveName(std::string_view proposed) override {
        proposals.emplace_back(proposed);
        return chosenName;
    }
    bool WriteDocument(const std::string& path) override {
        writes.push_back(path);
        return writeSucceeds;
    }
    void DocumentRenamed(const DocumentState& document) override {
        renames.push_back(document.path);
    }
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
    EXPECT_EQ(ProposedSaveName({"C:\\Work\\a.txt", true}), "C:\\Work\\a.txt");
    EXPECT_EQ(ProposedSaveName({"C:\\Work\\old.txt", false}), "");

    EXPECT_EQ(WithDefaultExtension("report"), "report.txt");
    EXPECT_EQ(WithDefaultExtension("C:\\My.Dir\\report"), "C:\\My.Dir\\report.txt");
    EXPECT_EQ(WithDefaultExtension("C:report"), "C:report.txt");
    EXPECT_EQ(WithDefaultExtension("report.asm"), "report.asm");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\.profile"), "C:\\a\\.profile");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(WithDefaultExtension(""), "");
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

TEST(DocumentPath, SaveUsesTheNameOrAsksForOne) {
    ScriptedUi ui;
    DocumentState named{"C:\\a.txt:s", true};
    EXPECT_EQ(SaveDocument(named, ui), SaveResult::Saved);
    EXPECT_EQ(ui.writes, std::vector<std::string>{"C:\\a.txt:s"});
    EXPECT_TRUE(ui.proposals.empty());

    ui.writeSucceeds = false;
    EXPECT_EQ(SaveDocument(named, ui), SaveResult::Failed);

    // Unnamed: Save As; cancelling changes nothing.
    ScriptedUi cancel;
    DocumentState untitled;
    EXPECT_EQ(SaveDocument(untitled, cancel), SaveResult::Cancelled);
    EXPECT_EQ(cancel.proposals, std::vector<std::string>{""});
    EXPECT_FALSE(untitled.named);
    EXPECT_TRUE(cancel.writes.empty());
    EXPECT_TRUE(cancel.renames.empty());

    // Save As on a stream proposes its file and takes the chosen name before writing.
    ScriptedUi as;
    as.chosenName = "C:\\b.txt";
    DocumentState stream{"C:\\a.txt:notes", true};
    EXPECT_EQ(SaveDocumentAs(stream, as), SaveResult::Saved);
    EXPECT_EQ(as.proposals, std::vector<std::string>{"C:\\a.txt"});
    EXPECT_EQ(as.renames, std::vector<std::string>{"C:\\b.txt"});
    EXPECT_EQ(as.writes, std::vector<std::string>{"C:\\b.txt"});
    EXPECT_EQ(stream.path, "C:\\b.txt");
    EXPECT_TRUE(stream.named);
}

TEST(DocumentPath, AskToSaveNeverLosesTextWhenTheSaveDoesNotHappen) {
    {
        ScriptedUi ui;
        DocumentState doc{"C:\\a.txt", true};
        EXPECT_EQ(AskToSave(false, doc, ui), SaveAnswer::No);
        EXPECT_EQ(ui.questions, 0);
    }
    for (SaveAnswer answer : {SaveAnswer::No, SaveAnswer::Cancel}) {
        ScriptedUi ui;
        ui.answer = answer;
        DocumentState doc{"C:\\a.txt", true};
        EXPECT_EQ(AskToSave(true, doc, ui), answer);
        EXPECT_TRUE(ui.writes.empty());
    }
    {
        ScriptedUi ui;
        DocumentState doc{"C:\\a.txt", true};
        EXPECT_EQ(AskToSave(true, doc, ui), SaveAnswer::Yes);
        EXPECT_EQ(ui.writes.size(), 1u);
    }
    {
        // Yes, but the write fails: the caller must stop.
        ScriptedUi ui;
        ui.writeSucceeds = false;
        DocumentState doc{"C:\\a.txt", true};
        EXPECT_EQ(AskToSave(true, doc, ui), SaveAnswer::Cancel);
    }
    {
        // Yes on an untitled document, and the Save As dialog is cancelled.
        ScriptedUi ui;
        DocumentState doc;
        EXPECT_EQ(AskToSave(true, doc, ui), SaveAnswer::Cancel);
        EXPECT_EQ(ui.questions, 1);
        EXPECT_FALSE(doc.named);
    }
    {
        ScriptedUi ui;
        ui.chosenName = "C:\\new.txt";
        DocumentState doc;
        EXPECT_EQ(AskToSave(true, doc, ui), SaveAnswer::Yes);
        EXPECT_EQ(doc.path, "C:\\new.txt");
    }
}

TEST(DocumentPath, OpenFailuresSayWhatStoppedThem) {
    EXPECT_STREQ(ChooseText(UiLanguage::English, OpenFailureNotice(OpenFailure::CannotOpen)),
                 "Error opening file");
    EXPECT_STREQ(ChooseText(UiLanguage::Romanian, OpenFailureNotice(OpenFailure::CannotOpen)),
                 "Eroare deschidere fisier");
    EXPECT_STREQ(ChooseText(UiLanguage::English, OpenFailureNotice(OpenFailure::TooLarge)),
                 "File too large to open");
    EXPECT_STRNE(OpenFailureNotice(OpenFailure::ShortRead).english,
                 OpenFailureNotice(OpenFailure::OutOfMemory).english);
}

} // namespace
} // namespace stx
