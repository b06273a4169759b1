#include "platform/documents.h"

#include <windows.h>

#include <richedit.h>

#include <new>
#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/failure_guard.h"
#include "platform/file_dialog.h"
#include "platform/file_io.h"
#include "platform/report_error.h"
#include "platform/streams.h"
#include "platform/text_view.h"
#include "platform/ui_text.h"
#include "text/templates.h"

namespace stx {

namespace {

// clang-format off
inline constexpr BilingualText kShortWriteText{"Not all of the text could be written to the file",
                                               "Textul nu a putut fi scris in intregime in fisier"};
// clang-format on

HWND MainWindow(const EditorApp& app) {
    return app.main && IsWindow(app.main) ? app.main : nullptr;
}

// A problem that has no Windows error behind it: a box that names it and the file.
void ShowFileProblem(EditorApp& app, const BilingualText& problem, const std::string& path) {
    const std::wstring text =
        WideUiText(ChooseText(app.Language(), problem)) + L"\r\n" + WideSystemText(path);
    ShowUiMessage(MainWindow(app), text, kProductName, MB_OK | MB_ICONERROR);
}

void OpenFailed(EditorApp& app, OpenFailure failure, const std::string& path) {
    const BilingualText& notice = OpenFailureNotice(failure);
    if (failure == OpenFailure::CannotOpen)
        ReportLastError(MainWindow(app));
    else
        ShowFileProblem(app, notice, path);
    app.Status().ShowNotice(ChooseText(app.Language(), notice));
}

OpenFailure FailureOf(FileReadResult result) {
    switch (result) {
    case FileReadResult::TooLarge:
        return OpenFailure::TooLarge;
    case FileReadResult::ShortRead:
        return OpenFailure::ShortRead;
    case FileReadResult::OutOfMemory:
        return OpenFailure::OutOfMemory;
    case FileReadResult::Ok:
    case FileReadResult::CannotOpen:
        break;
    }
    return OpenFailure::CannotOpen;
}

// The full path of a name, or nothing (with the last error set) when Windows
// cannot make one that fits DocumentPath.
std::optional<std::string> FullPathOf(const std::string& name) {
    constexpr DWORD kCapacity = kDocumentPathCapacity + 1;
    std::string full(kCapacity, '\0');
    const DWORD length = GetFullPathNameA(name.c_str(), kCapacity, full.data(), nullptr);
    if (length == 0) return std::nullopt;
    if (length >= kCapacity) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::nullopt;
    }
    full.resize(length);
    return full;
}

// The name of the file as the file system stores it, if a search finds it.
std::optional<std::string> StoredName(const std::string& fullPath) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(fullPath.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    return std::string(found.cFileName);
}

// The document's text in its saved form, taken out whole.
std::vector<char> SavedForm(const TextBuffer& buffer, uint32_t offset, uint32_t count) {
    std::vector<char> bytes(size_t{count} + 1);
    bytes.resize(buffer.ExtractRange(count, offset, bytes.data()));
    return bytes;
}

class WindowUi final : public DocumentUi {
  public:
    explicit WindowUi(EditorApp& app) : app_(app) {}

    SaveAnswer AskSaveQuestion() override {
        // Without an owner, as the question has always been asked.
        switch (
            ShowUiMessage(nullptr, kSaveQuestion, kProductName, MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            return SaveAnswer::Yes;
        case IDNO:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel; // a box that could not be shown stops the action too
        }
    }

    std::optional<std::string> AskSaveName(std::string_view proposed) override {
        FileDialogRequest request;
        request.owner = MainWindow(app_);
        request.filter = ChooseText(app_.Language(), kDocumentFilter);
        request.title = ChooseText(app_.Language(), kSaveAsTitle);
        request.defaultExtension = "txt";
        request.initialDirectory = ".";
        request.initialName = proposed;
        request.flags |= OFN_OVERWRITEPROMPT;
        std::optional<std::string> name = AskSaveFileName(request);
        if (!name) return std::nullopt;
        return WithDefaultExtension(*name);
    }

    bool WriteDocument(const std::string& path) override {
        // The text is taken out before the file is touched, so running out of
        // memory leaves the old file as it was.
        const TextBuffer& buffer = app_.editor.Buffer();
        std::vector<char> bytes;
        try {
            bytes = SavedForm(buffer, 0, buffer.TotalBytes());
        } catch (const std::bad_alloc&) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return WriteFailed(DontRestore);
        } catch (const std::length_error&) {
            SetLastError(ERROR_FILE_TOO_LARGE);
            return WriteFailed(DontRestore);
        }
        if (bytes.size() != buffer.TotalBytes()) {
            SetLastError(ERROR_INVALID_DATA);
            return WriteFailed(DontRestore);
        }

        // A read-only, hidden or system file can only be overwritten without
        // those attributes; they are put back afterwards, whatever happened.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const bool restore =
            attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (attributes &
             (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const Restore put{restore ? path.c_str() : nullptr, attributes};

        switch (WriteNewFile(path, {bytes.data(), bytes.size()}, FILE_SHARE_WRITE)) {
        case FileWriteResult::Ok:
            break;
        case FileWriteResult::ShortWrite:
            ShowFileProblem(app_, kShortWriteText, path);
            return WriteFailed(put, false);
        case FileWriteResult::CannotCreate:
        case FileWriteResult::WriteFailed:
            return WriteFailed(put);
        }
        app_.Status().ShowNotice(Notice::FileWritten, app_.Language());
        app_.editor.Buffer().modified = 0;
        put.Apply();
        return true;
    }

    void DocumentRenamed(const DocumentState&) override {
        ShowDocumentTitle(app_);
        // The stream list belongs to the file last opened, no longer the document's.
        ResetStreamList(app_);
    }

  private:
    struct Restore {
        const char* path;
        DWORD attributes;
        void Apply() const {
            if (!path) return;
            const DWORD error = GetLastError();
            SetFileAttributesA(path, attributes);
            SetLastError(error);
        }
    };
    static constexpr Restore DontRestore{nullptr, 0};

    // The report of a save that did not happen; the text stays modified.
    bool WriteFailed(const Restore& put, bool reportLastError = true) {
        if (reportLastError) ReportLastError(MainWindow(app_));
        app_.Status().ShowNotice(Notice::ErrorWritingFile, app_.Language());
        put.Apply();
        return false;
    }

    EditorApp& app_;
};

// New and the templates: after the save question, the view takes the text;
// only when it did are the modified flag and the name cleared.
void ReplaceDocument(EditorApp& app, const char* text) {
    if (!AskToSaveBeforeReplacing(app)) return;
    if (!SendMessageA(app.view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) return;
    SendMessageA(app.view, EM_SETMODIFY, 0, 0);
    app.document.named = false;
    ShowDocumentTitle(app);
}

} // namespace

bool OpenDocument(EditorApp& app, const std::string& name) {
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
        OpenFailed(app, OpenFailure::CannotOpen, name);
        return false;
    }
    const std::optional<std::string> fullPath = FullPathOf(name);
    if (!fullPath) {
        OpenFailed(app, OpenFailure::CannotOpen, name);
        return false;
    }

    DocumentFile file;
    const FileReadResult opened = file.Open(*fullPath);
    if (opened != FileReadResult::Ok) {
        OpenFailed(app, FailureOf(opened), *fullPath);
        return false;
    }
    // NUL bytes are text too: the file's size, not the first 0x00, ends it.
    TextEditor& editor = app.editor;
    const TextStatus status = editor.Parse(file);
    if (status != TextStatus::Ok) {
        OpenFailed(app,
                   status == TextStatus::OutOfMemory  ? OpenFailure::OutOfMemory
                   : status == TextStatus::ReadFailed ? OpenFailure::ShortRead
                                                      : OpenFailure::TooLarge,
                   *fullPath);
        return false;
    }
    editor.Buffer().modified = 0;
    RefreshView(app);

    app.document.named = true;
    app.Status().ShowNotice(Notice::FileOpened, app.Language());
    app.document.path = DocumentPathAfterOpen(*fullPath, StoredName(*fullPath));
    ShowDocumentTitle(app);
    return true;
}

void ShowDocumentTitle(EditorApp& app) {
    HWND main = MainWindow(app);
    if (!main) return;
    if (app.document.named)
        SetWindowTextW(main, WideSystemText(DocumentTitle(app.document.path)).c_str());
    else
        SetUiWindowText(main, UntitledTitle(app.Language()));
}

SaveResult SaveCurrentDocument(EditorApp& app) {
    WindowUi ui(app);
    return SaveDocument(app.document, ui);
}

SaveResult SaveCurrentDocumentAs(EditorApp& app) {
    WindowUi ui(app);
    return SaveDocumentAs(app.document, ui);
}

bool AskToSaveBeforeReplacing(EditorApp& app) {
    WindowUi ui(app);
    return AskToSave(app.editor.Buffer().modified != 0, app.document, ui) != SaveAnswer::Cancel;
}

bool OpenDroppedFile(EditorApp& app, const std::string& path) {
    if (!AskToSaveBeforeReplacing(app) || !OpenDocument(app, path)) return false;
    RebuildStreamList(app);
    return true;
}

void NewDocumentCommand(EditorApp& app, int command) {
    switch (command) {
    case IDM_TEMPLATE_MASM32:
        ReplaceDocument(app, kMasm32Template);
        break;
    case IDM_TEMPLATE_TASM:
        ReplaceDocument(app, kTasmTemplate);
        break;
    default:
        ReplaceDocument(app, "");
        break;
    }
}

void OpenCommand(EditorApp& app, int) {
    if (!AskToSaveBeforeReplacing(app)) return;
    FileDialogRequest request;
    request.owner = MainWindow(app);
    request.filter = ChooseText(app.Language(), kDocumentFilter);
    request.filterIndex = 2; // all files
    request.title = ChooseText(app.Language(), kOpenTitle);
    request.initialDirectory = ".";
    std::optional<std::string> name = AskOpenFileName(request);
    if (name && OpenDocument(app, *name)) RebuildStreamList(app);
}

void SaveCommand(EditorApp& app, int) {
    SaveCurrentDocument(app);
}

void SaveAsCommand(EditorApp& app, int) {
    SaveCurrentDocumentAs(app);
}

void CopyToCommand(EditorApp& app, int) {
    FileDialogRequest request;
    request.owner = MainWindow(app);
    request.filter = ChooseText(app.Language(), kDocumentFilter);
    request.title = ChooseText(app.Language(), kCopyToTitle);
    request.defaultExtension = "*.TXT";
    const std::optional<std::string> name = AskSaveFileName(request);
    if (!name) return;

    // Offsets are unsigned: a selection across 2 GiB is still a selection.
    DWORD start = 0, end = 0;
    SendMessageA(app.view, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    std::string text;
    if (end > start) {
        text.resize(size_t{end - start} + 1);
        const auto got = static_cast<DWORD>(
            SendMessageA(app.view, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data())));
        text.resize(std::min<DWORD>(got, end - start));
    } else {
        const auto length = static_cast<DWORD>(SendMessageA(app.view, WM_GETTEXTLENGTH, 0, 0));
        text.resize(length);
        const auto got = static_cast<DWORD>(
            SendMessageA(app.view, WM_GETTEXT, length, reinterpret_cast<LPARAM>(text.data())));
        text.resize(std::min<DWORD>(got, length));
    }
    // The text is taken out before the file is created, so a failure leaves
    // an existing file alone.
    const FileWriteResult written = WriteNewFile(*name, text);
    if (written == FileWriteResult::CannotCreate || written == FileWriteResult::WriteFailed)
        ReportLastError(MainWindow(app));
    if (written == FileWriteResult::CannotCreate) return;
    // A write that failed or fell short is never reported as success.
    app.Status().ShowNotice(written == FileWriteResult::Ok ? Notice::FileWritten
                                                           : Notice::ErrorWritingFile,
                            app.Language());
}

} // namespace stx
