#include "tasks/define.h"

#include "settings/modIni.h"

namespace orvan::tasks {

platform::OpenFileSpec DialogSpec(const std::string& title, const std::string& filter, int filterIndex,
                                  const std::string& defaultExtension) {
    platform::OpenFileSpec spec;
    spec.title = title;
    spec.filterIndex = filterIndex;
    // The designer stores the default extension as "*.exe"; the dialog wants "exe".
    std::string extension = defaultExtension;
    while (!extension.empty() && (extension.front() == '*' || extension.front() == '.')) extension.erase(0, 1);
    spec.defaultExtension = extension;
    std::size_t start = 0;
    while (start <= filter.size()) {
        std::size_t bar = filter.find('|', start);
        if (bar == std::string::npos) break;
        std::size_t next = filter.find('|', bar + 1);
        std::string pattern = filter.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
        spec.filters.emplace_back(filter.substr(start, bar - start), pattern);
        if (next == std::string::npos) break;
        start = next + 1;
    }
    return spec;
}

bool FitsSettingsFile(const std::string& path) { return path.size() <= kLongestTaskPath; }

std::string PathTooLong(const std::string& path) {
    return "The path of the chosen file is too long to keep as a user task (more than " +
           std::to_string(kLongestTaskPath) + " characters):\r\n\r\n" + path;
}

std::string PathNotAnsi(const std::string& path, bool shortTooLong) {
    const std::string why = shortTooLong ? "its short name is too long to keep (more than " +
                                               std::to_string(kLongestTaskPath) + " characters)"
                                         : "the file has no short name without them";
    return "The path of the chosen file has characters that the settings file cannot hold, and " + why +
           ", so it cannot be kept as a user task:\r\n\r\n" + path;
}

KeptPath KeepChosenFile(const platform::ChosenFile& chosen) {
    const bool hasExact = chosen.exact && !chosen.exact->empty();
    const bool hasShort = chosen.shortForm && !chosen.shortForm->empty();
    KeptPath kept;
    if (hasExact && FitsSettingsFile(*chosen.exact)) {
        kept.form = KeptPath::Form::Exact;
        kept.taskPath = *chosen.exact;
    } else if (hasShort && FitsSettingsFile(*chosen.shortForm)) {
        // Names the same file, in characters the settings file holds.
        kept.form = KeptPath::Form::Short;
        kept.taskPath = *chosen.shortForm;
    } else if (hasExact) {
        kept.refusal = PathTooLong(chosen.path);
    } else {
        kept.refusal = PathNotAnsi(chosen.path, hasShort);
    }
    return kept;
}

KeptPath KeepDroppedFile(const platform::DroppedFile& dropped) {
    KeptPath kept;
    if (dropped.shortcut && !dropped.target) {
        kept.refusal = "The shortcut \"" + dropped.file.path + "\" leads to no file, so it cannot be a user task.";
    } else if (dropped.folder) {
        kept.refusal = "\"" + dropped.file.path + "\" is a folder, not a program, so it cannot be a user task.";
    } else {
        return KeepChosenFile(dropped.target ? *dropped.target : dropped.file);
    }
    return kept;
}

std::string UserEntryText(std::size_t slot, const std::string& taskPath) {
    return std::string(settings::kSlotLabels.at(slot)) + " - " + taskPath;
}

}  // namespace orvan::tasks
