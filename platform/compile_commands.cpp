#include "platform/compile_commands.h"

#include <commdlg.h>

#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/documents.h"
#include "platform/editor_app.h"
#include "platform/failure_guard.h"
#include "platform/file_dialog.h"
#include "platform/file_io.h"
#include "platform/input_box.h"
#include "platform/report_error.h"
#include "platform/script_host.h"
#include "platform/text_window.h"

namespace stx {

namespace {

constexpr int kCloseBoxResult = 16;
constexpr int kExecCommandLimit = 8192;

Win32ScriptHost HostFor(CompileEnvironment& environment, HWND messageOwner) {
    ScriptHostWindows windows;
    windows.messageOwner = messageOwner;
    windows.mainWindow = environment.main;
    windows.status = environment.status;
    windows.ntFamily = environment.ntFamily;
    if (environment.viewFile) {
        // The view belongs to the window whose run shows it, so a view shown
        // from the configuration dialog leaves the main window disabled.
        windows.viewFile = [&environment, messageOwner](const std::string& path,
                                                        const std::string& caption,
                                                        const std::string& failureText) {
            environment.viewFile(messageOwner, path, caption, failureText);
        };
    }
    return Win32ScriptHost(std::move(windows));
}

template <typename Command>
void RunWithHost(CompileEnvironment& environment, HWND messageOwner, Command command) {
    Win32ScriptHost host = HostFor(environment, messageOwner);
    CompileContext context{host,
                           environment.state,
                           environment.settings.configuredScript,
                           environment.document,
                           environment.settings.language,
                           environment.askToSave};
    command(context);
}

// ---- the configuration dialog --------------------------------------------------------

struct ConfigureState {
    CompileEnvironment* environment;
    std::string scriptAtStart; // what Cancel goes back to
};

std::string EditText(HWND edit, std::size_t limit) {
    std::vector<char> text(limit + 1, '\0');
    const int length = GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

FileDialogRequest ScriptFileDialog(HWND owner, UiLanguage language) {
    FileDialogRequest request;
    request.owner = owner;
    request.filter = ChooseText(language, kScriptFilter);
    return request;
}

void LoadScript(HWND dialog, UiLanguage language) {
    FileDialogRequest request = ScriptFileDialog(dialog, language);
    request.title = ChooseText(language, kOpenTitle);
    request.defaultExtension = "script";
    const std::optional<std::string> name = AskOpenFileName(request);
    if (!name) return;
    HANDLE file = CreateFileA(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError(dialog);
        return;
    }
    std::vector<char> text(kScriptCapacity + 1, '\0');
    DWORD got = 0;
    const BOOL read = ReadFile(file, text.data(), kScriptCapacity, &got, nullptr);
    if (!read) ReportLastError(dialog);
    CloseHandle(file);
    if (!read) return;
    text[got] = '\0';
    HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
    SetWindowTextA(edit, text.data());
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
}

void SaveScript(HWND dialog, UiLanguage language) {
    FileDialogRequest request = ScriptFileDialog(dialog, language);
    request.title = ChooseText(language, kSaveAsTitle);
    request.defaultExtension = "txt";
    request.flags |= OFN_OVERWRITEPROMPT;
    const std::optional<std::string> name = AskSaveFileName(request);
    if (!name) return;
    const std::string text = EditText(GetDlgItem(dialog, IDC_CONFIG_SCRIPT), kScriptCapacity);
    HANDLE file = CreateFileA(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError(dialog);
        return;
    }
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        ReportLastError(dialog);
    CloseHandle(file);
}

void ExecCommand(HWND dialog, CompileEnvironment& environment) {
    if (!environment.askToSave()) return;
    const UiLanguage language = environment.settings.language;
    InputBoxRequest request;
    request.language = language;
    request.prompt = ChooseText(language, kExecCommandPrompt);
    request.text = environment.state.commandText.c_str();
    request.limit = kExecCommandLimit;
    const std::optional<std::string> command = InputBox(environment.main, request);
    if (!command) return;
    environment.state.commandText = *command;
    // The command's boxes belong to the dialog the user works in.
    RunWithHost(environment, dialog, [&](CompileContext& context) {
        RunScriptNow(context, environment.state.commandText);
    });
    SetFocus(dialog);
}

void EndConfigure(HWND dialog, ConfigureState& state, int result) {
    if (result != IDC_DIALOG_OK) {
        // Execute now put the edit's text in force; Cancel takes it back.
        state.environment->settings.configuredScript = state.scriptAtStart;
    }
    if (SendDlgItemMessageA(dialog, IDC_CONFIG_SCRIPT, EM_GETMODIFY, 0, 0))
        result |= kScriptModifiedBit;
    EndDialog(dialog, result);
}

INT_PTR ConfigureMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    {
        switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* state = reinterpret_cast<ConfigureState*>(lParam);
            HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
            SendMessageA(edit, EM_LIMITTEXT, kScriptCapacity, 0);
            SetWindowTextA(edit, state->environment->settings.configuredScript.c_str());
            SendMessageA(edit, EM_SETSEL, 0, 0);
            SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
            SetFocus(edit);
            return FALSE; // the focus is set
        }
        case WM_CLOSE:
            if (auto* state =
                    reinterpret_cast<ConfigureState*>(GetWindowLongPtrA(dialog, DWLP_USER)))
                EndConfigure(dialog, *state, kCloseBoxResult);
            return TRUE;
        case WM_COMMAND: {
            auto* state = reinterpret_cast<ConfigureState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            if (!state) break;
            CompileEnvironment& environment = *state->environment;
            const UiLanguage language = environment.settings.language;
            HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
            switch (LOWORD(wParam)) {
            case IDC_DIALOG_OK:
                environment.settings.configuredScript = EditText(edit, kScriptCapacity);
                EndConfigure(dialog, *state, IDC_DIALOG_OK);
                return TRUE;
            case IDC_DIALOG_CANCEL:
                EndConfigure(dialog, *state, IDC_DIALOG_CANCEL);
                return TRUE;
            case IDC_CONFIG_LOAD:
                LoadScript(dialog, language);
                return TRUE;
            case IDC_CONFIG_SAVE:
                SaveScript(dialog, language);
                return TRUE;
            case IDC_CONFIG_EXECUTE:
                environment.settings.configuredScript = EditText(edit, kScriptCapacity);
                if (environment.askToSave()) {
                    RunWithHost(environment, dialog, [&](CompileContext& context) {
                        RunScriptNow(context, environment.settings.configuredScript);
                    });
                }
                return TRUE;
            case IDC_CONFIG_EXEC_COMMAND:
                ExecCommand(dialog, environment);
                return TRUE;
            }
            break;
        }
        }
    }
    return FALSE;
}

} // namespace

void CommandCompile(CompileEnvironment& environment) {
    RunWithHost(environment, environment.main, [](CompileContext& context) { Compile(context); });
}

void CommandCompileAndRun(CompileEnvironment& environment) {
    RunWithHost(environment, environment.main,
                [](CompileContext& context) { CompileAndRun(context); });
}

void CommandRunExecutable(CompileEnvironment& environment) {
    RunWithHost(environment, environment.main,
                [](CompileContext& context) { RunExecutable(context); });
}

INT_PTR CommandConfigureCompiler(CompileEnvironment& environment) {
    ConfigureState state{&environment, environment.settings.configuredScript};
    const int templateId = DialogTemplateFor(IDD_COMPILER_CONFIG, environment.settings.language);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), environment.main,
                        GuardedDialogProc<ConfigureMessage>, reinterpret_cast<LPARAM>(&state));
    if (result > 0 && StoresConfiguredScript(static_cast<int>(result)))
        StoreSetting(environment.store, environment.settings, Setting::ExternalAssemblerCommands);
    return result;
}

void ViewFileInTextWindow(HWND owner, const std::string& path, const std::string& caption,
                          const std::string& failureText) {
    std::vector<char> bytes;
    const bool read = ReadWholeFile(path, bytes) == FileReadResult::Ok;
    const std::string_view text =
        read ? std::string_view(bytes.data(), bytes.size()) : std::string_view(failureText);
    if (!ShowTextWindow(owner, caption, text, true)) ReportLastError(owner);
}

void CompileCommand(EditorApp& app, int command) {
    CompileEnvironment environment{app.main,
                                   app.settings,
                                   app.Store(),
                                   app.document,
                                   app.compileState,
                                   &app.Status(),
                                   app.ntPlatform,
                                   [&app] { return AskToSaveBeforeReplacing(app); },
                                   ViewFileInTextWindow};
    switch (command) {
    case IDM_COMPILE:
        CommandCompile(environment);
        break;
    case IDM_COMPILE_RUN:
        CommandCompileAndRun(environment);
        break;
    case IDM_RUN_EXECUTABLE:
        CommandRunExecutable(environment);
        break;
    case IDM_COMPILE_CONFIGURE:
        CommandConfigureCompiler(environment);
        break;
    }
}

} // namespace stx
