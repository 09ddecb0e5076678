// Starting the built-in tasks, the user tasks and the companion editor.
#pragma once

#include <array>
#include <string>

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

// Starts row `index` of the built-in table with the run method.
platform::StartResult StartBuiltIn(platform::Services& sys, int index, int runMethod);

// Starts a user task path with the run method. A path that names an existing
// program starts exactly that program, in its own folder; an existing
// document opens through its file association; anything else goes to the
// system's command-line rules unchanged, in the console's directory.
platform::StartResult StartUserTask(platform::Services& sys, const std::string& taskPath, int runMethod);

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
