#pragma once
// Helpers of the build-script tests: a scratch directory and reading a PE
// file's section flags.
#include <windows.h>

#include <cstdint>
#include <string>

#include "compile/build_script.h"
#include "platform/script_host.h"
#include "win32_test_support.h"

namespace stx::test {

// A fresh directory under the temporary folder, removed with its contents afterwards.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& name) : path_(TempDirectory() + name) {
        Remove();
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchDirectory() { Remove(); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    // The script language's own deltree, which also takes read-only files.
    void Remove() {
        Win32ScriptHost host({});
        BuildScriptRun run;
        run.documentPath = path_;
        run.documentNamed = true;
        RunBuildScript("deltree \"" + path_ + "\"", run, host);
        SetCurrentDirectoryA(TempDirectory().c_str());
    }

    std::string path_;
};

// The Characteristics of section `index` of a PE image (checked by the caller
// to be one).
inline std::uint32_t SectionCharacteristics(const std::string& image, int index) {
    auto dword = [&](std::size_t at) {
        std::uint32_t value = 0;
        if (at + 4 <= image.size()) memcpy(&value, image.data() + at, 4);
        return value;
    };
    const std::uint32_t pe = dword(0x3C);
    const std::uint32_t optionalSize = dword(pe + 0x14) & 0xFFFF;
    return dword(pe + 24 + optionalSize + 40 * static_cast<std::size_t>(index) + 36);
}

} // namespace stx::test
