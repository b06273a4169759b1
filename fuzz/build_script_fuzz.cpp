// A build script of any bytes run by the interpreter over the in-memory host
// of the unit tests, with a bound on the statements so a loop ends: every
// run ends with a defined result, whatever the script asks of the host. The
// first input byte chooses the run's options; the rest is the script.
#include "compile/build_script.h"
#include "fuzz/fuzz_check.h"
#include "tests/unit/compile/memory_script_host.h"
#include "tests/unit/compile/pe_image.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace stx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::string script(reinterpret_cast<const char*>(data + 1), size - 1);

    test::MemoryScriptHost host;
    host.AddDirectory("C:\\Work");
    host.AddDirectory("C:\\Temp");
    host.AddDirectory("C:\\Work\\Sub dir");
    host.AddFile("C:\\Work\\Demo.asm", "start:\r\n");
    host.AddFile("C:\\Work\\ml.exe");
    host.AddFile("C:\\Work\\link.exe");
    host.AddFile("C:\\Work\\Read.txt", "text\r\n", kAttributeReadOnly | kAttributeArchive);
    const auto pe = test::BuildPeImage(options & 0x40);
    host.AddFile("C:\\Work\\Demo.exe", std::string(pe.begin(), pe.end()));
    host.shortPaths["C:\\Work\\Sub dir"] = "C:\\Work\\SUBDIR~1";
    host.environment["PATH"] = "C:\\Work";
    host.environment["INCLUDE"] = std::string(300, 'i');
    host.ntFamily = options & 0x02;
    if (options & 0x20)
        host.onRun = [](const ProgramStart& start) {
            return static_cast<std::uint32_t>(start.commandLine.size() % 3);
        };

    const std::string documentPath = "C:\\Work\\Demo.asm";
    BuildScriptRun run;
    run.configuredScript = script;
    run.documentPath = documentPath;
    run.documentNamed = (options & 0x90) != 0x90;
    run.language = UiLanguageFromStored((options >> 2) & 3);
    run.runMode = options & 0x01;
    run.statementLimit = 2000;

    const BuildScriptResult result = RunBuildScript(script, run, host);
    STX_FUZZ_CHECK(result.ran == run.documentNamed);
    return 0;
}
