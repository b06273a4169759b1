// Main-window commands of the Edit menu and the keys that have no menu item.
#include <windows.h>

#include "app/command_ids.h"
#include "editor_fixture.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

class EditCommandsTest : public EditorTest {
  protected:
    // Runs Copy to, answers its save dialog with `path` and then every box
    // after it with OK; returns the boxes seen.
    std::vector<SeenBox> CopyTo(const std::string& path, size_t boxes = 1) {
        std::vector<BoxAnswer> answers{
            {IDOK, [&](HWND dialog) { SetWindowTextA(FileNameField(dialog), path.c_str()); }}};
        answers.resize(boxes, BoxAnswer{IDOK, {}});
        return AnswerBoxes([&] { Command(IDM_EDIT_COPY_TO); }, answers);
    }
};

TEST_F(EditCommandsTest, CopyToWritesSelectionOrWholeText) {
    const std::string path = TempDirectory() + "stratext copy to.txt";
    DeleteFileA(path.c_str());
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo"));
    CopyTo(path);
    EXPECT_EQ(ReadBytes(path), "one\r\ntwo");
    EXPECT_EQ(StatusPart(0), "File written successfully");

    Select(2, 6);
    CopyTo(path);
    EXPECT_EQ(ReadBytes(path), "e\r\nt");
    DeleteFileA(path.c_str());
}

TEST_F(EditCommandsTest, CopyToUnwritableFileIsReportedNotSuccess) {
    // Another handle holds the file open without sharing.
    const std::string path = TempDirectory() + "stratext copy to locked.txt";
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
    std::vector<SeenBox> seen = CopyTo(path, 2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, "Big fucking error");
    EXPECT_NE(StatusPart(0), "File written successfully");
    CloseHandle(lock);
    DeleteFileA(path.c_str());
}

TEST_F(EditCommandsTest, SelectAllOverwriteAndAddressKey) {
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc\r\nde"));
    Command(IDM_EDIT_SELECT_ALL);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{7}));

    // F4 steps the display mode and switches the address column.
    bool before = app->settings.render.showAddress;
    Command(IDM_DISPLAY_MODE_NEXT);
    EXPECT_NE(app->settings.render.showAddress, before);
    EXPECT_EQ(app->displayMode, 1);
    Command(IDM_DISPLAY_MODE_NEXT);
    EXPECT_EQ(app->settings.render.showAddress, before);

    EXPECT_EQ(app->editor.overwrite, 0);
    Command(IDM_EDIT_OVERWRITE);
    EXPECT_EQ(app->editor.overwrite, 1);
}

TEST_F(EditCommandsTest, TemplatesReplaceTheTextUnmodified) {
    Command(IDM_TEMPLATE_TASM);
    EXPECT_EQ(Text().rfind("cseg\tsegment public para 'CODE'\r\n", 0), 0u);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
    EXPECT_EQ(WindowText(app->main), "Stratext - Untitled");
}

} // namespace stx::test
