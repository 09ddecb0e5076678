// How the settings file's new bytes reach the disk so that no reader meets
// the file torn: replaced atomically; where the system refuses that, written
// in place while a sealed whole copy waits beside it (what a reader then
// takes); where not even the copy can be made, edited in place as the
// system's own writer would, changing only what differs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orvan::settings {

// While the file is written in place, a whole copy of its new bytes waits
// beside it under this name, sealed (see WholeCopyOf), until the file is whole.
inline constexpr std::string_view kWholeCopySuffix = ".new";

// The bytes followed by a seal line that names their length and checksum.
std::string WholeCopyOf(std::string_view bytes);

// The bytes a sealed copy holds, or nothing when the copy is not whole: cut
// short, empty, or not ours.
std::optional<std::string> FromWholeCopy(std::string_view copy);

// Bytes that read as nothing after `before` in a file of its encoding:
// blanks, led by a line break when `before` does not end in one. Nothing
// when `count` bytes cannot be laid out so (a UTF-16 file of odd length).
std::optional<std::string> BlankFiller(std::string_view before, std::size_t count);

// The edit that turns `old` into `updated` in place with the least written
// while a cut could tear the file: the bytes from the first that differs,
// in one write. A file that grows first takes the room in blanks at its end;
// one that shrinks has blanks written up to its old end, then is cut.
platform::InPlaceEdit PlanInPlaceEdit(std::string_view old, std::string_view updated);

// The file's bytes as the last whole save left them: the sealed copy beside
// it when there is one, else the file itself; nothing when neither reads.
std::optional<std::string> ReadLastSave(platform::Services& sys, const std::string& file);

// Makes the file whole from a copy left by a save that broke off; true when
// no such copy remains.
bool RecoverLastSave(platform::Services& sys, const std::string& file);

// Puts the bytes in the file, whole: replaced atomically, else in place
// behind a whole copy, else edited in place over `old`, the bytes just read
// (nothing: the file has none, and then no edit in place is made). True
// when the file holds them.
bool SaveDurably(platform::Services& sys, const std::string& file, const std::optional<std::string>& old,
                 const std::string& bytes);

}  // namespace orvan::settings
