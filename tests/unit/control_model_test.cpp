// The control model's one rule for what shows: a property changed at run time
// is drawn anew where it changes (a windowless control's place, a native
// control through its peer, the window itself), and setting the value a
// property already holds draws nothing.
#include <gtest/gtest.h>

#include "fakes/recording_peer.h"
#include "ui/console_layout.h"
#include "ui/options_layout.h"

namespace orvan::testing {
namespace {

using ui::Rect;

class ControlModelTest : public ::testing::Test {
protected:
    ui::ConsoleLayout console;
    ui::OptionsLayout options;
    RecordingPeer consolePeer, optionsPeer;

    void SetUp() override {
        console.Attach(&consolePeer);
        options.Attach(&optionsPeer);
    }

    // Runs `change` and returns what the console's peer was asked to paint.
    template <typename Change>
    std::vector<Rect> PaintedBy(Change change) {
        consolePeer.invalidated.clear();
        change();
        return consolePeer.invalidated;
    }
};

TEST_F(ControlModelTest, EachPropertyOfAWindowlessControlRepaintsItsPlaceOnceAndAnUnchangedValueNothing) {
    ui::Label& caption = console.lblWindows;
    const Rect place = caption.Bounds();
    const std::vector<Rect> once{place};
    EXPECT_EQ(PaintedBy([&] { caption.SetCaption("Another caption"); }), once);
    EXPECT_EQ(caption.AccessibleName(), "Another caption");
    EXPECT_EQ(PaintedBy([&] { caption.SetForeColor(ui::kWhite); }), once);
    EXPECT_EQ(PaintedBy([&] { caption.SetBackColor(ui::kIdleColor); }), once);
    EXPECT_EQ(PaintedBy([&] { caption.SetTextFont(ui::Font{"Tahoma", 12, 400}); }), once);
    EXPECT_EQ(PaintedBy([&] { caption.SetAlignment(ui::Align::Center); }), once);
    EXPECT_EQ(PaintedBy([&] { caption.SetOpaque(false); }), once);
    EXPECT_EQ(PaintedBy([&] { caption.SetVisible(false); }), once);

    EXPECT_TRUE(PaintedBy([&] {
                    caption.SetCaption("Another caption");
                    caption.SetForeColor(ui::kWhite);
                    caption.SetBackColor(ui::kIdleColor);
                    caption.SetTextFont(ui::Font{"Tahoma", 12, 400});
                    caption.SetAlignment(ui::Align::Center);
                    caption.SetOpaque(false);
                    caption.SetVisible(false);
                }).empty())
        << "the values they already hold";

    EXPECT_EQ(PaintedBy([&] { console.Image1.SetPicture(ui::PictureId::Logo); }), std::vector{console.Image1.Bounds()});
    EXPECT_EQ(PaintedBy([&] { console.Image1.SetStretch(true); }), std::vector{console.Image1.Bounds()});
    ui::Shape& shape = console.shpOrvan[1];
    EXPECT_EQ(PaintedBy([&] { shape.SetFigure(ui::ShapeKind::Circle); }), std::vector{shape.Bounds()});
    EXPECT_EQ(PaintedBy([&] { shape.SetFillColor(ui::kLitColor); }), std::vector{shape.Bounds()});
    EXPECT_TRUE(PaintedBy([&] { shape.SetFillColor(ui::kLitColor); }).empty());
}

TEST_F(ControlModelTest, AMoveRepaintsWhereTheControlWasAndWhereItIs) {
    ui::Label& button = console.Define;
    const Rect before = button.Bounds();
    const std::vector<Rect> painted = PaintedBy([&] { button.SetLeft(button.Left() + 1500); });
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], before.Union(button.Bounds()));
    EXPECT_EQ(button.Bounds().left, before.left + 100);

    const Rect moved = button.Bounds();
    const std::vector<Rect> placed = PaintedBy([&] { button.Place(0, 0, 1500, 300); });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0], moved.Union(Rect{0, 0, 100, 20}));
    EXPECT_TRUE(PaintedBy([&] { button.Place(0, 0, 1500, 300); }).empty());
}

TEST_F(ControlModelTest, NativeControlsAndWhatTheyHoldAreShownAnewByTheirPeer) {
    auto mirroredBy = [&](auto change) {
        consolePeer.mirrored.clear();
        optionsPeer.mirrored.clear();
        consolePeer.invalidated.clear();
        optionsPeer.invalidated.clear();
        change();
        EXPECT_TRUE(consolePeer.invalidated.empty() && optionsPeer.invalidated.empty())
            << "a native control is not painted over by its window";
        std::vector<std::string> both = consolePeer.mirrored;
        both.insert(both.end(), optionsPeer.mirrored.begin(), optionsPeer.mirrored.end());
        return both;
    };
    using Names = std::vector<std::string>;
    ui::ListBox& list = console.lstUser;
    EXPECT_EQ(mirroredBy([&] { list.SetBackColor(ui::kIdleColor); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetForeColor(ui::kWhite); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetTextFont(ui::Font{"Tahoma", 10, 400}); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetRowTwips(240); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetLeft(0); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetVisible(false); }), Names{"lstUser"});
    EXPECT_EQ(mirroredBy([&] { list.SetRowTwips(240); }), Names{});

    EXPECT_EQ(mirroredBy([&] { options.fraLaunch.SetCaption("How?"); }), Names{"fraLaunch"});
    EXPECT_EQ(mirroredBy([&] { options.optMin.SetCaption("Minimized"); }), Names{"optMin"});
    EXPECT_EQ(mirroredBy([&] { options.optMin.SetToolTipText("Smaller."); }), Names{"optMin"});
    EXPECT_EQ(mirroredBy([&] { options.optMin.SetForeColor(ui::kLitColor); }), Names{"optMin"});
    EXPECT_EQ(mirroredBy([&] { options.optMin.SetCaption("Minimized"); }), Names{});
    // The frame's lines are drawn by the frame's own window.
    EXPECT_EQ(mirroredBy([&] { options.linOrvan[0].SetBorderColor(ui::kWhite); }), Names{"fraLaunch"});
    EXPECT_EQ(mirroredBy([&] { options.linOrvan[1].SetEnds(0, 0, 100, 100); }), Names{"fraLaunch"});
    EXPECT_EQ(options.linOrvan[1].PaintExtent().Width(), options.Scaling().Pixels(100) + 1);
    EXPECT_EQ(options.optMin.LocalBounds(), (Rect{112, 20, 217, 45})) << "from the frame's corner, as its window";
}

TEST_F(ControlModelTest, TheWindowsOwnLookAndItsTimersReachThePeer) {
    console.SetCaption("Orvan");
    console.SetBackColor(ui::kWhite);
    console.SetPicture(ui::PictureId::None);
    EXPECT_EQ(consolePeer.formChanges, 3);
    console.SetCaption("Orvan");
    console.SetBackColor(ui::kWhite);
    EXPECT_EQ(consolePeer.formChanges, 3);

    console.tmrAnimate.SetInterval(100);
    console.tmrAnimate.SetInterval(100);
    console.tmrAnimate.SetTimerEnabled(false);
    EXPECT_EQ(consolePeer.timerChanges, 2);
}

}  // namespace
}  // namespace orvan::testing
