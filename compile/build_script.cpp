#include "compile/build_script.h"

#include "app/ui_texts.h"
#include "compile/keywords.h"
#include "compile/script_text.h"
#include "compile/script_variables.h"
#include "compile/section_flags.h"
#include "files/number.h"

#include <array>

namespace stx {

namespace {

// Trees deeper than this are left standing by the delete statements.
constexpr int kMaxDeleteDepth = 256;

constexpr std::array<std::string_view, 4> kProgramExtensions{".exe", ".com", ".bat", ".lnk"};

bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view word) {
    return pos <= text.size() && EqualsIgnoringCase(text.substr(pos, word.size()), word);
}

bool IsComment(std::string_view text, std::size_t pos) {
    const char c = CharAt(text, pos);
    return c == ';' || (c == '/' && CharAt(text, pos + 1) == '/');
}

bool EndsProgramName(char c) {
    return IsSpaceOrControl(c) || c == '"' || c == '*' || c == '?' || c == '|' || c == '/' ||
           c == '<' || c == '>';
}

// The length of the directory part of a path, separator included.
std::size_t DirectoryPartLength(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) return slash + 1;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

std::string Quoted(std::string_view text) {
    if (text.find(' ') == std::string_view::npos) return std::string(text);
    return "\"" + std::string(text) + "\"";
}

class Interpreter {
  public:
    Interpreter(std::string_view text, const BuildScriptRun& run, ScriptHost& host)
        : run_(run), host_(host), text_(text), script_(run.configuredScript),
          expander_(host, run.documentPath, variables_) {}

    BuildScriptResult Execute();

  private:
    // What the statement loop does after a statement.
    enum class Flow {
        Line,     // go on with the rest of the line, if any
        Restart,  // the loop's first step: show mode reset, separators skipped
        KeepShow, // as Restart, but `hide` stays in force
        Dispatch, // the text at the position is the next statement, as it stands
        End,
    };

    Flow RunLine();
    Flow Dispatch();
    Flow If();
    bool CompareErrorLevel();
    Flow SkipAlternative(KeywordCode code);
    void SkipThenPart();
    void SkipBlock();
    void SkipComment();
    Flow Jump();
    Flow Message();
    Flow View(const std::string& caption);
    Flow Set();
    Flow GetTemp();
    Flow Directory(KeywordCode code);
    Flow Delete();
    void DeleteMatches(const std::string& pattern, int depth);
    Flow Section();
    Flow Program();
    void CompleteProgramName(std::size_t nameStart);
    Flow Start(const std::string& line);
    std::string ShellPrefix();
    bool ReadArgument(); // into buffer_; false when it overflowed
    Flow Fail(const BilingualText& why, std::string_view detail = {});
    const char* Text(const BilingualText& text) const { return ChooseText(run_.language, text); }

    const BuildScriptRun& run_;
    ScriptHost& host_;
    std::string_view text_;   // the text being run
    std::string_view script_; // where jumps go
    std::size_t pos_ = 0;
    VariableArea variables_;
    ScriptExpander expander_;
    BoundedText buffer_;
    bool showWindow_ = true;
    std::uint32_t errorLevel_ = 0;
    bool aborted_ = false;
    std::uint64_t statements_ = 0;
};

BuildScriptResult Interpreter::Execute() {
    bool resetShow = true;
    for (;;) {
        if (resetShow) showWindow_ = true;
        resetShow = true;
        for (char c = CharAt(text_, pos_);
             c != '\0' && (IsSpaceOrControl(c) || c == '{' || c == '}'); c = CharAt(text_, pos_))
            ++pos_;
        const char c = CharAt(text_, pos_);
        if (c == '\0') break;
        if (c == ':') { // a label: passed over, the rest of its line runs
            while (!IsSpaceOrControl(CharAt(text_, pos_)))
                ++pos_;
            continue;
        }
        const Flow flow = RunLine();
        if (flow == Flow::End) break;
        if (flow == Flow::KeepShow) resetShow = false;
    }
    return {true, errorLevel_, aborted_};
}

// The statement at the position and the further statements of its line.
Interpreter::Flow Interpreter::RunLine() {
    for (;;) {
        if (run_.statementLimit != 0 && ++statements_ > run_.statementLimit) return Flow::End;
        const Flow flow = Dispatch();
        if (flow == Flow::Dispatch) continue;
        if (flow != Flow::Line) return flow;
        pos_ = SkipBlanks(text_, pos_);
        if (IsStatementEnd(CharAt(text_, pos_))) return Flow::Restart;
    }
}

Interpreter::Flow Interpreter::Dispatch() {
    if (IsComment(text_, pos_) ||
        (StartsWithIgnoringCase(text_, pos_, "rem") && CharAt(text_, pos_ + 3) == ' ')) {
        SkipComment();
        return Flow::Line;
    }
    if (StartsWithIgnoringCase(text_, pos_, "set") && CharAt(text_, pos_ + 3) == ' ') {
        pos_ += 4;
        return Set();
    }
    const KeywordMatch keyword = LookupKeyword(text_, pos_);
    pos_ = keyword.next;
    switch (keyword.code) {
    case KeywordCode::If:
        return If();
    case KeywordCode::Else:
    case KeywordCode::ElseIf:
        return SkipAlternative(keyword.code);
    case KeywordCode::Go: {
        const KeywordMatch second = LookupKeyword(text_, pos_);
        pos_ = second.next;
        return second.code == KeywordCode::None || second.code == KeywordCode::To ? Jump()
                                                                                  : Program();
    }
    case KeywordCode::Jump:
        return Jump();
    case KeywordCode::Message:
        return Message();
    case KeywordCode::ChangeDirectory:
    case KeywordCode::MakeDirectory:
        return Directory(keyword.code);
    case KeywordCode::Delete:
        return Delete();
    case KeywordCode::Section:
        return Section();
    case KeywordCode::Hide:
        showWindow_ = false;
        return Flow::KeepShow;
    case KeywordCode::GetTemp:
        return GetTemp();
    case KeywordCode::View:
        return View({});
    case KeywordCode::Abort:
        aborted_ = true;
        return Flow::End;
    case KeywordCode::Not:
    case KeywordCode::Exist:
    case KeywordCode::ErrorLevel:
    case KeywordCode::To:
    case KeywordCode::Run:
    case KeywordCode::None:
        break;
    }
    return Program();
}

// ---- conditions -----------------------------------------------------------------

Interpreter::Flow Interpreter::If() {
    bool negate = false;
    for (;;) {
        const KeywordMatch keyword = LookupKeyword(text_, pos_);
        bool condition = false;
        switch (keyword.code) {
        case KeywordCode::Not:
            negate = !negate;
            pos_ = keyword.next;
            continue;
        case KeywordCode::Exist:
            pos_ = keyword.next;
            if (!ReadArgument()) return Fail(kScriptStatementTooLong);
            condition = !buffer_.Text().empty() && !host_.FindFiles(buffer_.Text(), 1).empty();
            break;
        case KeywordCode::ErrorLevel:
            pos_ = keyword.next;
            condition = CompareErrorLevel();
            break;
        case KeywordCode::Run:
            pos_ = keyword.next;
            condition = run_.runMode;
            break;
        case KeywordCode::None:
            return Program();
        default:
            pos_ = keyword.next;
            return Flow::Dispatch;
        }
        pos_ = SkipBlanks(text_, pos_);
        if (condition != negate) return Flow::Restart;

        SkipThenPart();
        for (char c = CharAt(text_, pos_); c == '\r' || c == '\n' || c == '{' || c == '}';
             c = CharAt(text_, pos_))
            ++pos_;
        pos_ = SkipBlanks(text_, pos_);
        const KeywordMatch alternative = LookupKeyword(text_, pos_);
        if (alternative.code == KeywordCode::Else) {
            pos_ = alternative.next;
            return Flow::Restart;
        }
        if (alternative.code != KeywordCode::ElseIf) return Flow::Restart;
        pos_ = alternative.next;
        negate = false;
    }
}

bool Interpreter::CompareErrorLevel() {
    bool equal = false, less = false, greater = false, negate = false;
    for (;; pos_ = SkipBlanks(text_, pos_ + 1)) {
        const char c = CharAt(text_, pos_);
        if (c == '=')
            equal = true;
        else if (c == '<')
            less = true;
        else if (c == '>')
            greater = true;
        else if (c == '!')
            negate = !negate;
        else
            break;
    }
    if (less && greater) { // "<>" and "><": not equal
        less = greater = false;
        negate = !negate;
    }
    if (CharAt(text_, pos_) < '0' || CharAt(text_, pos_) > '9') return false;
    std::size_t end = pos_;
    for (char c = CharAt(text_, end); !IsSpaceOrControl(c) && c != '{' && c != '}';
         c = CharAt(text_, end))
        ++end;
    const std::uint32_t number = ParseNumber(text_.substr(pos_, end - pos_)).value;
    pos_ = end;
    bool result;
    if (less)
        result = equal ? errorLevel_ <= number : errorLevel_ < number;
    else if (greater)
        result = equal ? errorLevel_ >= number : errorLevel_ > number;
    else
        result = errorLevel_ == number;
    return result != negate;
}

// An `else` or `elseif` reached after its branch was taken: the alternative
// is passed over the way a false condition passes over its then-part, so a
// block opening on the next line goes with it.
Interpreter::Flow Interpreter::SkipAlternative(KeywordCode code) {
    if (code == KeywordCode::ElseIf) {
        for (;;) {
            const KeywordMatch keyword = LookupKeyword(text_, pos_);
            if (keyword.code == KeywordCode::Not) {
                pos_ = keyword.next;
                continue;
            }
            if (keyword.code == KeywordCode::Exist) {
                pos_ = keyword.next;
                BoundedText ignored;
                pos_ = expander_.ReadArgument(text_, pos_, ignored);
            } else if (keyword.code == KeywordCode::ErrorLevel) {
                pos_ = keyword.next;
                CompareErrorLevel();
            } else if (keyword.code == KeywordCode::Run) {
                pos_ = keyword.next;
            } else { // no condition: the rest of the line goes
                while (!IsLineEnd(CharAt(text_, pos_)))
                    ++pos_;
                return Flow::Restart;
            }
            break;
        }
        pos_ = SkipBlanks(text_, pos_);
    }
    SkipThenPart();
    return Flow::Restart;
}

void Interpreter::SkipThenPart() {
    for (char c = CharAt(text_, pos_); c == '\r' || c == '\n' || IsBlank(c);
         c = CharAt(text_, pos_))
        ++pos_;
    if (CharAt(text_, pos_) == '{') {
        SkipBlock();
        pos_ = SkipBlanks(text_, pos_);
    } else {
        while (!IsLineEnd(CharAt(text_, pos_)))
            ++pos_;
    }
}

// From a "{" to behind its matching "}". Comments and the escapes "%{", "%}",
// "%;" and "%%" do not count, as they do not when the block runs.
void Interpreter::SkipBlock() {
    int depth = 1;
    ++pos_;
    for (char c = CharAt(text_, pos_); c != '\0'; c = CharAt(text_, pos_)) {
        if (IsComment(text_, pos_)) {
            while (!IsLineEnd(CharAt(text_, pos_)))
                ++pos_;
            continue;
        }
        const char next = CharAt(text_, pos_ + 1);
        if (c == '%' && (next == '%' || next == ';' || next == '{' || next == '}')) {
            pos_ += 2;
            continue;
        }
        ++pos_;
        if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return;
        }
    }
}

void Interpreter::SkipComment() {
    for (char c = CharAt(text_, pos_);
         c != '\0' && (c == '\t' || static_cast<unsigned char>(c) >= 0x20); c = CharAt(text_, pos_))
        ++pos_;
}

// ---- jumps and messages -----------------------------------------------------------

Interpreter::Flow Interpreter::Jump() {
    if (CharAt(text_, pos_) == ':') pos_ = SkipBlanks(text_, pos_ + 1);
    const std::size_t start = pos_;
    while (!IsSpaceOrControl(CharAt(text_, pos_)))
        ++pos_;
    const std::string label(text_.substr(start, pos_ - start));

    auto isSeparator = [](char c) { return c == '\r' || c == '\n' || c == '{' || c == '}'; };
    for (std::size_t p = 0;;) {
        while (isSeparator(CharAt(script_, p)))
            ++p;
        if (CharAt(script_, p) == '\0') break;
        p = SkipBlanks(script_, p);
        if (CharAt(script_, p) == ':') {
            p = SkipBlanks(script_, p + 1);
            const std::size_t word = p;
            while (!IsSpaceOrControl(CharAt(script_, p)))
                ++p;
            if (EqualsIgnoringCase(script_.substr(word, p - word), label)) {
                text_ = script_;
                pos_ = p;
                return Flow::Restart;
            }
        }
        for (char c = CharAt(script_, p); c != '\0' && !isSeparator(c); c = CharAt(script_, p))
            ++p;
    }
    return Fail(kScriptLabelMissing, label);
}

// Consecutive message lines make one box; a message just before `type` or
// `view` becomes the caption of the file's window instead.
Interpreter::Flow Interpreter::Message() {
    buffer_.Clear();
    for (;;) {
        if (CharAt(text_, pos_) == '.') {
            buffer_.Append("\r\n");
            if (CharAt(text_, ++pos_) == ' ') ++pos_;
        }
        pos_ = expander_.CopyToStatementEnd(text_, pos_, buffer_);
        if (buffer_.Overflowed()) return Fail(kScriptStatementTooLong);

        std::size_t next = pos_;
        for (;;) {
            for (char c = CharAt(text_, next); c == '\r' || c == '\n' || c == '{' || c == '}';
                 c = CharAt(text_, next))
                ++next;
            if (CharAt(text_, next) != ':') break;
            while (!IsLineEnd(CharAt(text_, next)))
                ++next;
        }
        const KeywordMatch keyword = LookupKeyword(text_, next);
        if (keyword.code == KeywordCode::Message) {
            buffer_.Append("\r\n");
            pos_ = keyword.next;
            continue;
        }
        if (keyword.code == KeywordCode::View) {
            pos_ = keyword.next;
            return View(buffer_.Text());
        }
        host_.ShowMessage(buffer_.Text());
        pos_ = next;
        return Flow::Restart;
    }
}

Interpreter::Flow Interpreter::View(const std::string& caption) {
    const std::string title = caption; // the argument is read into the same buffer
    if (!ReadArgument()) return Fail(kScriptStatementTooLong);
    const std::string& path = buffer_.Text();
    host_.ViewFile(path, title, path + " - " + Text(kErrorOpeningFile));
    return Flow::Line;
}

// ---- variables ----------------------------------------------------------------------

Interpreter::Flow Interpreter::Set() {
    auto skipSeparators = [this] {
        for (char c = CharAt(text_, pos_); IsBlank(c) || c == ','; c = CharAt(text_, pos_))
            ++pos_;
    };
    skipSeparators();
    if (CharAt(text_, pos_) == '%') ++pos_;
    skipSeparators();
    const std::size_t nameStart = pos_;
    while (IsIdentifierChar(CharAt(text_, pos_)))
        ++pos_;
    const std::string name(text_.substr(nameStart, pos_ - nameStart));
    if (name.empty()) { // no name: the line is ignored
        SkipComment();
        return Flow::Line;
    }
    skipSeparators();
    if (CharAt(text_, pos_) == '=') ++pos_;
    skipSeparators();
    buffer_.Clear();
    pos_ = expander_.CopyToStatementEnd(text_, pos_, buffer_);
    buffer_.TrimTrailingBlanks();
    if (buffer_.Overflowed()) return Fail(kScriptStatementTooLong);
    if (!variables_.Set(name, buffer_.Text())) return Fail(kScriptVariablesFull);
    return Flow::Line;
}

Interpreter::Flow Interpreter::GetTemp() {
    if (CharAt(text_, pos_) == '%') ++pos_;
    const std::size_t nameStart = pos_;
    while (!IsSpaceOrControl(CharAt(text_, pos_)))
        ++pos_;
    std::string folder = host_.TemporaryFolder();
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.size() > kCommandBufferCapacity) return Fail(kScriptStatementTooLong);
    if (!variables_.Add(text_.substr(nameStart, pos_ - nameStart), folder))
        return Fail(kScriptVariablesFull);
    return Flow::Line;
}

bool Interpreter::ReadArgument() {
    buffer_.Clear();
    pos_ = expander_.ReadArgument(text_, pos_, buffer_);
    return !buffer_.Overflowed();
}

// ---- files and directories -----------------------------------------------------------

Interpreter::Flow Interpreter::Directory(KeywordCode code) {
    if (!ReadArgument()) return Fail(kScriptStatementTooLong);
    const bool done = code == KeywordCode::ChangeDirectory ? host_.ChangeDirectory(buffer_.Text())
                                                           : host_.MakeDirectory(buffer_.Text());
    if (!done) host_.ReportLastError();
    return Flow::Line;
}

Interpreter::Flow Interpreter::Delete() {
    if (!ReadArgument()) return Fail(kScriptStatementTooLong);
    if (!buffer_.Text().empty()) DeleteMatches(buffer_.Text(), 0);
    return Flow::Line;
}

// Every match of the pattern: files lose their attributes and go; a directory
// that is not empty is emptied first. Nothing is reported.
void Interpreter::DeleteMatches(const std::string& pattern, int depth) {
    const std::string directory = pattern.substr(0, DirectoryPartLength(pattern));
    for (const FoundFile& found : host_.FindFiles(pattern, 0)) {
        if (found.name == "." || found.name == ".." || found.name.empty()) continue;
        const std::string path = directory + found.name;
        if (path.size() > kCommandBufferCapacity) continue;
        if (found.directory) {
            if (host_.RemoveEmptyDirectory(path) || depth >= kMaxDeleteDepth) continue;
            DeleteMatches(path + "\\*.*", depth + 1);
            host_.RemoveEmptyDirectory(path);
        } else {
            host_.SetAttributes(path, 0);
            host_.RemoveFile(path);
        }
    }
}

Interpreter::Flow Interpreter::Section() {
    BoundedText fileName;
    const SectionStatement statement = ParseSectionStatement(text_, pos_, expander_, fileName);
    pos_ = statement.next;
    if (fileName.Overflowed()) return Fail(kScriptStatementTooLong);
    switch (ApplySectionFlags(host_, fileName.Text(), statement.request)) {
    case SectionFileResult::NotPe:
        host_.ShowMessage(Text(kSectionNotPe) + fileName.Text());
        break;
    case SectionFileResult::WriteFailed:
        host_.ReportLastError();
        break;
    case SectionFileResult::Done:
    case SectionFileResult::Missing:
    case SectionFileResult::NoAccess:
    case SectionFileResult::NoSections:
        break;
    }
    return Flow::Line;
}

// ---- programs -------------------------------------------------------------------------

Interpreter::Flow Interpreter::Program() {
    buffer_.Clear();
    const bool quoted = CharAt(text_, pos_) == '"';
    std::size_t nameStart = 0;
    bool nameDone = false;
    if (quoted) {
        buffer_.Append('"');
        ++pos_;
        nameStart = 1;
    }
    for (;;) {
        const char c = CharAt(text_, pos_);
        if (IsStatementEnd(c)) break;
        if (IsComment(text_, pos_)) { // a trailing comment
            buffer_.TrimTrailingBlanks();
            SkipComment();
            break;
        }
        if (!nameDone && quoted && c == '"') {
            CompleteProgramName(nameStart);
            buffer_.Append('"');
            ++pos_;
            nameDone = true;
            continue;
        }
        if (!nameDone && !quoted && EndsProgramName(c)) {
            const bool named = buffer_.Size() > nameStart;
            CompleteProgramName(nameStart);
            if (c != ' ' && named) buffer_.Append(' '); // "ml/c" becomes "ml.exe /c"
            nameDone = true;
        }
        pos_ = expander_.CopyOne(text_, pos_, buffer_);
    }
    if (!nameDone) CompleteProgramName(nameStart);
    if (buffer_.Overflowed()) return Fail(kScriptStatementTooLong);
    return Start(buffer_.Text());
}

// A program named without extension gets the one it has on disk: .exe, .com,
// .bat or .lnk, in the order the file system yields the matches.
void Interpreter::CompleteProgramName(std::size_t nameStart) {
    if (buffer_.Overflowed() || buffer_.Size() <= nameStart) return;
    const std::string name = buffer_.Text().substr(nameStart);
    const std::optional<std::uint32_t> attributes = host_.GetAttributes(name);
    if (attributes && (*attributes & kAttributeDirectory) == 0) return;
    const std::string_view base = std::string_view(name).substr(DirectoryPartLength(name));
    for (const FoundFile& found : host_.FindFiles(name + ".*", 0)) {
        if (found.name.size() != base.size() + 4 ||
            !EqualsIgnoringCase(std::string_view(found.name).substr(0, base.size()), base))
            continue;
        const std::string_view extension = std::string_view(found.name).substr(base.size());
        for (std::string_view known : kProgramExtensions) {
            if (EqualsIgnoringCase(extension, known)) {
                buffer_.Append(known);
                return;
            }
        }
    }
}

// Starts the command line with its one output redirection and waits for it.
// What cannot be started directly (and, on the NT family, everything that
// redirects) runs through the command interpreter.
Interpreter::Flow Interpreter::Start(const std::string& line) {
    std::string command = line;
    std::optional<Redirection> redirection;
    if (const std::size_t cut = line.find('>'); cut != std::string::npos) {
        command.resize(cut);
        while (!command.empty() && IsBlank(command.back()))
            command.pop_back();
        Redirection target;
        std::size_t p = SkipBlanks(line, cut + 1);
        if (CharAt(line, p) == '>') {
            target.append = true;
            p = SkipBlanks(line, p + 1);
        }
        if (CharAt(line, p) == '"') {
            const std::size_t close = line.find('"', p + 1);
            target.path =
                line.substr(p + 1, close == std::string::npos ? std::string::npos : close - p - 1);
        } else {
            target.path = line.substr(p);
            while (!target.path.empty() && IsBlank(target.path.back()))
                target.path.pop_back();
        }
        redirection = std::move(target);
    }
    if (command.find_first_not_of(" \t") == std::string::npos) return Flow::Line;

    errorLevel_ = kNoProcessErrorLevel;
    std::optional<std::uint32_t> exitCode;
    if (!redirection || !host_.NtFamily()) {
        host_.ShowStatus(command);
        exitCode = host_.RunProgram({command, showWindow_, redirection});
    }
    if (!exitCode) {
        std::string shellLine = ShellPrefix() + command;
        if (redirection)
            shellLine += (redirection->append ? " >>" : " >") + Quoted(redirection->path);
        if (shellLine.size() > kCommandBufferCapacity) return Fail(kScriptStatementTooLong);
        host_.ShowStatus(shellLine);
        exitCode = host_.RunProgram({shellLine, showWindow_, std::nullopt});
        if (!exitCode) host_.ReportLastError();
    }
    if (exitCode) errorLevel_ = *exitCode;
    return Flow::Line;
}

// Systems of the NT family have no command.com: their interpreter is the one
// COMSPEC names.
std::string Interpreter::ShellPrefix() {
    if (host_.NtFamily()) {
        const std::optional<std::string> comspec = host_.EnvironmentVariable("COMSPEC");
        if (comspec && !comspec->empty()) return Quoted(*comspec) + " /c ";
    }
    return "command.com /c ";
}

Interpreter::Flow Interpreter::Fail(const BilingualText& why, std::string_view detail) {
    host_.ShowMessage(Text(why) + std::string(detail));
    aborted_ = true;
    return Flow::End;
}

} // namespace

std::string ScriptDirectoryOf(std::string_view documentPath) {
    std::string directory(PathDirectory(documentPath));
    if (directory.size() == 2 && directory[1] == ':') directory += '\\';
    return directory;
}

BuildScriptResult RunBuildScript(std::string_view text, const BuildScriptRun& run,
                                 ScriptHost& host) {
    BuildScriptResult result;
    if (!run.documentNamed) {
        host.ShowMessage(ChooseText(run.language, kSaveBeforeCompiling));
    } else {
        const std::string directory = ScriptDirectoryOf(run.documentPath);
        if (!directory.empty() && !host.ChangeDirectory(directory)) host.ReportLastError();
        BuildScriptRun bounded = run;
        bounded.configuredScript = run.configuredScript.substr(0, run.configuredScript.find('\0'));
        result = Interpreter(text.substr(0, text.find('\0')), bounded, host).Execute();
        host.RepaintMainWindow();
    }
    host.ShowStatus(ChooseText(run.language, kCompilerTerminated));
    return result;
}

} // namespace stx
