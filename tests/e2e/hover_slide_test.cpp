// The label buttons lighting under the real pointer, on the console and in
// the Options dialog, and the opening slide that brings the console's five
// buttons into their column.
#include "dialog_fixture.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

const Rect kButtons[] = {at::kEdit, at::kOptions, at::kWindows, at::kUser, at::kDefine};

class Slide : public DialogTest {
protected:
    // The button's first and last columns idle over its whole height, the
    // columns beside them not.
    bool InColumn(const Rect& button) {
        const Image strip = Screen().Grab(Rect{button.left - 1, button.top, button.right + 1, button.bottom});
        for (int y = 0; y < strip.height; ++y) {
            if (strip.At(1, y) != kIdle || strip.At(strip.width - 2, y) != kIdle) return false;
            if (strip.At(0, y) == kIdle || strip.At(strip.width - 1, y) == kIdle) return false;
        }
        return true;
    }
};

TEST_F(Slide, BringsTheFiveButtonsIntoTheirColumnWithinASecond) {
    // The pointer out of the buttons' way, so nothing lights them.
    Screen().MovePointer(kScreenWidth - 1, kScreenHeight - 1);
    ConsoleOptions options;
    options.waitForSlide = false;
    StartConsole(options);
    const bool arrived = WaitUntil(
        [&] {
            for (const Rect& r : kButtons)
                if (!InColumn(r)) return false;
            return true;
        },
        1s, 20ms);
    EXPECT_TRUE(arrived) << "the buttons were not at x 12 to 183 a second after the console came up";
    for (const Rect& r : kButtons) {
        EXPECT_TRUE(InColumn(r)) << r.ToString();
        EXPECT_TRUE(FaceIs(r, kIdle)) << r.ToString();
        // In their bands: the rows above and below are not the button's.
        EXPECT_NE(Screen().Pixel(r.CenterX(), r.top - 1), kIdle) << r.ToString();
        EXPECT_NE(Screen().Pixel(r.CenterX(), r.bottom), kIdle) << r.ToString();
    }
    EXPECT_TRUE(RequestClose());
}

class Hover : public DialogTest {};

TEST_F(Hover, OrvanEditLightsAndOnlyTheBackgroundAndLogoClearIt) {
    StartConsole();
    MoveTo(at::kEdit);
    EXPECT_TRUE(WaitFace(at::kEdit, kLit)) << "resting on ORVAN Edit did not light it";
    EXPECT_TRUE(FaceIs(at::kOptions, kIdle));
    MoveTo(at::kLogo);
    EXPECT_TRUE(WaitFace(at::kEdit, kIdle)) << "the logo left ORVAN Edit lit";

    // Over the title picture and the captions nothing changes. "Define Task"
    // lighting afterwards shows those movements were handled, and it leaves
    // the upper pair alone.
    MoveTo(at::kEdit);
    ASSERT_TRUE(WaitFace(at::kEdit, kLit));
    MoveTo(at::kTitle);
    MoveTo(at::kBuiltInCaption);
    MoveTo(at::kUserCaption);
    MoveTo(at::kDefine);
    ASSERT_TRUE(WaitFace(at::kDefine, kLit));
    EXPECT_TRUE(FaceIs(at::kEdit, kLit)) << "the title picture or a caption cleared ORVAN Edit";

    MoveTo(at::kSurface);
    EXPECT_TRUE(WaitFace(at::kEdit, kIdle));
    EXPECT_TRUE(WaitFace(at::kDefine, kIdle));
    EXPECT_TRUE(RequestClose());
}

TEST_F(Hover, AListClearsTheLowerTrioOnly) {
    StartConsole();
    MoveTo(at::kOptions);
    ASSERT_TRUE(WaitFace(at::kOptions, kLit));
    // Straight onto "Execute Task" in one jump, over nothing between.
    MoveTo(at::kWindows);
    EXPECT_TRUE(WaitFace(at::kWindows, kLit));
    EXPECT_TRUE(FaceIs(at::kOptions, kLit)) << "a button of the other group cleared Options";
    // Within the trio the lit button moves along.
    MoveTo(at::kUser);
    EXPECT_TRUE(WaitFace(at::kUser, kLit));
    EXPECT_TRUE(WaitFace(at::kWindows, kIdle));
    MoveTo(at::kBuiltInList);
    EXPECT_TRUE(WaitFace(at::kUser, kIdle)) << "the list left Execute Task lit";
    EXPECT_TRUE(FaceIs(at::kOptions, kLit)) << "the list cleared Options";
    MoveTo(at::kSurface);
    EXPECT_TRUE(WaitFace(at::kOptions, kIdle));
    EXPECT_TRUE(RequestClose());
}

TEST_F(Hover, OkAndCancelLightInTurnAndEveryOpeningStartsIdle) {
    StartConsole();
    std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(WaitFace(dialog->OK(), kIdle));
    EXPECT_TRUE(FaceIs(dialog->Cancel(), kIdle));
    // The click that opened the dialog leaves Options lit, and the disabled
    // console keeps it so.
    EXPECT_TRUE(FaceIs(at::kOptions, kLit));

    MoveTo(dialog->OK());
    EXPECT_TRUE(WaitFace(dialog->OK(), kLit));
    EXPECT_TRUE(FaceIs(dialog->Cancel(), kIdle));
    MoveTo(dialog->Cancel());
    EXPECT_TRUE(WaitFace(dialog->Cancel(), kLit));
    EXPECT_TRUE(WaitFace(dialog->OK(), kIdle));
    MoveTo(dialog->Header());
    EXPECT_TRUE(WaitFace(dialog->Cancel(), kIdle)) << "the dialog's background left Cancel lit";
    EXPECT_TRUE(FaceIs(at::kOptions, kLit));

    // Closed with OK lit; the next opening starts from its definition.
    ClickOn(dialog->OK());
    ASSERT_TRUE(WaitOptionsClosed());
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(WaitFace(dialog->OK(), kIdle));
    EXPECT_TRUE(FaceIs(dialog->Cancel(), kIdle));
    ClickOn(dialog->Cancel());
    ASSERT_TRUE(WaitOptionsClosed());
    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
