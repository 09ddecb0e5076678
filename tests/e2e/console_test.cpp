// The console as the user first meets it: the window, its pictures and
// lists, the keyboard focus, and the settings file it writes on the way out.
#include "console_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "pictures/pictures.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

class Console : public ConsoleTest {};

// At each scale the console is its 96-DPI layout scaled: the picture made
// for the scale where nothing stands over it, the buttons, lists and
// pictures at the layout's rectangles, and every caption fitting its label.
class ScaledConsole : public AtEachDpi<ConsoleTest> {};

TEST_P(ScaledConsole, CoversTheScreenWithThePanelAtItsCorner) {
    const WindowInfo window = StartConsole();
    EXPECT_EQ(window.rect, (Rect{0, 0, kScreenWidth, kScreenHeight}));
    EXPECT_EQ(window.client, (Rect{0, 0, kScreenWidth, kScreenHeight})) << "no border, no title bar";
    EXPECT_TRUE(window.maximized);
    EXPECT_TRUE(window.enabled);

    const Image screen = Screen().GrabAll();
    screen.SavePng(Session::Get().ArtifactsDir() / ("console-" + std::to_string(Dpi()) + ".png"));
    // Where the screen differs from a picture made for the scale, its corner
    // at (left, top), outside the rectangles left out.
    const auto differing = [&](const pictures::Picture& p, int left, int top, const std::vector<Rect>& leftOut) {
        std::string where;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (screen.At(left + x, top + y) != p.At(x, y) &&
                    std::ranges::none_of(leftOut, [&](const Rect& r) { return r.Contains(left + x, top + y); }) &&
                    where.size() < 60)
                    where += " (" + std::to_string(left + x) + ", " + std::to_string(top + y) + ")";
        return where;
    };
    // The frames' bands and gaps, where the controls stand: the background
    // made for the scale, wherever no control lies over it; black beyond.
    const ui::ConsoleLayout& layout = LaidOut(Dpi());
    std::vector<Rect> covered = {at::BuiltInList(), at::UserList()};
    for (const ui::Control* c : layout.DrawingOrder())
        if (c->Visible()) covered.push_back(FromLayout(c->PaintExtent()));
    EXPECT_EQ(differing(pictures::MakeBackground(Dpi()), 0, 0, covered), "");
    EXPECT_EQ(screen.At(kScreenWidth - 1, kScreenHeight - 1), kBlack);
    // The buttons in their bands, idle, to the pixel: their first and last
    // columns idle over their whole height, the columns beside them not.
    for (const Rect& r : {at::Edit(), at::Options(), at::Windows(), at::User(), at::Define()}) {
        for (int y = r.top; y < r.bottom; ++y) {
            EXPECT_EQ(screen.At(r.left, y), kIdle) << r.ToString();
            EXPECT_EQ(screen.At(r.right - 1, y), kIdle) << r.ToString();
            EXPECT_NE(screen.At(r.left - 1, y), kIdle) << r.ToString();
            EXPECT_NE(screen.At(r.right, y), kIdle) << r.ToString();
        }
        EXPECT_NE(screen.At(r.CenterX(), r.top - 1), kIdle) << r.ToString();
        EXPECT_NE(screen.At(r.CenterX(), r.bottom), kIdle) << r.ToString();
    }
    // The lists at their rectangles, with flat borders, black inside.
    std::vector<Rect> lists;
    for (const ChildInfo& c : Inspect().Children(ConsoleWindow().hwnd))
        if (c.className == "ListBox") lists.push_back(c.rect);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0], at::UserList()) << "made first, the first in the tab order";
    EXPECT_EQ(lists[1], at::BuiltInList());
    for (const Rect& r : {at::BuiltInList(), at::UserList()}) {
        EXPECT_EQ(screen.At(r.left, r.CenterY()), kLit) << r.ToString();
        EXPECT_EQ(screen.At(r.right - 1, r.CenterY()), kLit) << r.ToString();
        EXPECT_EQ(screen.At(r.CenterX(), r.bottom - 1), kLit) << r.ToString();
        EXPECT_EQ(screen.At(r.right - 5, r.bottom - 5), kBlack) << r.ToString();
        EXPECT_EQ(screen.At(r.left - 1, r.CenterY()), kBlack) << r.ToString();
    }
    // The title as made for the scale, to the pixel; the logo filling its
    // rectangle, on black.
    EXPECT_EQ(differing(pictures::MakeTitle(Dpi()), at::Title().left, at::Title().top, {}), "");
    const Rect logo = at::Logo();
    EXPECT_NE(screen.At(logo.left, logo.CenterY()), kBlack);
    EXPECT_NE(screen.At(logo.right - 1, logo.CenterY()), kBlack);
    EXPECT_EQ(screen.At(logo.left - 1, logo.CenterY()), kBlack);
    EXPECT_EQ(screen.At(logo.right, logo.CenterY()), kBlack);
    // Every caption fits its label, where no list lies over it (a list
    // overlaps its caption by its border).
    for (const ui::Control* c : layout.DrawingOrder()) {
        const auto* label = dynamic_cast<const ui::Label*>(c);
        if (!label || !label->Visible()) continue;
        Rect shown = FromLayout(label->Bounds());
        for (const Rect& list : lists)
            if (list.Overlaps(shown)) shown.bottom = std::min(shown.bottom, list.top);
        ExpectCaptionFits(*label, shown);
    }
    EXPECT_TRUE(RequestClose());
}

ORVAN_AT_EACH_DPI(ScaledConsole);

TEST_F(Console, ListsShowTheirEntriesAndTheUserListHasTheFocus) {
    StartConsole();
    const ListInfo builtIn = Inspect().List(BuiltInList());
    EXPECT_EQ(builtIn.Texts(),
              (std::vector<std::string>{"Browse Windows", "Control Panel", "Notepad", "Windows Explorer",
                                        "Windows Help", "Windows Version", "Wordpad"}));
    EXPECT_EQ(builtIn.selected, 0);
    const ListInfo user = Inspect().List(UserList());
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[0].text, "User Task One - xxx");
    EXPECT_EQ(user.entries[9].text, "User Task Ten - xxx");
    EXPECT_EQ(user.selected, 0);
    // 13-pixel rows: every entry visible without scrolling.
    EXPECT_EQ(user.entries[9].rect.bottom, at::UserList().bottom - 1);
    EXPECT_EQ(builtIn.entries[6].rect.bottom, at::BuiltInList().bottom - 1);

    EXPECT_EQ(Inspect().Focus().focus, UserList());
    Tab();
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == BuiltInList(); }, 3s));
    Tab();
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == UserList(); }, 3s));
    EXPECT_TRUE(RequestClose());
}

TEST_F(Console, FirstRunWritesTheWholeFileOnACloseRequest) {
    StartConsole();
    EXPECT_FALSE(Settings()) << "reading creates no file";
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile());
}

TEST_F(Console, SecondRunOfUnchangedSettingsLeavesTheSameBytes) {
    StartConsole();
    ASSERT_TRUE(RequestClose());
    const std::string first = Settings().value_or("");
    StartConsole();
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(Settings().value_or(""), first);
    EXPECT_EQ(first, FirstRunFile());
}

// A run method the console reads, converts or not (3.5 starts as 4, "abc"
// as 0), and the user leaves alone stays as the file has it.
class StoredRunMethod : public ConsoleTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoredRunMethod, StaysAsWrittenWhenTheUserLeavesItAlone) {
    StartConsole(WithSettings(SettingsWith(GetParam())));
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(ValueIn(Settings().value_or(""), "Program Run Method"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredRunMethod, ::testing::Values("3.5", "2.5", "", "abc"));

// The settings file held without sharing while the console opens (a backup
// or a scanner reading it): the console shows the defaults, and closing it
// once the hold is over writes none of them over the user's own. An entry
// the system's writer changes while the console runs keeps its new value.
TEST_F(Console, CloseKeepsWhatItCouldNotReadAndWhatAnotherProgramWrote) {
    WriteSettings(FirstRunFile("4", {{1, "C:\\tools\\a.exe"}}));
    Inspect().HoldFile("C:\\Windows\\Orvan97.ini", Inspector::Sharing::Nothing);
    StartConsole();
    Inspect().ReleaseFiles();
    EXPECT_EQ(Inspect().List(UserList()).entries.at(0).text, "User Task One - xxx") << "the held file was read";
    ASSERT_TRUE(Inspect()
                    .WriteProfileString("C:\\Windows\\Orvan97.ini", "User Tasks", "User Task Five", "C:\\tools\\e.exe")
                    .written);
    ASSERT_TRUE(RequestClose());
    const std::string saved = Settings().value_or("(none)");
    EXPECT_EQ(ValueIn(saved, "Program Run Method"), "4") << saved;
    EXPECT_EQ(ValueIn(saved, "User Task One"), "C:\\tools\\a.exe") << saved;
    EXPECT_EQ(ValueIn(saved, "User Task Five"), "C:\\tools\\e.exe") << saved;
}

TEST_F(Console, EmptyAndOverlongValuesReadAsTheRulesSay) {
    const std::string longPath = "C:\\" + std::string(297, 'q');
    StartConsole(WithSettings(SettingsWith("1", {{3, ""}, {5, longPath}})));
    const ListInfo user = Inspect().List(UserList());
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[2].text, "User Task Three - xxx");
    EXPECT_EQ(user.entries[4].text, "User Task Five - " + longPath.substr(0, 255));
    ASSERT_TRUE(RequestClose());
}

TEST_F(Console, UnwritableSettingsFileShowsFifteenErrorsThenEnds) {
    std::filesystem::create_directories(SettingsPath());  // a folder where the file should be
    StartConsole();
    Inspect().Close(ConsoleWindow().hwnd);
    for (int box = 1; box <= 15; ++box) {
        const std::optional<MessageBoxInfo> shown = Inspect().WaitMessageBox("Error", 10s);
        ASSERT_TRUE(shown) << "box " << box;
        EXPECT_EQ(shown->Text(), "Unexpected error writing to file: C:\\Windows\\Orvan97.ini") << "box " << box;
        EXPECT_EQ(shown->icon, "hand") << "box " << box;
        ASSERT_EQ(shown->buttons.size(), 1u);
        EXPECT_EQ(shown->buttons[0].text, "OK");
        Inspect().Press(shown->hwnd, shown->buttons[0].id);
        EXPECT_TRUE(WaitUntil([&] { return !Inspect().Window(shown->hwnd).has_value(); }, 5s));
    }
    EXPECT_TRUE(WaitConsoleExit(10s));
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
}

// Another program keeps the settings file open, so the system refuses to
// move a new file over it (Wine refuses any open file, Windows one opened
// without delete sharing): the console saves in place instead, whole,
// without a box, and the next start reads what it saved.
TEST_F(Console, SavesInPlaceWhileAnotherProgramHoldsTheFile) {
    namespace fs = std::filesystem;
    WriteSettings(SettingsWith("4", {{3, "C:\\tools\\a.exe"}}));
    const ProbeLog log = NewProbeLog();
    // Minimized and out of the way, so it covers none of the console.
    const WindowInfo holder = StartProbeWindow(7, "--hold C:\\Windows\\Orvan97.ini --at 900,700", log);
    const std::optional<Record> hold = log.WaitFor("hold", holder.pid, 10s);
    ASSERT_TRUE(hold && hold->Flag("ok")) << (hold ? hold->ToString() : "no hold record");
    struct stat before {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &before), 0);

    StartConsole();
    ASSERT_TRUE(RequestClose()) << "an Error box would have kept the console open";
    std::string expected = FirstRunFile("4");
    // Entries keep their places: slot three where it stood, the rest after it.
    const std::string three = "User Task Three=xxx\r\n";
    expected.erase(expected.find(three), three.size());
    expected.insert(expected.find("[User Tasks]\r\n") + 14, "User Task Three=C:\\tools\\a.exe\r\n");
    const std::string saved = Settings().value_or("(none)");
    EXPECT_EQ(saved, expected);
    struct stat after {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced, so the move was not refused";
    for (const auto& entry : fs::directory_iterator(SettingsPath().parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name, "Orvan97.ini.new") << "the whole copy outlived the save";
        EXPECT_FALSE(name.rfind("orv", 0) == 0 && entry.path().extension() == ".tmp") << name << " left behind";
    }

    Inspect().Close(holder.hwnd);
    ASSERT_TRUE(log.WaitFor("exit", holder.pid, 10s));
    StartConsole();
    const ListInfo user = Inspect().List(UserList());
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[0].text, "User Task One - xxx");
    EXPECT_EQ(user.entries[2].text, "User Task Three - C:\\tools\\a.exe");
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(Settings().value_or(""), saved) << "nothing changed, so the same bytes";
}

TEST_F(Console, CloseRequestStillEndsTheConsoleOnceTheMenuHostExists) {
    StartConsole();
    ClickOn(at::Scaled({600, 620, 601, 621}), Button::Right);
    std::optional<WindowInfo> menu;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const WindowInfo& w : Inspect().Windows())
                if (w.className == "#32768" && w.visible) menu = w;
            return menu.has_value();
        },
        5s));
    Escape();
    EXPECT_TRUE(WaitUntil(
        [&] { return !Inspect().Window(menu->hwnd).has_value() || !Inspect().Window(menu->hwnd)->visible; }, 5s));
    bool hostHidden = false;
    for (const WindowInfo& w : Inspect().Windows())
        if (w.title == "Resource Manager for Orvan 97") hostHidden = !w.visible;
    EXPECT_TRUE(hostHidden) << "the menu host exists and stays hidden";
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(Settings().value_or(""), FirstRunFile());
}

TEST_F(Console, EndOfTheSessionSavesAndEndsTheConsole) {
    StartConsole(WithSettings(SettingsWith("4")));
    // Wine's own end of session sends the same messages as a log-off.
    Process end = Wine().Launch("wineboot", {"--end-session"});
    EXPECT_TRUE(end.WaitExit(30s).has_value());
    EXPECT_TRUE(WaitConsoleExit(20s));
    const std::string file = Settings().value_or("");
    EXPECT_EQ(ValueIn(file, "Program Run Method"), "4");
    EXPECT_EQ(ValueIn(file, "User Task Ten"), "xxx");
}

TEST_F(Console, WindowsServicesPassTheirOwnTests) {
    LaunchOptions launch;
    launch.pipes = true;
    // Under emulation the stack protector's copy of the tests would cost a
    // minute more.
    std::vector<std::string> args;
    if (Wine().Emulated()) args.push_back("--no-child-processes");
    Process tests = Wine().Launch(Session::Get().Win32File("win32_tests.exe").string(), args, launch);
    tests.CloseInput();
    std::string output;
    char buffer[512];
    ssize_t got;
    while ((got = read(tests.OutFd(), buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(got));
    // Wine's own words go to its log; they say why a program could not run.
    EXPECT_EQ(tests.WaitExit(60s), 0) << output << "\nWine's log ends:\n"
                                      << LogTail(Session::Get().WorkDir() / "wine.log");
    std::printf("%s", output.c_str());  // the settings file's agreement figures
    EXPECT_NE(output.find(" passed, 0 failed"), std::string::npos) << output;
}

}  // namespace
}  // namespace orvan::e2e
