// The console from the keyboard alone: Enter starts the selected entry of
// either list, the menu key and Shift+F10 open the context menu at the
// corner, Alt+F4 is a close request.
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
    StartConsole(WithSettings("[Options]\r\nProgram Run Method=3\r\n"));
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
