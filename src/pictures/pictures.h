// The console's pictures, drawn entirely by code: the background with its two
// elbow frames, the title, the logo, the Options header and the window icon.
//
// Every picture comes out the same, byte for byte, on every run: nothing here
// reads the clock, the environment or a file.
#pragma once

#include <cstdint>

#include "pictures/picture.h"
#include "ui/types.h"

namespace orvan::pictures {

// Colours as 0x00RRGGBB.
inline constexpr std::uint32_t kFrameBlue = 0x0084C6;                  // the elbow frames
inline constexpr std::uint32_t kTitleBlue = 0x55AAFF;                  // the title's letters
inline constexpr std::uint32_t kHeaderTeal = 0x008484;                 // the Options header strip
inline constexpr std::uint32_t kHeaderOrange = 0xFF9400;               // "OPTIONS"
inline constexpr std::uint32_t kIdleBlue = ui::RgbOf(ui::kIdleColor);  // the buttons' idle colour
inline constexpr std::uint32_t kLitBlue = ui::RgbOf(ui::kLitColor);    // the buttons' lit colour

inline constexpr int kBackgroundWidth = 800;
inline constexpr int kBackgroundHeight = 600;
inline constexpr int kTitleWidth = 98;
inline constexpr int kTitleHeight = 28;
inline constexpr int kLogoWidth = 587;
inline constexpr int kLogoHeight = 207;
inline constexpr int kOptionsHeaderWidth = 369;
inline constexpr int kOptionsHeaderHeight = 145;
inline constexpr int kIconSize = 32;

// 800 x 600, 256 colours: the two blue elbow frames on black.
Picture MakeBackground();
// 98 x 28, 24-bit: "ORVAN 97" in light-blue block capitals.
Picture MakeTitle();
// 587 x 207, 24-bit: "VOSTEK" over a starfield with lens flares.
Picture MakeLogo();
// The logo as the console shows it: scaled by the core's area averaging to
// the console's logo control (593 x 185), so the program draws it as it is.
Picture MakeShownLogo();
// 369 x 145, 256 colours: the Options dialog's header strip.
Picture MakeOptionsHeader();
// 32 x 32, 256 colours with a transparency mask: the console in miniature.
Picture MakeIcon();

}  // namespace orvan::pictures
