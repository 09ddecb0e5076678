// modIni: the in-memory settings of the process and the settings file.
//
// One instance lives for the whole process. The console's load fills it from
// the file (LoadAll), the Options dialog and the defining of user tasks
// change it, and SaveAll writes back what the file should hold when the
// console closes or on Exit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orvan::settings {

// ---------------------------------------------------------------- file layout

inline constexpr std::string_view kSettingsPath = "C:\\Windows\\Orvan97.ini";

inline constexpr std::string_view kOptionsSection = "Options";
inline constexpr std::string_view kRunMethodKey = "Program Run Method";
inline constexpr std::string_view kRunMethodDefault = "1";

inline constexpr std::string_view kUserTasksSection = "User Tasks";
inline constexpr std::string_view kTaskPathDefault = "xxx";  // a slot never defined
inline constexpr std::size_t kSlotCount = 10;

// Slot labels, index 0 = slot 1: each slot's key in "User Tasks" and the
// start of its entry in the user list.
inline constexpr std::array<std::string_view, kSlotCount> kSlotLabels = {
    "User Task One", "User Task Two",   "User Task Three", "User Task Four", "User Task Five",
    "User Task Six", "User Task Seven", "User Task Eight", "User Task Nine", "User Task Ten",
};

inline constexpr std::string_view kNoteSection = "Note";

struct NoteEntry {
    std::string_view key;
    std::string_view value;
};

// Four comment lines whose texts all start in the sixth column: the key's
// trailing blanks, the '=' and the value's leading blanks make five
// characters on each line.
inline constexpr std::array<NoteEntry, 4> kNoteEntries = {{
    {";", "   Please don't edit this file yourself."},
    {"; ", "  You may incorrectly do so and corrupt"},
    {";  ", " the file. If that occurs, delete this file. You"},
    {";   ", "will then have to define your user tasks again."},
}};

// ReadIni asks for at most this many characters, the last one for the NUL.
inline constexpr std::size_t kReadBufferSize = 256;

inline constexpr std::string_view kWriteErrorText = "Unexpected error writing to file: ";
inline constexpr std::string_view kWriteErrorTitle = "Error";

// ---------------------------------------------------------------- the module

class modIni {
public:
    explicit modIni(platform::Services& sys);

    std::string IniPath;  // empty until the console's load sets it
    std::int16_t RunMethod = 0;
    std::string RunMethodText;                     // as last read, or last prepared for writing
    std::array<std::string, kSlotCount> TaskPath;  // index 0 = slot 1

    // The entry's value, at most kReadBufferSize - 1 characters, or
    // defaultValue when the file, section or key is missing or the value is
    // empty. Never fails.
    std::string ReadIni(std::string_view section, std::string_view key, std::string_view defaultValue,
                        std::string_view file);

    // Writes one entry. On failure shows the "Error" box naming the file and
    // returns false. The new bytes reach the disk through SaveDurably; a
    // file that exists but cannot be read whole is never written.
    bool WriteIni(std::string_view section, std::string_view key, std::string_view value, std::string_view file);

    // Sets IniPath and reads the run method (RunMethodText, and RunMethod
    // where the text converts) and the ten user tasks from one reading of
    // the file: the mirror of SaveAll. What it leaves is what SaveAll
    // compares with.
    void LoadAll();

    // Writes the entries the file should be given, in the file's order: the
    // run method, the ten user tasks, the note. An entry is written when the
    // user changed it since LoadAll (every entry, without a LoadAll), or
    // when the file lacks it, so a first close writes the whole layout. An
    // entry the load could not read (the file held or unreadable) or that
    // another program wrote since keeps what the file holds. Where the file
    // cannot be read now, every entry is tried, and each write refuses with
    // its box. Each failure with its own box, results ignored.
    void SaveAll();

private:
    // What LoadAll left, for SaveAll; nothing before a load.
    struct Loaded {
        std::int16_t runMethod = 0;
        std::array<std::string, kSlotCount> taskPath;
    };
    std::optional<Loaded> loaded_;

    // The entry's value in the file's bytes, as ReadIni gives it.
    std::string ValueIn(const std::optional<std::string>& contents, std::string_view section, std::string_view key,
                        std::string_view defaultValue);
    // The file's bytes as the last whole save left them, or nothing when
    // they cannot be had (read, or held in memory).
    std::optional<std::string> Read(const std::string& file);
    bool TryWrite(std::string_view section, std::string_view key, std::string_view value, const std::string& file);

    platform::Services& sys_;
};

}  // namespace orvan::settings
