// Starting the built-in tasks, the user tasks and the companion editor.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace orvan::tasks {

// The built-in tasks: each entry of the built-in list and the command it
// starts. The list is sorted, so the table is kept in sorted order and a
// list index is a row of the table.
struct BuiltInTask {
    const char* entry;
    const char* command;
};
inline constexpr std::array<BuiltInTask, 7> kBuiltInTasks = {{
    {"Browse Windows", "explorer c:\\windows\\"},
    {"Control Panel", "control"},
    {"Notepad", "notepad"},
    {"Windows Explorer", "explorer"},
    {"Windows Help", "winhlp32"},
    {"Windows Version", "winver"},
    {"Wordpad", "write"},
}};

inline constexpr const char* kEditorCommand = "quillpad.exe";
inline constexpr const char* kAppTitle = "ORVAN 97";
inline constexpr const char* kEditorMissing =
    "The Orvan Edit executable (quillpad.exe) could not be located. It must be in the current directory of "
    "Orvan 97 or in the path.";

// The program a built-in command names, looked for in the system's own
// folders only: the system folder, then the Windows folder (the order the
// system's own search takes them in). A name without an extension is an
// ".exe". Nothing when neither folder holds it: a program of that name
// beside the console, in its current folder or elsewhere on the search path
// never stands in for the system's.
std::optional<std::string> BuiltInProgram(platform::Services& sys, std::string_view command);

// Starts row `index` of the built-in table with the run method: the
// program BuiltInProgram finds, with the command as its command line.
platform::StartResult StartBuiltIn(platform::Services& sys, int index, int runMethod);

// Starts a user task path with the run method. A path that names an existing
// program starts exactly that program, in its own folder; an existing
// document opens through its file association; anything else is a command
// line, started in the console's directory with the program
// FindUserTaskProgram finds, or not at all.
platform::StartResult StartUserTask(platform::Services& sys, const std::string& taskPath, int runMethod);

// The program a user task's command line names, and the command line it is
// handed (its program's word quoted where it holds a blank, the arguments as
// written). The program's word is the quoted text, or else the text up to
// the first blank after which it names a program (".exe", ".com"), so that
// a path with blanks is read whole and never a shorter prefix of it. A bare
// name (no folder: "xxx", "notepad") is looked for in BareNameFolders, with
// ".exe" added when it has no extension; a path must name an existing file
// (a quoted one may leave out ".exe"). Nothing when no such file exists.
struct UserTaskProgram {
    std::string program;
    std::string commandLine;
};
std::optional<UserTaskProgram> FindUserTaskProgram(platform::Services& sys, const std::string& taskPath);

// Where a bare program name is looked for: the system folder, the Windows
// folder, then each absolute folder of the search path (PATH), leaving out
// the console's own folder and its current folder, where anyone who can
// leave a file beside the program could plant one.
std::vector<std::string> BareNameFolders(platform::Services& sys);

// Whether a name has no folder part (no '\', '/' or ':').
bool IsBareName(const std::string& name);

// The task path a user task starts: as written when it names an existing
// file, else with each %NAME% of a variable of the console's environment
// replaced by its value (a name that is not set stays as it stands), so a
// settings file can name a program portably (%ProgramFiles%, %USERPROFILE%)
// and still hold what its author wrote.
std::string ExpandedTaskPath(platform::Services& sys, const std::string& taskPath);

// The report shown when a user task cannot be started; the system's reason
// comes with its inserts unfilled.
std::string UserTaskFailure(const std::string& taskPath, const std::string& reason);

// The system's reason with its inserts filled: "%1" (with or without a
// "!fmt!" part) becomes the task path, "%2" to "%99" are dropped. Any other
// '%' is left as it stands.
std::string FillInserts(const std::string& reason, const std::string& taskPath);

// Starts the companion editor, always at normal size in front.
platform::StartResult StartEditor(platform::Services& sys);

// Whether an existing file starts as a program (.exe, .com, in any case);
// any other file opens through its file association.
bool IsProgramFile(const std::string& path);

}  // namespace orvan::tasks
