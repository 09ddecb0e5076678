// Plain value types shared by the control model, its painter and the peers.
#pragma once

#include <cstdint>
#include <string>

namespace orvan::ui {

// Windows colour values, 0x00BBGGRR (red in the low byte). A value with the
// high bit set names a system colour by its index, as the form designer
// stores them.
using Color = std::uint32_t;

inline constexpr Color kLitColor = 0xFFDD95;
inline constexpr Color kIdleColor = 0xC88700;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kSystemColorFlag = 0x80000000;
inline constexpr Color kButtonTextColor = kSystemColorFlag | 18;  // COLOR_BTNTEXT

// A colour as 0x00RRGGBB, the order of a picture's pixels.
constexpr std::uint32_t RgbOf(Color color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// A rectangle of client pixels, right and bottom exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect Union(const Rect& other) const;
    Rect Intersect(const Rect& other) const;
    bool operator==(const Rect&) const = default;
};

struct Font {
    std::string face;
    double points = 8.25;
    int weight = 400;
    int charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const Font&) const = default;
};

enum class PictureId { None, Background, Title, Logo, OptionsHeader };

enum class Align { Left, Center };

// Mouse buttons as the form designer numbers them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The shift state of pointer and key events.
enum ShiftMask : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

// Key codes, as the system numbers its virtual keys.
enum KeyCode : int {
    kKeyReturn = 0x0D,
    kKeyEscape = 0x1B,
    kKey0 = 0x30,  // the digits' keys run 0x30 to 0x39
    kKeyApps = 0x5D,
    kKeyNumpad0 = 0x60,  // the number pad's, 0x60 to 0x69
    kKeyF4 = 0x73,
    kKeyF10 = 0x79
};

}  // namespace orvan::ui
