// Stretching the logo to the size the console shows it at.
#include <gtest/gtest.h>

#include "pictures/pictures.h"
#include "pictures/stretch.h"

namespace orvan::pictures {
namespace {

Picture Filled(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    Picture p;
    p.width = w;
    p.height = h;
    p.bitsPerPixel = 24;
    p.pixels.resize(static_cast<std::size_t>(w * h) * 3);
    for (std::size_t i = 0; i < p.pixels.size(); i += 3) {
        p.pixels[i] = b;
        p.pixels[i + 1] = g;
        p.pixels[i + 2] = r;
    }
    return p;
}

TEST(Stretch, UniformColourStaysUniformAtAnySize) {
    const Picture out = Stretch(Filled(587, 207, 10, 200, 30), 593, 185);
    ASSERT_EQ(out.width, 593);
    ASSERT_EQ(out.height, 185);
    for (int y = 0; y < 185; y += 23)
        for (int x = 0; x < 593; x += 37) EXPECT_EQ(out.At(x, y), 0x1EC80Au) << x << "," << y;
    EXPECT_EQ(out.At(592, 184), 0x1EC80Au);
}

TEST(Stretch, SameSizeGivesTheSamePixels) {
    const Picture logo = pictures::MakeLogo();
    const Picture out = Stretch(logo, logo.width, logo.height);
    EXPECT_EQ(out.pixels, logo.pixels);
}

TEST(Stretch, ShrinkingAveragesTheCoveredArea) {
    Picture p = Filled(2, 1, 0, 0, 0);
    p.pixels[3] = p.pixels[4] = p.pixels[5] = 200;  // the right pixel white-ish
    EXPECT_EQ(Stretch(p, 1, 1).At(0, 0), 0x646464u);
    // Three source rows onto two: the middle row is shared half and half.
    Picture rows = Filled(1, 3, 0, 0, 0);
    rows.pixels[3] = rows.pixels[4] = rows.pixels[5] = 90;
    const Picture two = Stretch(rows, 1, 2);
    EXPECT_EQ(two.At(0, 0), 0x1E1E1Eu);  // (0 + 0.5 * 90) / 1.5
    EXPECT_EQ(two.At(0, 1), 0x1E1E1Eu);
}

TEST(Stretch, RefusesWhatItCannotScale) {
    Picture eight = Filled(4, 4, 1, 2, 3);
    eight.bitsPerPixel = 8;
    EXPECT_EQ(Stretch(eight, 2, 2).width, 0);
    EXPECT_EQ(Stretch(Filled(4, 4, 1, 2, 3), 0, 2).width, 0);
    Picture torn = Filled(4, 4, 1, 2, 3);
    torn.pixels.pop_back();
    EXPECT_EQ(Stretch(torn, 2, 2).width, 0);
}

}  // namespace
}  // namespace orvan::pictures
