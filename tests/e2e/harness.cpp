#include "harness.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "watchdog.h"

#ifndef ORVAN_WIN32_DIR
#error "ORVAN_WIN32_DIR must name the Windows build directory"
#endif
#ifndef ORVAN_WIN64_DIR
#error "ORVAN_WIN64_DIR must name the 64-bit Windows build directory"
#endif
#ifndef ORVAN_E2E_WORK_DIR
#error "ORVAN_E2E_WORK_DIR must name the folder for the prefix and artifacts"
#endif

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

Session* g_session = nullptr;
std::string g_setupError = "the end-to-end environment is not set up";

std::string Setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// "win32" or "win64" from a setting; nullopt when it is not set.
std::optional<WineArch> ArchSetting(const char* name) {
    const std::string arch = Setting(name, "");
    if (arch == "win32") return WineArch::Win32;
    if (arch == "win64") return WineArch::Win64;
    if (!arch.empty()) throw std::runtime_error(std::string(name) + " must be win32 or win64, not " + arch);
    return std::nullopt;
}

// The program under test: the shipping 32-bit build where the machine runs
// 32-bit code, the 64-bit build elsewhere; ORVAN_E2E_ARCH=win32 or win64
// chooses, and ORVAN_WIN32_DIR names another build folder. The prefix is a
// 32-bit one for the 32-bit program where 32-bit code runs natively, a 64-bit
// one elsewhere; ORVAN_E2E_PREFIX=win64 chooses 64-bit Windows' arrangement.
WineKind ChosenKind() {
    const bool native32 = Native32BitWine();
    const WineArch arch = ArchSetting("ORVAN_E2E_ARCH").value_or(native32 ? WineArch::Win32 : WineArch::Win64);
    const WineArch prefix = ArchSetting("ORVAN_E2E_PREFIX")
                                .value_or(arch == WineArch::Win32 && native32 ? WineArch::Win32 : WineArch::Win64);
    if (prefix == WineArch::Win32 && (arch == WineArch::Win64 || !native32)) {
        throw std::runtime_error("a 32-bit prefix needs the 32-bit Wine to run natively, and a 32-bit program");
    }
    return KindFor(arch, prefix);
}

fs::path BuildDir(WineArch arch) {
    if (const char* chosen = std::getenv("ORVAN_WIN32_DIR"); chosen && *chosen) return chosen;
    return arch == WineArch::Win32 ? ORVAN_WIN32_DIR : ORVAN_WIN64_DIR;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

std::string LogTail(const fs::path& file, std::size_t bytes) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > bytes ? text.substr(text.size() - bytes) : text;
}

Ms AllowStarts(Ms wait, int starts) {
    const bool emulated = Session::Ready() && Session::Get().Wine().Emulated();
    return emulated ? wait + starts * Ms(std::chrono::minutes(4)) : wait;
}

// ---------------------------------------------------------------- Session

Session& Session::Get() {
    if (!g_session) throw std::logic_error(g_setupError);
    return *g_session;
}

bool Session::Ready() { return g_session != nullptr; }

const std::string& Session::SetupError() { return g_setupError; }

fs::path Session::Win32File(const std::string& name) const { return FileIn(win32Dir_, name); }

void Session::UseDpi(int dpi) {
    if (dpi == dpi_) return;
    inspector_->SetDpi(dpi);
    dpi_ = dpi;
}

fs::path Session::ToolFile(const std::string& name) const { return FileIn(toolsDir_, name); }

fs::path Session::FileIn(const fs::path& dir, const std::string& name) {
    const fs::path file = dir / name;
    if (!fs::exists(file)) {
        throw std::runtime_error(file.string() +
                                 " is missing: build the Windows side first "
                                 "(cmake --build build/win32) or set ORVAN_WIN32_DIR");
    }
    return file;
}

// A failed set-up is reported here and again by every test, which then
// fails (rather than being skipped, as a fatal failure here would have it).
void E2EEnvironment::SetUp() {
    try {
        StartSession();
    } catch (const std::exception& error) {
        g_setupError = std::string("e2e set-up failed: ") + error.what();
        ADD_FAILURE() << g_setupError;
    }
}

void E2EEnvironment::StartSession() {
    auto session = std::make_unique<Session>();
    const WineKind kind = ChosenKind();
    const WineArch arch = kind == WineKind::Native64 ? WineArch::Win64 : WineArch::Win32;
    session->win32Dir_ = BuildDir(arch);
    // In a 64-bit prefix the tests' own helpers are the 64-bit build's: they
    // run natively, not translated by the emulator.
    session->toolsDir_ = kind == WineKind::Native32 ? session->win32Dir_ : fs::path(ORVAN_WIN64_DIR);
    session->workDir_ = Setting("ORVAN_E2E_WORK_DIR", ORVAN_E2E_WORK_DIR);
    if (ArchOf(session->Win32File("orvan97.exe")) != arch) {
        throw std::runtime_error(session->Win32File("orvan97.exe").string() + " is not a " + ArchName(arch) +
                                 " program");
    }
    for (const char* tool : {"inspector.exe", "probe.exe"}) session->ToolFile(tool);
    std::cout << "e2e: testing " << session->Win32File("orvan97.exe").string() << ": " << Describe(kind) << std::endl;
    const fs::path work = session->workDir_;
    fs::create_directories(work);
    fs::remove_all(session->ArtifactsDir());
    fs::remove_all(session->ScratchRoot());
    fs::create_directories(session->ArtifactsDir());
    fs::create_directories(session->ScratchRoot());
    const fs::path prefix = work / "prefix";
    // Under emulation the prefix alone takes minutes.
    const long fallback = kind == WineKind::Emulated32 ? 3000 : 540;
    const long limit = std::strtol(Setting("ORVAN_E2E_TIMEOUT", "").c_str(), nullptr, 10);
    GuardPrefix(prefix);
    StartWatchdog(std::chrono::seconds(limit > 0 ? limit : fallback), prefix);
    GuardXConnection();

    const auto start = Clock::now();
    session->xserver_ = std::make_unique<XServer>(kScreenWidth, kScreenHeight, work / "xvfb.log");
    session->screen_ = std::make_unique<XScreen>(session->xserver_->Name());
    std::cout << "e2e: Xvfb on " << session->xserver_->Name() << " (" << SecondsSince(start) << " s)" << std::endl;
    session->wine_ =
        std::make_unique<WineSession>(prefix, work / "home", session->xserver_->Name(), work / "wine.log", kind);
    std::cout << "e2e: Wine prefix " << prefix.string() << " ready (" << SecondsSince(start) << " s)" << std::endl;
    session->inspector_ = std::make_unique<Inspector>(*session->wine_, session->ToolFile("inspector.exe"));
    std::cout << "e2e: inspector answers as pid " << session->inspector_->OwnPid() << " (" << SecondsSince(start)
              << " s)" << std::endl;
    session->UseDpi(kBaseDpi);
    const DoubleClickRule rule = session->inspector_->DoubleClicks();
    session->screen_->SetDoubleClickRule(rule);
    std::cout << "e2e: double-click within " << rule.time.count() << " ms and " << rule.width << " x " << rule.height
              << " pixels" << std::endl;
    g_session = session.release();
}

int PreparePrefix() {
    try {
        const WineKind kind = ChosenKind();
        const fs::path work = Setting("ORVAN_E2E_WORK_DIR", ORVAN_E2E_WORK_DIR);
        fs::create_directories(work);
        const fs::path prefix = work / "prefix";
        const long limit = std::strtol(Setting("ORVAN_E2E_TIMEOUT", "").c_str(), nullptr, 10);
        GuardPrefix(prefix);
        StartWatchdog(std::chrono::seconds(limit > 0 ? limit : 1800), prefix);
        const auto start = Clock::now();
        {
            XServer xserver(kScreenWidth, kScreenHeight, work / "xvfb.log");
            WineSession wine(prefix, work / "home", xserver.Name(), work / "wine.log", kind);
            wine.Shutdown();
            xserver.Stop();
        }
        StopWatchdog();
        DismissGuardian();
        ReapOrphans();
        std::cout << "e2e: a prefix for the " << Describe(kind) << " kept in " << work.string() << " ("
                  << SecondsSince(start) << " s)" << std::endl;
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "e2e: cannot prepare the prefix: " << error.what() << std::endl;
        return 1;
    }
}

void E2EEnvironment::TearDown() {
    std::unique_ptr<Session> session(g_session);
    g_session = nullptr;
    if (session) {
        session->inspector_.reset();
        if (session->wine_ && !session->wine_->Shutdown()) {
            ADD_FAILURE() << "Wine processes were still running after wineserver -k";
        }
        session->wine_.reset();
        session->screen_.reset();
        if (session->xserver_) session->xserver_->Stop();
    }
    StopWatchdog();
    DismissGuardian();
    ReapOrphans();
}

// ---------------------------------------------------------------- ProbeLog

std::optional<Record> ProbeLog::WaitFor(const std::string& event, std::uint32_t pid, Ms timeout) const {
    return WaitForRecord(
        unixPath_,
        [&](const Record& r) { return r.Get("event") == event && (pid == 0 || r.Get("pid") == std::to_string(pid)); },
        timeout);
}

std::vector<Record> ProbeLog::WaitForCount(const std::string& event, size_t count, Ms timeout) const {
    std::vector<Record> found;
    WaitUntil(
        [&] {
            found.clear();
            for (const Record& r : Records()) {
                if (r.Get("event") == event) found.push_back(r);
            }
            return found.size() >= count;
        },
        timeout);
    return found;
}

// ---------------------------------------------------------------- E2ETest

void E2ETest::SetUp() {
    ASSERT_TRUE(Session::Ready()) << Session::SetupError();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) c = c == '/' ? '_' : c;  // parameterized names hold slashes
    Session::Get().UseDpi(Dpi());
    scratch_ = Session::Get().ScratchRoot() / name;
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
    for (const ProcessInfo& p : Inspect().Processes()) baseline_.insert(p.pid);
}

void E2ETest::TearDown() {
    if (!Session::Ready()) return;
    if (HasFailure()) SaveArtifacts();
    EndLeftoverPrograms();
}

void E2ETest::SaveArtifacts() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) c = c == '/' ? '_' : c;
    const fs::path base = Session::Get().ArtifactsDir() / name;
    try {
        const fs::path shot = Screen().Screenshot(fs::path(base.string() + ".png"));
        std::ofstream windows(base.string() + ".windows.txt");
        for (const Record& r : Inspect().Ask({"windows"})) windows << r.ToString() << "\n";
        std::cout << "e2e: screenshot " << shot.string() << ", windows " << base.string() << ".windows.txt"
                  << std::endl;
    } catch (const std::exception& error) {
        std::cout << "e2e: could not save the artifacts: " << error.what() << std::endl;
    }
}

// Programs a test started (or had the console start) must not spill into
// the next test. Wine's own services are left alone.
void E2ETest::EndLeftoverPrograms() {
    static const std::set<std::string> kServices = {"services.exe", "winedevice.exe", "plugplay.exe",
                                                    "svchost.exe",  "rpcss.exe",      "conhost.exe"};
    try {
        Inspect().SetEnv("ORVAN_PROBE_LOG", "");
        const std::uint32_t self = Inspect().OwnPid();
        for (const ProcessInfo& p : Inspect().Processes()) {
            if (baseline_.count(p.pid) || p.pid == self || kServices.count(p.exe)) continue;
            Inspect().Kill(p.pid);
        }
    } catch (const std::exception& error) {
        ADD_FAILURE() << "could not end the test's programs: " << error.what();
    }
}

void E2ETest::KeyboardToForeground() {
    const Hwnd foreground = Inspect().Focus().foreground;
    const unsigned long xwindow = foreground ? Inspect().XWindowOf(foreground) : 0;
    if (xwindow) Screen().FocusWindow(xwindow);
}

void E2ETest::PressKey(const std::string& keysym) {
    KeyboardToForeground();
    Screen().Key(keysym);
}

void E2ETest::PressChord(std::initializer_list<std::string> keysyms) {
    KeyboardToForeground();
    Screen().Chord(keysyms);
}

ProbeLog E2ETest::NewProbeLog(const std::string& name) const {
    const fs::path file = scratch_ / name;
    return ProbeLog(file, Session::Get().Wine().WindowsPath(file));
}

std::string E2ETest::ProbeExe() const {
    return Session::Get().Wine().WindowsPath(Session::Get().ToolFile("probe.exe"));
}

std::uint32_t E2ETest::StartProbe(int showCode, const std::string& args, const ProbeLog& log,
                                  const std::string& directory) {
    Inspect().SetEnv("ORVAN_PROBE_LOG", log.WindowsPath());
    const std::string commandLine = "\"" + ProbeExe() + "\"" + (args.empty() ? "" : " " + args);
    return Inspect().Start(showCode, commandLine, directory);
}

WindowInfo E2ETest::StartProbeWindow(int showCode, const std::string& args, const ProbeLog& log) {
    const std::uint32_t pid = StartProbe(showCode, args, log);
    const std::optional<WindowInfo> window = Inspect().WaitWindow("Orvan Probe " + std::to_string(pid), Ms(10000));
    if (!window) throw std::runtime_error("the probe's window did not appear");
    return *window;
}

}  // namespace orvan::e2e
