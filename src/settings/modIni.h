// modIni: the in-memory settings of the process and the settings file.
//
// One instance lives for the whole process. The console's load fills it from
// the file, the Options dialog and the defining of user tasks change it, and
// SaveAll writes everything back when the console closes or on Exit.
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
    "User Task One",   "User Task Two",   "User Task Three", "User Task Four",
    "User Task Five",  "User Task Six",   "User Task Seven", "User Task Eight",
    "User Task Nine",  "User Task Ten",
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

// ---------------------------------------------------------------- run method

// The run method a text stands for: surrounding blanks ignored, a decimal
// number with optional sign, fraction and exponent, rounded to the nearest
// whole number with halves to the even one. Nothing when the text is not such
// a number or the rounded value lies outside -32768..32767.
std::optional<std::int16_t> ToRunMethod(std::string_view text);

// Decimal text, no blanks, '-' for a negative value.
std::string RunMethodToText(std::int16_t value);

// ---------------------------------------------------------------- the module

class modIni {
public:
    explicit modIni(platform::Services& sys);

    std::string IniPath;        // empty until the console's load sets it
    std::int16_t RunMethod = 0;
    std::string RunMethodText;  // as last read, or last prepared for writing
    std::array<std::string, kSlotCount> TaskPath;  // index 0 = slot 1

    // The entry's value, at most kReadBufferSize - 1 characters, or
    // defaultValue when the file, section or key is missing or the value is
    // empty. Never fails.
    std::string ReadIni(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::string_view file);

    // Writes one entry, replacing the file atomically. On failure shows the
    // "Error" box naming the file and returns false; the file is left as it
    // was. A file that exists but cannot be read is never overwritten.
    bool WriteIni(std::string_view section, std::string_view key, std::string_view value,
                  std::string_view file);

    // Writes the run method, the ten user tasks and the note: fifteen
    // WriteIni calls, each failure with its own box, results ignored.
    void SaveAll();

private:
    bool TryWrite(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& file);

    platform::Services& sys_;
};

}  // namespace orvan::settings
