// The hover lighting of the label buttons and the opening slide.
#include <cmath>

#include "app/frmOptions.h"
#include "console_fixture.h"

namespace orvan::testing {
namespace {

using ui::kIdleColor;
using ui::kLitColor;

// At each DPI: the pointer finds the controls where the scale puts them.
class HoverTest : public ConsoleTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        dpi = GetParam();
        Start();
        Console().tmrAnimate_Timer();
        peer.invalidated.clear();
    }
    void MoveTo(std::pair<int, int> at) { Console().PointerMove(0, 0, at.first, at.second); }
    void MoveOver(const ui::Control& c) { MoveTo(Centre(c)); }
    std::vector<ui::Color> Colours() {
        auto& c = Console();
        return {c.Edit.BackColor(), c.Options.BackColor(), c.Windows.BackColor(), c.User.BackColor(),
                c.Define.BackColor()};
    }
};

TEST_P(HoverTest, BackAndForthOverOneButtonWritesOnce) {
    MoveOver(Console().Edit);
    ASSERT_EQ(peer.invalidated.size(), 1u);
    EXPECT_EQ(peer.invalidated[0], Console().Edit.Bounds()) << "only the button's rectangle is repainted";
    auto [x, y] = Centre(Console().Edit);
    for (int dx = -20; dx <= 20; dx += 5) MoveTo({x + dx, y});
    EXPECT_EQ(peer.invalidated.size(), 1u);
    EXPECT_EQ(Console().Edit.BackColor(), kLitColor);
}

TEST_P(HoverTest, ButtonsOfOneGroupHandOverTheLight) {
    MoveOver(Console().User);
    MoveOver(Console().Windows);
    EXPECT_EQ(Colours(), (std::vector<ui::Color>{kIdleColor, kIdleColor, kLitColor, kIdleColor, kIdleColor}));
    MoveOver(Console().Define);
    EXPECT_EQ(Colours(), (std::vector<ui::Color>{kIdleColor, kIdleColor, kIdleColor, kIdleColor, kLitColor}));
    MoveOver(Console().Options);
    MoveOver(Console().Edit);
    EXPECT_EQ(Colours(), (std::vector<ui::Color>{kLitColor, kIdleColor, kIdleColor, kIdleColor, kLitColor}))
        << "a button never clears the other group";
}

TEST_P(HoverTest, ListsClearTheLowerTrioOnly) {
    MoveOver(Console().Options);
    MoveOver(Console().Windows);
    Console().lstWindows.MouseMove({});
    EXPECT_EQ(Colours(), (std::vector<ui::Color>{kIdleColor, kLitColor, kIdleColor, kIdleColor, kIdleColor}));
    MoveOver(Console().User);
    Console().lstUser.MouseMove({});
    EXPECT_EQ(Console().User.BackColor(), kIdleColor);
    EXPECT_EQ(Console().Options.BackColor(), kLitColor);
}

TEST_P(HoverTest, PointerOnAListReachesItsHandlersInTwipsOnlyWhileTheConsoleTakesInput) {
    MoveOver(Console().User);
    Console().ControlPointerMove(Console().lstUser, 0, 0, 3, 4);
    EXPECT_EQ(Console().User.BackColor(), kIdleColor);

    std::vector<ui::MouseArgs> downs;
    Console().lstWindows.MouseDown = [&](const ui::MouseArgs& a) { downs.push_back(a); };
    Console().ControlPointerDown(Console().lstWindows, ui::kRightButton, ui::kShiftMask, 3, 4);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].button, ui::kRightButton);
    EXPECT_EQ(downs[0].shift, ui::kShiftMask);
    EXPECT_EQ(downs[0].x, static_cast<float>(Console().Scaling().Twips(3))) << "from the list's own corner";
    EXPECT_EQ(downs[0].y, static_cast<float>(Console().Scaling().Twips(4)));

    Console().Options_Click();
    MoveOver(Console().Define);
    Console().ControlPointerDown(Console().lstWindows, ui::kRightButton, 0, 3, 4);
    EXPECT_EQ(downs.size(), 1u) << "the Options dialog holds the console";
}

TEST_P(HoverTest, LogoAndShapesReachTheBackgroundTitleAndCaptionsDoNot) {
    auto& c = Console();
    MoveOver(c.Edit);
    MoveOver(c.Define);
    MoveOver(c.Image1);
    MoveOver(c.lblWindows);
    MoveOver(c.lblUser);
    EXPECT_EQ(Colours(), (std::vector<ui::Color>{kLitColor, kIdleColor, kIdleColor, kIdleColor, kLitColor}));
    MoveOver(c.Vostek);
    EXPECT_EQ(Colours(), std::vector<ui::Color>(5, kIdleColor));
    MoveOver(c.Edit);
    MoveOver(c.shpOrvan[2]);
    EXPECT_EQ(c.Edit.BackColor(), kIdleColor);
}

TEST_P(HoverTest, ShownAboutLinesTakeMovementHiddenOnesDoNot) {
    auto& c = Console();
    MoveOver(c.Edit);
    MoveOver(c.lblAbout[0]);  // hidden: the logo's background beneath
    EXPECT_EQ(c.Edit.BackColor(), kIdleColor);
    for (ui::Label& line : c.lblAbout) line.SetVisible(true);
    MoveOver(c.Edit);
    MoveOver(c.lblAbout[0]);
    EXPECT_EQ(c.Edit.BackColor(), kLitColor);
}

TEST_P(HoverTest, ThirdColourIsNeverTouched) {
    Console().Windows.SetBackColor(0x123456);
    peer.invalidated.clear();
    MoveOver(Console().Windows);
    MoveTo(Scaled({700, 590}));
    EXPECT_EQ(Console().Windows.BackColor(), 0x123456u);
    EXPECT_TRUE(peer.invalidated.empty());
}

TEST_P(HoverTest, MovementOverTheBackgroundThatChangesNothingPaintsNothing) {
    for (int i = 0; i < 50; ++i) MoveTo({Scaled(600) + i, Scaled(590)});
    EXPECT_TRUE(peer.invalidated.empty());
}

TEST_P(HoverTest, OptionsStaysLitThroughTheDialog) {
    auto& c = Console();
    MoveOver(c.Options);
    ClickAt(c, Centre(c.Options));
    MoveTo(Scaled({700, 590}));  // the disabled console takes no movement
    EXPECT_EQ(c.Options.BackColor(), kLitColor);
    app::frmOptions& dialog = *application->Options();
    auto moveOver = [&](std::pair<int, int> at) { dialog.PointerMove(0, 0, at.first, at.second); };
    moveOver(Centre(dialog.OK));
    EXPECT_EQ(dialog.OK.BackColor(), kLitColor);
    moveOver(Centre(dialog.Cancel));
    EXPECT_EQ(dialog.OK.BackColor(), kIdleColor);
    EXPECT_EQ(dialog.Cancel.BackColor(), kLitColor);
    moveOver(Scaled({5, 140}));
    EXPECT_EQ(dialog.Cancel.BackColor(), kIdleColor);
    dialog.OK_Click();
    EXPECT_EQ(c.Options.BackColor(), kLitColor);
    MoveTo(Scaled({700, 590}));
    EXPECT_EQ(c.Options.BackColor(), kIdleColor);
}

TEST_P(HoverTest, DialogRoutesMovementOverItsButtonsAndItsBackground) {
    Console().Options_Click();
    app::frmOptions& dialog = *application->Options();
    auto ok = Centre(dialog.OK);
    dialog.PointerMove(0, 0, ok.first, ok.second);
    EXPECT_EQ(dialog.OK.BackColor(), kLitColor);
    auto line = dialog.linOrvan[0].Bounds();  // lines take no movement
    EXPECT_EQ(dialog.HitTest(line.left + 5, line.top), nullptr);
    dialog.PointerMove(0, 0, Scaled(5), Scaled(140));
    EXPECT_EQ(dialog.OK.BackColor(), kIdleColor);
}

INSTANTIATE_TEST_SUITE_P(Dpi, HoverTest, ::testing::ValuesIn(kTestDpis));

class SlideTest : public ConsoleTest {
protected:
    std::vector<std::vector<float>> passes;
    void SetUp() override {
        Start();
        peer.onUpdate = [this] {
            auto& c = Console();
            passes.push_back({c.Edit.Left(), c.Options.Left(), c.Windows.Left(), c.User.Left(), c.Define.Left()});
        };
    }
};

// The slide keeps its steps of 30 twips at every scale; each pass's edges
// in pixels are rounded from their twips, so a button's width stays within
// a pixel of its exact width all the way.
class ScaledSlideTest : public SlideTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        dpi = GetParam();
        SlideTest::SetUp();
    }
};

TEST_P(ScaledSlideTest, NinetyPassesInLockstepToTheColumn) {
    std::vector<int> widths;
    peer.onUpdate = [&] {
        auto& c = Console();
        passes.push_back({c.Edit.Left(), c.Options.Left(), c.Windows.Left(), c.User.Left(), c.Define.Left()});
        widths.push_back(c.Edit.Bounds().Width());
    };
    Console().tmrAnimate_Timer();
    ASSERT_EQ(passes.size(), 90u);
    for (std::size_t k = 0; k < passes.size(); ++k)
        EXPECT_EQ(passes[k], std::vector<float>(5, -2520.0f + 30.0f * static_cast<float>(k + 1))) << "pass " << k + 1;
    EXPECT_EQ(Console().Edit.Bounds().left, Scaled(12));
    EXPECT_EQ(Console().Edit.Bounds().right, Scaled(184));
    const double exact = 2580.0 * dpi / 1440;  // whole pixels at the scales the pictures are made for
    for (int width : widths) EXPECT_LT(std::abs(width - exact), 1.0) << "edges rounded once, never sizes";
    EXPECT_FALSE(Console().tmrAnimate.TimerEnabled());
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledSlideTest, ::testing::ValuesIn(kTestDpis));

TEST_F(SlideTest, ButtonsAlreadyInPlaceStopAfterOnePass) {
    auto& c = Console();
    for (ui::Label* b : {&c.Edit, &c.Options, &c.Windows, &c.User, &c.Define}) b->SetLeft(180);
    c.tmrAnimate_Timer();
    EXPECT_EQ(passes.size(), 1u);
    EXPECT_EQ(c.Edit.Left(), 180.0f);
}

TEST_F(SlideTest, OddStartsOvershootOrFallShort) {
    auto& c = Console();
    c.Options.SetLeft(170);
    c.User.SetLeft(-2550);
    c.tmrAnimate_Timer();
    EXPECT_EQ(passes.size(), 90u) << "the completion test never holds";
    EXPECT_EQ(c.Options.Left(), 200.0f);
    EXPECT_EQ(c.User.Left(), 150.0f);
    EXPECT_EQ(c.Edit.Left(), 180.0f);
}

TEST_F(SlideTest, PaintedAreaIsThePictureAndWhatTheWindowlessControlsCoverFromTheClientCorner) {
    auto& c = Console();
    EXPECT_EQ(c.PaintedArea(800, 600), (ui::Rect{0, 0, 800, 600}));
    // Without the picture, the controls alone: from the shape at the top
    // right down to "Define Task"; the lists are native and paint themselves.
    EXPECT_EQ(c.PaintedArea(0, 0), (ui::Rect{0, 8, 793, 461})) << "the buttons start left of the window";
    c.tmrAnimate_Timer();
    EXPECT_EQ(c.PaintedArea(0, 0), (ui::Rect{12, 8, 793, 461}));
}

TEST_F(SlideTest, APaintOfSomeRowsDrawsThePictureAndOnlyTheControlsReachingThem) {
    auto& c = Console();
    RecordingCanvas whole, logoRows, captionRows;
    c.Paint(whole, {0, 0, 1024, 768});
    // Bottom up: the picture, the three shapes, the logo, the two captions,
    // four buttons, the hidden About lines (nothing), "Options", the title.
    ASSERT_EQ(whole.calls.size(), 20u);
    EXPECT_EQ(whole.calls.front(), "picture 1 0,0,16384,16384");
    EXPECT_EQ(whole.calls.back(), "picture 2 207,10,305,38");
    // Rows the logo alone covers.
    c.Paint(logoRows, {0, 150, 800, 200});
    EXPECT_EQ(logoRows.calls, (std::vector<std::string>{"picture 1 0,0,16384,16384", "picture 3 192,48,785,233"}));
    // The rows of the first caption, which the "Execute Task" button beside
    // it shares, even where it still stands left of the window.
    c.Paint(captionRows, {0, 288, 800, 305});
    EXPECT_EQ(captionRows.calls, (std::vector<std::string>{"picture 1 0,0,16384,16384", "fill 192,288,793,305",
                                                           "text Please select an Windows task to execute.",
                                                           "fill -168,296,4,317", "text Execute Task"}));
}

TEST_F(SlideTest, ClosingTheOptionsDialogPlaysNothing) {
    auto& c = Console();
    c.tmrAnimate_Timer();
    passes.clear();
    c.Options_Click();
    application->Options()->OK_Click();
    EXPECT_TRUE(passes.empty());
    EXPECT_FALSE(c.tmrAnimate.TimerEnabled());
}

}  // namespace
}  // namespace orvan::testing
