// Our own private-profile (INI) reader and writer.
//
// Pure functions on the whole file as a string of bytes, used on every
// platform (Windows too) so the settings file behaves the same everywhere.
// They read a file as the system's GetPrivateProfileStringA reads it and
// write it so that the system reads back what was written. Both run in one
// linear pass and accept any bytes at all: binary garbage, NUL bytes, huge
// lines and huge files give the default or a clean write. The only thing
// taken from the system is its text conversion (platform::TextCodec).
//
// Encoding, from the first bytes as the system detects it:
//  - EF BB BF: UTF-8; FF FE: UTF-16 little-endian; FE FF: UTF-16 big-endian;
//    anything else: the ANSI code page. The mark is not part of the text.
//  - Names and values are compared and cut as UTF-16 text; a value comes back
//    in the ANSI code page, as the system's "A" functions give it.
//  - A UTF-16 file of odd length: the last byte is no part of the text.
//
// Layout of a file:
//  - Lines end in CR LF, LF or a lone CR.
//  - Blanks are tab, LF, VT, FF, CR, ^Z (1A) and space: the system trims
//    exactly these around lines, names and values. Nothing else is a blank
//    (not even a no-break space).
//  - A line whose first non-blank character is '[' and which holds a ']' is a
//    section header: the name is the text between '[' and the last ']', blanks
//    trimmed. Lines before the first header form the section named "".
//  - Every other non-blank line is an entry of its section: the key is the
//    text before the first '=', blanks trimmed, the value the text after it,
//    blanks trimmed. A line without '=' is a key without a value: it reads as
//    missing and still hides a later entry of the same key. Lines beginning
//    with ';' are entries like any other (the system reads them too).
//  - A name or value ends at its first NUL character, as a C string does.
//
// Matching, reader and writer alike: the wanted names with blanks trimmed,
// compared with ASCII case ignored (no other letters fold). Only the first
// matching section counts, and in it the first matching key. One exception,
// for the writer only: a wanted key ending in blanks matches only a key
// written with exactly those blanks, so the note lines (";", "; ", ";  ")
// stay distinct lines. The system's reader sees those as one key.
//
// Values read back with one pair of matching surrounding quotes (" or ')
// removed, exactly as the system removes them (see GetString).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orvan::settings::profile {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// The encoding the system reads the file in, from its byte-order mark.
Encoding DetectEncoding(std::string_view contents);

// The whole value of key in section, in the ANSI code page, quotes removed,
// or nothing when the section or the key is missing or the key has no '='.
// An entry with an empty value gives "".
std::optional<std::string> FindValue(const platform::TextCodec& codec, std::string_view contents,
                                     std::string_view section, std::string_view key);

// As GetPrivateProfileStringA copies into a buffer of size characters: the
// value, or fallback (trailing spaces dropped) when section or key is
// missing, with one pair of surrounding quotes removed, cut to size - 1
// characters. A quoted value that just fills the buffer also loses its last
// character, as the system's does. A size of 0 gives "".
std::string GetString(const platform::TextCodec& codec, std::string_view contents, std::string_view section,
                      std::string_view key, std::string_view fallback, std::size_t size);

// True when the file holds the entry as the writer finds it (SetString
// changes its line rather than adding one): a key without '=' counts, and a
// key ending in blanks counts only as written, blanks and all.
bool HasEntry(const platform::TextCodec& codec, std::string_view contents, std::string_view section,
              std::string_view key);

// True when the entry can be written without changing the meaning of other
// lines or losing text: no CR, LF or NUL anywhere, no ']' in the section, no
// '=' in the key, and a key that does not begin (after blanks) with '['.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value);

// True when the value, written as it is, reads back as itself: it neither
// begins nor ends with a blank and is not wrapped in a matching pair of
// quotes. Other values are written in double quotes.
bool ReadsBackAsIs(const platform::TextCodec& codec, std::string_view value);

// The file's new contents after setting key in section to value, or nothing
// when !IsWritable. The file keeps its encoding, and every byte outside the
// one changed or added line is kept:
//  - The value is written as it is when ReadsBackAsIs, in double quotes
//    otherwise, so that it always reads back exactly. Keys beginning with ';'
//    (the note lines, never read) are the exception: their values are
//    written as they are.
//  - An existing entry keeps its line, its key text and its '=' as they
//    stand; everything after the '=' up to the line break becomes the value,
//    so "key = old" turns into "key =new". A key without '=' gets "=" and
//    the value added at the end of its line.
//  - A new entry goes directly after the last non-blank line of its section
//    (after the header when the section is empty), so blank lines before the
//    next header stay where they are. The key is written with leading blanks
//    dropped.
//  - A new section goes at the end of the file, after a CR LF when the file
//    does not end in a line break. No blank lines are added between sections.
//  - Every line created ends in CR LF, in the file's encoding.
// Writing the same entry twice gives the same bytes as writing it once.
std::optional<std::string> SetString(const platform::TextCodec& codec, std::string_view contents,
                                     std::string_view section, std::string_view key, std::string_view value);

}  // namespace orvan::settings::profile
