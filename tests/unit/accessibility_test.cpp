// What accessibility tools are told about the windowless controls, and
// their default action on the label buttons.
#include "app/frmOptions.h"
#include "console_fixture.h"
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

    for (ui::Control* c : std::initializer_list<ui::Control*>{&Console().lblUser, &Console().Image1, &Console().Vostek,
                                                              &Console().lblAbout[0], &Console().shpOrvan[0],
                                                              &Console().lstUser})
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

}  // namespace
}  // namespace orvan::testing
