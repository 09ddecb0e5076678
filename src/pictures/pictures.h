// The console's pictures, drawn entirely by code: the background with its two
// elbow frames, the title, the logo, the Options header and the window icon.
//
// Every picture comes out the same, byte for byte, on every run: nothing here
// reads the clock, the environment or a file.
#pragma once

#include <cstdint>
#include <vector>

#include "pictures/picture.h"
#include "ui/scale.h"
#include "ui/types.h"

namespace orvan::pictures {

// Colours as 0x00RRGGBB.
inline constexpr std::uint32_t kFrameBlue = 0x0084C6;                  // the elbow frames
inline constexpr std::uint32_t kTitleBlue = 0x55AAFF;                  // the title's letters
inline constexpr std::uint32_t kHeaderTeal = 0x008484;                 // the Options header strip
inline constexpr std::uint32_t kHeaderOrange = 0xFF9400;               // "OPTIONS"
inline constexpr std::uint32_t kIdleBlue = ui::RgbOf(ui::kIdleColor);  // the buttons' idle colour
inline constexpr std::uint32_t kLitBlue = ui::RgbOf(ui::kLitColor);    // the buttons' lit colour

inline constexpr int kLogoWidth = 587;
inline constexpr int kLogoHeight = 207;
inline constexpr int kIconSize = 32;

// Each picture is made for a scale, given as its DPI (ui::kPictureDpis);
// the sizes below are those at 96 DPI. Every edge lands where the layout's
// own mapping of twips to pixels puts it at that scale.

// A blue part of the background's frames, inclusive pixel bounds.
struct Band {
    int x0, y0, x1, y1;
};
// The frames' blue parts at a scale; the controls stand in the black
// between them.
std::vector<Band> FrameBands(int dpi = ui::kBaseDpi);

// 800 x 600, 256 colours: the two blue elbow frames on black.
Picture MakeBackground(int dpi = ui::kBaseDpi);
// 98 x 28 (the title control's size), 24-bit: "ORVAN 97" in light-blue
// block capitals.
Picture MakeTitle(int dpi = ui::kBaseDpi);
// 587 x 207 times `detail`, 24-bit: "VOSTEK" over a starfield with lens
// flares, drawn with `detail` pixels to each of the 96-DPI drawing's.
Picture MakeLogo(double detail = 1);
// The logo as the console shows it: drawn at the scale, then scaled by the
// core's area averaging to the console's logo control (593 x 185), so the
// program draws it as it is.
Picture MakeShownLogo(int dpi = ui::kBaseDpi);
// 369 x 145, 256 colours: the Options dialog's header strip.
Picture MakeOptionsHeader(int dpi = ui::kBaseDpi);
// 32 x 32, 256 colours with a transparency mask: the console in miniature.
Picture MakeIcon(int dpi = ui::kBaseDpi);

}  // namespace orvan::pictures
