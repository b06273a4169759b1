#include "files/document_path.h"


namespace stx {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Where the search for a stream colon starts: past the first two characters
// (a drive "C:"), or past a "\\?\" or "\\.\" prefix and the drive after it.
std::size_t StreamSearchStart(std::string_view path) {
    if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) {
        if (path.size() >= 6 && IsLetter(path[4]) && path[5] == ':') return 6;
        return 4;
    }
    return 2;
}

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

} // namespace

StreamName SplitStreamName(std::string_view path) {
    const std::size_t start = StreamSearchStart(path);
    const std::size_t colon = start < path.size() ? path.find(':', start) : std::string_view::npos;
    if (colon == std::string_view::npos) return {path, {}};
    return {path.substr(0, colon), path.substr(colon + 1)};
}

std::string ProposedSaveName(const DocumentState& document) {
    if (!document.named) return {};
    return std::string(SplitStreamName(document.path).file);
}

std::string WithDefaultExtension(std::string_view name) {
    std::size_t start = LastSeparator(name);
    start = start == std::string_view::npos ? 0 : start + 1;
    if (start == 0 && name.size() >= 2 && IsLetter(name[0]) && name[1] == ':') start = 2;
    const std::string_view last = name.substr(start);
    std::string result(name);
    // Nothing to name (an empty name or a folder) and names with an extension stay.
    if (last.empty() || last.find('.') != std::string_view::npos) return result;
    result += ".txt";
    return result;
}

std::string DocumentPathAfterOpen(std::string_view fullPath,
                                  std::optional<std::string_view> storedName) {
    const std::string whole(fullPath);
    if (!storedName || storedName->empty()) return whole;
    // A stream keeps its full name, whatever a search for it found.
    if (!SplitStreamName(fullPath).stream.empty()) return whole;
    if (storedName->find_first_of("\\/:*?") != std::string_view::npos) return whole;
    const std::size_t separator = LastSeparator(fullPath);
    if (separator == std::string_view::npos) return whole;
    // A search with wildcards would have found some other file.
    if (fullPath.substr(separator + 1).find_first_of("*?") != std::string_view::npos) return whole;
    std::string path(fullPath.substr(0, separator));
    path += '\\';
    path += *storedName;
    // The long form of a short name may not fit where the short one did.
    return path.size() <= kDocumentPathCapacity ? path : whole;
}

SaveResult SaveDocument(DocumentState& document, DocumentUi& ui) {
    if (!document.named) return SaveDocumentAs(document, ui);
    return ui.WriteDocument(document.path) ? SaveResult::Saved : SaveResult::Failed;
}

SaveResult SaveDocumentAs(DocumentState& document, DocumentUi& ui) {
    std::optional<std::string> name = ui.AskSaveName(ProposedSaveName(document));
    if (!name || name->empty()) return SaveResult::Cancelled;
    if (name->size() > kDocumentPathCapacity) return SaveResult::Failed;
    document.path = std::move(*name);
    document.named = true;
    ui.DocumentRenamed(document);
    return ui.WriteDocument(document.path) ? SaveResult::Saved : SaveResult::Failed;
}

SaveAnswer AskToSave(bool modified, DocumentState& document, DocumentUi& ui) {
    if (!modified) return SaveAnswer::No;
    const SaveAnswer answer = ui.AskSaveQuestion();
    if (answer != SaveAnswer::Yes) return answer;
    return SaveDocument(document, ui) == SaveResult::Saved ? SaveAnswer::Yes : SaveAnswer::Cancel;
}


} // namespace stx
