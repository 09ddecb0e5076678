#include "tasks/launch.h"

namespace orvan::tasks {

using platform::PathKind;
using platform::StartRequest;
using platform::StartResult;

namespace {

// The start refuses these codes before asking the system, in words of ours.
constexpr const char* kRefusedCode = "The window-style code is not one a program can be started with.";

StartResult Start(platform::Services& sys, const StartRequest& request) {
    if (!platform::IsAcceptedShowCode(request.showCode)) return {false, 0, kRefusedCode};
    return sys.StartProgram(request);
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = text[text.size() - suffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != suffix[i]) return false;
    }
    return true;
}

}  // namespace

bool IsProgramFile(const std::string& path) {
    return EndsWithIgnoringCase(path, ".exe") || EndsWithIgnoringCase(path, ".com");
}

StartResult StartBuiltIn(platform::Services& sys, int index, int runMethod) {
    StartRequest request;
    request.commandLine = kBuiltInTasks.at(static_cast<std::size_t>(index)).command;
    request.showCode = runMethod;
    return Start(sys, request);
}

StartResult StartUserTask(platform::Services& sys, const std::string& taskPath, int runMethod) {
    if (sys.Classify(taskPath) == PathKind::File) {
        if (!IsProgramFile(taskPath)) {
            // A document opens in its own folder.
            if (!platform::IsAcceptedShowCode(runMethod)) return {false, 0, kRefusedCode};
            return sys.OpenDocument(taskPath, runMethod, platform::FolderOf(taskPath));
        }
        // Quoted and named as the application, so no program that sits at a
        // prefix of a path with blanks ("C:\Program.exe") can run instead.
        StartRequest request;
        request.application = taskPath;
        request.commandLine = "\"" + taskPath + "\"";
        request.showCode = runMethod;
        request.directory = platform::FolderOf(taskPath);
        return Start(sys, request);
    }
    StartRequest request;
    request.commandLine = taskPath;
    request.showCode = runMethod;
    return Start(sys, request);
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
    return Start(sys, request);
}

}  // namespace orvan::tasks
