// The compiler configuration dialog driven like a user would: its texts, OK
// and Cancel, Execute now and Exec command.
#include "platform/compile_commands.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "tests/support/memory_settings_store.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

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

    // Opens the dialog, works it with `drive` and closes it with `button`.
    INT_PTR Open(int button, const std::function<void(HWND)>& drive) {
        std::vector<SeenBox> seen;
        return AnswerBoxes<INT_PTR>([&] { return CommandConfigureCompiler(environment); },
                                    {{button, drive}}, seen);
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
    INT_PTR result = Open(IDC_DIALOG_OK, [&](HWND dialog) {
        caption = WindowText(dialog);
        shown = WindowText(GetDlgItem(dialog, IDC_CONFIG_SCRIPT));
        okLabel = WindowText(GetDlgItem(dialog, IDC_DIALOG_OK));
    });
    EXPECT_EQ(caption, "Compiler configuration");
    EXPECT_EQ(shown, settings.configuredScript);
    EXPECT_EQ(okLabel, "&OK");
    EXPECT_EQ(result, IDC_DIALOG_OK);
    EXPECT_TRUE(store.writes.empty());

    result = Open(IDC_DIALOG_OK, [&](HWND dialog) { TypeInto(dialog, "echo changed"); });
    EXPECT_EQ(result, IDC_DIALOG_OK | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo changed");
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0].name, "External assembler commands");

    settings.language = UiLanguage::Romanian;
    result = Open(IDC_DIALOG_CANCEL, [&](HWND dialog) {
        caption = WindowText(dialog);
        TypeInto(dialog, "echo dropped");
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
    SeenBox executed, jumped;
    std::string prompt;
    HWND configureDialog = nullptr;
    const INT_PTR result = Open(IDC_DIALOG_CANCEL, [&](HWND dialog) {
        configureDialog = dialog;
        TypeInto(dialog, "echo from the edit\r\n:jump\r\necho jumped");
        executed = PressAndAnswer(dialog, IDC_CONFIG_EXECUTE, {IDOK});
        PressAndAnswer(dialog, IDC_CONFIG_EXEC_COMMAND,
                       {IDC_DIALOG_OK, [&](HWND input) {
                            prompt = WindowText(GetDlgItem(input, IDC_INPUT_PROMPT));
                            SetDlgItemTextA(input, IDC_INPUT_EDIT, "goto jump");
                        }});
        jumped = AnswerOtherBox(dialog, {IDOK});
    });
    EXPECT_EQ(executed.text, "from the edit\r\njumped");
    EXPECT_EQ(executed.owner, configureDialog);
    EXPECT_EQ(prompt, "Enter command to execute:");
    EXPECT_EQ(jumped.text, "jumped");
    EXPECT_EQ(jumped.owner, configureDialog);
    EXPECT_EQ(state.commandText, "goto jump");
    EXPECT_EQ(result, IDC_DIALOG_CANCEL | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo configured\r\n:later\r\necho later");
}

} // namespace

} // namespace stx::test
