// The Options dialog and the run method it chooses, the right-click menu,
// the About panel and Exit, all through real clicks and keys.
#include "dialog_fixture.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

// Stored run method 3 and the probe as the first user task.
ConsoleOptions MaximizedWithProbe(const std::string& probe, const ProbeLog& log) {
    ConsoleOptions options = WithSettings(SettingsWith("3", {{1, probe}}));
    options.environment = {log.EnvironmentEntry()};
    return options;
}

class Options : public DialogTest {
protected:
    std::optional<std::string> StoredRunMethod() { return ValueIn(Settings().value_or(""), "Program Run Method"); }
};

TEST_F(Options, OpensOnTheStoredChoiceAndHoldsTheConsoleUntilClosed) {
    const ProbeLog log = NewProbeLog();
    StartConsole(MaximizedWithProbe(ProbeExe(), log));
    const std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->window.title, "");
    EXPECT_EQ(dialog->window.style & 0x00C00000u, 0x00400000u) << "a dialog frame, no title bar";
    EXPECT_EQ(dialog->window.client.Width(), 369);
    EXPECT_EQ(dialog->window.client.Height(), 145);
    EXPECT_NE(dialog->frame, 0u);
    EXPECT_EQ(CheckedOption(*dialog), "Front - Maximized");
    EXPECT_FALSE(Inspect().Window(ConsoleWindow().hwnd)->enabled);

    // The console takes no clicks while the dialog is open.
    ClickOn(at::User());
    ClickOption(*dialog, "Back - Minimized");
    // Enter and Escape confirm and cancel nothing.
    Enter();
    Escape();
    MoveTo(dialog->OK());
    EXPECT_TRUE(WaitFace(dialog->OK(), kLit)) << "the dialog stopped following the pointer";
    ASSERT_TRUE(FindOptions()) << "a key closed the dialog";
    EXPECT_FALSE(Inspect().Window(ConsoleWindow().hwnd)->enabled);
    EXPECT_FALSE(log.WaitFor("start", 0, 0ms)) << "a click on the disabled console started a task";

    // Alt+F4 closes it as Cancel does.
    AltF4();
    ASSERT_TRUE(WaitOptionsClosed());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Window(ConsoleWindow().hwnd)->enabled; }, 5s));

    ClickOn(at::User());
    const std::optional<Record> settled = log.WaitFor("settled", 0, 10s);
    ASSERT_TRUE(settled) << "Execute Task started nothing";
    EXPECT_EQ(settled->Get("state"), "maximized");
    const std::vector<Record> starts = log.WaitForCount("start", 1, 0ms);
    ASSERT_EQ(starts.size(), 1u) << "one start only, from the enabled console";
    EXPECT_EQ(starts[0].Int("show"), 3);
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(StoredRunMethod(), "3");
}

TEST_F(Options, CancelRestoresTheChoiceAndOkKeepsIt) {
    StartConsole(WithSettings(SettingsWith("3")));
    std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    ClickOption(*dialog, "Back - Minimized");
    ClickOn(dialog->Cancel());
    ASSERT_TRUE(WaitOptionsClosed());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Window(ConsoleWindow().hwnd)->enabled; }, 5s));
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(CheckedOption(*dialog), "Front - Maximized") << "Cancel kept the new choice";
    ClickOn(dialog->Cancel());
    ASSERT_TRUE(WaitOptionsClosed());
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(StoredRunMethod(), "3");

    StartConsole();
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(CheckedOption(*dialog), "Front - Maximized");
    ClickOption(*dialog, "Back - Minimized");
    ClickOn(dialog->OK());
    ASSERT_TRUE(WaitOptionsClosed());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Window(ConsoleWindow().hwnd)->enabled; }, 5s));
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(CheckedOption(*dialog), "Back - Minimized") << "OK lost the new choice";
    ClickOn(dialog->OK());
    ASSERT_TRUE(WaitOptionsClosed());
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(StoredRunMethod(), "6");
}

TEST_F(Options, FrontMaximizedExplainsItselfInATooltip) {
    StartConsole();
    const std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    MoveTo(dialog->Option("Front - Maximized"));
    std::optional<WindowInfo> tip;
    const bool shown = WaitUntil(
        [&] {
            // The tooltip may show before its text is set: wait for the text.
            for (const WindowInfo& w : Inspect().Windows())
                if (w.visible && w.className == "tooltips_class32" && !w.title.empty()) tip = w;
            return tip.has_value();
        },
        10s);
    ASSERT_TRUE(shown) << "no tooltip came up";
    EXPECT_EQ(tip->title, "Will bring application to front maximized.");
    ClickOn(dialog->Cancel());
    ASSERT_TRUE(WaitOptionsClosed());
    EXPECT_TRUE(RequestClose());
}

// ---------------------------------------------------------------- the menu

class Menu : public DialogTest {};

TEST_F(Menu, OpensAtTheCornerFromItsSourcesOnlyAndKeepsTheSelection) {
    StartConsole();
    const ListInfo builtIn = Inspect().List(BuiltInList());
    const ListInfo user = Inspect().List(UserList());
    const struct {
        const char* name;
        Rect where;
    } sources[] = {{"the built-in list", builtIn.entries.at(4).rect},
                   {"the user list", user.entries.at(7).rect},
                   {"Define Task", at::Define()},
                   {"Execute Task", at::Windows()},
                   {"a list caption", at::UserCaption()},
                   {"the logo", at::Logo()},
                   {"the bare console", at::Surface()}};
    for (const auto& source : sources) {
        const std::optional<WindowInfo> menu = RightClickMenu(source.where);
        ASSERT_TRUE(menu) << "no menu from " << source.name;
        EXPECT_EQ(menu->rect.left, 0) << source.name;
        EXPECT_EQ(menu->rect.top, 0) << source.name;
        Escape();
        ASSERT_TRUE(WaitMenuGone()) << source.name;
    }
    EXPECT_EQ(Inspect().List(BuiltInList()).selected, 0);
    EXPECT_EQ(Inspect().List(UserList()).selected, 0);

    for (const Rect& r : {at::Edit(), at::Options(), at::Title()}) {
        ClickOn(r, Button::Right);
        SettleConsole();
        EXPECT_FALSE(FindMenu()) << "a right-click on " << r.ToString() << " opened the menu";
    }
    for (const Rect& r : {at::Logo(), at::Surface(), at::BuiltInCaption(), user.entries.at(0).rect}) {
        ClickOn(r);
        SettleConsole();
        EXPECT_FALSE(FindMenu()) << "a left-click on " << r.ToString() << " opened the menu";
    }
    EXPECT_TRUE(RequestClose());
}

// At each scale: the menu from the places the scale gives, the About panel
// where it puts it.
class ScaledMenu : public AtEachDpi<Menu> {};

TEST_P(ScaledMenu, AboutShowsThePanelOverTheLogoWithTheTickAndHidesItAgain) {
    StartConsole();
    const Image bare = Screen().Grab(at::About());

    std::optional<WindowInfo> menu = RightClickMenu(at::Logo());
    ASSERT_TRUE(menu);
    EXPECT_FALSE(AboutTicked(*menu));
    ClickOn(AboutEntry(*menu));
    // Four lines of text in the lit colour, over the logo.
    EXPECT_TRUE(WaitUntil([&] { return Screen().Grab(at::About()).Count(kLit) > bare.Count(kLit) + 300; }, 5s))
        << "the About lines did not appear";
    for (const Rect& line : {at::AboutLine(0), at::AboutLine(1), at::AboutLine(2), at::AboutLine(3)})
        EXPECT_GT(Screen().Grab(line).Count(kLit), 40u) << line.ToString();

    // A shown line opens the menu too, now with the tick.
    menu = RightClickMenu(at::Scaled({205, 60, 215, 68}));
    ASSERT_TRUE(menu);
    EXPECT_TRUE(AboutTicked(*menu)) << "no tick beside About";
    ClickOn(AboutEntry(*menu));
    EXPECT_TRUE(WaitUntil([&] { return Screen().Grab(at::About()).pixels == bare.pixels; }, 5s))
        << "the About lines did not go";

    menu = RightClickMenu(at::Logo());
    ASSERT_TRUE(menu);
    EXPECT_FALSE(AboutTicked(*menu)) << "the tick stayed";
    Escape();
    ASSERT_TRUE(WaitMenuGone());
    EXPECT_TRUE(RequestClose());
}

ORVAN_AT_EACH_DPI(ScaledMenu);

TEST_F(Menu, ExitWritesTheSettingsAndEndsTheProgram) {
    StartConsole(WithSettings(SettingsWith("3")));
    const std::optional<WindowInfo> menu = RightClickMenu(at::Surface());
    ASSERT_TRUE(menu);
    ClickOn(ExitEntry(*menu));
    EXPECT_EQ(ConsoleProcess().WaitExit(10s), 0) << "Exit did not end the program";
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("3"));
}

TEST_F(Menu, ExitWithAnUnwritableFileShowsEachErrorThenEnds) {
    std::filesystem::create_directories(SettingsPath());  // a folder where the file should be
    StartConsole();
    const std::optional<WindowInfo> menu = RightClickMenu(at::Surface());
    ASSERT_TRUE(menu);
    ClickOn(ExitEntry(*menu));
    for (int box = 1; box <= 15; ++box) {
        const std::optional<MessageBoxInfo> shown = Inspect().WaitMessageBox("Error", 10s);
        ASSERT_TRUE(shown) << "box " << box;
        EXPECT_EQ(shown->Text(), "Unexpected error writing to file: C:\\Windows\\Orvan97.ini") << "box " << box;
        ASSERT_EQ(shown->buttons.size(), 1u);
        Inspect().Press(shown->hwnd, shown->buttons[0].id);
        ASSERT_TRUE(WaitUntil([&] { return !Inspect().Window(shown->hwnd).has_value(); }, 5s));
    }
    // Fifteen and no more: the settings are written once.
    EXPECT_EQ(ConsoleProcess().WaitExit(10s), 0) << "the program did not end after the fifteenth box";
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
}

}  // namespace
}  // namespace orvan::e2e
