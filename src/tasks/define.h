// Defining a user task: the Open-file dialog and what a chosen path must meet.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace orvan::tasks {

// The longest value the settings file gives back whole.
inline constexpr std::size_t kLongestTaskPath = 255;

// The dialog request for a common-dialog definition; the filter is
// "Description|pattern|Description|pattern".
platform::OpenFileSpec DialogSpec(const std::string& title, const std::string& filter, int filterIndex,
                                  const std::string& defaultExtension);

bool FitsSettingsFile(const std::string& path);
std::string PathTooLong(const std::string& path);
// The refusal of a path the ANSI code page cannot hold, with or without a
// short name too long to keep.
std::string PathNotAnsi(const std::string& path, bool shortTooLong);

// What becomes of a file chosen for a user slot: its exact path when the
// settings file holds it whole, else its verified short path, else nothing
// and a refusal to show (UTF-8, naming the chosen path).
struct KeptPath {
    enum class Form { Exact, Short, Refused };
    Form form = Form::Refused;
    std::string taskPath;  // Exact, Short: the ANSI text to store
    std::string refusal;   // Refused: what the user reads
};
KeptPath KeepChosenFile(const platform::ChosenFile& chosen);

// The same for a file dropped on a user slot: a shortcut stands for its
// target; a folder, or a shortcut to a folder or to nothing there, is
// refused.
KeptPath KeepDroppedFile(const platform::DroppedFile& dropped);

// The entry text of a user slot (0-based): its label, " - ", its task path.
std::string UserEntryText(std::size_t slot, const std::string& taskPath);

}  // namespace orvan::tasks
