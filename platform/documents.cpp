#include "platform/documents.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <new>
#include <vector>

#include "app/ui_texts.h"
#include "platform/editor_app.h"
#include "platform/file_io.h"
#include "platform/report_error.h"
#include "platform/text_view.h"
#include "text/text_editor.h"

namespace stx {

namespace {

// The dialogs' name buffer, as large as DocumentPath's.
constexpr DWORD kNameBufferSize = kDocumentPathCapacity + 1;

// clang-format off
inline constexpr BilingualText kShortWriteText{"Not all of the text could be written to the file",
                                               "Textul nu a putut fi scris in intregime in fisier"};
// clang-format on

HWND MainWindow() {
    HWND main = App().main;
    return main && IsWindow(main) ? main : nullptr;
}

TextBuffer& DocumentBuffer() {
    return ViewEditor().Buffer();
}

void ShowDocumentTitle(const DocumentState& document) {
    if (HWND main = MainWindow()) SetWindowTextA(main, DocumentTitle(document.path).c_str());
}

// A problem that has no Windows error behind it: a box that names it and the file.
void ShowFileProblem(const BilingualText& problem, const std::string& path) {
    const std::string text = std::string(ChooseText(App().Language(), problem)) + "\r\n" + path;
    MessageBoxA(MainWindow(), text.c_str(), std::string(kProductName).c_str(),
                MB_OK | MB_ICONERROR);
}

void OpenFailed(OpenFailure failure, const std::string& path) {
    const BilingualText& notice = OpenFailureNotice(failure);
    if (failure == OpenFailure::CannotOpen)
        ReportLastError();
    else
        ShowFileProblem(notice, path);
    Status().ShowNotice(ChooseText(App().Language(), notice));
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
    std::string full(kNameBufferSize, '\0');
    const DWORD length = GetFullPathNameA(name.c_str(), kNameBufferSize, full.data(), nullptr);
    if (length == 0) return std::nullopt;
    if (length >= kNameBufferSize) {
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

class WindowUi final : public DocumentUi {
  public:
    SaveAnswer AskSaveQuestion() override {
        // Without an owner, as the question has always been asked.
        switch (MessageBoxA(nullptr, kSaveQuestion, std::string(kProductName).c_str(),
                            MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            return SaveAnswer::Yes;
        case IDNO:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel; // a box that could not be shown stops the action too
        }
    }

    std::optional<std::string> AskSaveName(std::string_view proposed) override {
        std::vector<char> name(kNameBufferSize, '\0');
        proposed.copy(name.data(), std::min<std::size_t>(proposed.size(), kNameBufferSize - 1));
        const UiLanguage language = App().Language();
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = MainWindow();
        dialog.lpstrFilter = ChooseText(language, kDocumentFilter);
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = name.data();
        dialog.nMaxFile = kNameBufferSize;
        dialog.lpstrInitialDir = ".";
        dialog.lpstrTitle = ChooseText(language, kSaveAsTitle);
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
        dialog.lpstrDefExt = "txt";
        if (!GetSaveFileNameA(&dialog)) return std::nullopt;
        return WithDefaultExtension(name.data());
    }

    bool WriteDocument(const std::string& path) override {
        const UiLanguage language = App().Language();
        const TextBuffer& buffer = DocumentBuffer();
        // The text is taken out before the file is touched, so running out of
        // memory leaves the old file as it was.
        const uint32_t total = buffer.TotalBytes();
        std::vector<char> bytes;
        try {
            bytes.resize(static_cast<std::size_t>(total) + 1);
        } catch (const std::bad_alloc&) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return WriteFailed(language, DontRestore);
        }
        if (buffer.ExtractRange(total + 1, 0, bytes.data()) != total) {
            SetLastError(ERROR_INVALID_DATA);
            return WriteFailed(language, DontRestore);
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

        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return WriteFailed(language, put);

        const char* next = bytes.data();
        DWORD left = total;
        while (left > 0) {
            DWORD written = 0;
            if (!WriteFile(file, next, left, &written, nullptr)) {
                const DWORD error = GetLastError();
                CloseHandle(file);
                SetLastError(error);
                return WriteFailed(language, put);
            }
            if (written == 0 || written > left) {
                // The system took fewer bytes and says nothing about why.
                CloseHandle(file);
                ShowFileProblem(kShortWriteText, path);
                return WriteFailed(language, put, false);
            }
            next += written;
            left -= written;
        }
        if (!CloseHandle(file)) return WriteFailed(language, put);

        Status().ShowNotice(Notice::FileWritten, language);
        DocumentBuffer().modified = 0;
        put.Apply();
        return true;
    }

    void DocumentRenamed(const DocumentState& document) override { ShowDocumentTitle(document); }

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
    static bool WriteFailed(UiLanguage language, const Restore& put, bool reportLastError = true) {
        if (reportLastError) ReportLastError();
        Status().ShowNotice(Notice::ErrorWritingFile, language);
        put.Apply();
        return false;
    }
};

} // namespace

bool OpenDocument(const std::string& name) {
    EditorApp& app = App();
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
        OpenFailed(OpenFailure::CannotOpen, name);
        return false;
    }
    const std::optional<std::string> fullPath = FullPathOf(name);
    if (!fullPath) {
        OpenFailed(OpenFailure::CannotOpen, name);
        return false;
    }

    DocumentFile file;
    const FileReadResult opened = file.Open(*fullPath);
    if (opened != FileReadResult::Ok) {
        OpenFailed(FailureOf(opened), *fullPath);
        return false;
    }
    // NUL bytes are text too: the file's size, not the first 0x00, ends it.
    TextEditor& editor = ViewEditor();
    const TextStatus status = editor.Parse(file);
    if (status != TextStatus::Ok) {
        OpenFailed(status == TextStatus::OutOfMemory  ? OpenFailure::OutOfMemory
                   : status == TextStatus::ReadFailed ? OpenFailure::ShortRead
                                                      : OpenFailure::TooLarge,
                   *fullPath);
        return false;
    }
    editor.Buffer().modified = 0;
    RefreshView();

    app.document.named = true;
    Status().ShowNotice(Notice::FileOpened, app.Language());
    app.document.path = DocumentPathAfterOpen(*fullPath, StoredName(*fullPath));
    ShowDocumentTitle(app.document);
    return true;
}

std::optional<std::string> AskOpenName() {
    const UiLanguage language = App().Language();
    std::vector<char> name(kNameBufferSize, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow();
    dialog.lpstrFilter = ChooseText(language, kDocumentFilter);
    dialog.nFilterIndex = 2; // all files
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kNameBufferSize;
    dialog.lpstrInitialDir = ".";
    dialog.lpstrTitle = ChooseText(language, kOpenTitle);
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    if (!GetOpenFileNameA(&dialog) || name[0] == '\0') return std::nullopt;
    return std::string(name.data());
}

DocumentUi& WindowDocumentUi() {
    static WindowUi ui;
    return ui;
}

bool CommandOpen() {
    if (!AskToSaveBeforeReplacing()) return false;
    const std::optional<std::string> name = AskOpenName();
    return name && OpenDocument(*name);
}

SaveResult CommandSave() {
    return SaveDocument(App().document, WindowDocumentUi());
}

SaveResult CommandSaveAs() {
    return SaveDocumentAs(App().document, WindowDocumentUi());
}

bool AskToSaveBeforeReplacing() {
    return AskToSave(DocumentBuffer().modified != 0, App().document, WindowDocumentUi()) !=
           SaveAnswer::Cancel;
}

bool OpenDroppedFile(const std::string& path) {
    return AskToSaveBeforeReplacing() && OpenDocument(path);
}

} // namespace stx
