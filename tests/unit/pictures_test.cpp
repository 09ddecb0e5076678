// The console's pictures, checked both as drawn and as read back from the
// bitmap files the Windows build embeds. The background's band edges are
// where the buttons, the title and the panels stand, so they are checked to
// the pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pictures/bitmap_file.h"
#include "pictures/pictures.h"
#include "ui/console_layout.h"
#include "ui/options_layout.h"
#include "pictures/stretch.h"

namespace {

using orvan::pictures::Picture;
using orvan::ui::kPictureDpis;

// The pictures of every scale are checked against the 96-DPI layout's
// places, each edge carried to the scale by the layout's own mapping.
class AtEachScale : public ::testing::TestWithParam<int> {
protected:
    // The pixel a 96-DPI pixel's left or top edge falls on.
    int Edge(int pixels) const { return orvan::ui::Scale(GetParam()).Pixels(pixels * 15.0); }
    int First(int pixel) const { return Edge(pixel); }
    int Last(int pixel) const { return Edge(pixel + 1) - 1; }
    // The console after the opening slide, at the scale.
    void SetUp() override {
        console.SetScaling(orvan::ui::Scale(GetParam()));
        for (orvan::ui::Label* b : {&console.Edit, &console.Options, &console.Windows, &console.User, &console.Define})
            b->SetLeft(orvan::ui::ConsoleLayout::kButtonWorkLeft);
    }
    orvan::ui::ConsoleLayout console;

    // The logo as shown at the scale, made once: it is the slowest to draw.
    static const Picture& ShownLogo(int dpi) {
        static std::map<int, Picture> made;
        if (!made.contains(dpi)) made[dpi] = orvan::pictures::MakeShownLogo(dpi);
        return made[dpi];
    }
};

constexpr std::uint32_t kBlue = 0x0084C6;  // red 0, green 132, blue 198
constexpr std::uint32_t kBlack = 0x000000;

// Inclusive pixel rectangle.
struct Area {
    int x0, y0, x1, y1;
    bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// A 96-DPI area at a scale: from the first pixel of its first to the last of its last.
Area ScaledArea(const Area& a, int dpi) {
    const auto edge = [dpi](int pixels) { return orvan::ui::Scale(dpi).Pixels(pixels * 15.0); };
    return {edge(a.x0), edge(a.y0), edge(a.x1 + 1) - 1, edge(a.y1 + 1) - 1};
}

std::vector<Area> ScaledAreas(const std::vector<Area>& areas, int dpi) {
    std::vector<Area> scaled;
    for (const Area& a : areas) scaled.push_back(ScaledArea(a, dpi));
    return scaled;
}

// The blue of the two frames as the console's layout places it.
const std::vector<Area> kBlueAreas = {
    // Upper frame: top band block and bar around the title gap x 200..311.
    {12, 8, 199, 39},
    {312, 8, 799, 39},
    // Its column, cut by the band y 56..106 and the line y 225..227.
    {12, 40, 183, 55},
    {12, 107, 183, 224},
    {12, 228, 183, 239},
    // Its bottom band: block, 4-pixel gap, bar.
    {12, 240, 199, 255},
    {204, 240, 799, 255},
    // Lower frame: top band.
    {12, 264, 199, 279},
    {204, 264, 799, 279},
    // Its column, cut by the bands y 293..319 and y 413..463 and the line y 561..563.
    {12, 280, 183, 292},
    {12, 320, 183, 412},
    {12, 464, 183, 560},
    {12, 564, 183, 575},
    // Its bottom band.
    {12, 576, 203, 591},
    {208, 576, 795, 591},
};

// The rounded corners, left out of the exact comparison: the elbows' outer
// corners on the left and the fillets where a column meets a band.
const std::vector<Area> kCornerZones = {
    {12, 8, 23, 19},    {12, 244, 23, 255},   {12, 264, 23, 275},   {12, 580, 23, 591},
    {184, 40, 195, 51}, {184, 228, 195, 239}, {184, 280, 195, 291}, {184, 564, 195, 575},
};

bool InAny(const std::vector<Area>& areas, int x, int y) {
    for (const Area& a : areas) {
        if (a.Contains(x, y)) {
            return true;
        }
    }
    return false;
}

// Pixels outside the corner zones whose colour differs from the layout.
int FrameMismatches(const Picture& p, int dpi = 96) {
    const std::vector<Area> blue = ScaledAreas(kBlueAreas, dpi), corners = ScaledAreas(kCornerZones, dpi);
    int wrong = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (!InAny(corners, x, y)) {
                const std::uint32_t expected = InAny(blue, x, y) ? kBlue : kBlack;
                wrong += p.At(x, y) == expected ? 0 : 1;
            }
        }
    }
    return wrong;
}

bool AllBlack(const Picture& p, const orvan::ui::Rect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (p.At(x, y) != kBlack) {
                return false;
            }
        }
    }
    return true;
}

bool AllBlack(const Picture& p, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            if (p.At(x, y) != kBlack) {
                return false;
            }
        }
    }
    return true;
}

int Count(const Picture& p, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            n += p.At(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

std::uint32_t Red(std::uint32_t c) { return (c >> 16) & 0xFF; }
std::uint32_t Green(std::uint32_t c) { return (c >> 8) & 0xFF; }
std::uint32_t BlueOf(std::uint32_t c) { return c & 0xFF; }

std::uint32_t FileU32(const std::string& f, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(f[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f[at + 3])) << 24;
}
std::uint32_t FileU16(const std::string& f, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(f[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f[at + 1])) << 8;
}

// A picture as drawn and as read back from its .bmp file, for checks that
// must hold for both.
struct Versions {
    Picture drawn;
    Picture decoded;
    std::string file;
};

Versions Both(const Picture& p) {
    Versions v{p, {}, orvan::pictures::EncodeBmp(p)};
    std::optional<Picture> d = orvan::pictures::DecodeBmp(v.file);
    if (d) {
        v.decoded = *d;
    }
    return v;
}

const Versions& Background() {
    static const Versions v = Both(orvan::pictures::MakeBackground());
    return v;
}

// ---------------------------------------------------------------- background

TEST(BackgroundPicture, Is800By600With256Colours) {
    for (const Picture* p : {&Background().drawn, &Background().decoded}) {
        EXPECT_EQ(p->width, 800);
        EXPECT_EQ(p->height, 600);
        EXPECT_EQ(p->bitsPerPixel, 8);
        EXPECT_EQ(p->palette.size(), 256u);
    }
    const std::string& f = Background().file;
    ASSERT_EQ(f.size(), 14u + 40u + 256u * 4u + 800u * 600u);
    EXPECT_EQ(f.substr(0, 2), "BM");
    EXPECT_EQ(FileU32(f, 2), f.size());
    EXPECT_EQ(FileU32(f, 10), 14u + 40u + 1024u);  // pixels right after the palette
    EXPECT_EQ(FileU32(f, 18), 800u);
    EXPECT_EQ(FileU32(f, 22), 600u);  // positive: rows bottom-up
    EXPECT_EQ(FileU16(f, 28), 8u);
    EXPECT_EQ(FileU32(f, 30), 0u);  // BI_RGB, uncompressed
}

TEST_P(AtEachScale, BackgroundMatchesTheLayoutPixelForPixelOutsideTheCorners) {
    const Versions v = Both(orvan::pictures::MakeBackground(GetParam()));
    EXPECT_EQ(FrameMismatches(v.drawn, GetParam()), 0);
    EXPECT_EQ(FrameMismatches(v.decoded, GetParam()), 0);
}

TEST(BackgroundPicture, ComparisonNoticesABandMovedByOnePixel) {
    // Move the bottom edge of the Edit/Options band down by a row: y 107 of
    // the column turns black.
    Picture moved = Background().drawn;
    for (int x = 12; x <= 183; ++x) {
        moved.pixels[107 * 800 + static_cast<std::size_t>(x)] = moved.pixels[100 * 800 + static_cast<std::size_t>(x)];
    }
    EXPECT_EQ(FrameMismatches(moved), 172);
}

struct Probe {
    int x, y;
    bool blue;
    const char* what;
};

TEST_P(AtEachScale, BandEdgesSitExactlyWhereTheControlsStand) {
    const Probe probes[] = {
        // Upper frame, top band and the title gap.
        {100, 7, false, "above the upper frame"},
        {100, 8, true, "top row of the upper frame"},
        {199, 20, true, "block's right edge"},
        {200, 20, false, "title gap, left"},
        {311, 20, false, "title gap, right"},
        {312, 20, true, "top bar's left edge"},
        {799, 20, true, "top bar reaches the right edge"},
        {400, 39, true, "top bar's bottom row"},
        {400, 40, false, "panel under the top bar"},
        // Upper column.
        {11, 150, false, "left of the column"},
        {12, 150, true, "column's left edge"},
        {183, 150, true, "column's right edge"},
        {184, 150, false, "panel right of the column"},
        {100, 55, true, "above the Edit/Options band"},
        {100, 56, false, "Edit/Options band, top"},
        {100, 106, false, "Edit/Options band, bottom"},
        {100, 107, true, "below the Edit/Options band"},
        {100, 224, true, "above the line"},
        {100, 225, false, "line, top"},
        {100, 227, false, "line, bottom"},
        {100, 228, true, "below the line"},
        // Upper bottom band.
        {400, 239, false, "panel above the bottom bar"},
        {400, 240, true, "bottom bar's top row"},
        {199, 248, true, "bottom block's right edge"},
        {200, 248, false, "bottom gap, left"},
        {203, 248, false, "bottom gap, right"},
        {204, 248, true, "bottom bar's left edge"},
        {400, 255, true, "bottom bar's last row"},
        {400, 256, false, "between the frames"},
        {100, 256, false, "between the frames, left"},
        {100, 263, false, "just above the lower frame"},
        // Lower frame, top band.
        {100, 264, true, "lower frame's top row"},
        {199, 270, true, "block's right edge"},
        {200, 270, false, "gap, left"},
        {203, 270, false, "gap, right"},
        {204, 270, true, "bar's left edge"},
        {400, 279, true, "top bar's bottom row"},
        {400, 280, false, "list panel"},
        // Lower column.
        {100, 292, true, "above the Windows band"},
        {100, 293, false, "Windows band, top"},
        {100, 319, false, "Windows band, bottom"},
        {100, 320, true, "below the Windows band"},
        {100, 412, true, "above the User/Define band"},
        {100, 413, false, "User/Define band, top"},
        {100, 463, false, "User/Define band, bottom"},
        {100, 464, true, "below the User/Define band"},
        {100, 560, true, "above the line"},
        {100, 561, false, "line, top"},
        {100, 563, false, "line, bottom"},
        {100, 564, true, "below the line"},
        {11, 500, false, "left of the column"},
        {183, 500, true, "column's right edge"},
        {184, 500, false, "panel right of the column"},
        // Lower bottom band.
        {400, 575, false, "panel above the bottom bar"},
        {400, 576, true, "bottom bar's top row"},
        {203, 584, true, "block's right edge"},
        {204, 584, false, "gap, left"},
        {207, 584, false, "gap, right"},
        {208, 584, true, "bar's left edge"},
        {795, 584, true, "bar's right end"},
        {796, 584, false, "right of the bar"},
        {400, 591, true, "last blue row"},
        {400, 592, false, "below it"},
    };
    // Each 96-DPI pixel probed is all the pixels it becomes at the scale.
    const Picture p = orvan::pictures::MakeBackground(GetParam());
    for (const Probe& probe : probes) {
        for (int y = First(probe.y); y <= Last(probe.y); ++y) {
            for (int x = First(probe.x); x <= Last(probe.x); ++x) {
                EXPECT_EQ(p.At(x, y), probe.blue ? kBlue : kBlack)
                    << probe.what << " at (" << probe.x << ", " << probe.y << "), here (" << x << ", " << y << ")";
            }
        }
    }
}

TEST_P(AtEachScale, ButtonsTitleAndPanelsLieOnBlack) {
    const Picture p = orvan::pictures::MakeBackground(GetParam());
    // Where the layout puts the controls once the buttons have slid in.
    const orvan::ui::ConsoleLayout& c = console;
    for (const orvan::ui::Control* control : std::initializer_list<const orvan::ui::Control*>{
             &c.Edit, &c.Options, &c.Windows, &c.User, &c.Define, &c.Image1, &c.Vostek, &c.lblWindows, &c.lstWindows,
             &c.lblUser, &c.lstUser}) {
        EXPECT_TRUE(AllBlack(p, control->Bounds())) << control->Name();
    }
    struct Spot {
        Area area;
        const char* what;
    };
    const Spot spots[] = {
        {{200, 8, 311, 39}, "the whole title gap"}, {{0, 0, 799, 7}, "above the frames"},
        {{0, 592, 799, 599}, "below the frames"},   {{0, 0, 11, 599}, "left margin"},
        {{0, 256, 799, 263}, "between the frames"},
    };
    for (const Spot& s : spots) {
        const Area a = ScaledArea(s.area, GetParam());
        EXPECT_TRUE(AllBlack(p, a.x0, a.y0, a.x1 - a.x0 + 1, a.y1 - a.y0 + 1)) << s.what;
    }
}

TEST_P(AtEachScale, CornersAreRoundedInFrameShades) {
    const Picture p = orvan::pictures::MakeBackground(GetParam());
    // Outer corners cut away, inner corners filled in.
    EXPECT_EQ(p.At(First(12), First(8)), kBlack);
    EXPECT_EQ(p.At(First(12), Last(255)), kBlack);
    EXPECT_EQ(p.At(First(12), First(264)), kBlack);
    EXPECT_EQ(p.At(First(12), Last(591)), kBlack);
    EXPECT_EQ(p.At(First(184), First(40)), kBlue);
    EXPECT_EQ(p.At(First(184), Last(239)), kBlue);
    EXPECT_EQ(p.At(First(184), First(280)), kBlue);
    EXPECT_EQ(p.At(First(184), Last(575)), kBlue);
    // The curve passes between: the fillet is gone a few pixels out, the
    // frame is solid a few pixels in.
    EXPECT_EQ(p.At(First(190), First(46)), kBlack);
    EXPECT_EQ(p.At(First(190), Last(569)), kBlack);
    EXPECT_EQ(p.At(First(18), First(14)), kBlue);
    EXPECT_EQ(p.At(First(18), Last(585)), kBlue);
    // Every shade in the corners is the frame blue dimmed towards black.
    for (const Area& zone : ScaledAreas(kCornerZones, GetParam())) {
        for (int y = zone.y0; y <= zone.y1; ++y) {
            for (int x = zone.x0; x <= zone.x1; ++x) {
                const std::uint32_t c = p.At(x, y);
                EXPECT_TRUE(Red(c) == 0 && Green(c) <= 132 && BlueOf(c) <= 198 && Green(c) <= BlueOf(c))
                    << std::hex << c << " at " << std::dec << x << ", " << y;
            }
        }
    }
}

// ---------------------------------------------------------------- title

TEST_P(AtEachScale, TitleIsLightBlueLetteringOnBlackAsLargeAsItsControl) {
    const Picture p = orvan::pictures::MakeTitle(GetParam());
    ASSERT_EQ(p.width, console.Image1.Bounds().Width());
    ASSERT_EQ(p.height, console.Image1.Bounds().Height());
    EXPECT_GT(Count(p, 0x55AAFF), 300 * p.width * p.height / (98 * 28)) << "letters in red 85, green 170, blue 255";
    const int margin = Edge(2);
    EXPECT_TRUE(AllBlack(p, {0, 0, p.width, margin}) && AllBlack(p, {0, p.height - margin, p.width, p.height}) &&
                AllBlack(p, {0, 0, margin, p.height}) && AllBlack(p, {p.width - margin, 0, p.width, p.height}))
        << "black margins";
    // "ORVAN 97": seven runs of columns holding the letters' face colour.
    int runs = 0;
    for (int x = 0, inRun = 0; x < p.width; ++x) {
        int face = 0;
        for (int y = 0; y < p.height; ++y) face |= p.At(x, y) == 0x55AAFF;
        runs += face && !inRun;
        inRun = face;
    }
    EXPECT_EQ(runs, 7);
}

TEST(TitlePicture, IsShadedIn24BitRowsPaddedToFourBytes) {
    const Versions v = Both(orvan::pictures::MakeTitle());
    for (const Picture* p : {&v.drawn, &v.decoded}) {
        EXPECT_EQ(p->bitsPerPixel, 24);
        // The darker blue shading.
        int shade = 0;
        for (int y = 0; y < 28; ++y) {
            for (int x = 0; x < 98; ++x) {
                const std::uint32_t c = p->At(x, y);
                shade += (BlueOf(c) >= 60 && BlueOf(c) < 200 && Red(c) < Green(c) && Green(c) < BlueOf(c)) ? 1 : 0;
            }
        }
        EXPECT_GT(shade, 100);
    }
    // 24-bit rows of 294 bytes are padded to 296 in the file.
    EXPECT_EQ(v.file.size(), 54u + 296u * 28u);
    EXPECT_EQ(FileU16(v.file, 28), 24u);
}

// ---------------------------------------------------------------- logo

TEST(LogoPicture, IsADarkStarfieldWithColouredFlaresAndBrightLettering) {
    const Versions v = Both(orvan::pictures::MakeLogo());
    for (const Picture* p : {&v.drawn, &v.decoded}) {
        ASSERT_EQ(p->width, 587);
        ASSERT_EQ(p->height, 207);
        EXPECT_EQ(p->bitsPerPixel, 24);
        int dark = 0, warm = 0, cool = 0, bright = 0;
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                const std::uint32_t c = p->At(x, y);
                const std::uint32_t sum = Red(c) + Green(c) + BlueOf(c);
                dark += sum < 90 ? 1 : 0;
                bright += sum > 600 ? 1 : 0;
                warm += Red(c) > BlueOf(c) + 80 ? 1 : 0;
                cool += BlueOf(c) > Red(c) + 80 ? 1 : 0;
            }
        }
        const int all = p->width * p->height;
        EXPECT_GT(dark, all / 2) << "mostly dark sky";
        EXPECT_GT(bright, 2000) << "the lettering's highlights";
        EXPECT_GT(warm, 300) << "an orange flare";
        EXPECT_GT(cool, 3000) << "blue flare and lettering";
    }
    // 587 * 3 = 1761 bytes a row, padded to 1764.
    EXPECT_EQ(v.file.size(), 54u + 1764u * 207u);
}

TEST(LogoPicture, KeepsTheAboutPanelCornerDarkEnoughToRead) {
    // The About lines sit over the upper left of the logo in the lit colour.
    const Picture p = orvan::pictures::MakeLogo();
    double sum = 0;
    int n = 0;
    for (int y = 8; y < 70; ++y) {
        for (int x = 8; x < 340; ++x) {
            const std::uint32_t c = p.At(x, y);
            sum += Red(c) + Green(c) + BlueOf(c);
            ++n;
        }
    }
    EXPECT_LT(sum / n / 3, 50.0);
}

TEST_P(AtEachScale, LogoIsMadeAtTheSizeTheConsoleShowsIt) {
    const Picture& shown = ShownLogo(GetParam());
    const orvan::ui::Rect place = console.Vostek.Bounds();
    ASSERT_EQ(shown.width, place.Width());
    ASSERT_EQ(shown.height, place.Height());
    EXPECT_EQ(shown.bitsPerPixel, 24);
    EXPECT_EQ(orvan::pictures::Stretch(shown, shown.width, shown.height).pixels, shown.pixels)
        << "nothing left to scale";
}

TEST(LogoPicture, IsEmbeddedAtTheSizeTheConsoleShowsIt) {
    // The program draws the embedded logo as it is: it must fill the logo's
    // place exactly, scaled as the console's own stretch would scale it.
    const Picture shown = orvan::pictures::MakeShownLogo();
    const orvan::ui::Rect place = orvan::ui::ConsoleLayout().Vostek.Bounds();
    ASSERT_EQ(shown.width, 593);
    ASSERT_EQ(shown.height, 185);
    EXPECT_EQ(shown.width, place.Width());
    EXPECT_EQ(shown.height, place.Height());
    EXPECT_EQ(shown.bitsPerPixel, 24);
    EXPECT_EQ(shown.pixels, orvan::pictures::Stretch(orvan::pictures::MakeLogo(), 593, 185).pixels);
    EXPECT_EQ(orvan::pictures::Stretch(shown, 593, 185).pixels, shown.pixels) << "nothing left to scale";
}

// ---------------------------------------------------------------- Options header

bool IsTeal(std::uint32_t c) { return Red(c) == 0 && Green(c) == BlueOf(c) && Green(c) > 0; }

TEST_P(AtEachScale, OptionsHeaderHasTheStripBlockWordAndBarAndFillsTheDialog) {
    const Versions v = Both(orvan::pictures::MakeOptionsHeader(GetParam()));
    orvan::ui::OptionsLayout dialog;
    const orvan::ui::Scale scale(GetParam());
    for (const Picture* p : {&v.drawn, &v.decoded}) {
        ASSERT_EQ(p->width, scale.Pixels(dialog.ClientWidth));
        ASSERT_EQ(p->height, scale.Pixels(dialog.ClientHeight));
        EXPECT_EQ(p->bitsPerPixel, 8);
        EXPECT_EQ(p->palette.size(), 256u);
        const auto black = [&](const Area& a) {
            const Area s = ScaledArea(a, GetParam());
            return AllBlack(*p, s.x0, s.y0, s.x1 - s.x0 + 1, s.y1 - s.y0 + 1);
        };
        EXPECT_TRUE(black({0, 0, 368, 8})) << "above the strip";
        EXPECT_TRUE(black({0, 39, 368, 144})) << "below the strip";
        EXPECT_TRUE(black({0, 9, 10, 38})) << "left of the block";
        EXPECT_TRUE(black({43, 9, 44, 38})) << "between block and word";
        EXPECT_TRUE(black({138, 9, 139, 38})) << "between word and bar";
        EXPECT_TRUE(black({359, 9, 368, 38})) << "right of the bar";
        for (int y = First(9); y <= Last(38); ++y) {
            EXPECT_EQ(p->At(Last(42), y), 0x008484u) << "block's right edge, y " << y;
            EXPECT_EQ(p->At(First(30), y), 0x008484u) << "block, y " << y;
            EXPECT_EQ(p->At(First(140), y), 0x008484u) << "bar's left edge, y " << y;
            EXPECT_EQ(p->At(Last(358), y), 0x008484u) << "bar's right edge, y " << y;
        }
        // The rounded left end: corners dark, the middle of the end teal.
        EXPECT_EQ(p->At(First(11), First(9)), kBlack);
        EXPECT_EQ(p->At(First(11), Last(38)), kBlack);
        EXPECT_TRUE(IsTeal(p->At(First(11), First(24))));
        // The word, in orange, from x 45 to 137 and nowhere else.
        int orange = 0, first = 999, last = -1;
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                const std::uint32_t c = p->At(x, y);
                if (c != kBlack && !IsTeal(c)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
                orange += c == 0xFF9400 ? 1 : 0;
            }
        }
        EXPECT_EQ(first, First(45));
        EXPECT_EQ(last, Last(137));
        EXPECT_GT(orange, 500 * (p->width * p->height) / (369 * 145));
    }
}

TEST(OptionsHeaderPicture, IsOneFileOfRowsPaddedToFourBytes) {
    EXPECT_EQ(orvan::pictures::EncodeBmp(orvan::pictures::MakeOptionsHeader()).size(),
              14u + 40u + 1024u + 372u * 145u);  // rows of 369 padded to 372
}

// ---------------------------------------------------------------- icon

TEST_P(AtEachScale, IconIsTheConsoleInMiniatureWithATransparentRim) {
    std::vector<Picture> icons;
    for (int dpi : kPictureDpis) icons.push_back(orvan::pictures::MakeIcon(dpi));
    // The program's icon file holds one image for each scale, in order.
    const auto index = static_cast<std::size_t>(std::ranges::find(kPictureDpis, GetParam()) - kPictureDpis.begin());
    const Picture& icon = icons.at(index);
    const std::optional<Picture> decoded = orvan::pictures::DecodeIco(orvan::pictures::EncodeIco(icons), index);
    ASSERT_TRUE(decoded.has_value());
    const int side = Edge(32);
    for (const Picture* p : {&icon, &*decoded}) {
        ASSERT_EQ(p->width, side);
        ASSERT_EQ(p->height, side);
        EXPECT_EQ(p->bitsPerPixel, 8);
        ASSERT_EQ(p->mask.size(), static_cast<std::size_t>(side * side));
        // Transparent only at the rounded corners of the tile.
        int transparent = 0;
        for (const std::uint8_t m : p->mask) {
            transparent += m != 0 ? 1 : 0;
        }
        const int last = side - 1;
        EXPECT_TRUE(p->IsTransparent(0, 0) && p->IsTransparent(last, 0) && p->IsTransparent(0, last) &&
                    p->IsTransparent(last, last));
        EXPECT_FALSE(p->IsTransparent(side / 2, side / 2) || p->IsTransparent(0, side / 2) ||
                     p->IsTransparent(side / 2, 0));
        EXPECT_GT(transparent, 3);
        EXPECT_LT(transparent, 40 * side * side / (32 * 32));
        // Where the 32-pixel drawing's pixel (x, y) is, at this size.
        const auto at = [&](int x, int y) { return p->At(First(x), First(y)); };
        // The light-blue elbow: bar along the top, column down the left.
        EXPECT_EQ(at(20, 3), 0x55AAFFu);
        EXPECT_EQ(at(4, 25), 0x55AAFFu);
        // The blue grid beside it, black between its cells.
        EXPECT_EQ(at(12, 9), 0x0087C8u);
        EXPECT_EQ(at(28, 28), 0x0087C8u);
        EXPECT_EQ(at(20, 18), 0x0087C8u) << "the large rectangle";
        EXPECT_EQ(at(16, 9), kBlack);
        EXPECT_EQ(at(20, 11), kBlack);
        EXPECT_EQ(at(9, 20), kBlack) << "between elbow and grid";
    }
    EXPECT_EQ(decoded->pixels, icon.pixels);
    EXPECT_EQ(decoded->mask, icon.mask);
}

TEST(IconPicture, FileHoldsOne32By32ImageWithItsMask) {
    const Picture icon = orvan::pictures::MakeIcon();
    const std::string f = orvan::pictures::EncodeIco(icon, icon.mask);
    // Directory, header, 256-colour palette, colour bitmap, 1-bit mask.
    ASSERT_EQ(f.size(), 6u + 16u + 40u + 1024u + 32u * 32u + 4u * 32u);
    EXPECT_EQ(FileU16(f, 0), 0u);
    EXPECT_EQ(FileU16(f, 2), 1u);  // an icon
    EXPECT_EQ(FileU16(f, 4), 1u);  // one image
    EXPECT_EQ(static_cast<unsigned char>(f[6]), 32);
    EXPECT_EQ(static_cast<unsigned char>(f[7]), 32);
    EXPECT_EQ(FileU16(f, 12), 8u);
    EXPECT_EQ(FileU32(f, 14), f.size() - 22u);
    EXPECT_EQ(FileU32(f, 18), 22u);
    EXPECT_EQ(FileU32(f, 22 + 8), 64u);  // the colour bitmap and the mask
    // Top-left corner transparent: the mask's last row (the top) starts with a set bit.
    EXPECT_NE(static_cast<unsigned char>(f[f.size() - 4]) & 0x80, 0);
    // The middle of the bottom row is opaque.
    EXPECT_EQ(static_cast<unsigned char>(f[f.size() - 128 + 1]), 0);
}

// ---------------------------------------------------------------- every picture

TEST(AllPictures, ComeOutTheSameEveryTime) {
    EXPECT_EQ(orvan::pictures::EncodeBmp(orvan::pictures::MakeBackground()), Background().file);
    EXPECT_EQ(orvan::pictures::EncodeBmp(orvan::pictures::MakeTitle()),
              orvan::pictures::EncodeBmp(orvan::pictures::MakeTitle()));
    EXPECT_EQ(orvan::pictures::EncodeBmp(orvan::pictures::MakeLogo()),
              orvan::pictures::EncodeBmp(orvan::pictures::MakeLogo()));
    EXPECT_EQ(orvan::pictures::EncodeBmp(orvan::pictures::MakeOptionsHeader()),
              orvan::pictures::EncodeBmp(orvan::pictures::MakeOptionsHeader()));
    const Picture a = orvan::pictures::MakeIcon(), b = orvan::pictures::MakeIcon();
    EXPECT_EQ(orvan::pictures::EncodeIco(a, a.mask), orvan::pictures::EncodeIco(b, b.mask));
}

TEST_P(AtEachScale, PicturesReadBackFromTheirFilesUnchanged) {
    const int dpi = GetParam();
    for (const Picture& p : {orvan::pictures::MakeBackground(dpi), orvan::pictures::MakeTitle(dpi), ShownLogo(dpi),
                             orvan::pictures::MakeOptionsHeader(dpi)}) {
        const std::optional<Picture> d = orvan::pictures::DecodeBmp(orvan::pictures::EncodeBmp(p));
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->width, p.width);
        EXPECT_EQ(d->height, p.height);
        EXPECT_EQ(d->bitsPerPixel, p.bitsPerPixel);
        EXPECT_EQ(d->palette, p.palette);
        EXPECT_EQ(d->pixels, p.pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, AtEachScale, ::testing::ValuesIn(kPictureDpis));

}  // namespace
