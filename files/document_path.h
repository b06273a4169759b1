// The document's name and the decisions around saving it: the path kept after
// an open, the name Save As proposes, "file:stream" names, the save question
// and the notices of opening and saving. The file dialogs, the message box and
// the file operations themselves belong to the window; they reach these rules
// through DocumentUi.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stx {

// DocumentPath lives in an 8,192-byte buffer: 8,191 characters and its zero.
inline constexpr std::size_t kDocumentPathCapacity = 8191;

// The name of the open document. The window title is DocumentTitle(path)
// (app/ui_language.h) while the document is named.
struct DocumentState {
    std::string path;   // full path, possibly followed by ":stream"
    bool named = false; // false at start-up and after New and the templates
};

struct StreamName {
    std::string_view file;
    std::string_view stream; // empty for the unnamed stream
};

// Splits "file:stream" at the first colon after the drive ("C:", or the "\\?\C:"
// and "\\.\C:" forms), so a drive colon is never taken for a stream.
StreamName SplitStreamName(std::string_view path);

// The name Save As proposes: the document's path without its stream part, or
// nothing for a document that has never had a name.
std::string ProposedSaveName(const DocumentState& document);

// A name typed without an extension gets ".txt", as the save dialog adds it.
std::string WithDefaultExtension(std::string_view name);

// DocumentPath after a successful open: the directory of the full path joined
// with the name as the file system stores it (its case, its long form). Without
// a stored name (a stream, or nothing found) the full path itself.
std::string DocumentPathAfterOpen(std::string_view fullPath,
                                  std::optional<std::string_view> storedName);

enum class SaveAnswer : std::uint8_t { Yes, No, Cancel };
enum class SaveResult : std::uint8_t { Saved, Failed, Cancelled };

// What the save commands need from the window.
class DocumentUi {
  public:
    virtual ~DocumentUi() = default;
    // The Yes / No / Cancel question (kSaveQuestion, captioned "Stratext").
    virtual SaveAnswer AskSaveQuestion() = 0;
    // The Save As dialog, starting at `proposed`; nothing when cancelled.
    virtual std::optional<std::string> AskSaveName(std::string_view proposed) = 0;
    // The save proper: attributes cleared and restored, the whole text written,
    // the notice shown and the modified flag cleared on success. False when
    // the file could not be created or not every byte was written; the
    // document then stays modified.
    virtual bool WriteDocument(const std::string& path) = 0;
    // The document took a new name: the title and the stream list follow it.
    virtual void DocumentRenamed(const DocumentState& document) = 0;
};

// Save: to the document's path when it has one, else Save As.
SaveResult SaveDocument(DocumentState& document, DocumentUi& ui);
// Save As: asks for a name; on OK the document takes it, then is saved.
SaveResult SaveDocumentAs(DocumentState& document, DocumentUi& ui);

// The question before an action that would lose the text. An unmodified
// document answers No without asking. Yes saves; a save that fails or a Save As
// that is cancelled answers Cancel, so the action that asked stops instead of
// discarding the unsaved text.
SaveAnswer AskToSave(bool modified, DocumentState& document, DocumentUi& ui);

// Why an open failed.
enum class OpenFailure : std::uint8_t { CannotOpen, TooLarge, ShortRead, OutOfMemory };

} // namespace stx
