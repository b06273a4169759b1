#include "memory_script_host.h"

#include "compile/script_text.h"
#include "compile/section_flags.h"

#include <algorithm>

namespace stx::test {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

template <class Map> std::optional<std::string> Lookup(const Map& map, const std::string& key) {
    const auto it = map.find(key);
    if (it == map.end()) return std::nullopt;
    return it->second;
}

// The file system's wildcards, without regard to case; "x.*" also matches
// "x", as it does on Windows.
bool Matches(std::string_view pattern, std::string_view name) {
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        Matches(pattern.substr(0, pattern.size() - 2), name))
        return true;
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*')
        return Matches(pattern.substr(1), name) ||
               (!name.empty() && Matches(pattern, name.substr(1)));
    if (name.empty()) return false;
    if (pattern[0] != '?' && LowerAscii(pattern[0]) != LowerAscii(name[0])) return false;
    return Matches(pattern.substr(1), name.substr(1));
}

} // namespace

MemoryScriptHost::MemoryScriptHost() {
    AddDirectory("C:\\");
}

std::string MemoryScriptHost::Resolve(const std::string& path) const {
    std::string full;
    if (path.size() >= 2 && path[1] == ':')
        full = path.size() == 2 ? path + "\\" : path;
    else if (!path.empty() && path[0] == '\\')
        full = currentDirectory.substr(0, 2) + path;
    else
        full = currentDirectory + (currentDirectory.back() == '\\' ? "" : "\\") + path;
    // "." and ".." components, and no trailing backslash but at the root.
    std::vector<std::string> parts;
    std::size_t start = 3;
    while (start <= full.size()) {
        std::size_t end = full.find_first_of("\\/", start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = full.substr(0, 3);
    for (std::size_t i = 0; i < parts.size(); ++i)
        result += (i ? "\\" : "") + parts[i];
    return result;
}

std::string MemoryScriptHost::ParentOf(const std::string& absolute) const {
    const std::size_t slash = absolute.rfind('\\');
    if (slash == std::string::npos || absolute.size() <= 3) return {};
    return absolute.substr(0, std::max<std::size_t>(slash, 2) + (slash == 2 ? 1 : 0));
}

bool MemoryScriptHost::HasChildren(const std::string& absolute) const {
    const std::string key = Lower(absolute);
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const auto& entry) {
        return entry.first != key && Lower(ParentOf(entry.second.path)) == key;
    });
}

void MemoryScriptHost::AddFile(const std::string& path, const std::string& bytes,
                               std::uint32_t attributes) {
    const std::string absolute = Resolve(path);
    nodes_[Lower(absolute)] = {absolute, false, attributes, {bytes.begin(), bytes.end()}};
}

void MemoryScriptHost::AddDirectory(const std::string& path) {
    const std::string absolute = Resolve(path);
    nodes_[Lower(absolute)] = {absolute, true, kAttributeDirectory, {}};
}

MemoryScriptHost::Node* MemoryScriptHost::Find(const std::string& path) {
    const auto it = nodes_.find(Lower(Resolve(path)));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryScriptHost::Exists(const std::string& path) const {
    return nodes_.count(Lower(Resolve(path))) != 0;
}

std::string MemoryScriptHost::Contents(const std::string& path) const {
    const auto it = nodes_.find(Lower(Resolve(path)));
    return it == nodes_.end() ? "<missing>"
                              : std::string(it->second.bytes.begin(), it->second.bytes.end());
}

std::vector<std::string> MemoryScriptHost::CallsOf(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call.substr(prefix.size()));
    return found;
}

std::vector<FoundFile> MemoryScriptHost::FindFiles(const std::string& pattern, std::size_t limit) {
    calls.push_back("find " + pattern);
    std::vector<FoundFile> found;
    if (pattern.empty()) return found;
    const std::size_t slash = pattern.find_last_of("\\/");
    const std::string directory = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
    const std::string wildcard = pattern.substr(directory.size());
    const std::string parent = Lower(Resolve(directory.empty() ? "." : directory));
    if ((wildcard == "*" || wildcard == "*.*") && parent.size() > 3)
        found.insert(found.end(), {{".", true, 0}, {"..", true, 0}});
    for (const auto& [key, node] : nodes_) {
        if (key == parent || Lower(ParentOf(node.path)) != parent) continue;
        const std::string name = node.path.substr(node.path.rfind('\\') + 1);
        if (Matches(wildcard, name)) found.push_back({name, node.directory, node.bytes.size()});
        if (limit != 0 && found.size() >= limit) break;
    }
    return found;
}

std::optional<std::uint32_t> MemoryScriptHost::GetAttributes(const std::string& path) {
    const Node* node = Find(path);
    return node ? std::optional(node->attributes) : std::nullopt;
}

bool MemoryScriptHost::SetAttributes(const std::string& path, std::uint32_t attributes) {
    Node* node = Find(path);
    if (!node) return false;
    node->attributes =
        (attributes & ~kAttributeDirectory) | (node->directory ? kAttributeDirectory : 0);
    return true;
}

bool MemoryScriptHost::RemoveFile(const std::string& path) {
    calls.push_back("delete " + path);
    Node* node = Find(path);
    if (!node || node->directory || (node->attributes & kAttributeReadOnly)) return false;
    nodes_.erase(Lower(node->path));
    return true;
}

bool MemoryScriptHost::RemoveEmptyDirectory(const std::string& path) {
    calls.push_back("rmdir " + path);
    Node* node = Find(path);
    if (!node || !node->directory || HasChildren(node->path)) return false;
    nodes_.erase(Lower(node->path));
    return true;
}

bool MemoryScriptHost::MakeDirectory(const std::string& path) {
    calls.push_back("mkdir " + path);
    const std::string absolute = Resolve(path);
    if (Exists(absolute) || !Exists(ParentOf(absolute))) return false;
    AddDirectory(absolute);
    return true;
}

bool MemoryScriptHost::ChangeDirectory(const std::string& path) {
    calls.push_back("cd " + path);
    const Node* node = Find(path);
    if (!node || !node->directory) return false;
    currentDirectory = node->path;
    return true;
}

std::unique_ptr<OpenedFile> MemoryScriptHost::OpenForUpdate(const std::string& path) {
    Node* node = Find(path);
    if (!node || node->directory || (node->attributes & kAttributeReadOnly)) return nullptr;
    return std::make_unique<BytesFile>(node->bytes);
}

std::optional<std::string> MemoryScriptHost::ShortPath(const std::string& path) {
    return Lookup(shortPaths, path);
}

std::optional<std::uint32_t> MemoryScriptHost::RunProgram(const ProgramStart& start) {
    std::string call = "run " + start.commandLine;
    if (!start.showWindow) call += " [hidden]";
    if (start.redirection)
        call += (start.redirection->append ? " [>> " : " [> ") + start.redirection->path + "]";
    calls.push_back(call);

    // The program is the command line's first word, quoted or not.
    const std::string& line = start.commandLine;
    std::string program;
    if (!line.empty() && line[0] == '"')
        program = line.substr(1, line.find('"', 1) - 1);
    else
        program = line.substr(0, line.find(' '));
    const Node* node = Find(program);
    if (program.empty() || !node || node->directory) return std::nullopt;

    if (start.redirection) {
        Node* target = Find(start.redirection->path);
        if (!target) {
            AddFile(start.redirection->path);
            target = Find(start.redirection->path);
        }
        if (!start.redirection->append) target->bytes.clear();
        const std::string output = "output\r\n";
        target->bytes.insert(target->bytes.end(), output.begin(), output.end());
    }
    return onRun ? onRun(start) : 0;
}

bool MemoryScriptHost::StartProgram(const std::string& commandLine) {
    calls.push_back("start " + commandLine);
    return true;
}

std::optional<std::string> MemoryScriptHost::EnvironmentVariable(const std::string& name) {
    return Lookup(environment, name);
}

void MemoryScriptHost::ViewFile(const std::string& path, const std::string& caption,
                                const std::string& failureText) {
    calls.push_back("view " + (Exists(path) ? Contents(path) : failureText) + " | " + caption);
}

} // namespace stx::test
