// The stream list in a real menu, and streams and hard links on real files.
// Wine lists no streams (it has no backup interface) but keeps "file:stream"
// as a file of its own, which is enough for creating and deleting by name.
#include <windows.h>

#include "app/command_ids.h"
#include "platform/streams.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace stx::test {
namespace {

std::string ItemText(HMENU menu, UINT command) {
    char text[256] = {};
    GetMenuStringA(menu, command, text, sizeof text, MF_BYCOMMAND);
    return text;
}

UINT ItemState(HMENU menu, UINT command) {
    return GetMenuState(menu, command, MF_BYCOMMAND);
}

StreamRecord Named(const char16_t* name) {
    StreamRecord r;
    r.streamId = 4;
    r.name = name;
    return r;
}

TEST(StreamMenu, ListsEveryReportedStreamAndMovesTheCheckMark) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING | MF_CHECKED, IDM_STREAM_DEFAULT, "&Default stream");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    StreamMenu menu(popup);

    // The default data and the security data are unnamed: grayed counters.
    menu.Assign({StreamRecord{1, 10, u""}, Named(u":a:$DATA"), StreamRecord{2, 40, u""},
                 Named(u":b:$DATA")});
    EXPECT_EQ(GetMenuItemCount(popup), 6);
    EXPECT_EQ(ItemText(popup, 10000), "*Stream #00000");
    EXPECT_TRUE(ItemState(popup, 10000) & MF_GRAYED);
    EXPECT_EQ(ItemText(popup, 10001), ":a:$DATA");
    EXPECT_FALSE(ItemState(popup, 10001) & MF_GRAYED);
    EXPECT_EQ(ItemText(popup, 10002), "*Stream #00002");
    EXPECT_EQ(ItemText(popup, 10003), ":b:$DATA");
    EXPECT_TRUE(ItemState(popup, IDM_STREAM_DEFAULT) & MF_CHECKED);

    menu.Check(10001);
    EXPECT_FALSE(ItemState(popup, IDM_STREAM_DEFAULT) & MF_CHECKED);
    EXPECT_TRUE(ItemState(popup, 10001) & MF_CHECKED);
    ASSERT_NE(menu.Find(10001), nullptr);
    EXPECT_EQ(StreamFileName("C:\\a.txt", NarrowStreamName(menu.Find(10001)->name)),
              "C:\\a.txt:a:$DATA");

    // A new stream follows the last one, with its name as typed.
    const int added = menu.Append("notes & more");
    EXPECT_EQ(added, 10004);
    EXPECT_EQ(ItemText(popup, 10004), "notes && more"); // shown with its "&", not underlining
    menu.Check(added);
    EXPECT_FALSE(ItemState(popup, 10001) & MF_CHECKED);

    // A reset leaves the default stream, checked.
    menu.Reset();
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_TRUE(ItemState(popup, IDM_STREAM_DEFAULT) & MF_CHECKED);
    EXPECT_EQ(menu.Find(10000), nullptr);
    DestroyMenu(popup);
}

TEST(StreamFiles, CreateDeleteAndLinkOnRealFiles) {
    const std::string dir = TempDirectory();
    const std::string file = dir + "stratext streams.txt";
    const std::string stream = file + ":notes";
    WriteBytes(file, "the file");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);

    // The file can be listed; a missing one cannot.
    EXPECT_TRUE(ListStreams(file).has_value());
    EXPECT_FALSE(ListStreams(dir + "no such file.txt").has_value());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A read-only file takes a new stream and stays read-only.
    ASSERT_TRUE(CreateStreamFile(stream));
    EXPECT_NE(GetFileAttributesA(stream.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);

    // Deleting the stream leaves the file as it was; the file itself is never deleted.
    ASSERT_TRUE(DeleteStreamFile(stream));
    EXPECT_EQ(GetFileAttributesA(stream.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteStreamFile(file));
    EXPECT_FALSE(DeleteStreamFile(file + "::$DATA"));
    EXPECT_EQ(ReadBytes(file), "the file");
    EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);

    // A hard link is the same file under a second name.
    const std::string link = dir + "stratext link.txt";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(CreateHardLinkTo(file, link)) << GetLastError();
    EXPECT_EQ(ReadBytes(link), "the file");
    EXPECT_FALSE(CreateHardLinkTo(file, link)); // the name is taken

    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(link.c_str());
    DeleteFileA(file.c_str());
}

} // namespace
} // namespace stx::test
