#include "launch_fixture.h"
#include "version.h"

namespace orvan::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string WindowsFolderOf(const std::string& path) {
    const auto cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string LaunchTest::PlaceProbe(const fs::path& file) {
    fs::create_directories(file.parent_path());
    fs::copy_file(Session::Get().ToolFile("probe.exe"), file, fs::copy_options::overwrite_existing);
    return Wine().WindowsPath(file);
}

WindowInfo LaunchTest::StartWith(const std::string& settings, const ProbeLog& log, Environment extra) {
    for (const ProcessInfo& p : Inspect().Processes()) before_.insert(p.pid);
    ConsoleOptions options = WithSettings(settings);
    options.environment = std::move(extra);
    options.environment.push_back(log.EnvironmentEntry());
    const WindowInfo console = StartConsole(options);
    if (!WaitUntil([&] { return Inspect().Focus().foreground == console.hwnd; }, 5s))
        ADD_FAILURE() << "the console did not come to the foreground";
    return console;
}

std::vector<ProcessInfo> LaunchTest::StartedByConsole() {
    // Wine reuses process ids: a process from before the console started
    // may name as its parent an ended program whose id the console now has.
    std::vector<ProcessInfo> started;
    for (const ProcessInfo& p : Inspect().Processes())
        if (p.ppid == ConsoleWindow().pid && !before_.count(p.pid)) started.push_back(p);
    return started;
}

std::set<std::uint32_t> LaunchTest::NewProcessesOf(const std::string& exe) {
    std::set<std::uint32_t> pids;
    for (const ProcessInfo& p : Inspect().Processes())
        if (p.exe == exe && !before_.count(p.pid)) pids.insert(p.pid);
    return pids;
}

std::vector<WindowInfo> LaunchTest::NewWindowsOf(const std::string& exe, const std::string& windowClass) {
    const std::set<std::uint32_t> pids = NewProcessesOf(exe);
    std::vector<WindowInfo> found;
    for (const WindowInfo& w : Inspect().Windows())
        if (w.visible && pids.count(w.pid) && w.className == windowClass) found.push_back(w);
    return found;
}

std::pair<int, int> LaunchTest::UncoveredPoint(const Rect& r) {
    std::vector<Rect> above;
    for (const WindowInfo& w : Inspect().Windows()) {  // topmost first
        if (w.hwnd == ConsoleWindow().hwnd) break;
        if (w.visible) above.push_back(w.rect);
    }
    for (int y : {r.CenterY(), r.top + 2, r.bottom - 3})
        for (int x = r.left + 2; x < r.right - 2; x += 4) {
            bool covered = false;
            for (const Rect& w : above) covered = covered || w.Contains(x, y);
            if (!covered) return {x, y};
        }
    ADD_FAILURE() << "windows cover all of " << r.ToString();
    return {r.CenterX(), r.CenterY()};
}

void LaunchTest::ClickUncovered(const Rect& r) {
    const auto [x, y] = UncoveredPoint(r);
    Screen().Click(x, y);
}

std::optional<MessageBoxInfo> LaunchTest::WaitReport() {
    std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox(kAppTitle, 10s);
    if (!box) {
        ADD_FAILURE() << "no message box titled " << kAppTitle;
        return box;
    }
    EXPECT_EQ(box->pid, ConsoleWindow().pid);
    EXPECT_EQ(box->icon, "exclamation");
    EXPECT_EQ(box->buttons.size(), 1u);
    if (!box->buttons.empty()) {
        EXPECT_EQ(box->buttons[0].text, "OK");
    }
    return box;
}

bool LaunchTest::ClickOk(const MessageBoxInfo& box) {
    const DialogButton* ok = box.FindButton("OK");
    if (!ok) return false;
    Screen().Click(ok->rect.CenterX(), ok->rect.CenterY());
    return WaitUntil([&] { return !Inspect().Window(box.hwnd).has_value(); }, 5s);
}

std::optional<WindowInfo> LaunchTest::OpenOptionsWindow() {
    ClickOn(at::Options());
    std::optional<WindowInfo> dialog;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : Inspect().VisibleWindowsOf(ConsoleWindow().pid))
                if (w.hwnd != ConsoleWindow().hwnd && w.className == ORVAN_CONSOLE_CLASS) dialog = w;
            return dialog.has_value();
        },
        5s);
    return dialog;
}

bool LaunchTest::WaitOptionsGone(const WindowInfo& dialog) {
    return WaitUntil(
        [&] {
            const std::optional<WindowInfo> console = Inspect().Window(ConsoleWindow().hwnd);
            return !Inspect().Window(dialog.hwnd).has_value() && console && console->enabled;
        },
        5s);
}

bool LaunchTest::ChooseRunMethod(const std::string& caption) {
    const std::optional<WindowInfo> dialog = OpenOptionsWindow();
    if (!dialog) return false;
    for (const ChildInfo& c : Inspect().Children(dialog->hwnd))
        if (c.className == "Button" && c.text == caption) ClickOn(c.rect);
    // OK stands at 3720, 790 twips in the dialog, 1620 x 315 twips large.
    const int left = dialog->client.left + 3720 / 15;
    const int top = dialog->client.top + 790 / 15;
    ClickOn(Rect{left, top, left + 1620 / 15, top + 315 / 15});
    return WaitOptionsGone(*dialog);
}

std::optional<Record> LaunchTest::WaitStart(const ProbeLog& log, std::uint32_t pid) {
    std::optional<Record> start = log.WaitFor("start", pid, 10s);
    if (!start) ADD_FAILURE() << "no probe started" << BoxTexts();
    return start;
}

std::string LaunchTest::BoxTexts() {
    std::string texts;
    for (const MessageBoxInfo& box : Inspect().MessageBoxes())
        texts += "; a box \"" + box.title + "\" says: " + box.Text();
    return texts;
}

}  // namespace orvan::e2e
