// Opening and saving documents in the running editor: bytes on disk, the
// title, the status notices, the save question and the failure reports, with
// every box answered from a helper thread.
#include "platform/documents.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/editor_start.h"
#include "platform/report_error.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

} // namespace

class DocumentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DropQuitMessages();
        owned = std::make_unique<EditorApp>();
        app = owned.get();
        ASSERT_TRUE(StartEditor(*app, GetModuleHandleA(nullptr), CommandLine{}, SW_SHOWNORMAL));
        editor().Buffer().convertLineBreaks = false;
        editor().New();
        editor().Buffer().modified = 0;
    }
    void TearDown() override {
        for (const std::string& path : cleanup)
            RemoveFile(path);
        ShutdownEditor(*app);
        owned.reset();
        DropQuitMessages();
    }

    TextEditor& editor() { return app->editor; }

    // A file in the temporary directory, removed after the test.
    std::string TempPath(const std::string& name) {
        cleanup.push_back(TempDirectory() + name);
        return cleanup.back();
    }

    std::string DocumentText() {
        const TextBuffer& buffer = editor().Buffer();
        std::string text(buffer.TotalBytes() + 1, '\0');
        text.resize(buffer.ExtractRange(buffer.TotalBytes() + 1, 0, text.data()));
        return text;
    }

    // Replaces the text as an edit would, leaving the document modified.
    void TypeText(const std::string& text) {
        ASSERT_EQ(editor().Parse(text.data(), text.data() + text.size()), TextStatus::Ok);
        editor().Buffer().modified = 1;
    }

    std::string StatusNotice() {
        char text[512] = {};
        SendMessageA(app->status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }

    // The document as the user sees it: its name, whether it has one, the
    // title, the text and whether it is modified.
    struct Snapshot {
        std::string path;
        bool named;
        std::string title;
        std::string text;
        uint32_t modified;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Document() {
        return {app->document.path, app->document.named, WindowText(app->main), DocumentText(),
                editor().Buffer().modified};
    }

    std::unique_ptr<EditorApp> owned;
    EditorApp* app = nullptr;
    std::vector<std::string> cleanup;
};

TEST_F(DocumentsTest, OpenAndSaveKeepEveryByte) {
    const std::string path = TempPath("stx_round_trip.txt");
    const std::vector<std::string> contents = {
        "first line\r\nsecond line\r\n",
        std::string("NUL\0inside\r\n\0\0\r\nand at the end\0", 33),
        std::string(1200, 'x') + "\r\n" + std::string(1200, 'y'),
        "",
        "lone\nLF, lone\rCR, CR before a break\r\r\n\r\n",
    };
    for (const std::string& content : contents) {
        SCOPED_TRACE(content.substr(0, 40));
        WriteBytes(path, content);
        editor().Buffer().modified = 1;
        ASSERT_TRUE(OpenDocument(*app, path));
        EXPECT_EQ(editor().Buffer().TotalBytes(), content.size());
        EXPECT_EQ(editor().Buffer().modified, 0u);
        EXPECT_TRUE(app->document.named);
        EXPECT_EQ(StatusNotice(), "File opened successfully");

        // The file is gone before the save, so what comes back is the editor's text.
        ASSERT_TRUE(DeleteFileA(path.c_str()));
        editor().Buffer().modified = 1;
        EXPECT_EQ(SaveCurrentDocument(*app), SaveResult::Saved);
        EXPECT_EQ(ReadBytes(path), content);
        EXPECT_EQ(editor().Buffer().modified, 0u);
        EXPECT_EQ(StatusNotice(), "File written successfully");
    }
}

TEST_F(DocumentsTest, RelativeNameGivesFullPathInStoredCase) {
    const std::string path = TempPath("StoredCase.TXT");
    WriteBytes(path, "case\r\n");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(TempDirectory().c_str()));
    char here[MAX_PATH];
    GetFullPathNameA(".", sizeof here, here, nullptr);

    const bool opened = OpenDocument(*app, "storedcase.txt");
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(opened);
    const std::string expected = std::string(here) + "\\StoredCase.TXT";
    EXPECT_EQ(app->document.path, expected);
    EXPECT_EQ(WindowText(app->main), "Stratext: " + expected);
    EXPECT_EQ(DocumentText(), "case\r\n");
}

TEST_F(DocumentsTest, OpenCommandOpensTheChosenFile) {
    const std::string path = TempPath("stx_chosen.txt");
    WriteBytes(path, "chosen\r\n");
    auto choose = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), path.c_str()); };
    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { OpenCommand(*app, IDM_FILE_OPEN); }, {{IDOK, choose}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Open");
    EXPECT_EQ(boxes[0].owner, app->main);
    EXPECT_EQ(DocumentText(), "chosen\r\n");
    EXPECT_EQ(WindowText(app->main), "Stratext: " + path);
}

TEST_F(DocumentsTest, FailedOpenReportsAndChangesNothing) {
    const std::string path = TempPath("stx_kept.txt");
    WriteBytes(path, "kept\r\n");
    ASSERT_TRUE(OpenDocument(*app, path));
    TypeText("kept, and edited");
    const Snapshot before = Document();

    const std::string missing = TempDirectory() + "stx_no_such_file.txt";
    std::vector<SeenBox> boxes;
    EXPECT_FALSE(
        AnswerBoxes<bool>([&] { return OpenDocument(*app, missing); }, {{IDOK, {}}}, boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Big fucking error");
    EXPECT_EQ(boxes[0].owner, app->main);
    EXPECT_EQ(boxes[0].text, ErrorReportText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(StatusNotice(), "Error opening file");
    EXPECT_EQ(Document(), before);

    // A folder cannot be read as a document either; the notice follows the language.
    app->settings.language = UiLanguage::Romanian;
    boxes.clear();
    EXPECT_FALSE(AnswerBoxes<bool>([&] { return OpenDocument(*app, TempDirectory()); },
                                   {{IDOK, {}}}, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(StatusNotice(), "Eroare deschidere fisier");
    EXPECT_EQ(Document(), before);
}

TEST_F(DocumentsTest, FileOf4GiBIsRefusedWithoutTruncating) {
    const std::string path = TempPath("stx_huge.bin");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL; // sparse: no disk space is used
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);

    TypeText("unsaved");
    const Snapshot before = Document();
    std::vector<SeenBox> boxes;
    EXPECT_FALSE(AnswerBoxes<bool>([&] { return OpenDocument(*app, path); }, {{IDOK, {}}}, boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Stratext");
    EXPECT_EQ(boxes[0].text.rfind("File too large to open\r\n", 0), 0u) << boxes[0].text;
    EXPECT_EQ(StatusNotice(), "File too large to open");
    EXPECT_EQ(Document(), before);
}

TEST_F(DocumentsTest, ReadOnlyFileIsSavedAndStaysReadOnly) {
    const std::string path = TempPath("stx_read_only.txt");
    WriteBytes(path, "old\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(OpenDocument(*app, path));
    TypeText("new text\r\n");

    EXPECT_EQ(SaveCurrentDocument(*app), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path), "new text\r\n");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(editor().Buffer().modified, 0u);
}

TEST_F(DocumentsTest, SaveAsProposesNameWithoutStreamAndAddsTxt) {
    const std::string base = TempPath("stx_streamed.txt");
    app->document = {base + ":notes", true};
    TypeText("saved as\r\n");
    const Snapshot before = Document();

    // Cancel: the dialog showed the name without its stream, nothing changed.
    std::vector<SeenBox> boxes;
    EXPECT_EQ(AnswerBoxes<SaveResult>([&] { return SaveCurrentDocumentAs(*app); }, {{IDCANCEL, {}}},
                                      boxes),
              SaveResult::Cancelled);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Save as ...");
    EXPECT_EQ(boxes[0].owner, app->main);
    ASSERT_NE(boxes[0].fileNameField, nullptr);
    EXPECT_NE(boxes[0].fileName.find("stx_streamed.txt"), std::string::npos) << boxes[0].fileName;
    EXPECT_EQ(boxes[0].fileName.find(":notes"), std::string::npos) << boxes[0].fileName;
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(GetFileAttributesA(base.c_str()), INVALID_FILE_ATTRIBUTES);

    // A name typed without an extension is saved with ".txt".
    const std::string typed = TempDirectory() + "stx_report";
    const std::string saved = TempPath("stx_report.txt");
    boxes.clear();
    auto typeName = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), typed.c_str()); };
    EXPECT_EQ(AnswerBoxes<SaveResult>([&] { return SaveCurrentDocumentAs(*app); },
                                      {{IDOK, typeName}}, boxes),
              SaveResult::Saved);
    EXPECT_EQ(ReadBytes(saved), "saved as\r\n");
    EXPECT_TRUE(app->document.named);
    EXPECT_EQ(app->document.path, saved);
    EXPECT_EQ(WindowText(app->main), "Stratext: " + saved);
    EXPECT_EQ(editor().Buffer().modified, 0u);
}

TEST_F(DocumentsTest, SaveQuestionAnswers) {
    const std::string path = TempPath("stx_question.txt");
    const std::string dropped = TempPath("stx_dropped.txt");
    WriteBytes(path, "on disk\r\n");
    WriteBytes(dropped, "dropped\r\n");
    ASSERT_TRUE(OpenDocument(*app, path));

    // Cancel stops the command: no open dialog, nothing saved.
    TypeText("edited\r\n");
    std::vector<SeenBox> boxes = AnswerBoxes([&] { OpenCommand(*app, IDM_FILE_OPEN); },
                                             {{IDCANCEL, {}}, {IDCANCEL, {}, 1000}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Stratext");
    EXPECT_EQ(boxes[0].text, kSaveQuestion);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(ReadBytes(path), "on disk\r\n");
    EXPECT_EQ(DocumentText(), "edited\r\n");

    // No: the dropped file replaces the text, the old file is untouched.
    boxes.clear();
    EXPECT_TRUE(
        AnswerBoxes<bool>([&] { return OpenDroppedFile(*app, dropped); }, {{IDNO, {}}}, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(ReadBytes(path), "on disk\r\n");
    EXPECT_EQ(DocumentText(), "dropped\r\n");
    EXPECT_EQ(app->document.path, dropped);
    EXPECT_EQ(editor().Buffer().modified, 0u);

    // Yes: saved first, then the action goes on.
    TypeText("edited again\r\n");
    boxes.clear();
    EXPECT_TRUE(
        AnswerBoxes<bool>([&] { return AskToSaveBeforeReplacing(*app); }, {{IDYES, {}}}, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(ReadBytes(dropped), "edited again\r\n");
    EXPECT_EQ(editor().Buffer().modified, 0u);

    // Yes on a document without a name, then Save As cancelled: the action stops.
    app->document = {};
    TypeText("never saved");
    boxes.clear();
    EXPECT_FALSE(AnswerBoxes<bool>([&] { return AskToSaveBeforeReplacing(*app); },
                                   {{IDYES, {}}, {IDCANCEL, {}}}, boxes));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Save as ...");
    EXPECT_EQ(editor().Buffer().modified, 1u);
}

TEST_F(DocumentsTest, FailedSaveIsReportedAndStaysModified) {
    const std::string folder = TempPath("stx_folder_in_the_way");
    RemoveDirectoryA(folder.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string locked = TempPath("stx_locked.txt");
    WriteBytes(locked, "locked\r\n");

    struct Case {
        const char* what;
        std::string path;
    };
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const Case& c : {Case{"a folder in place of the file", folder},
                          Case{"a file open without sharing", locked}}) {
        SCOPED_TRACE(c.what);
        app->document = {c.path, true};
        TypeText("unsaved\r\n");
        std::vector<SeenBox> boxes;
        EXPECT_EQ(
            AnswerBoxes<SaveResult>([&] { return SaveCurrentDocument(*app); }, {{IDOK, {}}}, boxes),
            SaveResult::Failed);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Big fucking error");
        EXPECT_EQ(boxes[0].owner, app->main);
        EXPECT_EQ(StatusNotice(), "Error writing file");
        EXPECT_EQ(editor().Buffer().modified, 1u);

        // Asked before replacing, Yes with this failing save stops the action.
        boxes.clear();
        EXPECT_FALSE(AnswerBoxes<bool>([&] { return AskToSaveBeforeReplacing(*app); },
                                       {{IDYES, {}}, {IDOK, {}}}, boxes));
        EXPECT_EQ(boxes.size(), 2u);
        EXPECT_EQ(editor().Buffer().modified, 1u);
        EXPECT_EQ(DocumentText(), "unsaved\r\n");
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(locked), "locked\r\n");
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(folder.c_str());
}

} // namespace stx::test
