// Opening and saving documents in the running editor: bytes on disk, the
// title, the status notices, the save question before the text is replaced or
// the window closes, the failure reports, and the streams of a file, with
// every box answered from a helper thread.
#include "platform/documents.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <functional>
#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/report_error.h"
#include "platform/streams.h"
#include "text/templates.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

class DocumentsTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        app->editor.Buffer().convertLineBreaks = false;
    }

    // A file dropped on the view as the shell hands it over: DROPFILES
    // followed by the name list. The view posts the drop to the main window.
    void Drop(const std::string& path) {
        HGLOBAL block =
            GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
        auto* files = static_cast<DROPFILES*>(GlobalLock(block));
        files->pFiles = sizeof(DROPFILES);
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.data(), path.size());
        GlobalUnlock(block);
        View(WM_DROPFILES, reinterpret_cast<WPARAM>(block));
        Pump();
    }

    // The document as the user sees it: its name, whether it has one, the
    // title, the text and whether it is modified.
    struct Snapshot {
        std::string path;
        bool named;
        std::string title;
        std::string text;
        LRESULT modified;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Document() {
        return {app->document.path, app->document.named, WindowText(app->main), Text(),
                View(EM_GETMODIFY)};
    }

    ScratchDirectory dir{"stx documents"};
};

TEST_F(DocumentsTest, OpenAndSaveKeepEveryByteAndTheReadOnlyMark) {
    const std::string path = dir / "stx_round_trip.txt";
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
        View(EM_SETMODIFY, 1);
        ASSERT_TRUE(OpenDocument(*app, path));
        EXPECT_EQ(app->editor.Buffer().TotalBytes(), content.size());
        EXPECT_EQ(View(EM_GETMODIFY), 0);
        EXPECT_EQ(StatusPart(0), "File opened successfully");

        // The file is gone before the save, so what comes back is the editor's text.
        ASSERT_TRUE(DeleteFileA(path.c_str()));
        View(EM_SETMODIFY, 1);
        EXPECT_EQ(SaveCurrentDocument(*app), SaveResult::Saved);
        EXPECT_EQ(ReadBytes(path), content);
        EXPECT_EQ(View(EM_GETMODIFY), 0);
        EXPECT_EQ(StatusPart(0), "File written successfully");
    }

    // A read-only file is saved and stays read-only.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    SetText("new text\r\n");
    EXPECT_EQ(SaveCurrentDocument(*app), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path), "new text\r\n");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
}

TEST_F(DocumentsTest, RelativeNameGivesFullPathInStoredCase) {
    const std::string path = dir / "StoredCase.TXT";
    WriteBytes(path, "case\r\n");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    char here[MAX_PATH];
    GetFullPathNameA(".", sizeof here, here, nullptr);

    const bool opened = OpenDocument(*app, "storedcase.txt");
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(opened);
    EXPECT_EQ(WindowText(app->main), std::string("Stratext: ") + here + "\\StoredCase.TXT");
    EXPECT_EQ(Text(), "case\r\n");
}

TEST_F(DocumentsTest, FailedOpenReportsAndChangesNothingAndA4GiBFileIsRefused) {
    const std::string path = dir / "stx_kept.txt";
    WriteBytes(path, "kept\r\n");
    ASSERT_TRUE(OpenDocument(*app, path));
    SetText("kept, and edited");
    const Snapshot before = Document();

    const std::string missing = TempDirectory() + "stx_no_such_file.txt";
    std::vector<SeenBox> boxes;
    EXPECT_FALSE(
        AnswerBoxes<bool>([&] { return OpenDocument(*app, missing); }, {{IDOK, {}}}, boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, app->main);
    EXPECT_EQ(boxes[0].text, ErrorReportText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(StatusPart(0), "Error opening file");
    EXPECT_EQ(Document(), before);

    // A folder cannot be read as a document either.
    EXPECT_FALSE(AnswerBoxes<bool>([&] { return OpenDocument(*app, TempDirectory()); },
                                   {{IDOK, {}}}, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Document(), before);

    // A file of 4 GiB is refused, never read cut short.
    const std::string huge = dir / "stx_huge.bin";
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL; // sparse: no disk space is used
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_FALSE(AnswerBoxes<bool>([&] { return OpenDocument(*app, huge); }, {{IDOK, {}}}, boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("File too large to open\r\n", 0), 0u) << boxes[0].text;
    EXPECT_EQ(StatusPart(0), "File too large to open");
    EXPECT_EQ(Document(), before);
}

TEST_F(DocumentsTest, SaveAsProposesNameWithoutStreamAndAddsTxt) {
    const std::string base = dir / "stx_streamed.txt";
    app->document = {base + ":notes", true};
    SetText("saved as\r\n");
    const Snapshot before = Document();

    // Cancel: the dialog showed the name without its stream, nothing changed.
    std::vector<SeenBox> boxes;
    EXPECT_EQ(AnswerBoxes<SaveResult>([&] { return SaveCurrentDocumentAs(*app); }, {{IDCANCEL, {}}},
                                      boxes),
              SaveResult::Cancelled);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, app->main);
    EXPECT_NE(boxes[0].fileName.find("stx_streamed.txt"), std::string::npos) << boxes[0].fileName;
    EXPECT_EQ(boxes[0].fileName.find(":notes"), std::string::npos) << boxes[0].fileName;
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(GetFileAttributesA(base.c_str()), INVALID_FILE_ATTRIBUTES);

    // A name typed without an extension is saved with ".txt".
    const std::string typed = dir / "stx_report";
    const std::string saved = dir / "stx_report.txt";
    boxes.clear();
    auto typeName = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), typed.c_str()); };
    EXPECT_EQ(AnswerBoxes<SaveResult>([&] { return SaveCurrentDocumentAs(*app); },
                                      {{IDOK, typeName}}, boxes),
              SaveResult::Saved);
    EXPECT_EQ(ReadBytes(saved), "saved as\r\n");
    EXPECT_EQ(WindowText(app->main), "Stratext: " + saved);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
}

TEST_F(DocumentsTest, CommandsThatReplaceTheTextAskFirst) {
    const std::string path = dir / "stx_asked.txt";
    WriteBytes(path, "from disk\r\n");
    auto typeName = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), path.c_str()); };
    struct Case {
        const char* what;
        std::function<void()> action;
        std::vector<BoxAnswer> afterNo; // boxes after the question answered No
        std::string replaced;
        std::string title;
    };
    const Case cases[] = {
        {"New", [&] { Command(IDM_FILE_NEW); }, {}, "", "Stratext - Untitled"},
        {"MASM32 template",
         [&] { Command(IDM_TEMPLATE_MASM32); },
         {},
         kMasm32Template,
         "Stratext - Untitled"},
        {"Open",
         [&] { Command(IDM_FILE_OPEN); },
         {{IDOK, typeName}},
         "from disk\r\n",
         "Stratext: " + path},
        {"dropped file", [&] { Drop(path); }, {}, "from disk\r\n", "Stratext: " + path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetText("unsaved");
        // Cancel stops the action before any dialog of its own.
        std::vector<SeenBox> seen = AnswerBoxes(c.action, {{IDCANCEL, {}}, {IDCANCEL, {}, 1000}});
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Stratext");
        EXPECT_EQ(seen[0].text, kSaveQuestion);
        EXPECT_EQ(seen[0].owner, nullptr);
        EXPECT_EQ(Text(), "unsaved");
        EXPECT_EQ(View(EM_GETMODIFY), 1);

        std::vector<BoxAnswer> answers{{IDNO, {}}};
        answers.insert(answers.end(), c.afterNo.begin(), c.afterNo.end());
        seen = AnswerBoxes(c.action, answers);
        ASSERT_EQ(seen.size(), answers.size());
        if (seen.size() == 2) {
            EXPECT_EQ(seen[1].caption, "Open");
            EXPECT_EQ(seen[1].owner, app->main);
        }
        EXPECT_EQ(Text(), c.replaced);
        EXPECT_EQ(View(EM_GETMODIFY), 0);
        EXPECT_EQ(WindowText(app->main), c.title);
    }

    // A dropped name longer than the path buffer is refused, never cut to another name.
    std::vector<SeenBox> seen =
        AnswerBoxes([&] { Drop(path + std::string(9000, 'x')); }, {{IDOK, {}}});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "The name of the dropped file is too long");
    EXPECT_EQ(Text(), "from disk\r\n");

    // Yes without a name asks for one; a cancelled Save As stops the action.
    Command(IDM_FILE_NEW);
    SetText("never saved");
    seen = AnswerBoxes([&] { Command(IDM_FILE_NEW); }, {{IDYES, {}}, {IDCANCEL, {}}});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, "Save as ...");
    EXPECT_EQ(Text(), "never saved");
    EXPECT_EQ(View(EM_GETMODIFY), 1);
}

TEST_F(DocumentsTest, ClosingAsksOnceAndKeepsTheTextUnlessAllowed) {
    // Closing, however it comes, asks once; Cancel keeps the window and the text.
    SetText("unsaved");
    for (int command : {IDM_FILE_EXIT, IDM_ESCAPE}) {
        AnswerBoxes([&] { Command(command); }, {{IDCANCEL, {}}});
        EXPECT_TRUE(IsWindow(app->main)) << command;
    }
    LRESULT kept = 0;
    AnswerBoxes([&] { kept = SendMessageA(app->main, WM_SYSCOMMAND, SC_CLOSE, 0); },
                {{IDCANCEL, {}}});
    EXPECT_EQ(kept, 1);
    // Another program's close, and logging off.
    AnswerBoxes([&] { SendMessageA(app->main, WM_CLOSE, 0, 0); }, {{IDCANCEL, {}}});
    EXPECT_TRUE(IsWindow(app->main));
    LRESULT ending = TRUE;
    AnswerBoxes([&] { ending = SendMessageA(app->main, WM_QUERYENDSESSION, 0, 0); },
                {{IDCANCEL, {}}});
    EXPECT_EQ(ending, FALSE);
    EXPECT_EQ(Text(), "unsaved");
    // Yes with a save that fails keeps everything.
    app->document = {TempDirectory() + "no such folder\\unsaved.txt", true};
    std::vector<SeenBox> seen =
        AnswerBoxes([&] { SendMessageA(app->main, WM_CLOSE, 0, 0); }, {{IDYES, {}}, {IDOK, {}}});
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(IsWindow(app->main));
    EXPECT_EQ(View(EM_GETMODIFY), 1);
    // Yes that saves lets the session end.
    const std::string saved = dir / "stx closing.txt";
    app->document = {saved, true};
    AnswerBoxes([&] { ending = SendMessageA(app->main, WM_QUERYENDSESSION, 0, 0); }, {{IDYES, {}}});
    EXPECT_EQ(ending, TRUE);
    EXPECT_EQ(ReadBytes(saved), "unsaved");
    // No closes, after one question.
    Type("!");
    HWND main = app->main;
    seen = AnswerBoxes([&] { SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0); }, {{IDNO, {}}});
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_FALSE(IsWindow(main));
    // Yes saves, then closes.
    EditorTest::TearDown();
    SetUp();
    SetText("saved on close");
    app->document = {saved, true};
    main = app->main;
    seen = AnswerBoxes([&] { SendMessageA(main, WM_CLOSE, 0, 0); }, {{IDYES, {}}});
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(ReadBytes(saved), "saved on close");
}

TEST_F(DocumentsTest, FailedSaveIsReportedAndStaysModified) {
    const std::string folder = dir / "stx_folder_in_the_way";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string locked = dir / "stx_locked.txt";
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
        SetText("unsaved\r\n");
        std::vector<SeenBox> boxes;
        EXPECT_EQ(
            AnswerBoxes<SaveResult>([&] { return SaveCurrentDocument(*app); }, {{IDOK, {}}}, boxes),
            SaveResult::Failed);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, app->main);
        EXPECT_EQ(StatusPart(0), "Error writing file");
        EXPECT_EQ(View(EM_GETMODIFY), 1);
        EXPECT_EQ(Text(), "unsaved\r\n");
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(locked), "locked\r\n");
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// The stream commands. Wine lists no streams (it has no backup interface) but
// keeps "file:stream" as a file of its own, which is enough to open, create,
// save and delete streams by name; the listing itself is given to the menu as
// the backup interface would report it.
class StreamsTest : public DocumentsTest {
  protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        file = dir / "stratext streams.txt";
        WriteBytes(file, "the file");
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
        link = dir / "stratext link.txt";
        ASSERT_TRUE(OpenDocument(*app, file));
        RebuildStreamList(*app);
    }

    bool ReadOnly() { return GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY; }

    std::string file, link;
};

TEST_F(StreamsTest, ListedStreamsOpenFromTheMenu) {
    WriteBytes(file + ":a:$DATA", "alpha");
    // As the backup interface reports a file with one named stream: the data,
    // the security data and the stream.
    app->streams.Assign(app->streamsPopup, {{1, 0, u""}, {2, 0, u""}, {4, 0, u":a:$DATA"}});
    EXPECT_TRUE(GetMenuState(app->streamsPopup, 10001, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(MenuText(10002), L":a:$DATA");
    EXPECT_TRUE(Checked(IDM_STREAM_DEFAULT));

    Command(10002);
    EXPECT_EQ(Text(), "alpha");
    EXPECT_EQ(app->document.path, file + ":a:$DATA");
    EXPECT_NE(WindowText(app->main).find(":a:$DATA"), std::string::npos);
    EXPECT_TRUE(Checked(10002));
    EXPECT_FALSE(Checked(IDM_STREAM_DEFAULT));

    // Switching streams keeps the list; the default stream is the file again.
    Command(IDM_STREAM_DEFAULT);
    EXPECT_EQ(Text(), "the file");
    EXPECT_EQ(app->document.path, file);
    EXPECT_TRUE(Checked(IDM_STREAM_DEFAULT));
    EXPECT_FALSE(Checked(10002));
    EXPECT_EQ(MenuText(10002), L":a:$DATA");
}

TEST_F(StreamsTest, NewStreamIsCreatedSavedAndDeletedAndAHardLinkMade) {
    auto typeName = [](HWND box) { SetDlgItemTextA(box, IDC_INPUT_EDIT, "notes"); };
    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { Command(IDM_STREAM_NEW); }, {{IDC_DIALOG_OK, typeName}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(app->document.path, file + ":notes");
    EXPECT_EQ(MenuText(10000), L"notes");
    EXPECT_TRUE(Checked(10000));
    EXPECT_TRUE(ReadOnly());

    // The stream is saved like any file.
    Type("in the stream");
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(ReadBytes(file + ":notes"), "in the stream");
    EXPECT_EQ(ReadBytes(file), "the file");

    // Deleting it reopens the file and lists its streams again.
    Command(IDM_STREAM_DELETE);
    EXPECT_EQ(ReadBytes(file + ":notes"), "<missing>");
    EXPECT_EQ(app->document.path, file);
    EXPECT_EQ(Text(), "the file");
    EXPECT_TRUE(Checked(IDM_STREAM_DEFAULT));
    EXPECT_EQ(MenuText(10000), L"");
    EXPECT_TRUE(ReadOnly());

    // With the file itself open, nothing is deleted: the user is told why.
    boxes = AnswerBoxes([&] { Command(IDM_STREAM_DELETE); }, {{IDOK, {}}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kDefaultStreamNotDeleted.english);
    EXPECT_EQ(ReadBytes(file), "the file");

    // A hard link names the same file.
    auto chooseName = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), link.c_str()); };
    boxes = AnswerBoxes([&] { Command(IDM_HARD_LINK_CREATE); }, {{IDOK, chooseName}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kHardLinkTitle);
    EXPECT_EQ(ReadBytes(link), "the file");
}

} // namespace stx::test
