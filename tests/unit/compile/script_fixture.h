// Runs build scripts against the in-memory host, for the document C:\Work\Demo.asm.
#pragma once

#include "compile/build_script.h"
#include "memory_script_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx::test {

class ScriptFixture : public ::testing::Test {
  protected:
    ScriptFixture() {
        host.AddDirectory("C:\\Work");
        host.AddDirectory("C:\\Temp");
        host.AddFile("C:\\Work\\Demo.asm", "start:\r\n");
        run.documentPath = documentPath;
        run.documentNamed = true;
    }

    // Runs `text` as the configured script; calls holds this run's calls only.
    BuildScriptResult Run(const std::string& text) {
        host.calls.clear();
        script = text;
        run.configuredScript = script;
        return RunBuildScript(script, run, host);
    }
    std::vector<std::string> Messages() const { return host.CallsOf("message "); }
    using Strings = std::vector<std::string>;
    std::vector<std::string> Runs() const { return host.CallsOf("run "); }

    MemoryScriptHost host;
    std::string documentPath = "C:\\Work\\Demo.asm";
    std::string script;
    BuildScriptRun run;
};

} // namespace stx::test
