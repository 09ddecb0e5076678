// The console from the keyboard: Enter starts a list's entry, a digit its
// user slot, the menu key and Shift+F10 open the context menu; every other
// key is the system's.
#include "console_fixture.h"

namespace orvan::testing {
namespace {

class KeyboardTest : public ConsoleTest {
protected:
    void SetUp() override {
        sys.paths["C:\\tools\\seven.exe"] = platform::PathKind::File;
        Start(Settings("3", "User Task Seven=C:\\tools\\seven.exe\r\n"));
        Console().tmrAnimate_Timer();
    }
    bool Key(ui::Control* control, int keyCode, int shift = 0) { return Console().KeyDown(control, keyCode, shift); }
};

TEST_F(KeyboardTest, EnterInEitherListStartsItsEntryAsADoubleClickDoes) {
    auto& c = Console();
    c.lstWindows.SelectedByUser(2);
    EXPECT_TRUE(Key(&c.lstWindows, ui::kKeyReturn));
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].commandLine, "notepad");
    EXPECT_EQ(sys.starts[0].showCode, 3);

    c.lstUser.SelectedByUser(6);
    EXPECT_TRUE(Key(&c.lstUser, ui::kKeyReturn));
    ASSERT_EQ(sys.starts.size(), 2u);
    EXPECT_EQ(sys.starts[1].application, "C:\\tools\\seven.exe");
    EXPECT_EQ(sys.starts[1].showCode, 3);
    EXPECT_EQ(c.lstUser.ListIndex(), 6);

    // An empty slot is reported as its double-click reports it.
    c.lstUser.SelectedByUser(0);
    sys.failStart = true;
    EXPECT_TRUE(Key(&c.lstUser, ui::kKeyReturn));
    EXPECT_EQ(sys.messages.size(), 1u);
}

TEST_F(KeyboardTest, DigitsSelectAndStartTheirUserSlotFromAnywhereAsEnterThere) {
    auto& c = Console();
    EXPECT_TRUE(Key(&c.lstWindows, '7'));
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\tools\\seven.exe");
    EXPECT_EQ(sys.starts[0].showCode, 3);
    EXPECT_EQ(c.lstUser.ListIndex(), 6);
    EXPECT_EQ(c.lstWindows.ListIndex(), 0);

    // 0 is slot Ten, here empty: reported as Enter there reports it.
    EXPECT_TRUE(Key(nullptr, ui::kKeyNumpad0));
    EXPECT_EQ(c.lstUser.ListIndex(), 9);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text.find("The user task \"xxx\" could not be started."), 0u);
    EXPECT_TRUE(Key(&c.lstUser, ui::kKeyNumpad0 + 7));
    EXPECT_EQ(sys.starts.size(), 2u);

    // With Ctrl, Alt or Shift a digit is not ours.
    for (int shift : {ui::kCtrlMask, ui::kAltMask, ui::kShiftMask}) EXPECT_FALSE(Key(&c.lstUser, '1', shift));
    EXPECT_EQ(c.lstUser.ListIndex(), 6);
}

TEST_F(KeyboardTest, MenuKeyAndShiftF10OpenTheMenuAtTheCornerFromAnywhere) {
    auto& c = Console();
    EXPECT_TRUE(Key(&c.lstUser, ui::kKeyApps));
    EXPECT_TRUE(Key(&c.lstWindows, ui::kKeyF10, ui::kShiftMask));
    EXPECT_TRUE(Key(nullptr, ui::kKeyApps));
    ASSERT_EQ(peer.menus.size(), 3u);
    for (auto point : peer.menuPoints) EXPECT_EQ(point, (std::pair<int, int>{0, 0}));
    EXPECT_EQ(peer.menus[0][0].caption, "About Orvan 97...");
    EXPECT_TRUE(sys.starts.empty());
}

TEST_F(KeyboardTest, OtherKeysAndChordsAreLeftToTheSystem) {
    auto& c = Console();
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyF4, ui::kAltMask)) << "Alt+F4 stays a close request";
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyF10)) << "F10 alone is the system's";
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyReturn, ui::kAltMask));
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyApps, ui::kCtrlMask));
    EXPECT_FALSE(Key(&c.lstWindows, 'N'));
    EXPECT_FALSE(Key(nullptr, ui::kKeyReturn)) << "the window itself starts nothing";
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyEscape));
    EXPECT_TRUE(sys.starts.empty());
    EXPECT_TRUE(peer.menus.empty());
}

TEST_F(KeyboardTest, TheDisabledConsoleTakesNoKeys) {
    auto& c = Console();
    c.Options_Click();
    EXPECT_FALSE(c.Enabled());
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyReturn));
    EXPECT_FALSE(Key(&c.lstUser, ui::kKeyApps));
    EXPECT_FALSE(Key(&c.lstUser, '7'));
    EXPECT_TRUE(sys.starts.empty());
    EXPECT_TRUE(peer.menus.empty());
}

}  // namespace
}  // namespace orvan::testing
