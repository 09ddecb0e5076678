// A portable stand-in for the system's text conversions: Windows-1252 as the
// ANSI code page (every byte maps to its own character, so any ANSI text
// survives a round trip) and UTF-8 with each invalid sequence replaced by
// U+FFFD. Used by the unit tests and the fuzz harness.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orvan::testing {

class FakeCodec : public platform::TextCodec {
public:
    std::u16string AnsiToWide(std::string_view ansi) const override {
        std::u16string out;
        out.reserve(ansi.size());
        for (char c : ansi) out.push_back(FromByte(static_cast<unsigned char>(c)));
        return out;
    }

    std::string WideToAnsi(std::u16string_view wide) const override {
        std::string out;
        out.reserve(wide.size());
        for (char16_t c : wide) out.push_back(ToByte(c));
        return out;
    }

    std::u16string Utf8ToWide(std::string_view utf8) const override {
        std::u16string out;
        out.reserve(utf8.size());
        std::size_t i = 0;
        while (i < utf8.size()) {
            const unsigned char b = static_cast<unsigned char>(utf8[i]);
            if (b < 0x80) {
                out.push_back(b);
                ++i;
                continue;
            }
            int more = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : -1;
            if (more < 0) {
                out.push_back(0xFFFD);
                ++i;
                continue;
            }
            char32_t cp = b & (0x3F >> more);
            std::size_t j = i + 1;
            for (int k = 0; k < more; ++k, ++j) {
                if (j >= utf8.size()) break;
                const unsigned char c = static_cast<unsigned char>(utf8[j]);
                // The second byte's range depends on the first (no overlongs, surrogates or > U+10FFFF).
                unsigned char lo = 0x80, hi = 0xBF;
                if (k == 0 && b == 0xE0) lo = 0xA0;
                if (k == 0 && b == 0xED) hi = 0x9F;
                if (k == 0 && b == 0xF0) lo = 0x90;
                if (k == 0 && b == 0xF4) hi = 0x8F;
                if (c < lo || c > hi) break;
                cp = (cp << 6) | (c & 0x3F);
            }
            if (j - i != static_cast<std::size_t>(more) + 1) {  // a maximal part of a sequence
                out.push_back(0xFFFD);
                i = j;
                continue;
            }
            if (cp >= 0x10000) {
                out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                out.push_back(static_cast<char16_t>(cp));
            }
            i = j;
        }
        return out;
    }

    std::string WideToUtf8(std::u16string_view wide) const override {
        std::string out;
        out.reserve(wide.size());
        for (std::size_t i = 0; i < wide.size(); ++i) {
            char32_t cp = wide[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
                cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
            else if (cp >= 0xD800 && cp < 0xE000)
                cp = 0xFFFD;
            if (cp < 0x80) {
                out.push_back(static_cast<char>(cp));
            } else if (cp < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else if (cp < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            }
        }
        return out;
    }

private:
    // Windows-1252 from 0x80 to 0x9F; the five unassigned bytes map to the
    // control characters of the same number, as the system maps them.
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };

    static char16_t FromByte(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

    static char ToByte(char16_t c) {
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<char>(c);
        for (std::size_t i = 0; i < kHigh.size(); ++i)
            if (kHigh[i] == c) return static_cast<char>(0x80 + i);
        return '?';
    }
};

}  // namespace orvan::testing
