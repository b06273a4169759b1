// A directory tree held in memory for the index generator's tests and
// benchmark: the file system and the user's answers in one.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/html_index.h"

namespace stx::test {

class MemoryTree final : public DirectorySource, public IndexPrompter {
  public:
    // A directory with its entries; "." and ".." are added as a file system lists them.
    void Dir(const std::string& path, std::vector<DirectoryEntry> entries, uint64_t time = 0) {
        entries.insert(entries.begin(),
                       {{".", kAttributeDirectory, time, 0}, {"..", kAttributeDirectory, time, 0}});
        dirs[path] = std::move(entries);
    }
    bool IsDirectory(const std::string& path) override { return dirs.count(path) > 0; }
    bool List(const std::string& path, std::vector<DirectoryEntry>& entries) override {
        auto it = dirs.find(path);
        if (it == dirs.end()) return false;
        entries = it->second;
        return true;
    }
    std::optional<std::string> ReadFile(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool WriteFile(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
        return true;
    }
    CalendarTime LocalTime(uint64_t fileTime) override { return UtcCalendarTime(fileTime); }
    void ShowProgress(const std::string& directory) override { progress.push_back(directory); }
    std::optional<std::string> AskDescription(const std::string& caption) override {
        captions.push_back(caption);
        if (answers.empty()) return std::nullopt;
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    std::string Page(const std::string& dir) const {
        auto it = files.find(dir + "\\index.html");
        return it == files.end() ? "<none>" : it->second;
    }

    std::map<std::string, std::vector<DirectoryEntry>> dirs;
    std::map<std::string, std::string> files;
    std::vector<std::string> progress, captions, answers;
};

} // namespace stx::test
