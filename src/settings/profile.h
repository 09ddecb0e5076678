// Our own private-profile (INI) reader and writer.
//
// Pure functions on the whole file as a string of bytes, used on every
// platform (Windows too) so the settings file behaves the same everywhere.
// Both run in one linear pass and accept any bytes at all: binary garbage,
// NUL bytes, huge lines and huge files give the default or a clean write.
//
// Layout of a file:
//  - Lines end in CR LF, LF or a lone CR. A UTF-8 byte-order mark at the very
//    start is not part of the first line's text.
//  - A line whose first non-blank character is '[' and which holds a ']' is a
//    section header; the name is the text between '[' and the first ']',
//    blanks (space, tab) trimmed. A '[' line without ']' is nothing at all.
//  - Inside a section, a line holding '=' is an entry: the key is the text
//    before the first '=', the value the text after it. A line without '='
//    is not an entry. Lines before the first header belong to no section.
//  - A line whose first non-blank character is ';' is a comment for the
//    reader. The writer still treats a comment line holding '=' as an entry
//    so that it can find and rewrite the note lines, whose keys begin with ';'.
//
// Matching (reader and writer alike), ASCII case ignored:
//  - Sections: names compared with surrounding blanks trimmed. Only the first
//    matching section counts; a duplicate further down is never read or
//    written.
//  - Keys: leading blanks never count. An entry matches exactly when its key
//    text (up to '=', trailing blanks kept) equals the wanted key. A wanted key
//    without trailing blanks also matches loosely an entry whose key is that
//    key followed by blanks, as a hand edit "key = value" leaves it. The
//    first exact match in the section wins, failing that the first loose one.
//    So "; " and ";  " are distinct keys, while "Key" still finds "Key = x".
//
// Values read back with surrounding blanks trimmed and then one pair of
// matching surrounding quotes (" or ') removed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvan::settings::profile {

// The value of key in section, viewing into contents, or nothing when the
// section or the key is missing. An entry with an empty value gives "".
std::optional<std::string_view> FindValue(std::string_view contents, std::string_view section,
                                          std::string_view key);

// As GetPrivateProfileStringA copies into a buffer of size characters: the
// value, or fallback when section or key is missing, cut to size - 1
// characters. A size of 0 gives "".
std::string GetString(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view fallback, std::size_t size);

// True when the entry can be written without changing the meaning of other
// lines: no CR or LF anywhere, no ']' in the section, no '=' in the key, and
// a key that does not begin (after blanks) with '['.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value);

// The file's new contents after setting key in section to value, or nothing
// when !IsWritable. Every byte outside the one changed or added line is kept:
//  - An existing entry keeps its line, its key text and its '=' as they
//    stand; everything after the '=' up to the line break becomes the value,
//    so "key = old" turns into "key =new".
//  - A new entry goes directly after the last non-blank line of its section
//    (after the header when the section is empty), so blank lines before the
//    next header stay where they are. The key is written with leading blanks
//    dropped.
//  - A new section goes at the end of the file, after a CR LF when the file
//    does not end in a line break. No blank lines are added between sections.
//  - Every line created ends in CR LF.
// Writing the same entry twice gives the same bytes as writing it once.
std::optional<std::string> SetString(std::string_view contents, std::string_view section,
                                     std::string_view key, std::string_view value);

}  // namespace orvan::settings::profile
