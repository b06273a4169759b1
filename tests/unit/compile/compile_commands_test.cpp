// The Compile menu's commands and the default script, against the in-memory host.
#include "compile/compile_commands.h"
#include "compile/default_script.h"
#include "pe_image.h"
#include "script_fixture.h"

namespace stx::test {

namespace {

class CompileCommands : public ScriptFixture {
  protected:
    CompileCommands() { document = {documentPath, true}; }

    CompileContext Context() {
        return {host, state, configured, document, UiLanguage::English, [] { return true; }};
    }

    CompileState state;
    std::string configured;
    DocumentState document;
};

// The default script with stand-ins for the assembler and the linker.
TEST_F(CompileCommands, DefaultScriptBuildsReportsAndCleansUp) {
    configured = std::string(kDefaultBuildScript);
    EXPECT_EQ(configured.size(), 1238u);
    for (const char* tool : {"ml.exe", "rc.exe", "cvtres.exe", "Link.exe"})
        host.AddFile(std::string("C:\\masm32\\bin\\") + tool);
    const std::vector<std::uint8_t> image = BuildPeImage(false);
    std::uint32_t assemblerExit = 0;
    host.onRun = [&](const ProgramStart& start) -> std::uint32_t {
        if (start.commandLine.find("ml.exe") != std::string::npos) {
            host.AddFile("C:\\Work\\Demo.obj");
            return assemblerExit;
        }
        host.AddFile("C:\\Work\\Demo.exe", std::string(image.begin(), image.end()));
        return 0;
    };
    CompileContext context = Context();
    RunExecutable(context); // nothing built yet: the .com form
    EXPECT_EQ(host.CallsOf("start "), Strings{"C:\\Work\\Demo.com"});

    Compile(context);
    EXPECT_EQ(Runs(), (Strings{"c:\\masm32\\bin\\ml.exe /c /coff C:\\Work\\Demo.asm [hidden] "
                               "[> C:\\Temp\\error]",
                               "c:\\masm32\\bin\\Link.exe /SUBSYSTEM:WINDOWS C:\\Work\\Demo.obj "
                               "[hidden] [> C:\\Temp\\error]"}));
    EXPECT_EQ(Messages(), Strings{"File assembled successfully\r\nExecutable file size: 1024"});
    EXPECT_EQ(SectionFlags(host.Find("C:\\Work\\Demo.exe")->bytes, false, 0), 0xE0000020u);
    EXPECT_FALSE(host.Exists("C:\\Work\\Demo.obj"));
    EXPECT_FALSE(state.abortFlag);

    host.calls.clear();
    CompileAndRun(context);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(host.CallsOf("start "), Strings{"C:\\Work\\Demo.exe"});

    host.calls.clear();
    assemblerExit = 1;
    CompileAndRun(context);
    // The message before `type` is the caption of the assembler's output.
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(host.CallsOf("view "), Strings{"output\r\n | Assembly Error"});
    EXPECT_FALSE(host.Exists("C:\\Temp\\error"));
    EXPECT_TRUE(state.abortFlag);
    EXPECT_TRUE(host.CallsOf("start ").empty());
}

} // namespace

} // namespace stx::test
