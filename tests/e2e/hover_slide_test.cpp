// The label buttons lighting under the real pointer, on the console and in
// the Options dialog, and the opening slide that brings the console's five
// buttons into their column.
#include "dialog_fixture.h"
#include "ui/options_layout.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

std::vector<Rect> Buttons() { return {at::Edit(), at::Options(), at::Windows(), at::User(), at::Define()}; }

// At each scale: the slide's steps stay 30 twips, and it ends in the
// column where the scale puts it.
class Slide : public AtEachDpi<DialogTest> {
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

TEST_P(Slide, BringsTheFiveButtonsIntoTheirColumnWithinASecond) {
    // The pointer out of the buttons' way, so nothing lights them.
    Screen().MovePointer(kScreenWidth - 1, kScreenHeight - 1);
    ConsoleOptions options;
    options.waitForSlide = false;
    StartConsole(options);
    const bool arrived = WaitUntil(
        [&] {
            for (const Rect& r : Buttons())
                if (!InColumn(r)) return false;
            return true;
        },
        1s, 20ms);
    EXPECT_TRUE(arrived) << "the buttons were not in their column a second after the console came up";
    for (const Rect& r : Buttons()) {
        EXPECT_TRUE(InColumn(r)) << r.ToString();
        EXPECT_TRUE(FaceIs(r, kIdle)) << r.ToString();
        // In their bands: the rows above and below are not the button's.
        EXPECT_NE(Screen().Pixel(r.CenterX(), r.top - 1), kIdle) << r.ToString();
        EXPECT_NE(Screen().Pixel(r.CenterX(), r.bottom), kIdle) << r.ToString();
    }
    EXPECT_TRUE(RequestClose());
}

ORVAN_AT_EACH_DPI(Slide);

// At each scale, at the places the scale puts the buttons, lists and pictures.
class Hover : public AtEachDpi<DialogTest> {};

TEST_P(Hover, OrvanEditLightsAndOnlyTheBackgroundAndLogoClearIt) {
    StartConsole();
    MoveTo(at::Edit());
    EXPECT_TRUE(WaitFace(at::Edit(), kLit)) << "resting on ORVAN Edit did not light it";
    EXPECT_TRUE(FaceIs(at::Options(), kIdle));
    MoveTo(at::Logo());
    EXPECT_TRUE(WaitFace(at::Edit(), kIdle)) << "the logo left ORVAN Edit lit";

    // Over the title picture and the captions nothing changes. "Define Task"
    // lighting afterwards shows those movements were handled, and it leaves
    // the upper pair alone.
    MoveTo(at::Edit());
    ASSERT_TRUE(WaitFace(at::Edit(), kLit));
    MoveTo(at::Title());
    MoveTo(at::BuiltInCaption());
    MoveTo(at::UserCaption());
    MoveTo(at::Define());
    ASSERT_TRUE(WaitFace(at::Define(), kLit));
    EXPECT_TRUE(FaceIs(at::Edit(), kLit)) << "the title picture or a caption cleared ORVAN Edit";

    MoveTo(at::Surface());
    EXPECT_TRUE(WaitFace(at::Edit(), kIdle));
    EXPECT_TRUE(WaitFace(at::Define(), kIdle));
    EXPECT_TRUE(RequestClose());
}

TEST_P(Hover, AListClearsTheLowerTrioOnly) {
    StartConsole();
    MoveTo(at::Options());
    ASSERT_TRUE(WaitFace(at::Options(), kLit));
    // Straight onto "Execute Task" in one jump, over nothing between.
    MoveTo(at::Windows());
    EXPECT_TRUE(WaitFace(at::Windows(), kLit));
    EXPECT_TRUE(FaceIs(at::Options(), kLit)) << "a button of the other group cleared Options";
    // Within the trio the lit button moves along.
    MoveTo(at::User());
    EXPECT_TRUE(WaitFace(at::User(), kLit));
    EXPECT_TRUE(WaitFace(at::Windows(), kIdle));
    MoveTo(at::BuiltInList());
    EXPECT_TRUE(WaitFace(at::User(), kIdle)) << "the list left Execute Task lit";
    EXPECT_TRUE(FaceIs(at::Options(), kLit)) << "the list cleared Options";
    MoveTo(at::Surface());
    EXPECT_TRUE(WaitFace(at::Options(), kIdle));
    EXPECT_TRUE(RequestClose());
}

TEST_P(Hover, OkAndCancelLightInTurnAndEveryOpeningStartsIdle) {
    StartConsole();
    std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(WaitFace(dialog->OK(), kIdle));
    EXPECT_TRUE(FaceIs(dialog->Cancel(), kIdle));
    // Laid out at the scale, its two captions fitting their buttons.
    EXPECT_EQ(dialog->window.client.Width(), dialog->LaidOutWidth());
    EXPECT_EQ(dialog->window.client.Height(), dialog->LaidOutHeight());
    const ui::OptionsLayout layout;
    ExpectCaptionFits(layout.OK, dialog->OK());
    ExpectCaptionFits(layout.Cancel, dialog->Cancel());
    // The click that opened the dialog leaves Options lit, and the disabled
    // console keeps it so.
    EXPECT_TRUE(FaceIs(at::Options(), kLit));

    MoveTo(dialog->OK());
    EXPECT_TRUE(WaitFace(dialog->OK(), kLit));
    EXPECT_TRUE(FaceIs(dialog->Cancel(), kIdle));
    MoveTo(dialog->Cancel());
    EXPECT_TRUE(WaitFace(dialog->Cancel(), kLit));
    EXPECT_TRUE(WaitFace(dialog->OK(), kIdle));
    MoveTo(dialog->Header());
    EXPECT_TRUE(WaitFace(dialog->Cancel(), kIdle)) << "the dialog's background left Cancel lit";
    EXPECT_TRUE(FaceIs(at::Options(), kLit));

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

ORVAN_AT_EACH_DPI(Hover);

}  // namespace
}  // namespace orvan::e2e
