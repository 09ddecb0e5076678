// Self-tests of the Windows-side tools under Wine: the probe's log and
// window, the inspector's view of windows, lists and message boxes, and
// real X input reaching Windows programs.
#include <chrono>

#include "harness.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

std::string ProbeTitle(std::uint32_t pid) { return "Orvan Probe " + std::to_string(pid); }

// ---------------------------------------------------------------- show codes

struct ShowCase {
    int code;
    const char* state;
    bool activates;  // takes the foreground from the window in front
};

void PrintTo(const ShowCase& show, std::ostream* out) { *out << "show code " << show.code; }

class ProbeShowCode : public E2ETest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ProbeShowCode, LogsHowItWasStartedAndEndsInTheAskedState) {
    const ShowCase show = GetParam();
    const ProbeLog log = NewProbeLog();
    const WindowInfo front = StartProbeWindow(1, "--at 600,400", log);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == front.hwnd; }, 5s));
    const std::uint32_t pid = StartProbe(show.code, "--alpha \"b c\"", log);

    const std::optional<Record> start = log.WaitFor("start", pid, 10s);
    ASSERT_TRUE(start) << "no start record in " << log.UnixPath();
    EXPECT_EQ(start->Get("flags"), "0x1");  // STARTF_USESHOWWINDOW
    EXPECT_EQ(start->Int("show"), show.code);
    EXPECT_EQ(start->Int("ncmdshow"), show.code);
    EXPECT_EQ(start->Get("cmdline"), "\"" + ProbeExe() + "\" --alpha \"b c\"");
    EXPECT_EQ(start->Int("args"), 3);
    EXPECT_EQ(start->Get("module"), ProbeExe());
    EXPECT_EQ(start->Int("ppid"), Inspect().OwnPid());

    const std::optional<Record> settled = log.WaitFor("settled", pid, 10s);
    ASSERT_TRUE(settled);
    EXPECT_EQ(settled->Get("state"), show.state);
    EXPECT_EQ(settled->Get("visible"), "1");
    EXPECT_EQ(settled->Get("foreground"), show.activates ? "1" : "0");

    const std::optional<WindowInfo> window = Inspect().FindWindow(ProbeTitle(pid));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->pid, pid);
    EXPECT_EQ(window->className, "OrvanProbe");
    EXPECT_EQ(window->minimized, std::string(show.state) == "minimized");
    EXPECT_EQ(window->maximized, std::string(show.state) == "maximized");
    EXPECT_EQ(Inspect().Focus().foreground, show.activates ? window->hwnd : front.hwnd);

    Inspect().Close(window->hwnd);
    const std::optional<Record> exit = log.WaitFor("exit", pid, 10s);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->Get("reason"), "close");
    EXPECT_TRUE(Inspect().WaitExit(pid, 10s));
}

// Wine, like Windows, activates for 1, 2 and 3 and leaves the window in
// front alone for 4, 6 and 7.
INSTANTIATE_TEST_SUITE_P(Codes, ProbeShowCode,
                         ::testing::Values(ShowCase{1, "normal", true}, ShowCase{2, "minimized", true},
                                           ShowCase{3, "maximized", true}, ShowCase{4, "normal", false},
                                           ShowCase{6, "minimized", false}, ShowCase{7, "minimized", false}),
                         [](const ::testing::TestParamInfo<ShowCase>& param) {
                             return "SW" + std::to_string(param.param.code);
                         });

class ProbeLogs : public E2ETest {};

TEST_F(ProbeLogs, ConcurrentProbesWriteWholeRecords) {
    const ProbeLog log = NewProbeLog();
    constexpr size_t kProbes = 4;
    std::set<std::uint32_t> pids;
    for (size_t i = 0; i < kProbes; ++i) pids.insert(StartProbe(1, "--exit-after 200", log));
    const std::vector<Record> exits = log.WaitForCount("exit", kProbes, 20s);
    ASSERT_EQ(exits.size(), kProbes);
    std::set<std::uint32_t> started;
    for (const Record& r : log.Records()) {
        ASSERT_TRUE(r.Has("event") && r.Has("pid")) << r.ToString();
        if (r.Get("event") == "start") {
            EXPECT_EQ(r.Get("module"), ProbeExe()) << r.ToString();
            started.insert(static_cast<std::uint32_t>(r.Int("pid")));
        }
    }
    EXPECT_EQ(started, pids);
}

// FILETIME ticks on the unix real-time clock, which is Wine's system time.
std::int64_t UnixNowTicks() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return 116444736000000000LL + std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
}

TEST_F(ProbeLogs, StampsItsCreationAndItsEntryOnTheSystemClock) {
    const ProbeLog log = NewProbeLog();
    const std::int64_t before = UnixNowTicks();
    const std::uint32_t pid = StartProbe(1, "--exit-after 100", log);
    const std::optional<Record> start = log.WaitFor("start", pid, 10s);
    const std::int64_t after = UnixNowTicks();
    ASSERT_TRUE(start);
    const std::int64_t created = start->Int("created");
    const std::int64_t entered = start->Int("time");
    EXPECT_LE(before, created);
    EXPECT_LE(created, entered);
    EXPECT_LE(entered, after);
}

TEST_F(ProbeLogs, StartsInTheDirectoryItIsGiven) {
    const ProbeLog log = NewProbeLog();
    const std::uint32_t pid = StartProbe(1, "--exit-after 100", log, "C:\\windows");
    const std::optional<Record> start = log.WaitFor("start", pid, 10s);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Get("cwd"), "C:\\windows");
}

// ---------------------------------------------------------------- window, input

class ProbeWindow : public E2ETest {};

TEST_F(ProbeWindow, PaintsItsClientAreaWhereTheInspectorSaysItIs) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo window = StartProbeWindow(1, "--at 100,120", log);
    EXPECT_EQ(window.rect.left, 100);
    EXPECT_EQ(window.rect.top, 120);
    EXPECT_EQ(window.rect.Width(), 320);
    EXPECT_EQ(window.rect.Height(), 240);
    ASSERT_EQ(WaitForPixel(Screen(), window.client.CenterX(), window.client.CenterY(), kProbeColour, 5s), kProbeColour);
    const Image client = Screen().Grab(window.client);
    EXPECT_EQ(client.Count(kProbeColour), client.pixels.size());
    // Just outside the window the probe's colour ends.
    EXPECT_NE(Screen().Pixel(window.rect.right + 5, window.client.CenterY()), kProbeColour);
    EXPECT_NE(Screen().Pixel(window.client.left - 1, window.client.CenterY()), kProbeColour);
}

TEST_F(ProbeWindow, ARealClickBringsTheClickedWindowToTheFront) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo left = StartProbeWindow(1, "--at 40,40", log);
    const WindowInfo right = StartProbeWindow(1, "--at 500,40", log);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == right.hwnd; }, 5s));
    ASSERT_EQ(WaitForPixel(Screen(), left.client.CenterX(), left.client.CenterY(), kProbeColour, 5s), kProbeColour);
    Screen().Click(left.client.CenterX(), left.client.CenterY());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == left.hwnd; }, 5s));
    Screen().Click(right.client.CenterX(), right.client.CenterY());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == right.hwnd; }, 5s));
}

TEST_F(ProbeWindow, EachButtonArrivesAtTheClientPixelItWasPressedAt) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo window = StartProbeWindow(1, "--at 200,150", log);
    ASSERT_EQ(WaitForPixel(Screen(), window.client.left, window.client.top, kProbeColour, 5s), kProbeColour);
    const struct {
        Button button;
        const char* name;
        int x, y;
    } clicks[] = {{Button::Left, "left", 0, 0},
                  {Button::Right, "right", 17, 33},
                  {Button::Middle, "middle", window.client.Width() - 1, window.client.Height() - 1}};
    for (const auto& click : clicks) {
        Screen().Click(window.client.left + click.x, window.client.top + click.y, click.button);
    }
    const std::vector<Record> seen = log.WaitForCount("click", 3, 5s);
    ASSERT_EQ(seen.size(), 3U);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_GT(seen[i].Int("time"), i > 0 ? seen[i - 1].Int("time") : 0) << clicks[i].name;
        EXPECT_EQ(seen[i].Get("button"), clicks[i].name);
        EXPECT_EQ(seen[i].Int("x"), clicks[i].x) << clicks[i].name;
        EXPECT_EQ(seen[i].Int("y"), clicks[i].y) << clicks[i].name;
    }
}

TEST_F(ProbeWindow, AltF4ClosesTheForegroundWindow) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo window = StartProbeWindow(1, "--at 60,60", log);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == window.hwnd; }, 5s));
    Screen().MovePointer(kScreenWidth - 1, kScreenHeight - 1);  // not over the window
    KeyboardToForeground();
    EXPECT_EQ(Screen().KeyboardFocus(), Inspect().XWindowOf(window.hwnd));
    AltF4();
    const std::optional<Record> exit = log.WaitFor("exit", window.pid, 5s);
    ASSERT_TRUE(exit) << "Alt+F4 did not close the probe";
    EXPECT_EQ(exit->Get("reason"), "close");
}

// ---------------------------------------------------------------- list boxes

class ProbeList : public E2ETest {};

TEST_F(ProbeList, ListsEntriesAndFollowsRealClicksAndKeys) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo window = StartProbeWindow(1, "--at 80,80 --list \"Alpha|Bravo|Charlie Delta|Echo\"", log);
    std::optional<ChildInfo> listBox;
    for (const ChildInfo& child : Inspect().Children(window.hwnd)) {
        if (child.className == "ListBox" && child.id == 100) listBox = child;
    }
    ASSERT_TRUE(listBox) << "the probe's list box is missing";

    ListInfo list = Inspect().List(listBox->hwnd);
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"Alpha", "Bravo", "Charlie Delta", "Echo"}));
    EXPECT_EQ(list.selected, 0);
    ASSERT_EQ(list.entries.size(), 4U);
    EXPECT_TRUE(list.entries[0].selected);
    EXPECT_TRUE(listBox->rect.Contains(list.entries[3].rect.CenterX(), list.entries[3].rect.CenterY()));

    const Rect third = list.entries[2].rect;
    Screen().Click(third.CenterX(), third.CenterY());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().List(listBox->hwnd).selected == 2; }, 5s));
    ASSERT_TRUE(log.WaitFor("select", window.pid, 5s));

    const Rect fourth = list.entries[3].rect;
    Screen().DoubleClick(fourth.CenterX(), fourth.CenterY());
    const std::optional<Record> dblclick = log.WaitFor("dblclick", window.pid, 5s);
    ASSERT_TRUE(dblclick) << "the double-click did not arrive as one";
    EXPECT_EQ(dblclick->Get("index"), "3");

    PressKey("Up");
    EXPECT_TRUE(WaitUntil([&] { return Inspect().List(listBox->hwnd).selected == 2; }, 5s));
}

// ---------------------------------------------------------------- message boxes

class ProbeMessageBox : public E2ETest {};

TEST_F(ProbeMessageBox, ShowsTextButtonAndExclamationIconAndClosesOnPress) {
    const ProbeLog log = NewProbeLog();
    const std::uint32_t pid = StartProbe(1, "--msgbox \"Hello from the probe\"", log);
    const std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox("Orvan Probe", 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->pid, pid);
    EXPECT_EQ(box->Text(), "Hello from the probe");
    EXPECT_EQ(box->icon, "exclamation");
    ASSERT_EQ(box->buttons.size(), 1U);
    EXPECT_EQ(box->buttons[0].text, "OK");
    EXPECT_EQ(box->buttons[0].id, 1);
    EXPECT_TRUE(box->buttons[0].isDefault);

    Inspect().Press(box->hwnd, 1);
    const std::optional<Record> result = log.WaitFor("msgbox", pid, 5s);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Get("result"), "1");  // IDOK
    EXPECT_TRUE(WaitUntil([&] { return Inspect().MessageBoxes().empty(); }, 5s));
}

TEST_F(ProbeMessageBox, TellsTheStopIconAndTakesTheEnterKey) {
    const ProbeLog log = NewProbeLog();
    const std::uint32_t pid = StartProbe(1, "--msgbox-error \"Something failed\"", log);
    const std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox("Orvan Probe", 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->icon, "hand");
    EXPECT_EQ(box->Text(), "Something failed");
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().active == box->hwnd; }, 5s));
    Enter();
    const std::optional<Record> result = log.WaitFor("msgbox", pid, 5s);
    ASSERT_TRUE(result) << "Enter did not close the message box";
    EXPECT_EQ(result->Get("result"), "1");
}

// ---------------------------------------------------------------- Wine's own programs

class WinePrograms : public E2ETest {};

TEST_F(WinePrograms, NotepadStartsWithItsEditControlAndCloses) {
    const std::uint32_t pid = Inspect().Start(1, "notepad");
    std::optional<WindowInfo> window;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const WindowInfo& w : Inspect().VisibleWindowsOf(pid)) {
                if (w.className == "Notepad") window = w;
            }
            return window.has_value();
        },
        10s));
    EXPECT_NE(window->title.find("Notepad"), std::string::npos) << window->title;
    bool edit = false;
    for (const ChildInfo& child : Inspect().Children(window->hwnd)) {
        edit = edit || child.className == "Edit";
    }
    EXPECT_TRUE(edit);
    bool listed = false;
    for (const ProcessInfo& p : Inspect().Processes()) {
        listed = listed || (p.pid == pid && p.exe == "notepad.exe");
    }
    EXPECT_TRUE(listed);
    Inspect().Close(window->hwnd);
    EXPECT_TRUE(Inspect().WaitExit(pid, 10s));
}

}  // namespace
}  // namespace orvan::e2e
