// The compiler configuration dialog driven like a user would: its texts, OK
// and Cancel, Execute now and Exec command.
#include "platform/compile_commands.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "tests/support/memory_settings_store.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

struct DialogSearch {
    HWND except;
    HWND found;
};

BOOL CALLBACK FindOtherDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char name[32];
    if (hwnd != search->except && IsWindowVisible(hwnd) && GetClassNameA(hwnd, name, sizeof name) &&
        lstrcmpA(name, "#32770") == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of the thread other than `except`, waited for up to 10 s.
HWND WaitForOtherDialog(DWORD thread, HWND except) {
    DialogSearch search{except, nullptr};
    for (int i = 0; i < 1000 && !search.found; ++i) {
        EnumThreadWindows(thread, FindOtherDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(10);
    }
    return search.found;
}

// Types into the script edit the way the keyboard does: the edit is marked modified.
void TypeInto(HWND dialog, const char* text) {
    HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

class ConfigureDialog : public ::testing::Test {
  protected:
    ConfigureDialog() : document_("stx config demo.asm", "; demo") {
        settings.configuredScript = "echo configured\r\n:later\r\necho later";
        settings.autoSave = true;
        document.path = document_.Path();
        document.named = true;
    }

    INT_PTR Open(const std::function<void(HWND)>& drive) {
        return DriveDialog<INT_PTR>([&] { return CommandConfigureCompiler(environment); }, drive);
    }

    TempFile document_;
    AppSettings settings;
    MemorySettingsStore store;
    DocumentState document;
    CompileState state;
    CompileEnvironment environment{
        nullptr, settings, store, document, state, nullptr, true, [] { return true; }, {}};
};

TEST_F(ConfigureDialog, ShowsTheScriptAndStoresOnlyWhatChanged) {
    std::string caption, shown, okLabel;
    INT_PTR result = Open([&](HWND dialog) {
        caption = WindowText(dialog);
        shown = WindowText(GetDlgItem(dialog, IDC_CONFIG_SCRIPT));
        okLabel = WindowText(GetDlgItem(dialog, IDC_DIALOG_OK));
        PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
    });
    EXPECT_EQ(caption, "Compiler configuration");
    EXPECT_EQ(shown, settings.configuredScript);
    EXPECT_EQ(okLabel, "&OK");
    EXPECT_EQ(result, IDC_DIALOG_OK);
    EXPECT_TRUE(store.writes.empty());

    result = Open([&](HWND dialog) {
        TypeInto(dialog, "echo changed");
        PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
    });
    EXPECT_EQ(result, IDC_DIALOG_OK | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo changed");
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0].name, "External assembler commands");

    settings.language = UiLanguage::Romanian;
    result = Open([&](HWND dialog) {
        caption = WindowText(dialog);
        TypeInto(dialog, "echo dropped");
        PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
    });
    EXPECT_EQ(caption, "Configurare compilator");
    EXPECT_EQ(result, IDC_DIALOG_CANCEL | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo changed");
    EXPECT_EQ(store.writes.size(), 1u);
}

// Execute now runs the edit's text with the dialog owning its boxes; Exec
// command runs one typed line whose jump lands in that script; Cancel then
// puts the script from before the dialog back.
TEST_F(ConfigureDialog, ExecuteNowAndExecCommand) {
    std::vector<SeenBox> boxes;
    HWND configureDialog = nullptr;
    const DWORD uiThread = GetCurrentThreadId();
    auto answerNextBox = [&] {
        HWND box = WaitForOtherDialog(uiThread, configureDialog);
        if (!box) return;
        boxes.push_back(RecordBox(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitUntilGone(box);
    };
    const INT_PTR result = Open([&](HWND dialog) {
        configureDialog = dialog;
        TypeInto(dialog, "echo from the edit\r\n:jump\r\necho jumped");
        PostMessageA(dialog, WM_COMMAND, IDC_CONFIG_EXECUTE, 0);
        answerNextBox();
        PostMessageA(dialog, WM_COMMAND, IDC_CONFIG_EXEC_COMMAND, 0);
        HWND input = WaitForOtherDialog(uiThread, dialog);
        if (input) {
            SeenBox seen = RecordBox(input);
            seen.text = WindowText(GetDlgItem(input, IDC_INPUT_PROMPT));
            boxes.push_back(seen);
            SetDlgItemTextA(input, IDC_INPUT_EDIT, "goto jump");
            PostMessageA(input, WM_COMMAND, IDC_DIALOG_OK, 0);
            WaitUntilGone(input);
        }
        answerNextBox();
        PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
    });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "from the edit\r\njumped");
    EXPECT_EQ(boxes[0].owner, configureDialog);
    EXPECT_EQ(boxes[1].text, "Enter command to execute:");
    EXPECT_EQ(boxes[2].text, "jumped");
    EXPECT_EQ(boxes[2].owner, configureDialog);
    EXPECT_EQ(state.commandText, "goto jump");
    EXPECT_EQ(result, IDC_DIALOG_CANCEL | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo configured\r\n:later\r\necho later");
}

} // namespace

} // namespace stx::test
