#include "platform/streams.h"

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/document_path.h"
#include "platform/file_dialogs.h"

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

void StreamMenu::Reset() {
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (popup_) DeleteMenu(popup_, IDM_STREAM_FIRST + static_cast<UINT>(i), MF_BYCOMMAND);
    records_.clear();
    Check(IDM_STREAM_DEFAULT);
}

bool StreamMenu::Rebuild(const std::string& fileName) {
    Reset();
    std::optional<std::vector<StreamRecord>> listed = ListStreams(fileName);
    if (!listed) return false;
    Assign(std::move(*listed));
    return true;
}

void StreamMenu::Assign(std::vector<StreamRecord> records) {
    Reset();
    records_ = std::move(records);
    for (std::size_t i = 0; i < records_.size(); ++i)
        AddItem(records_[i], i);
}

void StreamMenu::AddItem(const StreamRecord& record, std::size_t index) {
    if (!popup_) return;
    const UINT command = IDM_STREAM_FIRST + static_cast<UINT>(index);
    if (record.name.empty())
        AppendMenuA(popup_, MF_STRING | MF_GRAYED, command, StreamCounterText(index).c_str());
    else
        AppendMenuW(popup_, MF_STRING, command, MenuLabel<std::wstring>(record.name).c_str());
}

int StreamMenu::Append(const std::string& name) {
    StreamRecord record;
    for (char c : name)
        record.name += static_cast<char16_t>(static_cast<unsigned char>(c));
    records_.push_back(record);
    const int command = IDM_STREAM_FIRST + static_cast<int>(records_.size() - 1);
    if (popup_) AppendMenuA(popup_, MF_STRING, command, MenuLabel<std::string>(name).c_str());
    return command;
}

void StreamMenu::Check(int command) {
    if (popup_ && command != current_) {
        CheckMenuItem(popup_, static_cast<UINT>(current_), MF_BYCOMMAND | MF_UNCHECKED);
    }
    if (popup_) CheckMenuItem(popup_, static_cast<UINT>(command), MF_BYCOMMAND | MF_CHECKED);
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
    FileDialog request;
    request.owner = owner;
    request.filter = ChooseText(language, kDocumentFilter);
    request.title = kHardLinkTitle;
    request.defaultExtension = "txt";
    request.save = true;
    const auto name = AskFileName(request);
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

} // namespace stx
