#pragma once
// The directory HTML index: in every directory of a tree a page index.html
// (and a copy index.htm) listing its entries with sizes, dates and
// descriptions, linked to its subdirectories and its parent, and a
// robots.txt that hides hidden entries from web robots.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui_language.h"
#include "files/file_attributes.h"

namespace stx {

// One entry as the file system lists it.
struct DirectoryEntry {
    std::string name;
    uint32_t attributes = 0;
    uint64_t time = 0; // last write, 100 ns units since 1601 (UTC)
    uint64_t size = 0;
};

// A moment on the local calendar.
struct CalendarTime {
    int year = 1601;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int weekday = 1; // 0 = Sunday
    int hour = 0;
    int minute = 0;
};

// The same moment in UTC, for sources that have no time zone.
CalendarTime UtcCalendarTime(uint64_t fileTime);

// The file system as the generator sees it. Paths are full, with "\"
// between the parts.
class DirectorySource {
  public:
    virtual ~DirectorySource() = default;
    virtual bool IsDirectory(const std::string& path) = 0;
    // The entries in the order the file system gives them ("." and ".."
    // included where it lists them); false when the directory cannot be read.
    virtual bool List(const std::string& directory, std::vector<DirectoryEntry>& entries) = 0;
    // A whole file, or nothing when there is no such file or it cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // Replaces the file, also a read-only or hidden one; false on failure.
    virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
    virtual CalendarTime LocalTime(uint64_t fileTime) = 0;
};

// What the run shows the user while it lasts.
class IndexPrompter {
  public:
    virtual ~IndexPrompter() = default;
    // The directory being indexed (the status bar).
    virtual void ShowProgress(const std::string& directory) = 0;
    // The description prompt with its caption: the typed text, or nothing on Cancel.
    virtual std::optional<std::string> AskDescription(const std::string& caption) = 0;
};

// The page colours, 0xRRGGBB; the dialog keeps them for the run.
struct IndexColours {
    uint32_t text = 0xFFFFFF;
    uint32_t background = 0x000000;
    uint32_t link = 0xC0FFFF;
};

struct IndexOptions {
    std::string directory; // full path of the top directory
    std::string rootPath = "/";
    std::string descriptionFile = "descript.ion";
    bool recurse = true;
    bool includeHidden = true;
    bool robots = false; // read only while includeHidden is off
    bool prompt = false;
    IndexColours colours;
    UiLanguage language = UiLanguage::English;
};

// The typed root path as the pages use it: backslashes become "/", leading
// blanks and control characters go, one trailing "/" goes, empty is "/".
std::string NormaliseRootPath(std::string_view typed);

enum class IndexResult { Done, NoSuchDirectory };

// Writes the pages of the tree under options.directory. A directory that
// does not exist is refused before anything is written.
IndexResult GenerateIndex(const IndexOptions& options, DirectorySource& source,
                          IndexPrompter& prompter);

// ---- pieces of the page text, shared with the tests --------------------------

// "Friday, March 7th, 2003" / "Vineri, 7 Martie, 2003".
std::string LongDate(const CalendarTime& t, UiLanguage language);
// "3/7/2003, 9:5".
std::string ShortDate(const CalendarTime& t);
// 1234567 as "1,234,567" (English) or "1.234.567" (Romanian).
std::string GroupedSize(uint64_t size, UiLanguage language);
// Six upper-case hexadecimal digits.
std::string ColourText(uint32_t rgb);
// A name as page text: & < > " escaped.
std::string HtmlText(std::string_view text);
// A name as a link target: every byte but letters, digits and - _ . ~ as %XX.
std::string UrlName(std::string_view name);
// The description prompt's caption, shortened to 65 characters when longer
// than 60.
std::string DescriptionCaption(UiLanguage language, std::string_view urlPath,
                               std::string_view name);

} // namespace stx
