#pragma once
// The named data streams of the document's file and hard links to it: the
// listing through the backup interface, the stream items of the NTFS Streams
// submenu, and creating and deleting a stream on disk.
#include <windows.h>

#include "app/command_ids.h"
#include "app/ui_language.h"
#include "files/stream_records.h"

#include <optional>
#include <string>
#include <vector>

namespace stx {

class EditorApp;

// The streams of a file in the order the backup interface reports them. An
// empty list where the system has no backup interface or refuses to list;
// nothing, with the last error set, when the file cannot be opened.
std::optional<std::vector<StreamRecord>> ListStreams(const std::string& fileName);

// A stream's reported name in the system's 8-bit code page (for the file
// functions that take such names).
std::string NarrowStreamName(const std::u16string& name);

// The stream list and its items in the submenu: one item per stream from
// command 10000 on, the unnamed ones grayed under their position's counter
// text; one item carries the check mark, "&Default stream" after a rebuild.
class StreamMenu {
  public:
    // Removes the stream items from the popup and checks "&Default stream".
    void Reset(HMENU popup);
    // Lists the streams of a file again. False, with the last error set, when
    // the file cannot be opened; the list is then empty.
    bool Rebuild(HMENU popup, const std::string& fileName);
    // Shows a listed set of streams in place of the current list.
    void Assign(HMENU popup, std::vector<StreamRecord> records);
    // A stream created by the user: appended with the name as typed. Returns
    // its command, or 0 when the menu has no command left for it.
    int Append(HMENU popup, const std::string& name);
    // Moves the check mark to a command's item.
    void Check(HMENU popup, int command);

    int Current() const { return current_; }
    // The record behind a stream command, or null.
    const StreamRecord* Find(int command) const;

  private:
    std::vector<StreamRecord> records_;
    int current_ = IDM_STREAM_DEFAULT;
};

// The last command a stream item can have.
inline constexpr int kLastStreamCommand = 0xFFFF;

// The commands of the streams: New stream (1004), Create hard link (1005),
// Default stream (1006), Delete current stream (1008) and the stream items
// (10000 on).
void StreamCommand(EditorApp& app, int command);
// After a document was opened (not a stream of it): its streams are listed
// again, on the NT family only.
void RebuildStreamList(EditorApp& app);
// After Save As: no stream items, "&Default stream" checked.
void ResetStreamList(EditorApp& app);

// Creates (or opens) a named stream ("file:stream") and closes it again, with
// the file's attributes cleared meanwhile, so a read-only file takes streams
// too. False, with the last error set, when the stream cannot be created.
bool CreateStreamFile(const std::string& streamFile);

// Deletes the open stream (a "file:stream" path), then gives the file back its
// attributes. A path without a stream part is refused: the file itself is never
// deleted. False, with the last error set, when nothing was deleted.
bool DeleteStreamFile(const std::string& streamPath);

// The save dialog that names a new hard link; nothing when cancelled.
std::optional<std::string> AskHardLinkName(HWND owner, UiLanguage language);
// A second name for a file. False, with the last error set, when the system
// cannot make it (or has no hard links).
bool CreateHardLinkTo(const std::string& existingFile, const std::string& newName);

} // namespace stx
