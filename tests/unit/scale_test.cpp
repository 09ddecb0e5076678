// The one mapping from twips to pixels, the pictures each scale draws and
// the scale a window takes on its screen.
#include <gtest/gtest.h>

#include "ui/console_layout.h"
#include "ui/scale.h"

namespace orvan::ui {
namespace {

TEST(Scale, FifteenTwipsToThePixelAt96AndEachEdgeRoundedHalfUpElsewhere) {
    for (int twips : {-2520, 0, 885, 1200, 8895, 12000}) EXPECT_EQ(Scale(96).Pixels(twips), twips / 15);
    EXPECT_EQ(Scale(120).Pixels(885), 74) << "73.75";
    EXPECT_EQ(Scale(120).Pixels(3105), 259) << "258.75";
    EXPECT_EQ(Scale(120).Pixels(-2490), -207) << "-207.5, half up like 207.5, so widths do not depend on the sign";
    EXPECT_EQ(Scale(120).Pixels(90), 8);
    EXPECT_EQ(Scale(192).Twips(3), 22.5);
    EXPECT_EQ(Scale(144).Repeating(195), 19) << "a list's 13-pixel rows, rounded down";
    EXPECT_EQ(Scale(96).FontPixels(8.25), 11);
    EXPECT_EQ(Scale(144).FontPixels(12), 24);
}

TEST(Scale, NeighboursStayFlushWhereTheLayoutJoinsThem) {
    // lblWindows ends where lstWindows begins, less the one pixel they share at 96.
    for (int dpi : {96, 108, 120, 144, 168, 192}) {
        ConsoleLayout layout;
        layout.SetScaling(Scale(dpi));
        const Rect caption = layout.lblUser.Bounds(), list = layout.lstUser.Bounds();
        EXPECT_EQ(caption.left, list.left) << dpi;
        EXPECT_EQ(caption.right, list.right) << dpi;
        EXPECT_GE(caption.bottom, list.top) << dpi;
    }
}

TEST(Scale, EachScaleDrawsTheNearestPicturesMadeForItOrALargerScale) {
    EXPECT_EQ(PictureDpi(96), 96);
    EXPECT_EQ(PictureDpi(72), 96);
    EXPECT_EQ(PictureDpi(108), 120);
    EXPECT_EQ(PictureDpi(120), 120);
    EXPECT_EQ(PictureDpi(168), 192);
    EXPECT_EQ(PictureDpi(240), 192) << "none larger: the largest";
}

TEST(Scale, TheConsoleTakesTheLargestOfItsScalesThatFitsTheScreen) {
    const Size console = PictureTwips(PictureId::Background);
    EXPECT_EQ(FitScale(144, console, {1600, 1200}).Dpi(), 144);
    EXPECT_EQ(FitScale(144, console, {1200, 900}).Dpi(), 144) << "just fits";
    EXPECT_EQ(FitScale(144, console, {1024, 768}).Dpi(), 120);
    EXPECT_EQ(FitScale(192, console, {1366, 768}).Dpi(), 120);
    EXPECT_EQ(FitScale(192, console, {1920, 1080}).Dpi(), 144);
    EXPECT_EQ(FitScale(168, console, {1920, 1080}).Dpi(), 168);
    EXPECT_EQ(FitScale(168, console, {1280, 1024}).Dpi(), 144) << "175 % needs 1400 x 1050";
    EXPECT_EQ(FitScale(108, console, {1024, 768}).Dpi(), 108) << "a scale without pictures of its own, fitting";
    EXPECT_EQ(FitScale(120, console, {800, 600}).Dpi(), 96);
    EXPECT_EQ(FitScale(96, console, {640, 480}).Dpi(), 96) << "cut off, as ever";
    EXPECT_EQ(FitScale(192, PictureTwips(PictureId::OptionsHeader), {1024, 768}).Dpi(), 192)
        << "the Options dialog is small";
}

}  // namespace
}  // namespace orvan::ui
