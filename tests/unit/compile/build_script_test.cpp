// The build-script language end to end: scripts run against the in-memory
// host, checked on what reaches the host.
#include "compile/script_text.h"
#include "script_fixture.h"

namespace stx::test {

namespace {

class BuildScript : public ScriptFixture {};

TEST_F(BuildScript, DocumentPathForms) {
    documentPath = "C:\\Work Files\\Demo Program.asm";
    run.documentPath = documentPath;
    host.AddDirectory("C:\\Work Files");
    host.shortPaths[documentPath] = "C:\\WORKFI~1\\DEMOPR~1.ASM";
    Run("echo %1.obj %!2 %.1 %!.2 %0 %2. %!1. %10\r\n"
        "echo %!0|%2|%!2.");
    EXPECT_EQ(Messages(),
              Strings{"C:\\WORKFI~1\\DEMOPR~1.obj Demo Program.asm ASM asm C:\\WORKFI~1 "
                      "DEMOPR~1. C:\\Work Files\\Demo Program. C:\\WORKFI~1\\DEMOPR~1.ASM0"
                      "\r\nC:\\Work Files|DEMOPR~1.ASM|Demo Program."});
}

TEST_F(BuildScript, VariablesEscapesAndSizeof) {
    host.AddFile("C:\\Work\\Demo.exe", std::string(1234, 'x'));
    Run("set %MasmPath = c:\\masm32\\bin  \r\n"
        "set y 2\r\n"
        "set %z, 3\r\n"
        "set %a=c:\\bin\r\n"
        "set %a=%a;x\r\n"
        "set %p=10%%q=5\r\n"
        "set %t=mine\r\n"
        "gettemp %t\r\n"
        "gettemp %temp\r\n"
        "set =ignored\r\n"
        "echo %masmpath\\ml %MASMPATH\\ml %masmpathx %y%z %a %p %q %t %temp\\error\r\n"
        "echo 100%% a%;b %{x%} %unknown size %sizeof %1.exe %0 %sizeof missing.bin");
    EXPECT_EQ(Messages(),
              Strings{"c:\\masm32\\bin\\ml c:\\masm32\\bin\\ml %masmpathx 23 c:\\bin;x 10 5 mine "
                      "C:\\Temp\\error\r\n100% a;b {x} %unknown size 1234 C:\\Work 0"});
}

TEST_F(BuildScript, ErrorLevelComparisons) {
    host.AddFile("C:\\Work\\prog.exe");
    std::uint32_t exitCode = 0;
    host.onRun = [&](const ProgramStart&) { return exitCode; };
    const std::string script = "prog\r\n"
                               "if errorlevel 1 echo eq1\r\n"
                               "if errorlevel >= 2 echo ge2\r\n"
                               "if errorlevel<>0 echo ne0\r\n"
                               "if not errorlevel 0 echo not0\r\n"
                               "if errorlevel ! < 2 echo notlt2\r\n"
                               "if errorlevel = < 1 echo le1\r\n"
                               "if errorlevel 0x10 echo hex16\r\n"
                               "if errorlevel echo nonumber\r\n";
    const std::pair<std::uint32_t, Strings> expected[] = {
        {0, {"le1"}},
        {1, {"eq1", "ne0", "not0", "le1"}},
        {2, {"ge2", "ne0", "not0", "notlt2"}},
        {16, {"ge2", "ne0", "not0", "notlt2", "hex16"}},
    };
    for (const auto& [code, messages] : expected) {
        exitCode = code;
        EXPECT_EQ(Run(script).errorLevel, code);
        EXPECT_EQ(Messages(), messages) << "exit code " << code;
    }
}

TEST_F(BuildScript, BlocksAndAlternatives) {
    const std::string runBlock = "if not run{\r\necho a\r\necho b}\r\necho after";
    Run(runBlock);
    EXPECT_EQ(Messages(), Strings{"a\r\nb\r\nafter"});
    run.runMode = true;
    Run(runBlock);
    EXPECT_EQ(Messages(), Strings{"after"});
    run.runMode = false;

    // A false condition passes over a block whose comments hold braces.
    Run("if exist nothing.txt\r\n{\techo skipped ; {\r\n\t// }\r\n\techo a%}b\r\n}\r\necho after");
    EXPECT_EQ(Messages(), Strings{"after"});

    // After a taken branch, "else{" skips its whole block.
    Run("if exist Demo.asm echo found\r\nelse{\r\n echo no1\r\n echo no2\r\n}\r\necho end");
    EXPECT_EQ(Messages(), (Strings{"found", "end"}));

    // elseif chains, with blocks opening on the line after their condition.
    host.AddFile("C:\\Work\\prog.exe");
    std::uint32_t exitCode = 0;
    host.onRun = [&](const ProgramStart&) { return exitCode; };
    const std::string chain = "prog\r\nif errorlevel 0\r\n{ echo zero}\r\nelseif errorlevel 1\r\n"
                              "{ echo one}\r\nelse\r\n{ echo other}\r\necho done";
    const std::pair<std::uint32_t, Strings> expected[] = {
        {0, {"zero", "done"}}, {1, {"one", "done"}}, {5, {"other\r\ndone"}}};
    for (const auto& [code, messages] : expected) {
        exitCode = code;
        Run(chain);
        EXPECT_EQ(Messages(), messages) << "exit code " << code;
    }
}

TEST_F(BuildScript, JumpsAndLabels) {
    Run("goto END\r\necho skipped\r\n:end echo after label\r\ngo to :Last\r\necho "
        "skipped\r\n:last");
    EXPECT_EQ(Messages(), Strings{"after label"});

    const BuildScriptResult missing = Run("goto nowhere\r\necho never");
    EXPECT_TRUE(missing.aborted);
    EXPECT_EQ(Messages(), Strings{"The script stopped: no line carries the label nowhere"});

    // An endless loop ends at the statement limit.
    run.statementLimit = 1000;
    EXPECT_TRUE(Run(":a\r\ngoto a").ran);
}

TEST_F(BuildScript, CommandLinesHandedToTheHost) {
    host.AddFile("C:\\Work\\ml.exe");
    host.AddFile("C:\\Work\\prog.bat");
    host.AddFile("C:\\Work\\prog");
    host.AddDirectory("C:\\Work\\link");
    host.AddFile("C:\\Work\\link.com");
    const BuildScriptResult result = Run("ml/c x.asm\r\n"
                                         "prog.bat arg  ; comment\r\n"
                                         "prog arg // comment\r\n"
                                         "link %unknown\r\n"
                                         "\"C:\\Work\\ml\" /c\r\n"
                                         "hide\r\n"
                                         "ml hidden\r\n"
                                         "ml shown\r\n"
                                         "missing\r\n");
    EXPECT_EQ(Runs(), (Strings{"ml.exe /c x.asm", "prog.bat arg", "prog arg", "link.com %unknown",
                               "\"C:\\Work\\ml.exe\" /c", "ml.exe hidden [hidden]", "ml.exe shown",
                               "missing", "command.com /c missing"}));
    EXPECT_EQ(host.CallsOf("last error").size(), 1u);
    EXPECT_EQ(result.errorLevel, kNoProcessErrorLevel);
}

TEST_F(BuildScript, OutputRedirection) {
    host.AddFile("C:\\Work\\ml.exe");
    Run("ml x>out.txt\r\nml y >> log.txt\r\nml z>>log.txt");
    EXPECT_EQ(Runs(),
              (Strings{"ml.exe x [> out.txt]", "ml.exe y [>> log.txt]", "ml.exe z [>> log.txt]"}));
    EXPECT_EQ(host.Contents("C:\\Work\\log.txt"), "output\r\noutput\r\n");

    // The NT family sends redirected statements through its command
    // interpreter, named by COMSPEC; without it through command.com.
    host.ntFamily = true;
    host.AddFile("C:\\Windows\\cmd.exe");
    host.environment["COMSPEC"] = "C:\\Windows\\cmd.exe";
    Run("ml x>C:\\My Temp\\error\r\nml y");
    EXPECT_EQ(Runs(),
              (Strings{"C:\\Windows\\cmd.exe /c ml.exe x >\"C:\\My Temp\\error\"", "ml.exe y"}));
    host.environment.clear();
    Run("ml x>>log.txt");
    EXPECT_EQ(Runs(), Strings{"command.com /c ml.exe x >>log.txt"});
}

TEST_F(BuildScript, DeletesFilesAndMakesDirectories) {
    host.AddFile("C:\\Work\\x.obj");
    host.AddFile("C:\\Work\\y.obj", "", kAttributeReadOnly);
    Run("del %0\\*.obj\r\nerase nothing*.zzz\r\nmd new\r\ncd new\r\ncd\\Work\r\nmd "
        "new");
    EXPECT_FALSE(host.Exists("C:\\Work\\x.obj"));
    EXPECT_FALSE(host.Exists("C:\\Work\\y.obj"));
    EXPECT_TRUE(host.Exists("C:\\Work\\Demo.asm"));
    EXPECT_TRUE(host.Exists("C:\\Work\\new"));
    EXPECT_EQ(host.currentDirectory, "C:\\Work");
    EXPECT_EQ(host.CallsOf("last error").size(), 1u); // the second md
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BuildScript, MessagesCollectLinesAndCaptionViews) {
    host.AddFile("C:\\Work\\out.txt", "assembler said");
    Run("echo.\r\necho  First\r\nmessagebox Second\r\n\techo indented\r\n"
        "rem break\r\necho Caption\r\ntype out.txt\r\nview none.txt\r\n"
        "echo x\r\n:lbl echo never\r\necho y");
    EXPECT_EQ(Messages(), (Strings{"\r\n\r\nFirst\r\nSecond", "indented", "x\r\ny"}));
    EXPECT_EQ(host.CallsOf("view "),
              (Strings{"assembler said | Caption", "none.txt - Error opening file | "}));
}

TEST_F(BuildScript, BufferLimitsStopTheRun) {
    const std::string half(5000, 'x');
    BuildScriptResult result = Run("set %a=" + half + "\r\necho %a%a\r\necho never");
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(Messages(), Strings{"The script stopped: a statement is longer than 8,191 characters "
                                  "once its variables are expanded"});

    std::string many;
    for (int i = 0; i < 9; ++i)
        many += "set %v" + std::to_string(i) + "=" + std::string(8000, 'v') + "\r\n";
    result = Run(many + "echo never");
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(Messages(), Strings{"The script stopped: its variables need more than 65,536 bytes"});

    // A line that fits, but not with the command interpreter in front of it.
    result = Run("missing" + std::string(kCommandBufferCapacity - 7, 'z'));
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(Runs().size(), 1u);
}

TEST_F(BuildScript, RunFrameAndEnd) {
    host.ChangeDirectory("C:\\Temp");
    Run(std::string("echo a\0echo b", 13));
    EXPECT_EQ(host.calls, (Strings{"cd C:\\Work", "message a", "repaint",
                                   "status Compiler process terminated"}));

    run.documentNamed = false;
    run.language = UiLanguage::Romanian;
    EXPECT_FALSE(Run("echo a").ran);
    EXPECT_EQ(host.calls, (Strings{"message Programul trebuie salvat inainte de compilare",
                                   "status Procesul de compilare s-a terminat"}));
}

} // namespace

} // namespace stx::test
