#include "tools/html_index.h"

#include <algorithm>
#include <cstdio>

#include "app/ui_texts.h"
#include "tools/description_file.h"

namespace stx {

namespace {

// The longest file-system path the run descends into.
constexpr size_t kMaxPath = 8191;

unsigned char Fold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

bool EqualsFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Byte by byte with A-Z folded; a name that begins another sorts first.
bool NameBefore(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

bool IsAbsolutePath(std::string_view name) {
    return (!name.empty() && (name[0] == '\\' || name[0] == '/')) ||
           (name.size() >= 2 && name[1] == ':');
}

std::string JoinPath(const std::string& directory, std::string_view name) {
    if (IsAbsolutePath(name)) return std::string(name);
    std::string path = directory;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += name;
    return path;
}

// A URL path extended by one more part.
std::string UrlJoin(const std::string& url, std::string_view part) {
    std::string joined = url;
    if (joined.empty() || joined.back() != '/') joined += '/';
    joined += part;
    return joined;
}

uint32_t Lower(uint32_t rgb, uint32_t by) {
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const uint32_t c = (rgb >> shift) & 0xFF;
        out |= (c > by ? c - by : 0) << shift;
    }
    return out;
}

std::string DayWithSuffix(int day) {
    const char* suffix = "th";
    if (day % 10 == 1 && day != 11)
        suffix = "st";
    else if (day % 10 == 2 && day != 12)
        suffix = "nd";
    else if (day % 10 == 3 && day != 13)
        suffix = "rd";
    return std::to_string(day) + suffix;
}

struct Row {
    const DirectoryEntry* entry;
    uint64_t time; // a descended directory: also the newest time below it
    bool directory;
    bool parent;
};

class Generator {
  public:
    Generator(const IndexOptions& options, DirectorySource& source, IndexPrompter& prompter)
        : o_(options), source_(source), prompter_(prompter), promptOn_(options.prompt),
          robotsOn_(options.robots && !options.includeHidden) {}

    void Run() {
        const std::string root = NormaliseRootPath(o_.rootPath);
        Index(o_.directory, root, root, 0);
        if (!robots_.empty()) source_.WriteFile(JoinPath(o_.directory, "robots.txt"), robots_);
    }

  private:
    struct Page {
        bool written = false;
        uint64_t bytes = 0;  // files of the page and of every page below it
        uint64_t newest = 0; // the newest row
    };

    // urlText is the page's URL path as typed and named, urlLink the same
    // with the names encoded for links.
    Page Index(const std::string& path, const std::string& urlText, const std::string& urlLink,
               unsigned depth) {
        Page page;
        prompter_.ShowProgress(path);
        std::vector<DirectoryEntry> entries;
        if (!source_.List(path, entries)) return page;
        DescriptionTable descriptions;
        if (!o_.descriptionFile.empty())
            if (auto text = source_.ReadFile(JoinPath(path, o_.descriptionFile)))
                descriptions.Parse(*text);

        std::vector<Row> rows;
        uint64_t ownTime = 0;
        for (const DirectoryEntry& e : entries) {
            if (e.name == ".") {
                ownTime = e.time;
                continue;
            }
            if (EqualsFolded(e.name, "index.htm") || EqualsFolded(e.name, "index.html")) continue;
            const bool parent = e.name == "..";
            if (parent && depth == 0) continue;
            const bool hidden = e.attributes & (kAttributeHidden | kAttributeSystem);
            if (!parent && hidden && !o_.includeHidden) {
                if (robotsOn_) Exclude(urlLink, e.name);
                continue;
            }
            const bool directory = parent || (e.attributes & kAttributeDirectory);
            Row row{&e, e.time, directory, parent};
            if (o_.recurse && directory && !parent && !(e.attributes & kAttributeReparsePoint) &&
                path.size() + 1 + e.name.size() <= kMaxPath) {
                const Page below = Index(JoinPath(path, e.name), UrlJoin(urlText, e.name),
                                         UrlJoin(urlLink, UrlName(e.name)), depth + 1);
                if (below.written) row.time = std::max(row.time, below.newest);
                page.bytes += below.bytes;
            }
            rows.push_back(row);
        }

        // The parent first, then the directories, then the files, each group
        // by name in a stable order.
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            const int ga = a.parent ? 0 : a.directory ? 1 : 2;
            const int gb = b.parent ? 0 : b.directory ? 1 : 2;
            if (ga != gb) return ga < gb;
            return ga != 0 && NameBefore(a.entry->name, b.entry->name);
        });
        for (const Row& r : rows)
            page.newest = std::max(page.newest, r.time);
        if (rows.empty()) page.newest = ownTime;

        prompter_.ShowProgress(path);
        std::string html = Head(urlText, page.newest);
        uint64_t files = 0, directories = 0;
        for (const Row& r : rows) {
            AppendRow(html, r, urlText, descriptions);
            if (r.directory) {
                ++directories;
            } else {
                ++files;
                page.bytes += r.entry->size;
            }
        }
        AppendEnd(html, files, directories, page.bytes);
        const std::string htmlPath = JoinPath(path, "index.html");
        page.written = source_.WriteFile(htmlPath, html);
        source_.WriteFile(JoinPath(path, "index.htm"), html);
        return page;
    }

    void Exclude(const std::string& urlLink, const std::string& name) {
        if (robots_.empty()) robots_ = "User-agent: *\n";
        robots_ += "Disallow: " + UrlJoin(urlLink, UrlName(name)) + "\n";
    }

    const char* Text(const TrilingualText& text) const { return ChooseText(o_.language, text); }

    std::string Head(const std::string& urlText, uint64_t newest) const {
        const uint32_t link = o_.colours.link;
        const uint32_t visited = Lower(link, 0x30);
        const uint32_t active = visited | 0x00FF00;
        const std::string head = ColourText(~link & 0xFFFFFF);
        std::string h;
        h += "<HTML><HEAD>\r\n\t<META http-equiv=\"Content-Type\" content=\"text/html; "
             "charset=iso-8859-2\">\r\n\t<META name=\"GENERATOR\" content=\"Stratext 1.01\">\r\n"
             "\t<META name=\"robots\" content=\"INDEX, FOLLOW\">\r\n\t<TITLE>";
        h += Text(kHtmlTitle) + HtmlText(urlText);
        h += "</TITLE>\r\n</HEAD>\r\n<BODY text=\"#" + ColourText(o_.colours.text) +
             "\" bgcolor=\"#" + ColourText(o_.colours.background) + "\" link=\"#" +
             ColourText(link) + "\" vlink=\"#" + ColourText(visited) + "\" alink=\"#" +
             ColourText(active) + "\">\r\n<H1><HR><CENTER>";
        h += Text(kHtmlHeading) + HtmlText(urlText);
        h += Text(kHtmlLastUpdated);
        h += LongDate(source_.LocalTime(newest), o_.language);
        h += "</CENTER><HR></H1><P><TABLE WIDTH=100%>\r\n<TD WIDTH=20% BGCOLOR=#";
        const auto column = [&](uint32_t background, const std::string& title, const char* next) {
            h += ColourText(background) + "><FONT COLOR=#" + head + "><B>" + title + next;
        };
        column(link, Text(kHtmlFileNameHead), "</B></FONT>\r\n<TD WIDTH=10% BGCOLOR=#");
        column(Lower(link, 0x20), Text(kHtmlSizeHead), "</B></FONT>\r\n<TD WIDTH=20% BGCOLOR=#");
        column(Lower(link, 0x40), Text(kHtmlUpdateHead), "</B></FONT>\r\n<TD WIDTH=50% BGCOLOR=#");
        column(Lower(link, 0x60), std::string("Descri") + Text(kHtmlDescriptionHeadEnd),
               "</B></FONT></TR>");
        return h;
    }

    void AppendRow(std::string& html, const Row& r, const std::string& urlText,
                   const DescriptionTable& descriptions) {
        const std::string& name = r.entry->name;
        const bool linksToPage = r.directory && o_.recurse;
        html += "\r\n<TR VALIGN=TOP><TD><A HREF=\"";
        html += UrlName(name);
        if (linksToPage) html += "/index.html";
        html += "\">";
        html += linksToPage ? "[" + HtmlText(name) + "]" : HtmlText(name);
        if (r.directory)
            html += "</A><TD ALIGN=CENTER>&lt;DIR&gt;";
        else
            html += "</A><TD ALIGN=RIGHT>" + GroupedSize(r.entry->size, o_.language);
        html += "<TD ALIGN=CENTER>" + ShortDate(source_.LocalTime(r.time)) + "<TD>";
        html += Description(r, urlText, descriptions);
    }

    std::string Description(const Row& r, const std::string& urlText,
                            const DescriptionTable& descriptions) {
        if (r.parent) return Text(kHtmlParentDirectory);
        if (const std::string* found = descriptions.Find(r.entry->name)) return *found;
        if (!promptOn_) return {};
        const std::optional<std::string> typed =
            prompter_.AskDescription(DescriptionCaption(o_.language, urlText, r.entry->name));
        if (!typed) {
            promptOn_ = false; // for the rest of the run
            return {};
        }
        return typed->substr(0, kMaxDescription);
    }

    void AppendEnd(std::string& html, uint64_t files, uint64_t directories, uint64_t bytes) {
        html += "\r\n</TABLE><P ALIGN=RIGHT><SMALL>";
        html += Text(kHtmlThereAre);
        html += std::to_string(files);
        html += Text(files == 1 ? kHtmlOneFileAnd : kHtmlFilesAnd);
        html += std::to_string(directories);
        html += Text(directories == 1 ? kHtmlOneDirectory : kHtmlDirectories);
        html += "<BR ALIGN=RIGHT>";
        html += Text(kHtmlForATotalOf);
        html += std::to_string(bytes);
        html += bytes == 1 ? " byte" : " bytes";
        html += ".</SMALL></BODY>\r\n</HTML>";
    }

    const IndexOptions& o_;
    DirectorySource& source_;
    IndexPrompter& prompter_;
    bool promptOn_;
    const bool robotsOn_;
    std::string robots_;
};

} // namespace

CalendarTime UtcCalendarTime(uint64_t fileTime) {
    const uint64_t seconds = fileTime / 10000000;
    const int64_t days = static_cast<int64_t>(seconds / 86400);
    const auto rest = static_cast<int>(seconds % 86400);
    CalendarTime t;
    t.hour = rest / 3600;
    t.minute = rest % 3600 / 60;
    // Days since 1970-01-01 (a Thursday), then the civil date.
    int64_t z = days - 134774;
    t.weekday = static_cast<int>(((z + 4) % 7 + 7) % 7);
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    return t;
}

std::string NormaliseRootPath(std::string_view typed) {
    std::string path(typed);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path == "/") return path;
    const size_t start = std::find_if(path.begin(), path.end(),
                                      [](char c) { return static_cast<unsigned char>(c) > ' '; }) -
                         path.begin();
    path.erase(0, start);
    if (path.empty()) return "/";
    if (path != "/" && path.back() == '/') path.pop_back();
    return path;
}

IndexResult GenerateIndex(const IndexOptions& options, DirectorySource& source,
                          IndexPrompter& prompter) {
    if (options.directory.empty() || !source.IsDirectory(options.directory))
        return IndexResult::NoSuchDirectory;
    Generator(options, source, prompter).Run();
    return IndexResult::Done;
}

std::string LongDate(const CalendarTime& t, UiLanguage language) {
    std::string date = ChooseText(language, kHtmlWeekdays[static_cast<size_t>(t.weekday % 7)]);
    date += ", ";
    const char* month = ChooseText(language, kHtmlMonths[static_cast<size_t>((t.month + 11) % 12)]);
    if (language == UiLanguage::English)
        date += std::string(month) + " " + DayWithSuffix(t.day);
    else
        date += std::to_string(t.day) + " " + month;
    date += ", " + std::to_string(t.year);
    return date;
}

std::string ShortDate(const CalendarTime& t) {
    return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year) +
           ", " + std::to_string(t.hour) + ":" + std::to_string(t.minute);
}

std::string GroupedSize(uint64_t size, UiLanguage language) {
    const std::string digits = std::to_string(size);
    const char* separator = ChooseText(language, kHtmlThousandsSeparator);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string ColourText(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UrlName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string DescriptionCaption(UiLanguage language, std::string_view urlPath,
                               std::string_view name) {
    std::string caption = ChooseText(language, kHtmlDescriptionPrompt);
    caption += UrlJoin(std::string(urlPath), name);
    if (caption.size() > 60)
        caption = caption.substr(0, 42) + "..." + caption.substr(caption.size() - 20);
    return caption;
}

} // namespace stx
