// What accessibility tools are told about the windowless controls, and
// their default action on the label buttons.
#include "app/frmOptions.h"
#include "console_fixture.h"
#include "ui/accessibility.h"
#include "ui/options_layout.h"

namespace orvan::testing {
namespace {

using ui::AccessibleRole;

struct Seen {
    std::string control;
    AccessibleRole role;
    std::string name;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << s.control << " (" << static_cast<int>(s.role) << ", \"" << s.name << "\")";
}

std::vector<Seen> SeenOf(const ui::Form& form) {
    std::vector<Seen> seen;
    for (const ui::Control* c : form.AccessibleControls())
        seen.push_back({c->Name() + (c->Index() >= 0 ? "(" + std::to_string(c->Index()) + ")" : ""), c->Role(),
                        c->AccessibleName()});
    return seen;
}

class AccessibilityTest : public ConsoleTest {};

TEST_F(AccessibilityTest, ConsoleShowsItsButtonsTextsAndPicturesTopFirstAndNoDecoration) {
    Start();
    const std::vector<Seen> expected = {
        {"Image1", AccessibleRole::Graphic, "Orvan 97"},
        {"Options", AccessibleRole::PushButton, "Options"},
        {"lblAbout(4)", AccessibleRole::StaticText, "Revision: 3"},
        {"lblAbout(3)", AccessibleRole::StaticText, "Version: 1.01"},
        {"lblAbout(2)", AccessibleRole::StaticText, "Program Information:"},
        {"lblAbout(0)", AccessibleRole::StaticText, "ORVAN 97 System Management Edition 1.01"},
        {"Edit", AccessibleRole::PushButton, "ORVAN Edit"},
        {"Define", AccessibleRole::PushButton, "Define Task"},
        {"User", AccessibleRole::PushButton, "Execute Task"},
        {"Windows", AccessibleRole::PushButton, "Execute Task"},
        {"lblUser", AccessibleRole::StaticText, "Please select a user task to execute."},
        {"lblWindows", AccessibleRole::StaticText, "Please select an Windows task to execute."},
        {"Vostek", AccessibleRole::Graphic, "Vostek logo"},
    };
    EXPECT_EQ(SeenOf(Console()), expected);
    for (const ui::Shape& shape : Console().shpOrvan) EXPECT_EQ(shape.Role(), AccessibleRole::None);
    EXPECT_EQ(Console().lstUser.Role(), AccessibleRole::None) << "the system describes native lists itself";
}

TEST_F(AccessibilityTest, OptionsDialogShowsItsTwoButtonsButNotItsLines) {
    ui::OptionsLayout dialog;
    const std::vector<Seen> expected = {{"OK", AccessibleRole::PushButton, "OK"},
                                        {"Cancel", AccessibleRole::PushButton, "Cancel"}};
    EXPECT_EQ(SeenOf(dialog), expected);
}

TEST_F(AccessibilityTest, PressRunsWhatAClickRunsAndOnlyOnButtons) {
    const std::string path = "C:\\Tools\\tool.exe";
    sys.paths[path] = platform::PathKind::File;
    Start(Settings("1", "User Task Two=" + path + "\r\n"));
    Console().lstUser.SelectedByUser(1);

    EXPECT_TRUE(Console().Press(Console().User));
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, path);

    for (ui::Control* c :
         std::initializer_list<ui::Control*>{&Console().lblUser, &Console().Image1, &Console().Vostek,
                                             &Console().lblAbout[0], &Console().shpOrvan[0], &Console().lstUser})
        EXPECT_FALSE(Console().Press(*c)) << c->Name();
    EXPECT_EQ(sys.starts.size(), 1u);
}

TEST_F(AccessibilityTest, NothingIsPressedWhileTheDialogHoldsTheConsole) {
    const std::string path = "C:\\Tools\\tool.exe";
    sys.paths[path] = platform::PathKind::File;
    Start(Settings("1", "User Task One=" + path + "\r\n"));

    ASSERT_TRUE(Console().Press(Console().Options));
    ASSERT_NE(application->Options(), nullptr);
    EXPECT_FALSE(Console().Enabled());
    for (ui::Label* button : {&Console().User, &Console().Windows, &Console().Options, &Console().Define})
        EXPECT_FALSE(Console().Press(*button)) << button->Name();
    EXPECT_TRUE(sys.starts.empty());
    EXPECT_TRUE(sys.dialogs.empty());

    // The dialog's own buttons work, and OK gives the console back.
    ASSERT_TRUE(application->Options()->Press(application->Options()->OK));
    EXPECT_EQ(application->Options(), nullptr);
    EXPECT_TRUE(Console().Press(Console().User));
    EXPECT_EQ(sys.starts.size(), 1u);
}

// The console as a tool sees it after the opening slide, its two lists as
// the native children the front end reports, at each DPI.
class AccessibleConsoleTest : public ConsoleTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        dpi = GetParam();
        Start();
        Console().tmrAnimate_Timer();
    }

    ui::AccessibleWindow View(bool windowEnabled = true) {
        return ui::AccessibleWindow(Console(), {{Console().lstWindows.Bounds()}, {Console().lstUser.Bounds()}},
                                    {0, 0, Scaled(800), Scaled(600)}, windowEnabled);
    }

    // The id a tool knows the control by.
    int IdOf(const ui::Control& control) {
        const ui::AccessibleWindow view = View();
        for (int id = 1; id <= view.ChildCount(); ++id)
            if (view.ControlOf(id) == &control) return id;
        return 0;
    }
};

TEST_P(AccessibleConsoleTest, ChildrenAreTheControlsTopFirstThenTheNativeWindows) {
    const ui::AccessibleWindow view = View();
    ASSERT_EQ(view.ChildCount(), 15);
    EXPECT_EQ(view.ControlOf(0), nullptr) << "0 is the window itself";
    EXPECT_EQ(view.ControlOf(1), &Console().Image1);
    EXPECT_EQ(view.ControlOf(13), &Console().Vostek);
    EXPECT_EQ(view.ControlOf(14), nullptr);
    EXPECT_EQ(view.NativeOf(14), 0u);
    EXPECT_EQ(view.NativeOf(15), 1u);
    EXPECT_EQ(view.NativeOf(13), std::nullopt);
    EXPECT_TRUE(view.Exists(0));
    EXPECT_FALSE(view.Exists(16));
    EXPECT_FALSE(view.Exists(-1));
}

TEST_P(AccessibleConsoleTest, NavigationInOrderAndIntoTheWindow) {
    using ui::NavDirection;
    const ui::AccessibleWindow view = View();
    EXPECT_EQ(view.Navigate(0, NavDirection::FirstChild), 1);
    EXPECT_EQ(view.Navigate(0, NavDirection::LastChild), 15);
    EXPECT_EQ(view.Navigate(0, NavDirection::Next), std::nullopt) << "the window's siblings are the system's";
    EXPECT_EQ(view.Navigate(1, NavDirection::Next), 2);
    EXPECT_EQ(view.Navigate(15, NavDirection::Next), 0);
    EXPECT_EQ(view.Navigate(1, NavDirection::Previous), 0);
    EXPECT_EQ(view.Navigate(14, NavDirection::Previous), 13);
    EXPECT_EQ(view.Navigate(2, NavDirection::FirstChild), 0) << "a control has no children";
    EXPECT_EQ(view.Navigate(14, NavDirection::FirstChild), std::nullopt) << "a list's items are the system's";
    EXPECT_EQ(view.Navigate(16, NavDirection::Next), 0);
}

TEST_P(AccessibleConsoleTest, NavigationByDirectionTakesTheNearestVisibleChildMostInLine) {
    using ui::NavDirection;
    const ui::AccessibleWindow view = View();
    EXPECT_EQ(view.Navigate(IdOf(Console().Define), NavDirection::Up), IdOf(Console().User));
    EXPECT_EQ(view.Navigate(IdOf(Console().User), NavDirection::Down), IdOf(Console().Define));
    EXPECT_EQ(view.Navigate(IdOf(Console().Windows), NavDirection::Right), IdOf(Console().lblWindows))
        << "the caption is more in line than the list below it";
    EXPECT_EQ(view.Navigate(IdOf(Console().lblWindows), NavDirection::Left), IdOf(Console().Windows));
    EXPECT_EQ(view.Navigate(IdOf(Console().Windows), NavDirection::Up), IdOf(Console().Vostek))
        << "the hidden About lines are passed over";
    EXPECT_EQ(view.Navigate(IdOf(Console().Define), NavDirection::Down), 0) << "nothing below";
    EXPECT_EQ(view.Navigate(IdOf(Console().lblUser), NavDirection::Down), IdOf(Console().Define))
        << "the user list overlaps its caption by a pixel, so it is not wholly below";
    EXPECT_EQ(view.Navigate(15, NavDirection::Up), 14) << "from the user list to the built-in one";
}

TEST_P(AccessibleConsoleTest, HitTestFindsNativeWindowsThenWhatIsDrawnThereEvenWhenItIgnoresThePointer) {
    const ui::AccessibleWindow view = View();
    const ui::Rect logo = Console().Vostek.Bounds();
    ASSERT_EQ(Console().HitTest(logo.left + 100, logo.top + 100), nullptr) << "the pointer goes through the logo";
    EXPECT_EQ(view.HitTest(logo.left + 100, logo.top + 100), IdOf(Console().Vostek));
    EXPECT_EQ(view.HitTest(Centre(Console().lstWindows).first, Centre(Console().lstWindows).second), 14);
    EXPECT_EQ(view.HitTest(Centre(Console().User).first, Centre(Console().User).second), IdOf(Console().User));
    const ui::Rect shape = Console().shpOrvan[2].Bounds();
    EXPECT_EQ(view.HitTest(shape.left + 2, shape.top + 2), 0) << "decoration is the window's own surface";
    EXPECT_EQ(view.HitTest(Scaled(800), 10), std::nullopt) << "outside the client area";

    // The About lines, once shown, lie above the logo.
    for (ui::Label& line : Console().lblAbout) line.SetVisible(true);
    const ui::Rect first = Console().lblAbout[0].Bounds();
    EXPECT_EQ(View().HitTest(first.left + 1, first.top + 1), IdOf(Console().lblAbout[0]));
}

TEST_P(AccessibleConsoleTest, StatesSayWhatCanBePressedSeenAndChanged) {
    const ui::AccessibleWindow view = View();
    EXPECT_EQ(view.StatesOf(Console().Windows), 0u);
    EXPECT_EQ(view.StatesOf(Console().Image1), ui::kStateReadOnly);
    EXPECT_EQ(view.StatesOf(Console().Vostek), ui::kStateReadOnly | ui::kStateUnavailable)
        << "a picture that ignores the pointer";
    EXPECT_EQ(view.StatesOf(Console().lblAbout[0]), ui::kStateReadOnly | ui::kStateInvisible);
    EXPECT_EQ(View(false).StatesOf(Console().Windows), ui::kStateUnavailable) << "a message box holds the window";
    EXPECT_FALSE(View(false).Pressable(Console().Windows));

    Console().Edit.SetLeft(-3000);
    EXPECT_EQ(View().StatesOf(Console().Edit), ui::kStateOffscreen);

    Console().Options_Click();
    EXPECT_EQ(View().StatesOf(Console().Windows), ui::kStateUnavailable) << "the Options dialog holds the console";
}

TEST_P(AccessibleConsoleTest, ButtonsArePressedAndTheTwoExecuteTaskButtonsSayWhichListTheyStartFrom) {
    const ui::AccessibleWindow view = View();
    EXPECT_EQ(view.DefaultActionOf(Console().Define), "Press");
    EXPECT_EQ(view.DefaultActionOf(Console().lblUser), "");
    EXPECT_EQ(view.DefaultActionOf(Console().Vostek), "");

    EXPECT_EQ(Console().Windows.AccessibleName(), Console().User.AccessibleName());
    EXPECT_EQ(Console().Windows.AccessibleDescription, "Starts the selected Windows task");
    EXPECT_EQ(Console().User.AccessibleDescription, "Starts the selected user task");
    for (const ui::Control* c : Console().AccessibleControls()) {
        if (c == &Console().Windows || c == &Console().User) continue;
        EXPECT_EQ(c->AccessibleDescription, "") << c->Name() << ": its name alone is unique";
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, AccessibleConsoleTest, ::testing::ValuesIn(kTestDpis));

}  // namespace
}  // namespace orvan::testing
