// The Options dialog and the run method; the context menu and the About panel.
#include "app/frmOptions.h"
#include "console_fixture.h"
#include "version.h"

namespace orvan::testing {
namespace {

class OptionsTest : public ConsoleTest {
protected:
    app::frmOptions& Open() {
        Console().Options_Click();
        return *application->Options();
    }
    std::string SavedRunMethod() {
        application->CloseRequested();
        const std::string& f = sys.files[kIni];
        auto at = f.find("Program Run Method=") + 19;
        return f.substr(at, f.find('\r', at) - at);
    }
};

TEST_F(OptionsTest, DialogOpensOnTheStoredCode) {
    const std::pair<const char*, const char*> table[] = {
        {"1", "optNormFront"}, {"3", "optMax"},       {"4", "optNormBack"},
        {"6", "optMin"},       {"2", "optNormFront"}, {"0", "optNormFront"},
    };
    for (auto [code, button] : table) {
        sys.files.clear();
        Start(Settings(code));
        app::frmOptions& dialog = Open();
        int selected = 0;
        std::string name;
        for (ui::OptionButton* o : {&dialog.optNormBack, &dialog.optNormFront, &dialog.optMin, &dialog.optMax}) {
            if (o->Value()) {
                ++selected;
                name = o->Name();
            }
        }
        EXPECT_EQ(selected, 1) << code;
        EXPECT_EQ(name, button) << code;
        EXPECT_EQ(std::to_string(Ini().RunMethod), code) << "opening keeps the code";
        EXPECT_EQ(Ini().RunMethodText, code);
        dialog.OK_Click();
    }
}

TEST_F(OptionsTest, ClickedOptionIsChosenAndItsClickSetsTheRunMethodEachTime) {
    Start(Settings("3"));
    app::frmOptions& dialog = Open();
    dialog.optMin.ClickedByUser();
    EXPECT_TRUE(dialog.optMin.Value());
    EXPECT_FALSE(dialog.optMax.Value()) << "one choice in the frame";
    EXPECT_EQ(Ini().RunMethod, 6);
    Ini().RunMethod = 2;
    dialog.optMin.ClickedByUser();  // the chosen one, clicked again
    EXPECT_EQ(Ini().RunMethod, 6);
    EXPECT_TRUE(dialog.optMin.Value());
}

TEST_F(OptionsTest, FocusMovesThroughEachWindowByTabIndex) {
    Start();
    const auto console = Console().TabOrder();
    ASSERT_EQ(console.size(), 2u);
    EXPECT_EQ(console[0], &Console().lstUser) << "the user list takes the focus first";
    EXPECT_EQ(console[1], &Console().lstWindows);
    app::frmOptions& dialog = Open();
    const auto options = dialog.TabOrder();
    ASSERT_EQ(options.size(), 5u);
    EXPECT_EQ(options[0], &dialog.fraLaunch) << "the frame, which takes no focus, comes first";
    for (std::size_t i = 2; i < options.size(); ++i) EXPECT_LT(options[i - 1]->TabIndex, options[i]->TabIndex);
}

TEST_F(OptionsTest, ConsoleIsDisabledWhileTheDialogIsOpen) {
    Start();
    Open();
    EXPECT_FALSE(Console().Enabled());
    ASSERT_FALSE(windows.events.empty());
    EXPECT_EQ(windows.events.back().what, "open shown");
    EXPECT_EQ(windows.events.back().form, "frmOptions");
    Console().tmrAnimate_Timer();
    ClickAt(Console(), Centre(Console().Windows));
    EXPECT_TRUE(sys.starts.empty()) << "clicks on a disabled console do nothing";
    application->Options()->OK_Click();
    EXPECT_TRUE(Console().Enabled());
    EXPECT_EQ(windows.events.back().what, "front");
    EXPECT_EQ(application->Options(), nullptr) << "the dialog is discarded";
}

TEST_F(OptionsTest, CancelRestoresAndOkKeeps) {
    Start(Settings("3"));
    Open().optMin.SetValue(true);
    EXPECT_EQ(Ini().RunMethod, 6) << "a choice applies at once";
    application->Options()->Cancel_Click();
    EXPECT_EQ(Ini().RunMethod, 3);
    Open().optMin.SetValue(true);
    application->Options()->OK_Click();
    EXPECT_EQ(Ini().RunMethod, 6);
    EXPECT_EQ(SavedRunMethod(), "6");
}

TEST_F(OptionsTest, LastChoiceWinsAndOkWithoutAChoiceKeepsTheCode) {
    Start(Settings("4"));
    app::frmOptions& dialog = Open();
    dialog.optMin.SetValue(true);
    dialog.optNormFront.SetValue(true);
    dialog.OK_Click();
    EXPECT_EQ(Ini().RunMethod, 1);
    Open().OK_Click();
    EXPECT_EQ(Ini().RunMethod, 1);
}

TEST_F(OptionsTest, UnofferedCodeSurvivesTheDialogUntilAChoice) {
    Start(Settings("2"));
    Open().OK_Click();
    Open().Cancel_Click();
    EXPECT_EQ(Ini().RunMethod, 2);
    Console().Windows_Click();
    EXPECT_EQ(sys.starts.at(0).showCode, 2);
    EXPECT_EQ(SavedRunMethod(), "2");
}

TEST_F(OptionsTest, ClosingTheDialogAnotherWayCountsAsCancel) {
    Start(Settings("3"));
    Open().optMin.SetValue(true);
    EXPECT_FALSE(application->CloseRequested(*application->Options()));
    EXPECT_EQ(Ini().RunMethod, 3);
    EXPECT_TRUE(Console().Enabled());
    EXPECT_EQ(application->Options(), nullptr);
    EXPECT_EQ(sys.replaceCalls, 0) << "closing the dialog saves nothing";
    EXPECT_TRUE(application->CloseRequested(Console()));
    EXPECT_EQ(sys.replaceCalls, 14) << "the close saves what the file lacks: the tasks and the note";
}

TEST_F(OptionsTest, EveryOpeningStartsFromTheDefinition) {
    Start(Settings("1"));
    app::frmOptions& first = Open();
    first.OK.SetBackColor(ui::kLitColor);
    first.OK_Click();
    app::frmOptions& second = Open();
    EXPECT_EQ(second.OK.BackColor(), ui::kIdleColor);
    EXPECT_EQ(second.Cancel.BackColor(), ui::kIdleColor);
}

TEST_F(OptionsTest, AFramesLineReachesBothItsEnds) {
    // The lines are drawn by their ends, in the frame's coordinates, so a
    // repaint must reach them there, whatever their bounds say.
    Start();
    Open();
    const ui::Line& line = application->Options()->linOrvan[0];
    const ui::Rect frame = application->Options()->fraLaunch.Bounds();
    EXPECT_EQ(line.PaintExtent(), (ui::Rect{frame.left + 8, frame.top + 80, frame.left + 217, frame.top + 81}));
    RecordingCanvas canvas;
    line.Paint(canvas);
    EXPECT_EQ(
        canvas.calls,
        (std::vector<std::string>{"line " + std::to_string(frame.left + 8) + "," + std::to_string(frame.top + 80) +
                                  "," + std::to_string(frame.left + 216) + "," + std::to_string(frame.top + 80)}));
}

class MenuTest : public ConsoleTest {
protected:
    void SetUp() override {
        Start();
        Console().tmrAnimate_Timer();
    }
    void RightClick(std::pair<int, int> at) { Console().PointerDown(ui::kRightButton, 0, at.first, at.second, false); }
};

TEST_F(MenuTest, RightClickOpensTheMenuAtTheTopLeftCorner) {
    auto& c = Console();
    std::vector<std::pair<int, int>> sources = {Centre(c.Define),     Centre(c.Windows),    Centre(c.User),
                                                Centre(c.lblWindows), Centre(c.lblUser),    Centre(c.Vostek),
                                                {700, 590},           Centre(c.shpOrvan[2])};
    for (auto at : sources) RightClick(at);
    c.lstWindows.MouseDown({ui::kRightButton, 0, 100, 100});
    c.lstUser.MouseDown({ui::kRightButton, 0, 100, 100});
    ASSERT_EQ(peer.menus.size(), sources.size() + 2);
    for (auto point : peer.menuPoints) EXPECT_EQ(point, (std::pair<int, int>{0, 0}));
    const auto& items = peer.menus[0];
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].caption, "About Orvan 97...");
    EXPECT_FALSE(items[0].checked);
    EXPECT_EQ(items[1].command, 0) << "a separator";
    EXPECT_EQ(items[2].caption, "Exit");
    EXPECT_EQ(c.lstWindows.ListIndex(), 0);
    ASSERT_EQ(windows.events.size(), 1u) << "the menu host is created once, hidden";
    EXPECT_EQ(windows.events[0].what, "open hidden");
    EXPECT_EQ(application->Res()->Caption(), "Resource Manager for Orvan 97");
}

TEST_F(MenuTest, SomeControlsAndOtherButtonsOpenNothing) {
    auto& c = Console();
    RightClick(Centre(c.Edit));
    RightClick(Centre(c.Options));
    RightClick(Centre(c.Image1));
    for (int button : {ui::kLeftButton, ui::kMiddleButton}) {
        c.PointerDown(button, 0, 700, 590, false);
        c.PointerDown(button, 0, Centre(c.Define).first, Centre(c.Define).second, false);
        c.lstUser.MouseDown({button, 0, 10, 10});
    }
    EXPECT_TRUE(peer.menus.empty());
    EXPECT_EQ(application->Res(), nullptr);
}

TEST_F(MenuTest, AboutTwiceShowsThenHidesThePanelWithTheTick) {
    peer.menuAnswers = {ui::ResLayout::kAbout, ui::ResLayout::kAbout, 0};
    RightClick({700, 590});
    for (const ui::Label& line : Console().lblAbout) EXPECT_TRUE(line.Visible());
    RightClick(Centre(Console().lblAbout[0]));  // a shown line takes the right-click too
    for (const ui::Label& line : Console().lblAbout) EXPECT_FALSE(line.Visible());
    RightClick({700, 590});
    EXPECT_FALSE(peer.menus[0][0].checked);
    EXPECT_TRUE(peer.menus[1][0].checked);
    EXPECT_FALSE(peer.menus[2][0].checked);
}

TEST_F(MenuTest, AboutPanelShowsTheVersionOfVersionH) {
    // "ORVAN 97 System Management Edition 1.01", "Version: 1.01", "Revision: 3"
    // for 1.01 revision 3: the texts come from the one version definition.
    const auto& about = Console().lblAbout;
    EXPECT_EQ(about[0].Caption(), "ORVAN 97 System Management Edition " ORVAN_VERSION);
    EXPECT_EQ(about[1].Caption(), "Program Information:");
    EXPECT_EQ(about[2].Caption(), "Version: " ORVAN_VERSION);
    EXPECT_EQ(about[3].Caption(), "Revision: " ORVAN_REVISION_TEXT);
}

TEST_F(MenuTest, ExitSavesOnceAndEndsTheProcess) {
    peer.menuAnswers = {ui::ResLayout::kExit};
    RightClick({700, 590});
    EXPECT_EQ(sys.replaceCalls, 15);
    EXPECT_EQ(sys.endProcessCalls, 1);
    EXPECT_EQ(sys.files.count(kIni), 1u);
}

TEST_F(MenuTest, ExitWithAnUnwritableFileShowsTheErrorsFirst) {
    sys.failReplace = true;
    peer.menuAnswers = {ui::ResLayout::kExit};
    RightClick({700, 590});
    EXPECT_EQ(sys.messages.size(), 15u);
    EXPECT_EQ(sys.endProcessCalls, 1);
}

}  // namespace
}  // namespace orvan::testing
