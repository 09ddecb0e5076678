#include "pictures/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "pictures/block_font.h"
#include "pictures/picture_raster.h"
#include "ui/types.h"  // kBlack: black is 0 in either colour notation

namespace orvan::pictures {

namespace {

using raster::Coverage;
using raster::Rgb;

std::size_t Index(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

// Palette pictures here are made of ramps from black to a colour: index
// base + level, level 0..kLevels, so anti-aliased edges keep their shade.
constexpr int kLevels = 16;

std::uint32_t ToHex(Rgb c) {
    const auto ch = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

// Palette entries base .. base + kLevels: black up to the colour.
void AddRamp(std::vector<std::uint32_t>& palette, std::size_t base, std::uint32_t colour) {
    for (int level = 0; level <= kLevels; ++level) {
        palette[base + static_cast<std::size_t>(level)] =
            ToHex(raster::Scale(raster::FromHex(colour), static_cast<double>(level) / kLevels));
    }
}

std::uint8_t Level(float coverage) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(coverage, 0.0f, 1.0f) * kLevels));
}

Picture BlankPalettePicture(int width, int height) {
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.bitsPerPixel = 8;
    pic.palette.assign(256, ui::kBlack);
    pic.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return pic;
}

// ---------------------------------------------------------------- background

// A blue part of a frame, inclusive pixel bounds.
struct Band {
    int x0, y0, x1, y1;
};

// The frames as the controls expect them. The black bands and lines that cut
// the columns are the gaps between consecutive column pieces; the buttons
// stand in them after the opening slide, and the title sits in the gap of the
// upper top band.
constexpr Band kFrameBands[] = {
    // Upper frame: top band (block, bar), column, bottom band (block, bar).
    {12, 8, 199, 39},
    {312, 8, 799, 39},
    {12, 40, 183, 55},
    {12, 107, 183, 224},
    {12, 228, 183, 239},
    {12, 240, 199, 255},
    {204, 240, 799, 255},
    // Lower frame.
    {12, 264, 199, 279},
    {204, 264, 799, 279},
    {12, 280, 183, 292},
    {12, 320, 183, 412},
    {12, 464, 183, 560},
    {12, 564, 183, 575},
    {12, 576, 203, 591},
    {208, 576, 795, 591},
};

// A corner pixel and the direction (+1 or -1 on each axis) in which its
// rounding square extends.
struct Corner {
    int x, y, dx, dy;
};

constexpr int kOuterRadius = 12;
constexpr int kInnerRadius = 10;

// The elbows' outer corners, on the left edge of each frame.
constexpr Corner kOuterCorners[] = {{12, 8, 1, 1}, {12, 255, 1, -1}, {12, 264, 1, 1}, {12, 591, 1, -1}};
// The inner corners: the black pixel where a column's right side meets a
// band, filled with a concave blue fillet.
constexpr Corner kInnerCorners[] = {{184, 40, 1, 1}, {184, 239, 1, -1}, {184, 280, 1, 1}, {184, 575, 1, -1}};

// Calls f(x, y, coverage of the quarter disc) over the corner's square.
template <typename F>
void ForCornerSquare(const Corner& c, int radius, F f) {
    // The corner's point in continuous coordinates, then the disc's centre.
    const double px = c.dx > 0 ? c.x : c.x + 1;
    const double py = c.dy > 0 ? c.y : c.y + 1;
    const double cx = px + c.dx * radius;
    const double cy = py + c.dy * radius;
    for (int j = 0; j < radius; ++j) {
        for (int i = 0; i < radius; ++i) {
            const int x = c.x + c.dx * i;
            const int y = c.y + c.dy * j;
            f(x, y, raster::DiscCoverage(x, y, cx, cy, radius));
        }
    }
}

Coverage FrameCoverage() {
    Coverage cov(kBackgroundWidth, kBackgroundHeight);
    for (const Band& b : kFrameBands) {
        for (int y = b.y0; y <= b.y1; ++y) {
            for (int x = b.x0; x <= b.x1; ++x) {
                cov.Set(x, y, 1.0f);
            }
        }
    }
    for (const Corner& c : kOuterCorners) {
        ForCornerSquare(c, kOuterRadius, [&cov](int x, int y, double inside) {
            cov.Set(x, y, cov.At(x, y) * static_cast<float>(inside));
        });
    }
    for (const Corner& c : kInnerCorners) {
        ForCornerSquare(c, kInnerRadius, [&cov](int x, int y, double inside) {
            cov.Set(x, y, std::max(cov.At(x, y), static_cast<float>(1.0 - inside)));
        });
    }
    return cov;
}

// ---------------------------------------------------------------- title

Picture DrawTitle() {
    LetterStyle style;
    style.width = 10;
    style.height = 20;
    style.stem = 3;
    style.bar = 3;
    style.gap = 2;
    style.chamfer = 3;
    constexpr int kDepth = 2;  // the shading's depth down and to the right
    const std::string_view text = "ORVAN 97";
    const double left = std::floor((kTitleWidth - TextWidth(text, style) - kDepth) / 2);
    const double top = std::floor((kTitleHeight - style.height - kDepth) / 2);
    const Coverage face = raster::Rasterize(kTitleWidth, kTitleHeight, LayOutText(text, left, top, style), 4);

    const Rgb faceColour = raster::FromHex(kTitleBlue);
    const Rgb nearShade = raster::FromHex(0x2A64C0);
    const Rgb farShade = raster::FromHex(0x123A82);
    raster::Canvas canvas(kTitleWidth, kTitleHeight, Rgb{});
    for (int y = 0; y < kTitleHeight; ++y) {
        for (int x = 0; x < kTitleWidth; ++x) {
            canvas.Over(x, y, farShade, face.At(x - 2, y - 2));
            canvas.Over(x, y, nearShade, face.At(x - 1, y - 1));
            canvas.Over(x, y, faceColour, face.At(x, y));
        }
    }
    return canvas.ToPicture24();
}

// ---------------------------------------------------------------- Options header

// Palette of the header: black to teal at 0..16, black to orange at 17..33.
constexpr std::size_t kOrangeBase = kLevels + 1;

Picture DrawOptionsHeader() {
    Picture pic = BlankPalettePicture(kOptionsHeaderWidth, kOptionsHeaderHeight);
    AddRamp(pic.palette, 0, kHeaderTeal);
    AddRamp(pic.palette, kOrangeBase, kHeaderOrange);

    // Strip y 9..38: a block with a rounded left end x 11..42, the word
    // x 45..137, a bar x 140..358.
    constexpr int kTop = 9, kBottom = 38;
    constexpr double kRadius = (kBottom - kTop + 1) / 2.0;
    Coverage teal(pic.width, pic.height);
    for (int y = kTop; y <= kBottom; ++y) {
        for (int x = 11; x <= 42; ++x) {
            const double capCentre = 11 + kRadius;
            const double inCap = x >= capCentre ? 1.0 : raster::DiscCoverage(x, y, capCentre, kTop + kRadius, kRadius);
            teal.Set(x, y, static_cast<float>(inCap));
        }
        for (int x = 140; x <= 358; ++x) {
            teal.Set(x, y, 1.0f);
        }
    }
    LetterStyle style;
    style.width = 13;
    style.height = kBottom - kTop + 1;
    style.stem = 3;
    style.bar = 4;
    style.gap = 2;
    style.chamfer = 4;
    const Coverage word = raster::Rasterize(pic.width, pic.height, LayOutText("OPTIONS", 45, kTop, style), 4);

    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            const std::uint8_t orange = Level(word.At(x, y));
            pic.pixels[Index(x, y, pic.width)] =
                orange > 0 ? static_cast<std::uint8_t>(kOrangeBase + orange) : Level(teal.At(x, y));
        }
    }
    return pic;
}

// ---------------------------------------------------------------- icon

enum IconColour : std::uint8_t { kIconBlack = 0, kIconElbow = 1, kIconGrid = 2, kIconElbowEdge = 3 };

void FillIconRect(Picture& pic, int x0, int y0, int x1, int y1, std::uint8_t colour) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            pic.pixels[Index(x, y, pic.width)] = colour;
        }
    }
}

// The grid beside the elbow: two rows of three, one large panel, two more
// rows of three, like the console's buttons and lists.
void DrawIconGrid(Picture& pic) {
    constexpr int kColumns[3][2] = {{10, 15}, {17, 23}, {25, 30}};
    constexpr int kSmallRows[4][2] = {{8, 10}, {12, 14}, {23, 25}, {27, 29}};
    for (const auto& row : kSmallRows) {
        for (const auto& col : kColumns) {
            FillIconRect(pic, col[0], row[0], col[1], row[1], kIconGrid);
        }
    }
    FillIconRect(pic, 10, 16, 30, 21, kIconGrid);
}

Picture DrawIcon() {
    Picture pic = BlankPalettePicture(kIconSize, kIconSize);
    pic.palette[kIconElbow] = kTitleBlue;
    pic.palette[kIconGrid] = kIdleBlue;
    pic.palette[kIconElbowEdge] = ToHex(raster::Scale(raster::FromHex(kTitleBlue), 0.5));

    // The elbow: a bar along the top joined to a column down the left, with
    // a rounded outer corner, a small fillet inside and a black cut across
    // the column like the console's button bands.
    FillIconRect(pic, 1, 1, 30, 5, kIconElbow);
    FillIconRect(pic, 1, 6, 7, 29, kIconElbow);
    FillIconRect(pic, 1, 16, 7, 17, kIconBlack);
    ForCornerSquare(Corner{1, 1, 1, 1}, 4, [&pic](int x, int y, double inside) {
        pic.pixels[Index(x, y, pic.width)] = inside > 0.75 ? kIconElbow : inside > 0.25 ? kIconElbowEdge : kIconBlack;
    });
    pic.pixels[Index(8, 6, pic.width)] = kIconElbow;
    pic.pixels[Index(9, 6, pic.width)] = kIconElbowEdge;
    pic.pixels[Index(8, 7, pic.width)] = kIconElbowEdge;
    DrawIconGrid(pic);

    // Opaque black tile with rounded corners; outside them the icon is
    // transparent.
    pic.mask.assign(pic.pixels.size(), 0);
    constexpr int kTileRadius = 5;
    const Corner tileCorners[] = {{0, 0, 1, 1}, {31, 0, -1, 1}, {0, 31, 1, -1}, {31, 31, -1, -1}};
    for (const Corner& c : tileCorners) {
        ForCornerSquare(c, kTileRadius, [&pic](int x, int y, double inside) {
            if (inside < 0.5) {
                pic.mask[Index(x, y, pic.width)] = 1;
                pic.pixels[Index(x, y, pic.width)] = kIconBlack;
            }
        });
    }
    return pic;
}

}  // namespace

Picture MakeBackground() {
    Picture pic = BlankPalettePicture(kBackgroundWidth, kBackgroundHeight);
    AddRamp(pic.palette, 0, kFrameBlue);
    const Coverage frames = FrameCoverage();
    for (std::size_t i = 0; i < pic.pixels.size(); ++i) {
        pic.pixels[i] = Level(frames.value[i]);
    }
    return pic;
}

Picture MakeTitle() { return DrawTitle(); }

Picture MakeOptionsHeader() { return DrawOptionsHeader(); }

Picture MakeIcon() { return DrawIcon(); }

}  // namespace orvan::pictures
