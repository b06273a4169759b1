#pragma once
// The index generator's view of the real file system.
#include "tools/html_index.h"

namespace stx {

class Win32DirectorySource final : public DirectorySource {
  public:
    bool IsDirectory(const std::string& path) override;
    bool List(const std::string& directory, std::vector<DirectoryEntry>& entries) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool WriteFile(const std::string& path, std::string_view bytes) override;
    CalendarTime LocalTime(uint64_t fileTime) override;
};

} // namespace stx
