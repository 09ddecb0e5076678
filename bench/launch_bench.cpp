// Launch benchmark: the time from a real click on "Execute Task" under the
// user list (its first slot holding the probe) to the start of the probe,
// beside launch_baseline.exe, which starts the same probe with one
// CreateProcessA, in the same run under the same Wine and display.
//
// Each figure is measured twice: to the probe's creation (GetProcessTimes)
// and to its first instruction (entry to WinMain). The console's clock starts
// just before the button is pressed, the baseline's just before its call;
// Wine's system time is the unix real-time clock, so the two sides compare.
//
//   build/native/launch_bench [WIN32_DIR]     (RUNS=9 by default)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "windows_view.h"
#include "process.h"
#include "records.h"
#include "watchdog.h"
#include "wine.h"
#include "xscreen.h"
#include "version.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// "Execute Task" under the user list, once the opening slide has ended.
constexpr Rect kUser{12, 416, 184, 437};
constexpr std::uint32_t kIdle = 0x0087C8;
// FILETIME ticks (100 ns since 1601) at the unix epoch.
constexpr long long kEpochTicks = 116444736000000000LL;

long long NowTicks() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return kEpochTicks + now.tv_sec * 10'000'000LL + now.tv_nsec / 100;
}

struct Sample {
    double toCreated = 0;  // ms
    double toEntry = 0;    // ms
};

Sample Measured(long long before, const Record& start) {
    return {static_cast<double>(std::stoll(start.Get("created")) - before) / 10'000.0,
            static_cast<double>(std::stoll(start.Get("time")) - before) / 10'000.0};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class Bench {
public:
    Bench(fs::path win32, fs::path work, int runs) : win32_(std::move(win32)), work_(std::move(work)), runs_(runs) {}

    void SetUp();
    // Alternates a click on the console with a run of the baseline, so a
    // change in the machine's load falls on both alike.
    void Measure();
    void TearDown();

    std::vector<Sample> console, fromRelease, baseline;
    std::vector<double> input;  // ms from the press to WM_LBUTTONUP in a bare window

private:
    void MeasureInput();
    void StartConsole();
    void ClickConsole(int run);
    void RunBaseline(int run);

    // Waits for the probe's start record number `n` (from 1) and ends it.
    Record NthStart(const fs::path& log, size_t n);
    std::string WindowsLog(const fs::path& log) const { return wine_->WindowsPath(log); }

    fs::path win32_, work_;
    int runs_;
    std::string probe_;
    std::unique_ptr<XServer> xserver_;
    std::unique_ptr<XScreen> screen_;
    std::unique_ptr<WineSession> wine_;
    std::unique_ptr<Inspector> inspector_;
    Process console_;
    Hwnd consoleWindow_ = 0;
    fs::path consoleLog_, baselineLog_;
};

void Bench::SetUp() {
    const fs::path prefix = work_ / "prefix";
    GuardPrefix(prefix);
    StartWatchdog(std::chrono::seconds(900), prefix);
    GuardXConnection();
    xserver_ = std::make_unique<XServer>(1024, 768, work_ / "xvfb.log");
    screen_ = std::make_unique<XScreen>(xserver_->Name());
    const WineArch prefixArch = Native32BitWine() ? WineArch::Win32 : WineArch::Win64;
    wine_ = std::make_unique<WineSession>(prefix, work_ / "home", xserver_->Name(), work_ / "wine.log",
                                          KindFor(ArchOf(win32_ / "orvan97.exe"), prefixArch));
    inspector_ = std::make_unique<Inspector>(*wine_, win32_ / "inspector.exe");
    fs::create_directories(work_ / "tools");
    fs::copy_file(win32_ / "probe.exe", work_ / "tools" / "probe.exe");
    probe_ = wine_->WindowsPath(work_ / "tools" / "probe.exe");
}

Record Bench::NthStart(const fs::path& log, size_t n) {
    std::vector<Record> starts;
    WaitUntil(
        [&] {
            starts.clear();
            for (const Record& r : ReadRecords(log))
                if (r.Get("event") == "start") starts.push_back(r);
            return starts.size() >= n;
        },
        20s, 10ms);
    if (starts.size() < n) throw std::runtime_error("the probe did not start (run " + std::to_string(n) + ")");
    const Record start = starts[n - 1];
    const auto pid = static_cast<std::uint32_t>(start.Int("pid"));
    inspector_->Kill(pid);
    inspector_->WaitExit(pid, 10s);
    return start;
}

void Bench::StartConsole() {
    const fs::path app = work_ / "app";
    fs::create_directories(app);
    fs::copy_file(win32_ / "orvan97.exe", app / "orvan97.exe");
    std::ofstream(wine_->Prefix() / "drive_c" / "windows" / "Orvan97.ini", std::ios::binary)
        << "[Options]\r\nProgram Run Method=1\r\n[User Tasks]\r\nUser Task One=" << probe_ << "\r\n";
    consoleLog_ = work_ / "console.log";
    baselineLog_ = work_ / "baseline.log";
    LaunchOptions options;
    options.directory = wine_->WindowsPath(app);
    options.environment = {{"ORVAN_PROBE_LOG", WindowsLog(consoleLog_)}};
    console_ = wine_->Launch((app / "orvan97.exe").string(), {}, options);
    WaitUntil(
        [&] {
            for (const WindowInfo& w : inspector_->Windows())
                if (w.className == ORVAN_CONSOLE_CLASS && w.title == ORVAN_CONSOLE_CAPTION && w.visible)
                    consoleWindow_ = w.hwnd;
            return consoleWindow_ != 0;
        },
        20s);
    if (!consoleWindow_) throw std::runtime_error("the console did not come up");
    if (!WaitUntil([&] { return screen_->Pixel(kUser.right - 1, kUser.CenterY()) == kIdle; }, 10s))
        throw std::runtime_error("the console's buttons did not reach their column");
}

void Bench::ClickConsole(int run) {
    if (!WaitUntil([&] { return inspector_->Focus().foreground == consoleWindow_; }, 10s))
        throw std::runtime_error("the console did not get the foreground back");
    screen_->MovePointer(kUser.CenterX(), kUser.CenterY());
    // Past the double-click time, and the hover repaint done, so the click
    // meets an idle console.
    std::this_thread::sleep_for(600ms);
    const long long pressed = NowTicks();
    screen_->PressButton(Button::Left);
    const long long released = NowTicks();
    screen_->ReleaseButton(Button::Left);
    const Record start = NthStart(consoleLog_, static_cast<size_t>(run));
    console.push_back(Measured(pressed, start));
    fromRelease.push_back(Measured(released, start));
    screen_->MovePointer(1000, 700);  // off the button, so the next move lights it again
}

void Bench::RunBaseline(int run) {
    LaunchOptions options;
    options.pipes = true;
    options.environment = {{"ORVAN_PROBE_LOG", WindowsLog(baselineLog_)}};
    Process program = wine_->Launch((win32_ / "launch_baseline.exe").string(), {probe_}, options);
    // Started, then given the same rest the console has before its click.
    std::this_thread::sleep_for(600ms);
    if (write(program.InFd(), "\n", 1) != 1) throw std::runtime_error("cannot reach the baseline");
    // Up to the line's end only: the probe it starts shares its output, so
    // the pipe stays open while the probe runs.
    std::string output;
    char buffer[256];
    ssize_t got;
    while (output.find('\n') == std::string::npos && (got = read(program.OutFd(), buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(got));
    const auto at = output.find("before=");
    if (at == std::string::npos) throw std::runtime_error("the baseline printed no time: " + output);
    baseline.push_back(Measured(std::stoll(output.substr(at + 7)), NthStart(baselineLog_, static_cast<size_t>(run))));
    program.CloseInput();
    program.WaitExit(20s);
}

// What a click costs before any program acts on it: the probe's own window
// logs the time its WM_LBUTTONUP arrives.
void Bench::MeasureInput() {
    const fs::path log = work_ / "input.log";
    inspector_->SetEnv("ORVAN_PROBE_LOG", WindowsLog(log));
    const std::uint32_t pid = inspector_->Start(1, "\"" + probe_ + "\" --at 600,400");
    const std::optional<WindowInfo> window = inspector_->WaitWindow("Orvan Probe " + std::to_string(pid), 10s);
    if (!window) throw std::runtime_error("the probe's window did not appear");
    for (int run = 1; run <= runs_; ++run) {
        screen_->MovePointer(window->client.CenterX(), window->client.CenterY());
        std::this_thread::sleep_for(600ms);
        const long long pressed = NowTicks();
        screen_->PressButton(Button::Left);
        screen_->ReleaseButton(Button::Left);
        std::vector<Record> clicks;
        WaitUntil(
            [&] {
                clicks.clear();
                for (const Record& r : ReadRecords(log))
                    if (r.Get("event") == "click") clicks.push_back(r);
                return clicks.size() >= static_cast<size_t>(run);
            },
            10s, 10ms);
        if (clicks.size() < static_cast<size_t>(run)) throw std::runtime_error("the probe saw no click");
        input.push_back(static_cast<double>(std::stoll(clicks.back().Get("time")) - pressed) / 10'000.0);
        screen_->MovePointer(1000, 700);
    }
    inspector_->Kill(pid);
    inspector_->WaitExit(pid, 10s);
}

void Bench::Measure() {
    MeasureInput();
    StartConsole();
    for (int run = 1; run <= runs_; ++run) {
        ClickConsole(run);
        RunBaseline(run);
    }
    inspector_->Close(consoleWindow_);
    if (!console_.WaitExit(20s)) console_.Kill();
}

void Bench::TearDown() {
    inspector_.reset();
    if (wine_) wine_->Shutdown();
    wine_.reset();
    screen_.reset();
    if (xserver_) xserver_->Stop();
    StopWatchdog();
    DismissGuardian();
    ReapOrphans();
}

void Report(const Bench& bench) {
    auto median = [](const std::vector<Sample>& samples, double Sample::*field) {
        std::vector<double> values;
        for (const Sample& s : samples) values.push_back(s.*field);
        return Median(values);
    };
    const double cCreated = median(bench.console, &Sample::toCreated), cEntry = median(bench.console, &Sample::toEntry);
    const double rCreated = median(bench.fromRelease, &Sample::toCreated);
    const double rEntry = median(bench.fromRelease, &Sample::toEntry);
    const double bCreated = median(bench.baseline, &Sample::toCreated),
                 bEntry = median(bench.baseline, &Sample::toEntry);
    std::printf(
        "\nClick on \"Execute Task\" to the start of the probe (median of %zu runs, target within 1.10x of "
        "the baseline)\n",
        bench.console.size());
    std::printf("%-28s %22s %22s\n", "", "to process created (ms)", "to probe's WinMain (ms)");
    std::printf("%-28s %22.2f %22.2f\n", "console, click", cCreated, cEntry);
    std::printf("%-28s %22.2f %22.2f\n", "  (from the release)", rCreated, rEntry);
    std::printf("%-28s %22.2f %22.2f\n", "baseline, CreateProcessA", bCreated, bEntry);
    std::printf("%-28s %21.2fx %21.2fx\n", "ratio", cCreated / bCreated, cEntry / bEntry);
    std::printf("\nA click alone, press to WM_LBUTTONUP in a bare window: %.2f ms (median)\n", Median(bench.input));
}

}  // namespace
}  // namespace orvan::e2e

int main(int argc, char** argv) {
    using namespace orvan::e2e;
    PrepareSignals();
    const fs::path win32 = fs::absolute(argc > 1 ? argv[1] : "build/win32");
    const char* runsText = std::getenv("RUNS");
    const int runs = runsText && std::atoi(runsText) > 0 ? std::atoi(runsText) : 9;
    for (const char* tool : {"orvan97.exe", "probe.exe", "inspector.exe", "launch_baseline.exe"})
        if (!fs::exists(win32 / tool)) {
            std::cerr << (win32 / tool).string() << " is missing: build the Windows side first (scripts/build.sh)\n";
            return 2;
        }
    char pattern[] = "/tmp/orvan-launch-bench.XXXXXX";
    if (!mkdtemp(pattern)) return 2;
    const fs::path work = pattern;
    Bench bench(win32, work, runs);
    int status = 0;
    try {
        bench.SetUp();
        bench.Measure();
        Report(bench);
    } catch (const std::exception& error) {
        std::cerr << "launch_bench: " << error.what() << "\n";
        status = 1;
    }
    bench.TearDown();
    fs::remove_all(work);
    return status;
}
