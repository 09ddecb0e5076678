// One console per user session, with real starts under Wine: a second start
// brings the running console to the front (restored when minimized) and
// ends at once without opening the settings file, so the tasks defined in
// the running console survive whichever way it is left.
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstring>

#include "dialog_fixture.h"
#include "version.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Watches a folder with inotify: every open, read, write, creation, move and
// removal of a file in it, by name.
class FolderWatch {
public:
    explicit FolderWatch(const fs::path& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0) throw std::runtime_error(std::string("inotify_init1: ") + std::strerror(errno));
        const std::uint32_t mask = IN_OPEN | IN_ACCESS | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE |
                                   IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
        if (inotify_add_watch(fd_, folder.c_str(), mask) < 0) {
            close(fd_);
            throw std::runtime_error("cannot watch " + folder.string() + ": " + std::strerror(errno));
        }
    }
    ~FolderWatch() { close(fd_); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The names touched since the last call (the kernel queues an event as
    // the system call happens, so all of an ended process's are there).
    std::vector<std::string> Touched() {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = read(fd_, buffer, sizeof buffer);
            if (got <= 0) break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0) names.emplace_back(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    int fd_;
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The settings file and the temporary files its replacement goes through.
bool IsSettingsFile(const std::string& name) {
    const std::string lower = Lower(name);
    return lower == "orvan97.ini" ||
           (lower.rfind("orv", 0) == 0 && lower.size() > 4 && lower.substr(lower.size() - 4) == ".tmp");
}

std::vector<std::string> SettingsTouched(FolderWatch& watch) {
    std::vector<std::string> touched;
    for (const std::string& name : watch.Touched())
        if (IsSettingsFile(name)) touched.push_back(name);
    return touched;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "(nothing)" : text;
}

std::string WithValue(std::string file, const std::string& key, const std::string& value) {
    const std::string line = key + "=xxx\r\n";
    file.replace(file.find(line), line.size(), key + "=" + value + "\r\n");
    return file;
}

enum class WayOut { CloseRequest, Exit };

class SingleConsole : public DialogTest {
protected:
    // A copy of the probe under the scratch folder; its Windows path.
    std::string ProbeCopy(const std::string& name) {
        const fs::path file = Scratch() / "tasks" / name;
        fs::create_directories(file.parent_path());
        fs::copy_file(Session::Get().ToolFile("probe.exe"), file, fs::copy_options::overwrite_existing);
        return Wine().WindowsPath(file);
    }

    // Defines the user slot (0-based) through the Open-file dialog and
    // waits for its entry to show the path.
    void Define(int slot, const std::string& path) {
        SelectEntry(UserList(), slot);
        DefineThroughDialog(path);
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::string entry = Inspect().List(UserList()).entries.at(static_cast<size_t>(slot)).text;
                return entry.size() >= path.size() && entry.substr(entry.size() - path.size()) == path;
            },
            5s))
            << "slot " << slot + 1 << " does not show " << path;
    }

    // Starts the program a second time, as a second click on its icon
    // would, while watching the settings file's folder; waits for that
    // start to end and returns what it did to the settings file.
    std::vector<std::string> SecondStart() {
        FolderWatch watch(SettingsPath().parent_path());
        LaunchOptions launch;
        launch.directory = AppDirWindows();
        Process second = Wine().Launch((AppDir() / "orvan97.exe").string(), {}, launch);
        const std::optional<int> status = second.WaitExit(30s);
        EXPECT_TRUE(status.has_value()) << "the second start did not end";
        if (!status) second.Kill();
        EXPECT_EQ(status.value_or(-1), 0);
        return SettingsTouched(watch);
    }

    // The consoles' windows on the screen.
    std::vector<WindowInfo> Consoles() {
        std::vector<WindowInfo> found;
        for (const WindowInfo& w : Inspect().Windows())
            if (w.className == ORVAN_CONSOLE_CLASS && w.title == ORVAN_CONSOLE_CAPTION) found.push_back(w);
        return found;
    }

    bool WaitInFront() {
        return WaitUntil([&] { return Inspect().Focus().foreground == ConsoleWindow().hwnd; }, 10s);
    }

    void Leave(WayOut way) {
        if (way == WayOut::CloseRequest) {
            ASSERT_TRUE(RequestClose()) << "the console did not end on a close request";
            return;
        }
        const std::optional<WindowInfo> menu = RightClickMenu(at::Surface());
        ASSERT_TRUE(menu) << "no context menu";
        ClickOn(ExitEntry(*menu));
        ASSERT_TRUE(WaitConsoleExit(20s)) << "the console did not end on Exit";
    }
};

class SingleConsoleWayOut : public SingleConsole, public ::testing::WithParamInterface<WayOut> {};

TEST_P(SingleConsoleWayOut, TasksDefinedBeforeAndAfterASecondStartSurvive) {
    const std::string before = ProbeCopy("before.exe");
    const std::string after = ProbeCopy("after.exe");
    StartConsole(WithSettings(FirstRunFile()));
    Define(1, before);
    const std::string defined = WithValue(FirstRunFile(), "User Task Two", before);
    ASSERT_EQ(Settings().value_or("(none)"), defined);

    // Another window in front, as when the user goes back to the icon.
    const ProbeLog log = NewProbeLog();
    const WindowInfo probe = StartProbeWindow(1, "", log);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == probe.hwnd; }, 10s))
        << "the probe did not come to the front";

    EXPECT_EQ(Joined(SecondStart()), "(nothing)") << "the second start opened or wrote the settings file";
    EXPECT_EQ(Settings().value_or("(none)"), defined);
    EXPECT_TRUE(WaitInFront()) << "the running console did not come to the front";
    const std::vector<WindowInfo> consoles = Consoles();
    ASSERT_EQ(consoles.size(), 1u) << "more than one console";
    EXPECT_EQ(consoles[0].hwnd, ConsoleWindow().hwnd);
    EXPECT_TRUE(consoles[0].maximized);
    EXPECT_TRUE(ConsoleProcess().Running());

    Define(4, after);
    const std::string both = WithValue(defined, "User Task Five", after);
    EXPECT_EQ(Settings().value_or("(none)"), both);

    FolderWatch watch(SettingsPath().parent_path());
    Leave(GetParam());
    const std::string file = Settings().value_or("(none)");
    EXPECT_EQ(ValueIn(file, "User Task Two"), before) << file;
    EXPECT_EQ(ValueIn(file, "User Task Five"), after) << file;
    EXPECT_EQ(file, both) << "the way out wrote something else";
    // The watch sees a console's writes: its silence above means something.
    EXPECT_NE(Joined(SettingsTouched(watch)), "(nothing)") << "the way out did not write the settings file";

    // A console opened afterwards has both tasks; the watch sees its load
    // read the file.
    FolderWatch load(SettingsPath().parent_path());
    StartConsole();
    const std::vector<std::string> read = SettingsTouched(load);
    EXPECT_TRUE(
        std::any_of(read.begin(), read.end(), [](const std::string& name) { return Lower(name) == "orvan97.ini"; }))
        << "the watch did not see the load read the settings file: " << Joined(read);
    const ListInfo user = Inspect().List(UserList());
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[1].text, "User Task Two - " + before);
    EXPECT_EQ(user.entries[4].text, "User Task Five - " + after);
    ASSERT_TRUE(RequestClose());
}

INSTANTIATE_TEST_SUITE_P(SingleConsole, SingleConsoleWayOut, ::testing::Values(WayOut::CloseRequest, WayOut::Exit),
                         [](const ::testing::TestParamInfo<WayOut>& param) {
                             return param.param == WayOut::CloseRequest ? std::string("CloseRequest")
                                                                        : std::string("Exit");
                         });

TEST_F(SingleConsole, MinimizedConsoleIsRestoredToTheFrontByASecondStart) {
    StartConsole(WithSettings(FirstRunFile("4")));
    Inspect().Ask({"show", std::to_string(ConsoleWindow().hwnd), "6"});  // SW_MINIMIZE
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Window(ConsoleWindow().hwnd).value_or(WindowInfo{}).minimized; }, 5s))
        << "the console could not be minimized";

    EXPECT_EQ(Joined(SecondStart()), "(nothing)");
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::optional<WindowInfo> now = Inspect().Window(ConsoleWindow().hwnd);
            return now && !now->minimized && now->maximized && now->visible;
        },
        10s))
        << "the console was not restored";
    EXPECT_TRUE(WaitInFront());
    EXPECT_EQ(Consoles().size(), 1u);
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("4"));
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("4"));
}

// A double-click on the icon that fires twice: two starts at the same
// moment, before either has a window. One console comes up and stays; the
// other start ends.
TEST_F(SingleConsole, TwoStartsAtOnceLeaveOneConsole) {
    WriteSettings(FirstRunFile("3"));
    LaunchOptions launch;
    launch.directory = AppDirWindows();
    Process first = Wine().Launch((AppDir() / "orvan97.exe").string(), {}, launch);
    Process second = Wine().Launch((AppDir() / "orvan97.exe").string(), {}, launch);

    std::optional<int> ended;
    Process* stays = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!first.Running()) {
                ended = first.WaitExit(0ms);
                stays = &second;
            } else if (!second.Running()) {
                ended = second.WaitExit(0ms);
                stays = &first;
            }
            return stays != nullptr;
        },
        30s))
        << "both starts are still running";
    EXPECT_EQ(ended.value_or(-1), 0);
    std::vector<WindowInfo> consoles;
    ASSERT_TRUE(WaitUntil(
        [&] {
            consoles = Consoles();
            return consoles.size() == 1 && consoles[0].visible && consoles[0].maximized;
        },
        20s))
        << consoles.size() << " consoles";
    EXPECT_TRUE(stays->Running());
    EXPECT_TRUE(WaitUntil([&] { return Inspect().Focus().foreground == consoles[0].hwnd; }, 10s));
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("3"));

    Inspect().Close(consoles[0].hwnd);
    EXPECT_TRUE(stays->WaitExit(20s).has_value()) << "the console did not end on a close request";
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("3"));
}

}  // namespace
}  // namespace orvan::e2e
