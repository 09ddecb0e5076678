#include "pictures/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "pictures/block_font.h"
#include "pictures/picture_raster.h"
#include "ui/console_layout.h"
#include "ui/scale.h"
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

// The pictures are drawn in the pixels of 96 DPI and made at each scale by
// mapping every edge through the layout's own twips, as the console maps
// its controls: a band stays where the controls beside it stand.
class Grid {
public:
    explicit Grid(int dpi) : scale_(dpi), factor_(static_cast<double>(dpi) / ui::kBaseDpi) {}
    // The pixel the 96-DPI edge `e` (a pixel's left or top side) falls on.
    int Edge(int e) const { return scale_.Pixels(e * (ui::kTwipsPerInch / ui::kBaseDpi)); }
    // The first and the last pixel of 96-DPI pixel `p`.
    int First(int p) const { return Edge(p); }
    int Last(int p) const { return Edge(p + 1) - 1; }
    // A length such as a radius, in whole pixels.
    int Length(int pixels) const { return static_cast<int>(std::lround(pixels * factor_)); }
    double Factor() const { return factor_; }

private:
    ui::Scale scale_;
    double factor_;
};

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

// The corner at a scale: the pixel on the same side of the same 96-DPI pixel.
Corner Scaled(const Corner& c, const Grid& g) {
    return {c.dx > 0 ? g.First(c.x) : g.Last(c.x), c.dy > 0 ? g.First(c.y) : g.Last(c.y), c.dx, c.dy};
}

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

Coverage FrameCoverage(int dpi, int width, int height) {
    const Grid g(dpi);
    Coverage cov(width, height);
    for (const Band& b : FrameBands(dpi)) {
        for (int y = b.y0; y <= b.y1; ++y) {
            for (int x = b.x0; x <= b.x1; ++x) {
                cov.Set(x, y, 1.0f);
            }
        }
    }
    for (const Corner& c : kOuterCorners) {
        ForCornerSquare(Scaled(c, g), g.Length(kOuterRadius), [&cov](int x, int y, double inside) {
            cov.Set(x, y, cov.At(x, y) * static_cast<float>(inside));
        });
    }
    for (const Corner& c : kInnerCorners) {
        ForCornerSquare(Scaled(c, g), g.Length(kInnerRadius), [&cov](int x, int y, double inside) {
            cov.Set(x, y, std::max(cov.At(x, y), static_cast<float>(1.0 - inside)));
        });
    }
    return cov;
}

// ---------------------------------------------------------------- title

Picture DrawTitle(int dpi) {
    const Grid g(dpi);
    const double k = g.Factor();
    // As large as the title control, which shows it at its natural size.
    ui::ConsoleLayout layout;
    layout.SetScaling(ui::Scale(dpi));
    const int width = layout.Image1.Bounds().Width(), height = layout.Image1.Bounds().Height();
    const LetterStyle style = LetterStyle{10, 20, 3, 3, 2, 3}.Times(k);
    const double depth = 2 * k;  // the shading's depth down and to the right
    const std::string_view text = "ORVAN 97";
    const double left = std::floor((width - TextWidth(text, style) - depth) / 2);
    const double top = std::floor((height - style.height - depth) / 2);
    const Coverage face = raster::Rasterize(width, height, LayOutText(text, left, top, style), 4);

    const Rgb faceColour = raster::FromHex(kTitleBlue);
    const Rgb nearShade = raster::FromHex(0x2A64C0);
    const Rgb farShade = raster::FromHex(0x123A82);
    const int nearStep = g.Length(1), farStep = g.Length(2);
    raster::Canvas canvas(width, height, Rgb{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            canvas.Over(x, y, farShade, face.At(x - farStep, y - farStep));
            canvas.Over(x, y, nearShade, face.At(x - nearStep, y - nearStep));
            canvas.Over(x, y, faceColour, face.At(x, y));
        }
    }
    return canvas.ToPicture24();
}

// ---------------------------------------------------------------- Options header

// Palette of the header: black to teal at 0..16, black to orange at 17..33.
constexpr std::size_t kOrangeBase = kLevels + 1;

Picture DrawOptionsHeader(int dpi) {
    const Grid g(dpi);
    const ui::Size size = ui::Scale(dpi).Pixels(ui::PictureTwips(ui::PictureId::OptionsHeader));
    Picture pic = BlankPalettePicture(size.width, size.height);
    AddRamp(pic.palette, 0, kHeaderTeal);
    AddRamp(pic.palette, kOrangeBase, kHeaderOrange);

    // Strip y 9..38: a block with a rounded left end x 11..42, the word
    // x 45..137, a bar x 140..358.
    const int top = g.First(9), bottom = g.Last(38);
    const double radius = (bottom - top + 1) / 2.0;
    const int blockLeft = g.First(11), blockRight = g.Last(42);
    Coverage teal(pic.width, pic.height);
    for (int y = top; y <= bottom; ++y) {
        for (int x = blockLeft; x <= blockRight; ++x) {
            const double capCentre = blockLeft + radius;
            const double inCap = x >= capCentre ? 1.0 : raster::DiscCoverage(x, y, capCentre, top + radius, radius);
            teal.Set(x, y, static_cast<float>(inCap));
        }
        for (int x = g.First(140); x <= g.Last(358); ++x) {
            teal.Set(x, y, 1.0f);
        }
    }
    // The word fills its place, x 45 to 137, at every scale.
    const double w = (g.Last(137) - g.First(45) + 1) / 93.0;
    LetterStyle style = LetterStyle{13, 0, 3, 4, 2, 4}.Times(w);
    style.height = bottom - top + 1;
    const Coverage word = raster::Rasterize(pic.width, pic.height, LayOutText("OPTIONS", g.First(45), top, style), 4);

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

// The pixels x0..x1, y0..y1 of the 32-pixel drawing, at the grid's scale.
void FillIconRect(Picture& pic, const Grid& g, int x0, int y0, int x1, int y1, std::uint8_t colour) {
    for (int y = g.First(y0); y <= g.Last(y1); ++y) {
        for (int x = g.First(x0); x <= g.Last(x1); ++x) {
            pic.pixels[Index(x, y, pic.width)] = colour;
        }
    }
}

// The grid beside the elbow: two rows of three, one large panel, two more
// rows of three, like the console's buttons and lists.
void DrawIconGrid(Picture& pic, const Grid& g) {
    constexpr int kColumns[3][2] = {{10, 15}, {17, 23}, {25, 30}};
    constexpr int kSmallRows[4][2] = {{8, 10}, {12, 14}, {23, 25}, {27, 29}};
    for (const auto& row : kSmallRows) {
        for (const auto& col : kColumns) {
            FillIconRect(pic, g, col[0], row[0], col[1], row[1], kIconGrid);
        }
    }
    FillIconRect(pic, g, 10, 16, 30, 21, kIconGrid);
}

Picture DrawIcon(int dpi) {
    const Grid g(dpi);
    const int side = g.Edge(kIconSize);
    Picture pic = BlankPalettePicture(side, side);
    pic.palette[kIconElbow] = kTitleBlue;
    pic.palette[kIconGrid] = kIdleBlue;
    pic.palette[kIconElbowEdge] = ToHex(raster::Scale(raster::FromHex(kTitleBlue), 0.5));

    // The elbow: a bar along the top joined to a column down the left, with
    // a rounded outer corner, a small fillet inside and a black cut across
    // the column like the console's button bands.
    FillIconRect(pic, g, 1, 1, 30, 5, kIconElbow);
    FillIconRect(pic, g, 1, 6, 7, 29, kIconElbow);
    FillIconRect(pic, g, 1, 16, 7, 17, kIconBlack);
    ForCornerSquare(Scaled(Corner{1, 1, 1, 1}, g), g.Length(4), [&pic](int x, int y, double inside) {
        pic.pixels[Index(x, y, pic.width)] = inside > 0.75 ? kIconElbow : inside > 0.25 ? kIconElbowEdge : kIconBlack;
    });
    FillIconRect(pic, g, 8, 6, 8, 6, kIconElbow);
    FillIconRect(pic, g, 9, 6, 9, 6, kIconElbowEdge);
    FillIconRect(pic, g, 8, 7, 8, 7, kIconElbowEdge);
    DrawIconGrid(pic, g);

    // Opaque black tile with rounded corners; outside them the icon is
    // transparent.
    pic.mask.assign(pic.pixels.size(), 0);
    const Corner tileCorners[] = {{0, 0, 1, 1}, {31, 0, -1, 1}, {0, 31, 1, -1}, {31, 31, -1, -1}};
    for (const Corner& c : tileCorners) {
        ForCornerSquare(Scaled(c, g), g.Length(5), [&pic](int x, int y, double inside) {
            if (inside < 0.5) {
                pic.mask[Index(x, y, pic.width)] = 1;
                pic.pixels[Index(x, y, pic.width)] = kIconBlack;
            }
        });
    }
    return pic;
}

}  // namespace

std::vector<Band> FrameBands(int dpi) {
    const Grid g(dpi);
    std::vector<Band> bands;
    for (const Band& b : kFrameBands) bands.push_back({g.First(b.x0), g.First(b.y0), g.Last(b.x1), g.Last(b.y1)});
    return bands;
}

Picture MakeBackground(int dpi) {
    const ui::Size size = ui::Scale(dpi).Pixels(ui::PictureTwips(ui::PictureId::Background));
    Picture pic = BlankPalettePicture(size.width, size.height);
    AddRamp(pic.palette, 0, kFrameBlue);
    const Coverage frames = FrameCoverage(dpi, size.width, size.height);
    for (std::size_t i = 0; i < pic.pixels.size(); ++i) {
        pic.pixels[i] = Level(frames.value[i]);
    }
    return pic;
}

Picture MakeTitle(int dpi) { return DrawTitle(dpi); }

Picture MakeOptionsHeader(int dpi) { return DrawOptionsHeader(dpi); }

Picture MakeIcon(int dpi) { return DrawIcon(dpi); }

}  // namespace orvan::pictures
