// The one mapping from twips to pixels, the pictures each scale draws and
// the scale a window takes on its screen.
#include <gtest/gtest.h>

#include "ui/scale.h"

namespace orvan::ui {
namespace {

TEST(Scale, FifteenTwipsToThePixelAt96AndEachEdgeRoundedHalfUpElsewhere) {
    for (int twips : {-2520, 0, 885, 1200, 8895, 12000}) EXPECT_EQ(Scale(96).Pixels(twips), twips / 15);
    EXPECT_EQ(Scale(120).Pixels(885), 74) << "73.75";
    EXPECT_EQ(Scale(120).Pixels(-2490), -207) << "-207.5, half up as 207.5 is, so widths do not depend on the sign";
    EXPECT_EQ(Scale(192).Twips(3), 22.5);
    EXPECT_EQ(Scale(144).Repeating(195), 19) << "a list's 13-pixel rows, rounded down";
    EXPECT_EQ(Scale(144).FontPixels(12), 24);
}

TEST(Scale, EachScaleDrawsThePicturesMadeForItOrTheNearestLarger) {
    EXPECT_EQ(PictureDpi(72), 96);
    EXPECT_EQ(PictureDpi(108), 120);
    EXPECT_EQ(PictureDpi(144), 144);
    EXPECT_EQ(PictureDpi(240), 192) << "none larger: the largest";
}

TEST(Scale, TheConsoleTakesTheLargestOfItsScalesThatFitsTheScreen) {
    const Size console = PictureTwips(PictureId::Background);
    EXPECT_EQ(FitScale(144, console, {1200, 900}).Dpi(), 144) << "just fits";
    EXPECT_EQ(FitScale(192, console, {1366, 768}).Dpi(), 120);
    EXPECT_EQ(FitScale(168, console, {1920, 1080}).Dpi(), 168);
    EXPECT_EQ(FitScale(168, console, {1280, 1024}).Dpi(), 144) << "175 % needs 1400 x 1050";
    EXPECT_EQ(FitScale(120, console, {800, 600}).Dpi(), 96);
    EXPECT_EQ(FitScale(96, console, {640, 480}).Dpi(), 96) << "cut off, as ever";
    EXPECT_EQ(FitScale(192, PictureTwips(PictureId::OptionsHeader), {1024, 768}).Dpi(), 192);
}

}  // namespace
}  // namespace orvan::ui
