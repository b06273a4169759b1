// Main-window commands of the Edit menu and the keys that have no menu item.
#include <windows.h>

#include "app/command_ids.h"
#include "editor_fixture.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

} // namespace

class EditCommandsTest : public EditorTest {
  protected:
    // Runs Copy to and answers its save dialog with `path`.
    void CopyTo(const std::string& path) {
        DriveDialog<int>([&] { return static_cast<int>(Command(IDM_EDIT_COPY_TO)); },
                         [&](HWND dialog) {
                             HWND field = GetDlgItem(dialog, 1148);
                             if (!field) field = GetDlgItem(dialog, 1152);
                             SetWindowTextA(field, path.c_str());
                             PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                         });
    }
};

TEST_F(EditCommandsTest, CopyToWritesSelectionOrWholeText) {
    const std::string path = TempPath("stratext copy to.txt");
    DeleteFileA(path.c_str());
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::string("one\r\ntwo").c_str()));
    CopyTo(path);
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo");
    EXPECT_EQ(StatusPart(0), "File written successfully");

    Select(2, 6);
    CopyTo(path);
    EXPECT_EQ(ReadFileBytes(path), "e\r\nt");
    DeleteFileA(path.c_str());
}

TEST_F(EditCommandsTest, CopyToUnwritableFileIsReportedNotSuccess) {
    // Another handle holds the file open without sharing.
    const std::string path = TempPath("stratext copy to locked.txt");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
    // The save dialog gets the name and OK; the error box after it gets OK.
    std::string errorCaption;
    std::thread helper([&, ui = GetCurrentThreadId()] {
        for (int box = 0; box < 2; ++box) {
            HWND dialog = WaitForDialogOfThread(ui);
            if (!dialog) return;
            if (box == 1) errorCaption = WindowText(dialog);
            if (box == 0) {
                HWND field = GetDlgItem(dialog, 1148);
                if (!field) field = GetDlgItem(dialog, 1152);
                SetWindowTextA(field, path.c_str());
            }
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            for (int wait = 0; wait < 2000 && IsWindow(dialog) && IsWindowVisible(dialog); ++wait)
                Sleep(5);
        }
    });
    Command(IDM_EDIT_COPY_TO);
    helper.join();
    EXPECT_EQ(errorCaption, "Big fucking error");
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

    EXPECT_EQ(ViewEditor().overwrite, 0);
    Command(IDM_EDIT_OVERWRITE);
    EXPECT_EQ(ViewEditor().overwrite, 1);
}

TEST_F(EditCommandsTest, TemplatesReplaceTheTextUnmodified) {
    Command(IDM_TEMPLATE_TASM);
    EXPECT_EQ(Text().rfind("cseg\tsegment public para 'CODE'\r\n", 0), 0u);
    EXPECT_EQ(View(EM_GETMODIFY), 0);
    EXPECT_EQ(WindowText(app->main), "Stratext - Untitled");
}

TEST(PrintSwitch, ExitsWithoutShowingTheEditor) {
    TempFile doc("stratext print.txt", "print me");
    ProgramProcess program("\"/3 " + doc.Path() + "\"");
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(program.WaitForWindow("Stratext", 0), nullptr);
}

} // namespace stx::test
