// How the layout's twips become a window's pixels at the screen's DPI, and
// the scales the pictures are made for. Every position the program draws,
// hit-tests or reports goes through a window's Scale.
#pragma once

#include <array>

#include "ui/types.h"

namespace orvan::ui {

inline constexpr int kTwipsPerInch = 1440;
// The DPI the layout was drawn for: 15 twips to the pixel.
inline constexpr int kBaseDpi = 96;

// The scales the pictures are made for, as DPIs: 100, 125, 150 and 200 %.
inline constexpr std::array<int, 4> kPictureDpis = {96, 120, 144, 192};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

class Scale {
public:
    constexpr Scale() = default;
    constexpr explicit Scale(int dpi) : dpi_(dpi) {}

    int Dpi() const { return dpi_; }
    // The pixel an edge `twips` from the origin falls on: each edge is
    // rounded once from its own twips, half up, so neighbours stay flush and
    // a control keeps its width wherever it stands.
    int Pixels(double twips) const;
    Size Pixels(const Size& twips) const { return {Pixels(twips.width), Pixels(twips.height)}; }
    // A pixel offset in twips: 15 to the pixel at 96 DPI, 7.5 at 192.
    double Twips(double pixels) const { return pixels * kTwipsPerInch / dpi_; }
    // A length that repeats (a list's rows), in whole pixels, rounded down
    // so the rows the layout gives a list still fit in it.
    int Repeating(double twips) const;
    // A font's height in pixels.
    int FontPixels(double points) const;

    bool operator==(const Scale&) const = default;

private:
    int dpi_ = kBaseDpi;
};

// The size in twips of a window's own picture (its client area's, from the
// corner): the background and the Options header. The pictures of controls
// are made at their control's size at each scale.
Size PictureTwips(PictureId picture);
// The DPI of the pictures to draw at `dpi`: the nearest made for it or for
// a larger scale (brought down smoothly), else the largest.
int PictureDpi(int dpi);

// The scale a window whose layout spans `twips` takes on a screen of
// `screen` pixels whose DPI is `systemDpi`: that DPI where the layout fits,
// else the largest of the pictures' scales below it that fits, else the
// smallest of them (the layout then runs off the screen, as at 96 DPI).
Scale FitScale(int systemDpi, Size twips, Size screen);

}  // namespace orvan::ui
