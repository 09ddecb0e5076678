// The console from the keyboard alone: Enter starts the selected entry of
// either list, a digit its user slot, the menu key and Shift+F10 open the
// context menu at the corner, Alt+F4 is a close request.
#include "dialog_fixture.h"
#include "launch_fixture.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

class KeyboardStart : public LaunchTest {};

TEST_F(KeyboardStart, EnterInTheUserListStartsTheSelectedTaskWithTheRunMethod) {
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "tools" / "probe.exe");
    // Back - Normal keeps the console in front, so the keys stay with it.
    StartWith(SettingsWith("4", {{3, probe}}), log);
    ASSERT_EQ(Inspect().Focus().focus, UserList());
    PressKey("Down");
    PressKey("Down");
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(UserList()).selected == 2; }, 5s));
    Enter();
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "Enter started nothing";
    EXPECT_EQ(start->Get("module"), probe);
    EXPECT_EQ(start->Int("show"), 4);
    EXPECT_EQ(Inspect().List(UserList()).selected, 2);
    EXPECT_TRUE(RequestClose());
}

// 3 starts slot Three and 0 slot Ten, with the run method, wherever the
// focus is in the console; with the Options dialog open a digit starts
// nothing.
TEST_F(KeyboardStart, DigitsStartTheirUserSlotButNotInTheOptionsDialog) {
    const ProbeLog log = NewProbeLog();
    const std::string three = PlaceProbe(Scratch() / "three" / "probe.exe");
    const std::string ten = PlaceProbe(Scratch() / "ten" / "probe.exe");
    // Slot Three's window stands clear of the console's buttons and lists.
    StartWith(SettingsWith("4", {{3, three + " --at 1200,900"}, {10, ten}}), log);
    Tab();
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == BuiltInList(); }, 5s));
    PressKey("3");
    const std::optional<Record> first = WaitStart(log);
    ASSERT_TRUE(first) << "3 started nothing";
    EXPECT_EQ(first->Get("module"), three);
    EXPECT_EQ(first->Int("show"), 4);
    EXPECT_EQ(Inspect().List(UserList()).selected, 2) << "the slot that started is not selected";

    const std::optional<WindowInfo> dialog = OpenOptionsWindow();
    ASSERT_TRUE(dialog);
    PressKey("0");
    AltF4();  // closes the dialog as Cancel
    ASSERT_TRUE(WaitOptionsGone(*dialog));
    // The system may activate the probe's window when the dialog goes: a
    // click on the console's bare surface brings the keys back to it.
    ClickUncovered(at::Surface());
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == ConsoleWindow().hwnd; }, 5s))
        << "the console did not take the keys back";
    PressKey("0");
    const std::vector<Record> starts = log.WaitForCount("start", 2, AllowStarts(10s));
    ASSERT_EQ(starts.size(), 2u) << "0 started nothing";
    EXPECT_EQ(starts[1].Get("module"), ten);
    // Once its window has settled, no start from the dialog's 0 is coming.
    ASSERT_TRUE(log.WaitFor("settled", static_cast<std::uint32_t>(starts[1].Int("pid")), 10s));
    EXPECT_EQ(log.WaitForCount("start", 3, 0ms).size(), 2u) << "a digit started a task in the Options dialog";
    EXPECT_EQ(Inspect().List(UserList()).selected, 9);
    EXPECT_TRUE(RequestClose());
}

TEST_F(KeyboardStart, EnterInTheBuiltInListStartsItsProgram) {
    const ProbeLog log = NewProbeLog();
    StartWith(SettingsWith("6", {}), log);
    Tab();
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == BuiltInList(); }, 5s));
    PressKey("Down");
    PressKey("Down");
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(BuiltInList()).selected == 2; }, 5s));
    Enter();
    std::vector<WindowInfo> notepads;
    EXPECT_TRUE(WaitUntil(
        [&] {
            notepads = NewWindowsOf("notepad.exe", "Notepad");
            return !notepads.empty();
        },
        AllowStarts(15s)))
        << "Enter on Notepad started no Notepad";
    ASSERT_EQ(notepads.size(), 1u);
    EXPECT_TRUE(notepads[0].minimized) << "started with the run method";
    EXPECT_EQ(StartedByConsole().size(), 1u);
    Inspect().Close(notepads[0].hwnd);
    EXPECT_TRUE(Inspect().WaitExit(notepads[0].pid, 10s));
    EXPECT_TRUE(RequestClose());
}

class KeyboardMenu : public DialogTest {};

// At each scale the menu still opens at the corner, and the About panel it
// shows is where the scale puts it.
class ScaledKeyboardMenu : public AtEachDpi<KeyboardMenu> {};

TEST_P(ScaledKeyboardMenu, MenuKeyAndShiftF10OpenTheMenuAtTheCornerAndItsKeysWork) {
    StartConsole();
    const Image bare = Screen().Grab(at::About());

    PressKey("Menu");
    std::optional<WindowInfo> menu = WaitMenu();
    ASSERT_TRUE(menu) << "the menu key opened no menu";
    EXPECT_EQ(menu->rect.left, 0);
    EXPECT_EQ(menu->rect.top, 0);
    EXPECT_FALSE(AboutTicked(*menu));
    Escape();
    ASSERT_TRUE(WaitMenuGone());

    // From the other list too, and the menu's own keys choose About.
    Tab();
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == BuiltInList(); }, 5s));
    PressChord({"Shift_L", "F10"});
    menu = WaitMenu();
    ASSERT_TRUE(menu) << "Shift+F10 opened no menu";
    EXPECT_EQ(menu->rect.left, 0);
    EXPECT_EQ(menu->rect.top, 0);
    PressKey("Down");
    Enter();
    ASSERT_TRUE(WaitMenuGone());
    EXPECT_TRUE(WaitUntil([&] { return Screen().Grab(at::About()).Count(kLit) > bare.Count(kLit) + 300; }, 5s))
        << "Enter on the first entry did not show the About lines";

    PressKey("Menu");
    menu = WaitMenu();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(AboutTicked(*menu)) << "no tick beside About";
    Escape();
    ASSERT_TRUE(WaitMenuGone());
    EXPECT_EQ(Inspect().List(BuiltInList()).selected, 0) << "the keys moved no selection";
    EXPECT_EQ(Inspect().List(UserList()).selected, 0);
    EXPECT_TRUE(RequestClose());
}

ORVAN_AT_EACH_DPI(ScaledKeyboardMenu);

TEST_F(KeyboardMenu, AltF4WritesTheSettingsOnceAndEndsTheConsole) {
    StartConsole(WithSettings(SettingsWith("3")));
    AltF4();
    EXPECT_TRUE(WaitConsoleExit(10s)) << "Alt+F4 did not end the console";
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("3"));

    // With a folder where the file should be, each of the fifteen entries
    // fails once, and then the console ends: one save, no second.
    std::filesystem::remove_all(SettingsPath());
    std::filesystem::create_directories(SettingsPath());
    StartConsole();
    AltF4();
    for (int box = 1; box <= 15; ++box) {
        const std::optional<MessageBoxInfo> shown = Inspect().WaitMessageBox("Error", 10s);
        ASSERT_TRUE(shown) << "box " << box;
        Inspect().Press(shown->hwnd, shown->buttons.at(0).id);
        ASSERT_TRUE(WaitUntil([&] { return !Inspect().Window(shown->hwnd).has_value(); }, 5s));
    }
    EXPECT_TRUE(WaitConsoleExit(10s)) << "the console did not end after the fifteenth box";
    EXPECT_TRUE(Inspect().MessageBoxes().empty());
}

}  // namespace
}  // namespace orvan::e2e
