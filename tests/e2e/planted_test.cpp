// The console unpacked into a folder others can write to, such as Downloads:
// libraries named as the system's and a notepad.exe lie beside it, in what is
// also its current directory. Asked for its accessibility object, opening the
// Options dialog and the Open-file dialog, and starting the built-in Notepad,
// the console takes the system's libraries and starts the system's Notepad;
// nothing planted is loaded or started.
//
// Wine prefers its own built-in libraries to files it finds; the console is
// told to prefer the files (WINEDLLOVERRIDES, n,b) for the libraries Windows
// itself looks for along the search path, so a library beside it is taken
// if it is looked for there. Those are the ones the console loads that are
// not among Windows' known libraries (KnownDLLs), which Windows only ever
// takes from the system folder: oleacc and comctl32. comdlg32, shell32,
// ole32 and oleaut32 are known libraries, so a copy beside the program is
// never Windows' concern; Wine's own libraries, unlike Windows', look for
// the libraries they load late (delay-loaded) along the whole search path
// whatever the program asked, so planting those would test Wine.
#include <cctype>

#include "accessible_view.h"
#include "dialog_fixture.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The libraries the console loads on demand that Windows looks for along the search path.
constexpr const char* kPlanted[] = {"oleacc", "comctl32"};

std::string PreferFiles() {
    std::string names;
    for (const char* name : kPlanted) names += (names.empty() ? "" : ",") + std::string(name);
    return names + "=n,b";
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Show(const std::vector<Record>& records) {
    std::string out;
    for (const Record& r : records) out += "\n  " + r.ToString();
    return out;
}

class Planted : public DialogTest {
protected:
    // Fails the test, naming the step, for every planted library loaded or
    // planted program started since the last step.
    void ExpectNoIntruders(const ProbeLog& log, const std::string& step) {
        std::vector<Record> found;
        for (const Record& r : log.Records())
            if (r.Get("event") == "loaded" || r.Get("event") == "start") found.push_back(r);
        const std::vector<Record> fresh(found.begin() + static_cast<std::ptrdiff_t>(seen_), found.end());
        seen_ = found.size();
        EXPECT_TRUE(fresh.empty()) << step << " loaded or started planted files:" << Show(fresh);
    }

    // A window of the system's Notepad, from a process the test did not see before.
    std::optional<WindowInfo> NotepadWindow(const std::set<std::uint32_t>& before) {
        for (const WindowInfo& w : Inspect().Windows())
            if (w.visible && w.className == "Notepad" && !before.count(w.pid)) return w;
        return std::nullopt;
    }

private:
    std::size_t seen_ = 0;
};

TEST_F(Planted, LibrariesAndNotepadBesideTheConsoleAreNeitherLoadedNorStarted) {
    const ProbeLog log = NewProbeLog();
    const Environment preferFiles = {log.EnvironmentEntry(), {"WINEDLLOVERRIDES", PreferFiles()}};

    // The planted library is taken by a program that loads it by name the
    // default way, so its silence below means something.
    const fs::path control = Scratch() / "control";
    fs::create_directories(control);
    fs::copy_file(Session::Get().ToolFile("planted.dll"), control / "oleacc.dll");
    fs::copy_file(Session::Get().ToolFile("probe.exe"), control / "probe.exe");
    LaunchOptions controlLaunch;
    controlLaunch.directory = Wine().WindowsPath(control);
    controlLaunch.environment = preferFiles;
    Process probe =
        Wine().Launch((control / "probe.exe").string(), {"--load", "oleacc.dll", "--exit-after", "100"}, controlLaunch);
    const std::optional<Record> loaded = log.WaitFor("loaded", 0, 20s);
    ASSERT_TRUE(loaded) << "a planted library is not taken even where it is looked for:" << Show(log.Records());
    EXPECT_EQ(Lower(loaded->Get("module")), Lower(Wine().WindowsPath(control / "oleacc.dll")));
    EXPECT_TRUE(probe.WaitExit(20s));
    fs::remove(log.UnixPath());

    for (const char* name : kPlanted)
        fs::copy_file(Session::Get().Win32File("planted.dll"), AppDir() / (std::string(name) + ".dll"));
    fs::copy_file(Session::Get().ToolFile("probe.exe"), AppDir() / "notepad.exe");
    std::set<std::uint32_t> before;
    for (const ProcessInfo& p : Inspect().Processes()) before.insert(p.pid);
    ConsoleOptions options = WithSettings(SettingsWith("1"));
    options.environment = preferFiles;
    StartConsole(options);
    ASSERT_FALSE(HasFailure());
    ExpectNoIntruders(log, "Starting the console");

    // An accessibility tool asks for the console's object: oleacc, ole32, oleaut32.
    const std::vector<AccessibleInfo> tree = AccessibleView(Inspect(), ConsoleWindow().hwnd).Tree();
    EXPECT_GT(tree.size(), 1u) << "the console gave no accessibility object";
    if (tree.size() > 1) {
        EXPECT_EQ(tree[0].name, "Orvan 97");
        EXPECT_EQ(tree[1].role, "graphic") << "the console's own object did not answer";
    }
    ExpectNoIntruders(log, "The accessibility object");

    // The Options dialog: comctl32, for its tooltips.
    if (std::optional<OptionsDialog> dialog = OpenOptions()) {
        EXPECT_EQ(dialog->options.size(), 4u);
        ClickOn(dialog->Cancel());
        ASSERT_TRUE(WaitOptionsClosed());
    }
    ExpectNoIntruders(log, "The Options dialog");

    // The built-in Notepad: the system's, not the notepad.exe beside the console.
    const ListInfo list = Inspect().List(BuiltInList());
    ASSERT_EQ(list.entries.at(2).text, "Notepad");
    ClickOn(list.entries[2].rect);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(BuiltInList()).selected == 2; }, 5s));
    ClickOn(at::Windows());
    std::optional<WindowInfo> notepad;
    WaitUntil(
        [&] {
            notepad = NotepadWindow(before);
            bool planted = false;
            for (const Record& r : log.Records()) planted = planted || r.Get("event") == "start";
            return notepad || planted;
        },
        AllowStarts(15s));
    EXPECT_TRUE(notepad) << "the system's Notepad did not start";
    ExpectNoIntruders(log, "The built-in Notepad");

    // Out of the way of the console's buttons.
    if (notepad) {
        Inspect().Close(notepad->hwnd);
        EXPECT_TRUE(Inspect().WaitExit(notepad->pid, 10s));
    }
    for (const Record& r : log.Records())
        if (r.Get("event") == "start") Inspect().Kill(static_cast<std::uint32_t>(r.Int("pid")));

    // The Open-file dialog: comdlg32, and what it loads in turn.
    DefineThroughDialog("C:\\nothing.exe", false);
    ExpectNoIntruders(log, "The Open-file dialog");

    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
