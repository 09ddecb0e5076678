// A portable stand-in for a double-byte ANSI code page, shaped like Shift-JIS:
// a lead byte (81-9F, E0-FC) takes the next byte as its trail (40-7E, 80-FC),
// so one character is two bytes and a trail byte may look like '[', ']' or
// '\'. What it makes of broken text follows the system's double-byte code
// pages: a lead byte without a valid trail (another byte, or the end of the
// input) becomes U+30FB, the code page's default character (81 45, as in
// Shift-JIS), and the byte after it is read on its own. UTF-8 is FakeCodec's.
// Used by the fuzz harness and the unit tests.
#pragma once

#include <string>
#include <string_view>

#include "fakes/fake_codec.h"

namespace orvan::testing {

class FakeDbcsCodec : public FakeCodec {
public:
    static constexpr char16_t kDefaultChar = 0x30FB;

    static bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    static bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

    std::u16string AnsiToWide(std::string_view ansi) const override {
        std::u16string out;
        out.reserve(ansi.size());
        for (std::size_t i = 0; i < ansi.size(); ++i) {
            const auto b = static_cast<unsigned char>(ansi[i]);
            if (!IsLead(b)) {
                out.push_back(Single(b));
            } else if (i + 1 < ansi.size() && IsTrail(static_cast<unsigned char>(ansi[i + 1]))) {
                out.push_back(Pair(b, static_cast<unsigned char>(ansi[++i])));
            } else {
                out.push_back(kDefaultChar);
            }
        }
        return out;
    }

    std::string WideToAnsi(std::u16string_view wide) const override {
        std::string out;
        out.reserve(wide.size() * 2);
        for (char16_t c : wide) {
            if (c < 0x80) {
                out.push_back(static_cast<char>(c));
            } else if (c >= kKanaFirst && c < kKanaFirst + 0x3F) {
                out.push_back(static_cast<char>(0xA1 + (c - kKanaFirst)));
            } else if (c == kDefaultChar) {
                out.append("\x81\x45");
            } else if (c >= kPairFirst && c < kPairFirst + kLeads * kTrails && c != Counted(0x81, 0x45)) {
                const int at = c - kPairFirst;
                out.push_back(static_cast<char>(LeadAt(at / kTrails)));
                out.push_back(static_cast<char>(TrailAt(at % kTrails)));
            } else if (c == 0x80 || c == 0xA0 || c == 0xFD || c == 0xFE || c == 0xFF) {
                out.push_back(static_cast<char>(c));  // the bytes no character is made of
            } else {
                out.push_back('?');
            }
        }
        return out;
    }

private:
    // Half-width katakana A1-DF, as Shift-JIS has them.
    static constexpr char16_t kKanaFirst = 0xFF61;
    // Every valid pair is a character of its own, counted from U+4E00.
    static constexpr char16_t kPairFirst = 0x4E00;
    static constexpr int kLeads = 31 + 29;
    static constexpr int kTrails = 63 + 125;

    static int LeadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81 : 31 + (b - 0xE0); }
    static unsigned char LeadAt(int i) { return static_cast<unsigned char>(i < 31 ? 0x81 + i : 0xE0 + (i - 31)); }
    static int TrailIndex(unsigned char b) { return b < 0x7F ? b - 0x40 : 63 + (b - 0x80); }
    static unsigned char TrailAt(int i) { return static_cast<unsigned char>(i < 63 ? 0x40 + i : 0x80 + (i - 63)); }

    static char16_t Single(unsigned char b) {
        if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(kKanaFirst + (b - 0xA1));
        return b;  // ASCII, and 80, A0, FD-FF as themselves
    }
    static char16_t Counted(unsigned char lead, unsigned char trail) {
        return static_cast<char16_t>(kPairFirst + LeadIndex(lead) * kTrails + TrailIndex(trail));
    }
    // The default character has its own pair, in place of the one counted for it.
    static char16_t Pair(unsigned char lead, unsigned char trail) {
        return lead == 0x81 && trail == 0x45 ? kDefaultChar : Counted(lead, trail);
    }
};

}  // namespace orvan::testing
