#include "platform/streams.h"

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/document_path.h"
#include "platform/documents.h"
#include "platform/editor_app.h"
#include "platform/file_dialog.h"
#include "platform/input_box.h"
#include "platform/report_error.h"
#include "platform/ui_text.h"

#include <algorithm>

namespace stx {

namespace {

using BackupReadFn = BOOL(WINAPI*)(HANDLE, LPBYTE, DWORD, LPDWORD, BOOL, BOOL, LPVOID*);
using BackupSeekFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPDWORD, LPDWORD, LPVOID*);
using CreateHardLinkFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);

// Looked up by name: a system without them simply has no streams or links.
template <typename Fn> Fn KernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                  : nullptr;
}

// Attributes that refuse a change, taken off for it and put back afterwards.
class ClearedAttributes {
  public:
    explicit ClearedAttributes(const std::string& path)
        : attributes_(GetFileAttributesA(path.c_str())) {
        if (attributes_ != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // Restores them on `path` and keeps the thread's last error.
    void RestoreOn(const std::string& path) const {
        if (attributes_ == INVALID_FILE_ATTRIBUTES) return;
        const DWORD error = GetLastError();
        SetFileAttributesA(path.c_str(), attributes_);
        SetLastError(error);
    }

  private:
    DWORD attributes_;
};

// A menu shows "&" as the next letter's underline; a stream name shows as it is.
template <typename Label, typename Name> Label MenuLabel(const Name& name) {
    Label label;
    for (auto c : name) {
        if (c == '&') label += '&';
        label += static_cast<typename Label::value_type>(c);
    }
    return label;
}

} // namespace

std::optional<std::vector<StreamRecord>> ListStreams(const std::string& fileName) {
    static const auto backupRead = KernelFunction<BackupReadFn>("BackupRead");
    static const auto backupSeek = KernelFunction<BackupSeekFn>("BackupSeek");
    if (!backupRead || !backupSeek) return std::vector<StreamRecord>{};

    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    StreamRecordParser parser;
    void* context = nullptr;
    BYTE buffer[kMaxStreamNameBytes];
    while (!parser.Stopped()) {
        const StreamRecordParser::Want want = parser.Next();
        if (want.data) {
            DWORD low = 0;
            DWORD high = 0;
            const BOOL sought =
                backupSeek(file, static_cast<DWORD>(want.bytes),
                           static_cast<DWORD>(want.bytes >> 32), &low, &high, &context);
            parser.Skipped(static_cast<std::uint64_t>(high) << 32 | low);
            if (!sought) break;
        } else {
            DWORD got = 0;
            const auto count =
                static_cast<DWORD>(std::min<std::uint64_t>(want.bytes, sizeof buffer));
            if (!backupRead(file, buffer, count, &got, FALSE, TRUE, &context) || got == 0) break;
            parser.Feed(buffer, got);
        }
    }
    if (context) {
        // Ends the backup context.
        DWORD got = 0;
        backupRead(file, nullptr, 0, &got, TRUE, TRUE, &context);
    }
    CloseHandle(file);
    return parser.Records();
}

std::string NarrowStreamName(const std::u16string& name) {
    if (name.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(name.data());
    const int units = static_cast<int>(name.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, units, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// ---- StreamMenu -------------------------------------------------------------

namespace {

void AddStreamItem(HMENU popup, const StreamRecord& record, std::size_t index) {
    if (!popup) return;
    const UINT command = IDM_STREAM_FIRST + static_cast<UINT>(index);
    if (record.name.empty())
        AppendMenuA(popup, MF_STRING | MF_GRAYED, command, StreamCounterText(index).c_str());
    else
        AppendMenuW(popup, MF_STRING, command, MenuLabel<std::wstring>(record.name).c_str());
}

} // namespace

void StreamMenu::Reset(HMENU popup) {
    if (popup)
        for (std::size_t i = 0; i < records_.size(); ++i)
            DeleteMenu(popup, IDM_STREAM_FIRST + static_cast<UINT>(i), MF_BYCOMMAND);
    records_.clear();
    Check(popup, IDM_STREAM_DEFAULT);
}

bool StreamMenu::Rebuild(HMENU popup, const std::string& fileName) {
    Reset(popup);
    std::optional<std::vector<StreamRecord>> listed = ListStreams(fileName);
    if (!listed) return false;
    Assign(popup, std::move(*listed));
    return true;
}

void StreamMenu::Assign(HMENU popup, std::vector<StreamRecord> records) {
    Reset(popup);
    records_ = std::move(records);
    for (std::size_t i = 0; i < records_.size(); ++i)
        AddStreamItem(popup, records_[i], i);
}

int StreamMenu::Append(HMENU popup, const std::string& name) {
    const int command = IDM_STREAM_FIRST + static_cast<int>(records_.size());
    if (command > kLastStreamCommand) return 0;
    StreamRecord record;
    for (char c : name)
        record.name += static_cast<char16_t>(static_cast<unsigned char>(c));
    records_.push_back(std::move(record));
    if (popup) AppendMenuA(popup, MF_STRING, command, MenuLabel<std::string>(name).c_str());
    return command;
}

void StreamMenu::Check(HMENU popup, int command) {
    if (popup) {
        if (command != current_)
            CheckMenuItem(popup, static_cast<UINT>(current_), MF_BYCOMMAND | MF_UNCHECKED);
        CheckMenuItem(popup, static_cast<UINT>(command), MF_BYCOMMAND | MF_CHECKED);
    }
    current_ = command;
}

const StreamRecord* StreamMenu::Find(int command) const {
    if (command < IDM_STREAM_FIRST) return nullptr;
    const auto index = static_cast<std::size_t>(command - IDM_STREAM_FIRST);
    return index < records_.size() ? &records_[index] : nullptr;
}

// ---- Files ------------------------------------------------------------------

bool CreateStreamFile(const std::string& streamFile) {
    const std::string file(SplitStreamName(streamFile).file);
    const ClearedAttributes cleared(file);
    HANDLE stream = CreateFileA(streamFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool created = stream != INVALID_HANDLE_VALUE;
    if (created) CloseHandle(stream);
    cleared.RestoreOn(file);
    return created;
}

bool DeleteStreamFile(const std::string& streamPath) {
    // Only ever a named stream: the file itself, also as its unnamed data
    // stream "file::$DATA", is never deleted here.
    const StreamName parts = SplitStreamName(streamPath);
    const std::string file(parts.file);
    if (parts.stream.empty() || lstrcmpiA(std::string(parts.stream).c_str(), ":$DATA") == 0) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // The file's attributes guard its streams too.
    const ClearedAttributes cleared(file);
    const bool deleted = DeleteFileA(streamPath.c_str()) != FALSE;
    cleared.RestoreOn(file);
    return deleted;
}

std::optional<std::string> AskHardLinkName(HWND owner, UiLanguage language) {
    FileDialogRequest request;
    request.owner = owner;
    request.filter = ChooseText(language, kDocumentFilter);
    request.title = kHardLinkTitle;
    request.defaultExtension = "txt";
    request.initialDirectory = ".";
    request.flags |= OFN_OVERWRITEPROMPT;
    const std::optional<std::string> name = AskSaveFileName(request);
    if (!name) return std::nullopt;
    return WithDefaultExtension(*name);
}

bool CreateHardLinkTo(const std::string& existingFile, const std::string& newName) {
    static const auto createHardLink = KernelFunction<CreateHardLinkFn>("CreateHardLinkA");
    if (!createHardLink) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    return createHardLink(newName.c_str(), existingFile.c_str(), nullptr) != FALSE;
}

// ---- Commands ---------------------------------------------------------------

namespace {

// The document's file without its stream part; empty for an unnamed document.
std::string BaseName(const EditorApp& app) {
    return app.document.named ? std::string(SplitStreamName(app.document.path).file)
                              : std::string();
}

void Redraw(EditorApp& app) {
    if (app.main) DrawMenuBar(app.main);
}

// A listed stream (10000 on) or the file's own contents (1006).
void OpenStream(EditorApp& app, int command) {
    const std::string base = BaseName(app);
    if (base.empty() || !AskToSaveBeforeReplacing(app)) return;
    std::string name = base;
    if (command != IDM_STREAM_DEFAULT) {
        const StreamRecord* record = app.streams.Find(command);
        if (!record) return;
        name = StreamFileName(base, NarrowStreamName(record->name));
        if (name.empty()) return;
    }
    // The check mark moves only when the stream could be opened.
    if (OpenDocument(app, name)) app.streams.Check(app.streamsPopup, command);
}

void NewStream(EditorApp& app) {
    if (!AskToSaveBeforeReplacing(app)) return;
    const std::string base = BaseName(app);
    if (base.empty()) return;
    InputBoxRequest request;
    request.prompt = kStreamNamePrompt; // the box keeps English buttons in every language
    const std::optional<std::string> answer = InputBox(app.main, request);
    if (!answer) return;
    const std::string streamFile = StreamFileName(base, *answer);
    if (streamFile.empty()) return;
    if (!CreateStreamFile(streamFile)) {
        ReportLastError(app.main);
        return;
    }
    const std::string_view shown =
        answer->front() == ':' ? std::string_view(*answer).substr(1) : std::string_view(*answer);
    const int command = app.streams.Append(app.streamsPopup, std::string(shown));
    if (OpenDocument(app, streamFile) && command != 0) app.streams.Check(app.streamsPopup, command);
    Redraw(app);
}

void DeleteCurrentStream(EditorApp& app) {
    const std::string base = BaseName(app);
    if (base.empty()) return;
    if (!DeleteStreamFile(app.document.path)) {
        if (GetLastError() == ERROR_INVALID_NAME)
            // The default stream is the file itself, which this command never deletes.
            ShowUiMessage(app.main, ChooseText(app.Language(), kDefaultStreamNotDeleted),
                          kProductName, MB_OK | MB_ICONINFORMATION);
        else
            ReportLastError(app.main);
        return;
    }
    if (OpenDocument(app, base)) RebuildStreamList(app);
}

void CreateHardLink(EditorApp& app) {
    if (!app.document.named) SaveCurrentDocumentAs(app);
    const std::string base = BaseName(app);
    if (base.empty()) return;
    const std::optional<std::string> name = AskHardLinkName(app.main, app.Language());
    if (name && !CreateHardLinkTo(base, *name)) ReportLastError(app.main);
}

} // namespace

void StreamCommand(EditorApp& app, int command) {
    switch (command) {
    case IDM_STREAM_NEW:
        NewStream(app);
        break;
    case IDM_HARD_LINK_CREATE:
        CreateHardLink(app);
        break;
    case IDM_STREAM_DELETE:
        DeleteCurrentStream(app);
        break;
    default:
        OpenStream(app, command);
        break;
    }
}

void RebuildStreamList(EditorApp& app) {
    if (!app.ntPlatform || !app.document.named) return;
    if (!app.streams.Rebuild(app.streamsPopup, BaseName(app))) ReportLastError(app.main);
    Redraw(app);
}

void ResetStreamList(EditorApp& app) {
    app.streams.Reset(app.streamsPopup);
    Redraw(app);
}

} // namespace stx
