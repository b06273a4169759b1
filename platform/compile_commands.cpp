#include "platform/compile_commands.h"

#include <commdlg.h>

#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/input_box.h"
#include "platform/report_error.h"
#include "platform/script_host.h"

namespace stx {

namespace {

constexpr int kCloseBoxResult = 16;
constexpr DWORD kScriptNameBuffer = 8192;
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
void RunCommand(CompileEnvironment& environment, HWND messageOwner, Command command) {
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

OPENFILENAMEA ScriptFileDialog(HWND owner, UiLanguage language, std::vector<char>& name) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = ChooseText(language, kScriptFilter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    return dialog;
}

void LoadScript(HWND dialog, UiLanguage language) {
    std::vector<char> name(kScriptNameBuffer, '\0');
    OPENFILENAMEA request = ScriptFileDialog(dialog, language, name);
    request.lpstrTitle = ChooseText(language, kOpenTitle);
    request.lpstrDefExt = "script";
    if (!GetOpenFileNameA(&request)) return;
    HANDLE file = CreateFileA(name.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError();
        return;
    }
    std::vector<char> text(kScriptCapacity + 1, '\0');
    DWORD got = 0;
    const BOOL read = ReadFile(file, text.data(), kScriptCapacity, &got, nullptr);
    if (!read) ReportLastError();
    CloseHandle(file);
    if (!read) return;
    text[got] = '\0';
    HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
    SetWindowTextA(edit, text.data());
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
}

void SaveScript(HWND dialog, UiLanguage language) {
    std::vector<char> name(kScriptNameBuffer, '\0');
    OPENFILENAMEA request = ScriptFileDialog(dialog, language, name);
    request.lpstrTitle = ChooseText(language, kSaveAsTitle);
    request.lpstrDefExt = "txt";
    request.Flags |= OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&request)) return;
    const std::string text = EditText(GetDlgItem(dialog, IDC_CONFIG_SCRIPT), kScriptCapacity);
    HANDLE file = CreateFileA(name.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError();
        return;
    }
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        ReportLastError();
    CloseHandle(file);
}

void ExecCommand(HWND dialog, CompileEnvironment& environment) {
    if (!environment.askToSave()) return;
    const UiLanguage language = environment.settings.language;
    InputBoxRequest request;
    request.english = language == UiLanguage::English;
    request.prompt = ChooseText(language, kExecCommandPrompt);
    request.text = environment.state.commandText.c_str();
    request.limit = kExecCommandLimit;
    const std::optional<std::string> command = InputBox(environment.main, request);
    if (!command) return;
    environment.state.commandText = *command;
    // The command's boxes belong to the dialog the user works in.
    RunCommand(environment, dialog, [&](CompileContext& context) {
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

INT_PTR CALLBACK ConfigureProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
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
                    RunCommand(environment, dialog, [&](CompileContext& context) {
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
    } catch (...) {
        // Out of memory in a command: the dialog stays as it was.
    }
    return FALSE;
}

} // namespace

void CommandCompile(CompileEnvironment& environment) {
    RunCommand(environment, environment.main, [](CompileContext& context) { Compile(context); });
}

void CommandCompileAndRun(CompileEnvironment& environment) {
    RunCommand(environment, environment.main,
               [](CompileContext& context) { CompileAndRun(context); });
}

void CommandRunExecutable(CompileEnvironment& environment) {
    RunCommand(environment, environment.main,
               [](CompileContext& context) { RunExecutable(context); });
}

INT_PTR CommandConfigureCompiler(CompileEnvironment& environment) {
    ConfigureState state{&environment, environment.settings.configuredScript};
    const int templateId = DialogTemplateFor(IDD_COMPILER_CONFIG, environment.settings.language);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), environment.main,
                        ConfigureProc, reinterpret_cast<LPARAM>(&state));
    if (result > 0 && StoresConfiguredScript(static_cast<int>(result)))
        StoreSetting(environment.store, environment.settings, Setting::ExternalAssemblerCommands);
    return result;
}

} // namespace stx
