// The stream commands in the running editor, on real files. Wine lists no
// streams (it has no backup interface) but keeps "file:stream" as a file of its
// own, which is enough to open, create, save and delete streams by name; the
// listing itself is given to the menu as the backup interface would report it.
#include <windows.h>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "editor_fixture.h"
#include "platform/documents.h"
#include "platform/input_box.h"
#include "platform/streams.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace stx::test {
namespace {

class StreamsTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        file = TempDirectory() + "stratext streams.txt";
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(file, "the file");
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(OpenDocument(*app, file));
        RebuildStreamList(*app);
    }
    void TearDown() override {
        for (const std::string& path : {file + ":a:$DATA", file + ":notes", link, file}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        EditorTest::TearDown();
    }

    std::string ItemText(UINT command) {
        char text[256] = {};
        GetMenuStringA(app->streamsPopup, command, text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    bool Checked(UINT command) {
        return GetMenuState(app->streamsPopup, command, MF_BYCOMMAND) & MF_CHECKED;
    }
    bool ReadOnly() { return GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY; }

    std::string file;
    std::string link = TempDirectory() + "stratext link.txt";
};

StreamRecord Stream(std::uint32_t id, const char16_t* name) {
    StreamRecord r;
    r.streamId = id;
    r.name = name;
    return r;
}

TEST_F(StreamsTest, ListedStreamsOpenFromTheMenu) {
    WriteBytes(file + ":a:$DATA", "alpha");
    // As the backup interface reports a file with one named stream: the data,
    // the security data and the stream.
    app->streams.Assign(app->streamsPopup,
                        {Stream(1, u""), Stream(2, u""), Stream(4, u":a:$DATA")});
    EXPECT_EQ(ItemText(10000), "*Stream #00000");
    EXPECT_TRUE(GetMenuState(app->streamsPopup, 10001, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(ItemText(10001), "*Stream #00001");
    EXPECT_EQ(ItemText(10002), ":a:$DATA");
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
    EXPECT_EQ(ItemText(10002), ":a:$DATA");

    // A language switch keeps the popup with its items.
    Command(IDM_LANGUAGE_ROMANIAN);
    EXPECT_EQ(ItemText(10002), ":a:$DATA");
}

TEST_F(StreamsTest, NewStreamIsCreatedSavedAndDeleted) {
    auto typeName = [](HWND box) { SetDlgItemTextA(box, IDC_INPUT_EDIT, "notes"); };
    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { Command(IDM_STREAM_NEW); }, {{IDC_DIALOG_OK, typeName}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(app->document.path, file + ":notes");
    EXPECT_EQ(ItemText(10000), "notes");
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
    EXPECT_EQ(ItemText(10000), "");
    EXPECT_TRUE(ReadOnly());

    // With the file itself open, nothing is deleted: the user is told why.
    boxes = AnswerBoxes([&] { Command(IDM_STREAM_DELETE); }, {{IDOK, {}}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kDefaultStreamNotDeleted.english);
    EXPECT_EQ(ReadBytes(file), "the file");
}

TEST_F(StreamsTest, HardLinkNamesTheSameFile) {
    auto chooseName = [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), link.c_str()); };
    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { Command(IDM_HARD_LINK_CREATE); }, {{IDOK, chooseName}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kHardLinkTitle);
    EXPECT_EQ(ReadBytes(link), "the file");
}

} // namespace
} // namespace stx::test
