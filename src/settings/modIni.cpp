#include "settings/modIni.h"

#include <new>
#include <stdexcept>

#include "settings/durable_save.h"
#include "settings/profile.h"
#include "settings/run_method.h"

namespace orvan::settings {

modIni::modIni(platform::Services& sys) : sys_(sys) {}

std::optional<std::string> modIni::Read(const std::string& file) {
    try {
        return ReadLastSave(sys_, file);
    } catch (const std::bad_alloc&) {
        // A file too large to hold reads as no file: the defaults.
    } catch (const std::length_error&) {
    }
    return std::nullopt;
}

std::string modIni::ValueIn(const std::optional<std::string>& contents, std::string_view section, std::string_view key,
                            std::string_view defaultValue) {
    try {
        std::string value = profile::GetString(sys_.Text(), contents ? std::string_view(*contents) : "", section, key,
                                               defaultValue, kReadBufferSize);
        if (!value.empty()) return value;
    } catch (const std::bad_alloc&) {
        // A read never fails its caller.
    } catch (const std::length_error&) {
    }
    return std::string(defaultValue);
}

std::string modIni::ReadIni(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string_view file) {
    return ValueIn(Read(std::string(file)), section, key, defaultValue);
}

void modIni::LoadAll() {
    IniPath = std::string(kSettingsPath);
    const std::optional<std::string> contents = Read(IniPath);
    RunMethodText = ValueIn(contents, kOptionsSection, kRunMethodKey, kRunMethodDefault);
    // Text that does not convert leaves the run method as it was.
    if (std::optional<std::int16_t> code = ToRunMethod(RunMethodText)) RunMethod = *code;
    for (std::size_t slot = 0; slot < kSlotCount; ++slot)
        TaskPath[slot] = ValueIn(contents, kUserTasksSection, kSlotLabels[slot], kTaskPathDefault);
    loaded_ = Loaded{RunMethod, TaskPath};
}

bool modIni::TryWrite(std::string_view section, std::string_view key, std::string_view value, const std::string& file) {
    if (!RecoverLastSave(sys_, file)) return false;
    std::optional<std::string> old = sys_.ReadFile(file);
    // A file that is there but cannot be read must not be replaced by one
    // holding just this entry.
    if (!old && sys_.Classify(file) != platform::PathKind::Missing) return false;
    std::optional<std::string> updated =
        profile::SetString(sys_.Text(), old ? std::string_view(*old) : "", section, key, value);
    return updated && SaveDurably(sys_, file, old, *updated);
}

bool modIni::WriteIni(std::string_view section, std::string_view key, std::string_view value, std::string_view file) {
    const std::string path(file);
    bool written = false;
    try {
        written = TryWrite(section, key, value, path);
    } catch (const std::bad_alloc&) {
        written = false;  // a file too large to hold: reported like any failed write
    } catch (const std::length_error&) {
        written = false;
    }
    if (!written)
        sys_.ShowMessage(std::string(kWriteErrorText) + path, std::string(kWriteErrorTitle),
                         platform::MessageIcon::Critical);
    return written;
}

void modIni::SaveAll() {
    RunMethodText = RunMethodToText(RunMethod);
    // Which entries the file holds now: none when there is no file; where it
    // cannot be read, no telling, so every write is tried (and refused).
    std::optional<std::string> now = Read(IniPath);
    if (!now && sys_.Classify(IniPath) == platform::PathKind::Missing) now = std::string();
    const auto lacks = [&](std::string_view section, std::string_view key) {
        try {
            return !now || !profile::HasEntry(sys_.Text(), *now, section, key);
        } catch (const std::bad_alloc&) {
            return true;
        }
    };
    if (!loaded_ || RunMethod != loaded_->runMethod || lacks(kOptionsSection, kRunMethodKey))
        WriteIni(kOptionsSection, kRunMethodKey, RunMethodText, IniPath);
    for (std::size_t slot = 0; slot < kSlotCount; ++slot)
        if (!loaded_ || TaskPath[slot] != loaded_->taskPath[slot] || lacks(kUserTasksSection, kSlotLabels[slot]))
            WriteIni(kUserTasksSection, kSlotLabels[slot], TaskPath[slot], IniPath);
    for (const NoteEntry& note : kNoteEntries)
        if (!loaded_ || lacks(kNoteSection, note.key)) WriteIni(kNoteSection, note.key, note.value, IniPath);
}

}  // namespace orvan::settings
