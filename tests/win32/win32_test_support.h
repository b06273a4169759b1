#pragma once
// Helpers shared by the Win32 tests: paths beside the test executable,
// temporary files, starting stratext.exe as a separate process, the editor
// built in-process, and answering the boxes a command shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/editor_start.h"

namespace stx::test {

// Full path of a file in the directory of the running test executable.
std::string PathBesideTests(const std::string& name);
// Polls `done` every 10 ms until it holds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A file in the temporary directory with the given bytes; removed on destruction.
class TempFile {
  public:
    TempFile(const std::string& name, const std::string& bytes);
    ~TempFile();
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// stratext.exe started with a command line; killed on destruction if still running.
class ProgramProcess {
  public:
    explicit ProgramProcess(const std::string& arguments);
    ~ProgramProcess();
    // The process's top-level window of the given class, waited for up to timeoutMs.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 30000) const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long WaitForExit(DWORD timeoutMs = 30000);

  private:
    PROCESS_INFORMATION info_{};
};

std::string WindowText(HWND hwnd);
std::string DlgItemText(HWND dialog, int id);

// The temporary directory, ending in a backslash.
std::string TempDirectory();
// The whole file, or "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// A fresh directory under the temporary folder, removed with its contents afterwards.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    void Remove();
    std::string path_;
};

// The name field of the file dialogs: combo box 1148 or, in older templates, edit 1152.
HWND FileNameField(HWND dialog);
// The window's client area as its WM_PRINTCLIENT paints it, 32-bit top-down
// pixels in 0x00RRGGBB order.
std::vector<uint32_t> CaptureClient(HWND window, int& width, int& height);

// A box as the helper thread saw it before answering.
struct SeenBox {
    std::string caption;
    std::string text; // the message text of a message box
    HWND owner = nullptr;
    std::string fileName; // the file dialogs' name field, when there is one
};

// One answer to a box: what to do with it (on the helper thread), then the
// button to press, and how long to wait for the box (a box that does not come
// ends the answering).
struct BoxAnswer {
    int button;
    std::function<void(HWND)> before = {};
    DWORD waitMs = 10000;
};

// Answers, on a helper thread, each box the calling thread shows in turn,
// while the calling thread runs `action`; records what every box said.
std::vector<SeenBox> AnswerBoxes(const std::function<void()>& action,
                                 const std::vector<BoxAnswer>& answers);
// The same for an action with a result.
template <typename Result>
Result AnswerBoxes(const std::function<Result()>& action, const std::vector<BoxAnswer>& answers,
                   std::vector<SeenBox>& seen) {
    Result result{};
    seen = AnswerBoxes([&] { result = action(); }, answers);
    return result;
}

// From a helper thread working a dialog: answers the next box of the
// dialog's thread; an empty record when no box came.
SeenBox AnswerOtherBox(HWND dialog, const BoxAnswer& answer);
// The same after pressing a button of the dialog (posted, as a click would be).
SeenBox PressAndAnswer(HWND dialog, int button, const BoxAnswer& answer);

// The editor built in-process, with an empty document, for tests that drive
// its windows with messages.
class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    LRESULT View(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Command(int command);
    // Replaces the text as WM_SETTEXT does, leaving the document modified.
    void SetText(const std::string& text);
    void Type(const std::string& text);
    void Key(WORD vk, bool shift = false, bool ctrl = false);
    std::string Text();
    void Select(int start, int end);
    std::pair<DWORD, DWORD> Selection();
    std::string StatusPart(int part);
    // The main menu's item of the command, popups included.
    bool Checked(int command);
    std::wstring MenuText(int command);
    void Pump();

    // What the editor is built with; a fixture may change it before SetUp.
    EditorOptions options;
    std::unique_ptr<EditorApp> owned;
    EditorApp* app = nullptr;
};

} // namespace stx::test
