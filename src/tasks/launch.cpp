#include "tasks/launch.h"

#include <algorithm>
#include <vector>

namespace orvan::tasks {

using platform::PathKind;
using platform::StartRequest;
using platform::StartResult;

namespace {

constexpr const char* kNotInSystemFolders = "The program is in neither the system folder nor the Windows folder.";

constexpr const char* kNotOnSearchPath =
    "No program of that name is in the system folder, the Windows folder or a folder of the search path.";
constexpr const char* kNoSuchProgram = "The program it names does not exist.";

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           platform::EqualsIgnoringAsciiCase(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.rfind("\\\\", 0) == 0;
}

std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
    const std::string x = WithoutTrailingSeparator(a), y = WithoutTrailingSeparator(b);
    return !y.empty() && platform::EqualsIgnoringAsciiCase(x, y);
}

// A name as the system's search takes it: ".exe" added when it has no
// extension of its own.
std::string WithDefaultExtension(const std::string& name) {
    const std::size_t slash = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return extension ? name : name + ".exe";
}

// The first file of that name (with its default extension) in the folders,
// in their order.
std::optional<std::string> FindProgram(platform::Services& sys, const std::vector<std::string>& folders,
                                       const std::string& name) {
    const std::string file = WithDefaultExtension(name);
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const bool separated = folder.back() == '\\' || folder.back() == '/';
        const std::string path = folder + (separated ? "" : "\\") + file;
        if (sys.Classify(path) == PathKind::File) return path;
    }
    return std::nullopt;
}

// The program's word of a command line: in quotes, or else up to the first
// blank after which the text so far names a program (".exe", ".com"), so a
// path with blanks is read whole and no shorter prefix of it stands in; a
// bare name ends at the first blank.
struct ProgramWord {
    std::string text;     // without its quotes
    std::size_t end = 0;  // where the arguments start in the command line
    bool quoted = false;
};

ProgramWord FirstWord(const std::string& commandLine) {
    ProgramWord word;
    std::size_t start = 0;
    while (start < commandLine.size() && (commandLine[start] == ' ' || commandLine[start] == '\t')) ++start;
    if (start < commandLine.size() && commandLine[start] == '"') {
        const std::size_t close = commandLine.find('"', start + 1);
        word.quoted = true;
        word.end = close == std::string::npos ? commandLine.size() : close + 1;
        word.text =
            commandLine.substr(start + 1, (close == std::string::npos ? commandLine.size() : close) - start - 1);
        return word;
    }
    const std::size_t blank = commandLine.find_first_of(" \t", start);
    const std::string first = commandLine.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
    if (IsBareName(first)) {
        word.text = first;
        word.end = blank == std::string::npos ? commandLine.size() : blank;
        return word;
    }
    for (std::size_t at = blank;; at = commandLine.find_first_of(" \t", at + 1)) {
        const std::size_t end = at == std::string::npos ? commandLine.size() : at;
        const std::string text = commandLine.substr(start, end - start);
        // Without a program's name anywhere, the whole line is the name
        // of a program that does not exist.
        if (IsProgramFile(text) || at == std::string::npos) {
            word.text = text;
            word.end = end;
            return word;
        }
    }
}

}  // namespace

bool IsBareName(const std::string& name) { return name.find_first_of("\\/:") == std::string::npos; }

bool IsProgramFile(const std::string& path) {
    return EndsWithIgnoringCase(path, ".exe") || EndsWithIgnoringCase(path, ".com");
}

std::optional<std::string> BuiltInProgram(platform::Services& sys, std::string_view command) {
    const std::string name(command.substr(0, command.find(' ')));
    if (!IsBareName(name)) return std::nullopt;
    return FindProgram(sys, {sys.SystemFolder(), sys.WindowsFolder()}, name);
}

StartResult StartBuiltIn(platform::Services& sys, int index, int runMethod) {
    const char* command = kBuiltInTasks.at(static_cast<std::size_t>(index)).command;
    const std::optional<std::string> program = BuiltInProgram(sys, command);
    if (!program) return {false, 0, kNotInSystemFolders};
    StartRequest request;
    request.application = *program;
    request.commandLine = command;
    request.showCode = runMethod;
    return sys.StartProgram(request);
}

std::vector<std::string> BareNameFolders(platform::Services& sys) {
    // The system's own folders first, as the system's search takes them, then
    // the search path without the console's own folder or its current one.
    std::vector<std::string> folders = {sys.SystemFolder(), sys.WindowsFolder()};
    const std::string own = sys.ProgramFolder();
    const std::string current = sys.CurrentFolder();
    const std::string path = sys.EnvironmentVariable("PATH").value_or("");
    for (std::size_t from = 0; from <= path.size();) {
        std::size_t end = path.find(';', from);
        if (end == std::string::npos) end = path.size();
        std::string folder = path.substr(from, end - from);
        from = end + 1;
        folder.erase(std::remove(folder.begin(), folder.end(), '"'), folder.end());
        // A relative entry ("." or "bin") is a folder under the current one.
        if (!IsAbsolute(folder) || SameFolder(folder, own) || SameFolder(folder, current)) continue;
        folders.push_back(folder);
    }
    return folders;
}

std::optional<UserTaskProgram> FindUserTaskProgram(platform::Services& sys, const std::string& taskPath) {
    const ProgramWord word = FirstWord(taskPath);
    if (word.text.empty()) return std::nullopt;
    UserTaskProgram found;
    // The program's word as the command line hands it on: quoted where it
    // holds a blank, so the program's own reading of it finds its arguments.
    const bool quote = word.quoted || word.text.find(' ') != std::string::npos;
    found.commandLine = (quote ? "\"" + word.text + "\"" : word.text) + taskPath.substr(word.end);
    if (IsBareName(word.text)) {
        std::optional<std::string> program = FindProgram(sys, BareNameFolders(sys), word.text);
        if (!program) return std::nullopt;
        found.program = *program;
        return found;
    }
    for (const std::string& candidate : {word.text, word.quoted ? WithDefaultExtension(word.text) : word.text}) {
        if (sys.Classify(candidate) == PathKind::File) {
            found.program = candidate;
            return found;
        }
    }
    return std::nullopt;
}

StartResult StartUserTask(platform::Services& sys, const std::string& taskPath, int runMethod) {
    if (!IsBareName(taskPath) && sys.Classify(taskPath) == PathKind::File) {
        if (!IsProgramFile(taskPath)) {
            // A document opens in its own folder.
            return sys.OpenDocument(taskPath, runMethod, platform::FolderOf(taskPath));
        }
        // Quoted and named as the application, so no program that sits at a
        // prefix of a path with blanks ("C:\Program.exe") can run instead.
        StartRequest request;
        request.application = taskPath;
        request.commandLine = "\"" + taskPath + "\"";
        request.showCode = runMethod;
        request.directory = platform::FolderOf(taskPath);
        return sys.StartProgram(request);
    }
    // A command line: a program and its arguments, started in the console's
    // directory, but only the program it names, never one the system's
    // search would find in the console's folder or at a shorter prefix.
    const std::optional<UserTaskProgram> program = FindUserTaskProgram(sys, taskPath);
    if (!program) return {false, 0, IsBareName(FirstWord(taskPath).text) ? kNotOnSearchPath : kNoSuchProgram};
    StartRequest request;
    request.application = program->program;
    request.commandLine = program->commandLine;
    request.showCode = runMethod;
    return sys.StartProgram(request);
}

std::string ExpandedTaskPath(platform::Services& sys, const std::string& taskPath) {
    if (taskPath.find('%') == std::string::npos) return taskPath;
    if (!IsBareName(taskPath) && sys.Classify(taskPath) == PathKind::File) return taskPath;
    std::string expanded;
    std::size_t at = 0;
    while (at < taskPath.size()) {
        const std::size_t open = taskPath.find('%', at);
        const std::size_t close = open == std::string::npos ? open : taskPath.find('%', open + 1);
        if (close == std::string::npos) {
            expanded += taskPath.substr(at);
            break;
        }
        expanded += taskPath.substr(at, open - at);
        const std::string name = taskPath.substr(open + 1, close - open - 1);
        const std::optional<std::string> value = name.empty() ? std::nullopt : sys.EnvironmentVariable(name);
        expanded += value ? *value : taskPath.substr(open, close - open + 1);
        at = close + 1;
    }
    return expanded;
}

std::string FillInserts(const std::string& reason, const std::string& taskPath) {
    std::string text;
    std::size_t at = 0;
    while (at < reason.size()) {
        const bool insert =
            reason[at] == '%' && at + 1 < reason.size() && reason[at + 1] >= '1' && reason[at + 1] <= '9';
        if (!insert) {
            text += reason[at++];
            continue;
        }
        const int number = reason[at + 1] - '0';
        std::size_t end = at + 2;
        const bool twoDigits = end < reason.size() && reason[end] >= '0' && reason[end] <= '9';
        if (twoDigits) ++end;
        // "%1!s!": the printf format between the marks belongs to the insert.
        if (end < reason.size() && reason[end] == '!') {
            const std::size_t close = reason.find('!', end + 1);
            if (close != std::string::npos) end = close + 1;
        }
        // The only insert a failed start has to give is the program's name;
        // any other has nothing to stand for and goes.
        if (number == 1 && !twoDigits) text += taskPath;
        at = end;
    }
    return text;
}

std::string UserTaskFailure(const std::string& taskPath, const std::string& reason) {
    std::string text = "The user task \"" + taskPath + "\" could not be started.";
    if (!reason.empty()) text += "\r\n\r\n" + FillInserts(reason, taskPath);
    return text;
}

StartResult StartEditor(platform::Services& sys) {
    StartRequest request;
    request.commandLine = kEditorCommand;
    request.showCode = platform::kShowNormal;
    return sys.StartProgram(request);
}

}  // namespace orvan::tasks
