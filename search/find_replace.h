#pragma once
// Find, Find next, Replace and Go to line above the view: the remembered
// texts and options, where a search starts, whether it wraps, and what is
// reported. The view itself is reached through SearchTarget, which the window
// layer implements with the view's messages and tests with an editor.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stx {

class TextBuffer;

// Longest search or replacement text kept (the dialogs' fields hold 255
// characters with the terminator).
constexpr size_t kMaxSearchText = 254;

// What the dialogs remember for the whole run.
struct SearchMemory {
    std::string searchText;
    std::string replaceText;
    uint32_t flags = 0; // kMatchCase, kMatchWholeWord
};

// The text view as find and replace drive it.
class SearchTarget {
  public:
    virtual ~SearchTarget() = default;
    // The first match at or after start up to the end of the text.
    virtual std::optional<uint32_t> Find(uint32_t start, std::string_view text, uint32_t flags) = 0;
    // Ordered selection; both ends at the caret when there is none.
    virtual void GetSelection(uint32_t& start, uint32_t& end) = 0;
    // Selects [start, end) with the caret at end; start == end places the
    // caret there with no selection. Offsets past the text mean its end.
    virtual void Select(uint32_t start, uint32_t end) = 0;
    virtual void ScrollCaret() = 0;
    // Replaces the selection as one undo step and redraws; false when the
    // text could not be changed (out of memory, document too large).
    virtual bool ReplaceSelection(std::string_view text) = 0;
    // The Replace dialog's "Text not found" box.
    virtual void ReportNotFound() = 0;
};

// A dialog field as it is remembered: at most kMaxSearchText characters.
std::string SearchFieldText(std::string_view field);

// Searches from start to the end, then once more from the top; selects and
// shows a match, or leaves the caret at the end of the text. True on a match.
bool FindForward(SearchTarget& target, uint32_t start, std::string_view text, uint32_t flags);

// Where Find next starts: one after the start of a selection, else the caret.
uint32_t FindNextStart(SearchTarget& target);

// Find (the dialog's OK): from the selection start (the caret without one).
bool FindFromDialog(SearchTarget& target, const SearchMemory& memory);
// Find next; false when there is no search text yet, and Find must open.
bool FindNext(SearchTarget& target, const SearchMemory& memory);

// The Replace dialog's searching and replacing, from its opening to its closing.
class ReplaceSession {
  public:
    ReplaceSession(SearchMemory& memory, SearchTarget& target) : memory_(memory), target_(target) {}

    // A check box toggled: the option changes at once.
    void SetOption(uint32_t flag, bool on);
    // "Find next": true on a match.
    bool FindNext(std::string_view searchField);
    // The first button: "Find first" until a first match, "Replace" after it.
    bool FirstButton(std::string_view searchField, std::string_view replaceField);
    // "Replace all next": replaces every match from the selection start on,
    // stopping early when a replacement fails. False (nothing done, the
    // dialog stays) for an empty search text; otherwise the dialog closes.
    bool ReplaceAll(std::string_view searchField, std::string_view replaceField);
    // Cancel or closing: both fields are remembered.
    void Close(std::string_view searchField, std::string_view replaceField);

    bool FirstButtonReplaces() const { return count_ >= 0; }
    // Replacements made; -1 while the dialog has found nothing.
    int32_t Count() const { return count_; }

  private:
    bool FindFromSelection(bool report);
    bool FindFrom(uint32_t start, bool report);
    bool ReplaceCurrent();

    SearchMemory& memory_;
    SearchTarget& target_;
    int32_t count_ = -1;
};

// Go to line: the offset of the line's first character other than TAB, space
// or NUL. Line 0 means line 1; a line past the last gives a position past the
// end, which selecting clamps to the end of the text.
uint32_t LineJumpOffset(const TextBuffer& buffer, uint32_t line);
// The typed text read with the program's number notation, then the jump.
void GoToLine(SearchTarget& target, const TextBuffer& buffer, std::string_view typed);

} // namespace stx
