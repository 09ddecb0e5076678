// Settings files as an editor saves them in each encoding, for the tests
// that read and write them.
#pragma once

#include <string>
#include <string_view>

namespace orvan::testing {

inline const std::string kUtf8Mark = "\xEF\xBB\xBF";

// Text as a file saved in UTF-16 stores it, byte-order mark first.
inline std::string Utf16(std::u16string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

}  // namespace orvan::testing
