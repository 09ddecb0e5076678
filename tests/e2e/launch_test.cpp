// Launching from the console with real clicks: user tasks with every run
// method, codes the start refuses, the search path, documents, paths with
// blanks, the built-in tasks and the companion editor. What was started is
// seen in the probe's log and in the windows that appear.
#include <fstream>

#include "launch_fixture.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// ---------------------------------------------------------------- run methods

struct RunCase {
    int code;
    const char* state;  // the probe's window once settled
    bool visible;
    bool takesFocus;
};

void PrintTo(const RunCase& run, std::ostream* out) { *out << "run method " << run.code; }

class RunMethod : public LaunchTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunMethod, UserTaskStartsWithTheCodeAndItsWindowEndsAsTheCodeSays) {
    const RunCase run = GetParam();
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "tools" / "probe.exe");
    const WindowInfo console = StartWith(SettingsWith(std::to_string(run.code), {{1, probe}}), log);

    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "the probe did not start";
    EXPECT_EQ(start->Get("flags"), "0x1");  // STARTF_USESHOWWINDOW
    EXPECT_EQ(start->Int("show"), run.code);
    EXPECT_EQ(start->Get("module"), probe);
    EXPECT_EQ(start->Get("cmdline"), "\"" + probe + "\"");
    EXPECT_EQ(start->Get("cwd"), WindowsFolderOf(probe)) << "a program starts in its own folder";
    EXPECT_EQ(start->Int("ppid"), console.pid);

    const auto pid = static_cast<std::uint32_t>(start->Int("pid"));
    const std::optional<Record> settled = log.WaitFor("settled", pid, 10s);
    ASSERT_TRUE(settled);
    EXPECT_EQ(settled->Get("state"), run.state);
    EXPECT_EQ(settled->Flag("visible"), run.visible);
    EXPECT_EQ(settled->Flag("foreground"), run.takesFocus);
    EXPECT_EQ(Inspect().Focus().foreground, run.takesFocus ? settled->Handle("hwnd") : console.hwnd);
    const std::vector<ProcessInfo> started = StartedByConsole();
    EXPECT_EQ(started.size(), 1u) << "started: " << ::testing::PrintToString(started);
    EXPECT_TRUE(RequestClose());
}

// 1, 3, 4 and 6 are the Options dialog's; 2 and 0 can only come from the
// settings file and are passed on all the same.
INSTANTIATE_TEST_SUITE_P(Launch, RunMethod,
                         ::testing::Values(RunCase{1, "normal", true, true}, RunCase{3, "maximized", true, true},
                                           RunCase{4, "normal", true, false}, RunCase{6, "minimized", true, false},
                                           RunCase{2, "minimized", true, true}, RunCase{0, "normal", false, false}),
                         [](const ::testing::TestParamInfo<RunCase>& param) {
                             return "SW" + std::to_string(param.param.code);
                         });

// ---------------------------------------------------------------- refused codes

class RefusedCode : public LaunchTest, public ::testing::WithParamInterface<int> {};

TEST_P(RefusedCode, BuiltInPassesSilentlyUserTaskIsReportedAndTheConsoleGoesOn) {
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "tools" / "probe.exe");
    StartWith(SettingsWith(std::to_string(GetParam()), {{1, probe}}), log);

    // The console handles the clicks in turn: once the user task's report
    // is up, the built-in click has long been handled, silently.
    ClickOn(at::Windows());
    ClickOn(at::User());
    const std::optional<MessageBoxInfo> box = WaitReport();
    ASSERT_TRUE(box);
    EXPECT_EQ(Inspect().VisibleWindowsOf(ConsoleWindow().pid).size(), 2u) << "the console and the report only";
    EXPECT_EQ(box->Text(), "The user task \"" + probe +
                               "\" could not be started.\r\n\r\n"
                               "The window-style code is not one a program can be started with.");
    EXPECT_EQ(Inspect().MessageBoxes().size(), 1u) << "one box, for the user task only";
    EXPECT_TRUE(StartedByConsole().empty());
    ASSERT_TRUE(ClickOk(*box));

    EXPECT_EQ(Inspect().List(BuiltInList()).selected, 0);
    const ListInfo user = Inspect().List(UserList());
    EXPECT_EQ(user.selected, 0);
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[0].text, "User Task One - " + probe);
    // With an accepted code chosen, the same slot starts.
    ASSERT_TRUE(ChooseRunMethod("Front - Normal"));
    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "the console did not launch after the report";
    EXPECT_EQ(start->Int("show"), 1);
    EXPECT_EQ(start->Get("module"), probe);
    EXPECT_TRUE(Inspect().MessageBoxes().empty());
    EXPECT_TRUE(RequestClose());
}

INSTANTIATE_TEST_SUITE_P(Launch, RefusedCode, ::testing::Values(5, 300),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return "Code" + std::to_string(param.param);
                         });

// ---------------------------------------------------------------- task paths

class LaunchUserTask : public LaunchTest {};

// The folder goes on the console's search path through WINEPATH, which Wine
// puts in front of the Windows PATH (the unix PATH is not passed on). It is
// neither the console's folder nor its current directory, so only the search
// along the path can find "xxx".
TEST_F(LaunchUserTask, UndefinedSlotStartsXxxFoundAlongTheSearchPath) {
    const ProbeLog log = NewProbeLog();
    const fs::path bin = Scratch() / "bin";
    const std::string xxx = PlaceProbe(bin / "xxx.exe");
    StartWith(SettingsWith("1", {}), log, {{"WINEPATH", Wine().WindowsPath(bin)}});
    ASSERT_EQ(Inspect().List(UserList()).entries.at(0).text, "User Task One - xxx");

    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "xxx.exe was not found along the path";
    EXPECT_EQ(start->Get("module"), xxx);
    EXPECT_EQ(start->Get("cmdline"), "xxx");
    EXPECT_EQ(start->Get("cwd"), AppDirWindows()) << "what is searched for starts in the console's directory";
    EXPECT_EQ(start->Int("show"), 1);
    EXPECT_TRUE(RequestClose());
}

// Only the program a task names starts: not an xxx.exe lying beside the
// console (its current directory too) for an undefined slot, not a program
// at a shorter prefix of a missing one's path with blanks; a program named
// with an argument starts with it.
TEST_F(LaunchUserTask, OnlyTheNamedProgramStartsNeverOneBesideTheConsoleOrAtAPrefix) {
    const ProbeLog log = NewProbeLog();
    PlaceProbe(AppDir() / "xxx.exe");
    PlaceProbe(Wine().UnixPath("C:\\users\\Public") / "My.exe");
    const std::string missing = "C:\\users\\Public\\My Tools\\tool.exe";
    const std::string tool = PlaceProbe(Scratch() / "my tools" / "tool.exe");
    StartWith(SettingsWith("1", {{2, missing}, {3, tool + " --at 600,400"}}), log);

    const std::pair<std::string, std::string> refused[] = {
        {"xxx", "No program of that name is in the system folder, the Windows folder or a folder of the search path."},
        {missing, "The program it names does not exist."}};
    for (int slot = 0; slot < 2; ++slot) {
        SelectEntry(UserList(), slot);
        ClickOn(at::User());
        const std::optional<MessageBoxInfo> box = WaitReport();
        ASSERT_TRUE(box) << "slot " << slot + 1 << " was not reported";
        EXPECT_EQ(box->Text(),
                  "The user task \"" + refused[slot].first + "\" could not be started.\r\n\r\n" + refused[slot].second);
        ASSERT_TRUE(ClickOk(*box));
    }
    SelectEntry(UserList(), 2);
    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Get("module"), tool);
    EXPECT_EQ(start->Get("cmdline"), "\"" + tool + "\" --at 600,400");
    EXPECT_EQ(start->Int("args"), 3);
    EXPECT_EQ(start->Get("cwd"), AppDirWindows());
    EXPECT_EQ(log.WaitForCount("start", 2, 0ms).size(), 1u) << "a planted program started";
    EXPECT_EQ(StartedByConsole().size(), 1u);
    EXPECT_TRUE(RequestClose());
}

// Wine links .ini files to Notepad; it has the text file class too but,
// unlike Windows, no .txt entry pointing at it, so the test gives the prefix
// the one Windows has.
class Document : public LaunchTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Document, TextFileOpensInNotepadWithTheRunMethod) {
    const std::string name = std::string("notes") + GetParam();
    if (name == "notes.txt") {
        Process reg = Wine().Launch("reg.exe", {"add", "HKCR\\.txt", "/ve", "/d", "txtfile", "/f"});
        ASSERT_EQ(reg.WaitExit(30s), 0) << "cannot link .txt to the text file class";
    }
    const ProbeLog log = NewProbeLog();
    const fs::path notes = Scratch() / name;
    std::ofstream(notes, std::ios::binary) << "Launched by Orvan 97\r\n";
    StartWith(SettingsWith("3", {{1, Wine().WindowsPath(notes)}}), log);

    ClickOn(at::User());
    std::optional<WindowInfo> notepad;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const WindowInfo& w : NewWindowsOf("notepad.exe", "Notepad"))
                if (w.title.find(name) != std::string::npos) notepad = w;
            return notepad.has_value();
        },
        10s))
        << "no Notepad window naming " << name << BoxTexts();
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Window(notepad->hwnd).value_or(WindowInfo{}).maximized; }, 5s))
        << "the run method (3, maximized) did not reach Notepad";
    bool shown = false;
    for (const ChildInfo& c : Inspect().Children(notepad->hwnd))
        shown = shown || (c.className == "Edit" && c.text.find("Launched by Orvan 97") != std::string::npos);
    EXPECT_TRUE(shown) << "Notepad does not show the file's text";
    EXPECT_TRUE(Inspect().MessageBoxes().empty());
    Inspect().Close(notepad->hwnd);
    EXPECT_TRUE(Inspect().WaitExit(notepad->pid, 10s));
    EXPECT_TRUE(RequestClose());
}

INSTANTIATE_TEST_SUITE_P(Launch, Document, ::testing::Values(".txt", ".ini"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param + 1);
                         });

TEST_F(LaunchUserTask, PathWithBlanksStartsThatProgramInItsFolderAndNotTheOneAtItsPrefix) {
    const ProbeLog log = NewProbeLog();
    const std::string tool = PlaceProbe(Scratch() / "Program Files" / "Tools" / "tool.exe");
    const std::string decoy = PlaceProbe(Scratch() / "Program.exe");
    StartWith(SettingsWith("1", {{1, tool}}), log);
    ASSERT_EQ(tool.rfind(decoy.substr(0, decoy.size() - 4) + " ", 0), 0u) << "the decoy stands at the path's prefix";

    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Get("module"), tool);
    EXPECT_EQ(start->Get("cwd"), WindowsFolderOf(tool));
    EXPECT_EQ(start->Get("cmdline"), "\"" + tool + "\"");
    EXPECT_EQ(start->Int("args"), 1);
    // One start: once its window has settled, no other probe is coming.
    ASSERT_TRUE(log.WaitFor("settled", static_cast<std::uint32_t>(start->Int("pid")), 10s));
    EXPECT_EQ(log.WaitForCount("start", 2, 0ms).size(), 1u);
    for (const ProcessInfo& p : StartedByConsole()) EXPECT_NE(p.exe, "Program.exe");
    EXPECT_EQ(StartedByConsole().size(), 1u);
    EXPECT_TRUE(RequestClose());
}

// A task path that names no file is a command line of its own, arguments
// and all, started in the console's directory.
TEST_F(LaunchUserTask, CommandLineWithArgumentsIsHandedOverWhole) {
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "tools" / "probe.exe");
    // Not quoted at both ends: the settings file would take such quotes off.
    const std::string commandLine = "\"" + probe + "\" --at 600,400 \"two words\" last";
    StartWith(SettingsWith("1", {{1, commandLine}}), log);

    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Get("cmdline"), commandLine);
    EXPECT_EQ(start->Int("args"), 5);
    EXPECT_EQ(start->Get("module"), probe);
    EXPECT_EQ(start->Get("cwd"), AppDirWindows());
    EXPECT_TRUE(RequestClose());
}

// A task path names its program through the environment: one the system
// sets, and one the console's environment is given here.
TEST_F(LaunchUserTask, VariablesInATaskPathNameTheProgramItStarts) {
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "my tools" / "probe.exe");
    StartWith(SettingsWith("1", {{1, "%ORVAN_TOOLS%\\probe.exe"}, {2, "%SystemRoot%\\system32\\notepad.exe"}}), log,
              {{"ORVAN_TOOLS", WindowsFolderOf(probe)}});
    EXPECT_EQ(Inspect().List(UserList()).entries.at(0).text, "User Task One - %ORVAN_TOOLS%\\probe.exe");
    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << BoxTexts();
    EXPECT_EQ(start->Get("module"), probe);

    SelectEntry(UserList(), 1);
    ClickOn(at::User());
    std::vector<WindowInfo> notepads;
    ASSERT_TRUE(WaitUntil(
        [&] {
            notepads = NewWindowsOf("notepad.exe", "Notepad");
            return !notepads.empty();
        },
        AllowStarts(15s)))
        << "no Notepad from %SystemRoot%" << BoxTexts();
    Inspect().Close(notepads[0].hwnd);
    EXPECT_TRUE(Inspect().WaitExit(notepads[0].pid, 10s));
    EXPECT_TRUE(RequestClose());
}

TEST_F(LaunchUserTask, DoubleClickOnAnEntryStartsThatSlotAndNoOther) {
    const ProbeLog log = NewProbeLog();
    std::map<int, std::string> slots;
    for (int slot : {6, 7, 8}) slots[slot] = PlaceProbe(Scratch() / ("slot" + std::to_string(slot)) / "probe.exe");
    StartWith(SettingsWith("1", slots), log);

    const Rect seventh = Inspect().List(UserList()).entries.at(6).rect;
    Screen().DoubleClick(seventh.CenterX(), seventh.CenterY());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Get("module"), slots[7]);
    ASSERT_TRUE(log.WaitFor("settled", static_cast<std::uint32_t>(start->Int("pid")), 10s));
    EXPECT_EQ(log.WaitForCount("start", 2, 0ms).size(), 1u) << "a double-click starts one";
    EXPECT_EQ(Inspect().List(UserList()).selected, 6);
    EXPECT_TRUE(RequestClose());
}

// ---------------------------------------------------------------- built-in tasks

struct BuiltInCase {
    int index;
    const char* entry;
    const char* exe;  // the process whose window appears
    const char* windowClass;
    bool followsRunMethod;  // the program shows its window as it is started
};

void PrintTo(const BuiltInCase& task, std::ostream* out) { *out << task.entry; }

class BuiltInTask : public LaunchTest, public ::testing::WithParamInterface<BuiltInCase> {
protected:
    // Waits until `count` windows of the program are there; those there are.
    std::vector<WindowInfo> WaitWindows(size_t count) {
        std::vector<WindowInfo> found;
        WaitUntil(
            [&] {
                found = NewWindowsOf(GetParam().exe, GetParam().windowClass);
                return found.size() >= count;
            },
            15s, 100ms);
        return found;
    }
};

// Back - Minimized keeps Notepad's and Wordpad's windows off the buttons;
// the version box, a dialog, shows itself as it likes.
TEST_P(BuiltInTask, EveryClickAndEveryDoubleClickStartsOneMoreInstance) {
    const BuiltInCase task = GetParam();
    const ProbeLog log = NewProbeLog();
    StartWith(SettingsWith("6", {}), log);
    const ListInfo list = Inspect().List(BuiltInList());
    ASSERT_EQ(list.entries.at(static_cast<size_t>(task.index)).text, task.entry);
    const Rect entry = list.entries[static_cast<size_t>(task.index)].rect;

    ClickOn(entry);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(BuiltInList()).selected == task.index; }, 5s));
    ClickOn(at::Windows());
    ASSERT_EQ(WaitWindows(1).size(), 1u) << "no window of " << task.exe;
    ClickUncovered(at::Windows());
    EXPECT_EQ(WaitWindows(2).size(), 2u) << "the second click started no second instance";

    const auto [x, y] = UncoveredPoint(entry);
    Screen().DoubleClick(x, y);
    std::vector<WindowInfo> windows = WaitWindows(3);
    EXPECT_EQ(windows.size(), 3u) << "the double-click started none";
    // Once the console has followed the pointer after the double-click, it
    // has made every start the double-click asked for; a starter such as
    // write.exe starts the program before it ends.
    SettleConsole();
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const ProcessInfo& p : StartedByConsole())
                if (p.exe != task.exe) return false;
            return true;
        },
        15s))
        << "a starter did not end";
    EXPECT_EQ(NewProcessesOf(task.exe).size(), 3u) << "the double-click started more than one";
    windows = WaitWindows(3);
    EXPECT_EQ(Inspect().List(BuiltInList()).selected, task.index);
    if (task.followsRunMethod) {
        for (const WindowInfo& w : windows) EXPECT_TRUE(w.minimized) << w.title;
    }
    EXPECT_TRUE(log.Records().empty()) << "no probe was involved";

    for (const WindowInfo& w : windows) Inspect().Close(w.hwnd);
    for (const WindowInfo& w : windows) EXPECT_TRUE(Inspect().WaitExit(w.pid, 10s)) << w.title;
    EXPECT_TRUE(RequestClose());
}

INSTANTIATE_TEST_SUITE_P(Launch, BuiltInTask,
                         ::testing::Values(BuiltInCase{2, "Notepad", "notepad.exe", "Notepad", true},
                                           BuiltInCase{5, "Windows Version", "winver.exe", "#32770", false},
                                           BuiltInCase{6, "Wordpad", "wordpad.exe", "WORDPADTOP", true}),
                         [](const ::testing::TestParamInfo<BuiltInCase>& param) {
                             std::string name = param.param.entry;
                             std::erase(name, ' ');
                             return name;
                         });

class LaunchBuiltInFirst : public LaunchTest {};

TEST_F(LaunchBuiltInFirst, RightAfterOpeningExecuteTaskBrowsesTheWindowsFolder) {
    const ProbeLog log = NewProbeLog();
    StartWith(SettingsWith("1", {}), log);
    ClickOn(at::Windows());
    std::vector<ProcessInfo> started;
    // A process the system is still creating has no name yet.
    EXPECT_TRUE(WaitUntil(
        [&] {
            started = StartedByConsole();
            return !started.empty() && !started[0].exe.empty();
        },
        10s));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].exe, "explorer.exe");
    EXPECT_TRUE(RequestClose());
}

// ---------------------------------------------------------------- the editor

class LaunchEditor : public LaunchTest {};

TEST_F(LaunchEditor, StartsQuillpadBesideTheConsoleNormalAndInFrontWhateverTheRunMethod) {
    const ProbeLog log = NewProbeLog();
    const std::string quillpad = PlaceProbe(AppDir() / "quillpad.exe");
    StartWith(SettingsWith("6", {}), log);

    ClickOn(at::Edit());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "quillpad.exe did not start";
    EXPECT_EQ(start->Get("flags"), "0x1");
    EXPECT_EQ(start->Int("show"), 1);
    EXPECT_EQ(start->Get("module"), quillpad);
    EXPECT_EQ(start->Get("cmdline"), "quillpad.exe");
    EXPECT_EQ(start->Get("cwd"), AppDirWindows());
    const auto pid = static_cast<std::uint32_t>(start->Int("pid"));
    const std::optional<Record> settled = log.WaitFor("settled", pid, 10s);
    ASSERT_TRUE(settled);
    EXPECT_EQ(settled->Get("state"), "normal");
    EXPECT_TRUE(settled->Flag("foreground"));
    EXPECT_EQ(Inspect().Focus().foreground, settled->Handle("hwnd"));

    // Each click starts another instance. The editor's window stands where
    // Wine puts it, over the button, so it goes first.
    Inspect().Close(settled->Handle("hwnd"));
    ASSERT_TRUE(Inspect().WaitExit(pid, 10s));
    ClickOn(at::Edit());
    const std::vector<Record> starts = log.WaitForCount("start", 2, 10s);
    ASSERT_EQ(starts.size(), 2u) << "the second click started nothing";
    EXPECT_NE(starts[1].Int("pid"), starts[0].Int("pid"));
    EXPECT_EQ(starts[1].Int("show"), 1);
    EXPECT_TRUE(RequestClose());
}

TEST_F(LaunchEditor, WithoutQuillpadTheMessageAppearsOnceAndTheConsoleGoesOn) {
    const ProbeLog log = NewProbeLog();
    const std::string probe = PlaceProbe(Scratch() / "tools" / "probe.exe");
    StartWith(SettingsWith("6", {{1, probe}}), log);

    ClickOn(at::Edit());
    const std::optional<MessageBoxInfo> box = WaitReport();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text(),
              "The Orvan Edit executable (quillpad.exe) could not be located. It must be in the current "
              "directory of Orvan 97 or in the path.");
    ASSERT_TRUE(ClickOk(*box));

    EXPECT_EQ(Inspect().List(UserList()).selected, 0);
    EXPECT_EQ(Inspect().List(BuiltInList()).selected, 0);
    // A message that came again would be up before the console takes this
    // click, and would keep it from starting anything.
    ClickOn(at::User());
    const std::optional<Record> start = WaitStart(log);
    ASSERT_TRUE(start) << "the console did not launch after the message";
    EXPECT_TRUE(Inspect().MessageBoxes().empty()) << "the message came again";
    EXPECT_EQ(StartedByConsole().size(), 1u) << "the editor's click started something";
    EXPECT_EQ(start->Get("module"), probe);
    EXPECT_EQ(start->Int("show"), 6);
    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
