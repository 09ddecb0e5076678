// The end-to-end test harness: a private Xvfb display, a private Wine prefix
// and the Windows-side inspector, set up once per run by E2EEnvironment and
// reached through Session; E2ETest is the fixture every end-to-end test
// derives from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "windows_view.h"
#include "process.h"
#include "records.h"
#include "watchdog.h"
#include "wine.h"
#include "xscreen.h"

namespace orvan::e2e {

// The last `bytes` of a log file, for a failure's message.
std::string LogTail(const std::filesystem::path& file, std::size_t bytes = 2000);

// Screen size of the private display: room for the console at 200 %.
constexpr int kScreenWidth = 1600;
constexpr int kScreenHeight = 1200;
// The screen's DPI, unless a test asks for another.
constexpr int kBaseDpi = 96;

// The probe paints its client area this colour (0xRRGGBB).
constexpr std::uint32_t kProbeColour = 0x123456;

// A wait that takes in the start of `starts` processes of the build under
// test: under emulation each 32-bit start is added with a wide margin (a
// start takes seconds, but minutes on a busy machine or where the emulator
// lacks the preloaded mmap); natively the wait stays as it is.
Ms AllowStarts(Ms wait, int starts = 1);

class Session {
public:
    // Throws std::logic_error, with the reason, when the environment is not
    // set up.
    static Session& Get();
    static bool Ready();
    static const std::string& SetupError();

    XScreen& Screen() { return *screen_; }
    WineSession& Wine() { return *wine_; }
    Inspector& Inspect() { return *inspector_; }
    const std::string& DisplayName() const { return xserver_->Name(); }

    // The screen's DPI that programs started from now on take: the prefix's
    // LogPixels, which Wine reads as each process starts.
    int Dpi() const { return dpi_; }
    void UseDpi(int dpi);

    // A file of the Windows build under test (ORVAN_WIN32_DIR); throws
    // std::runtime_error naming the file when it is not there.
    std::filesystem::path Win32File(const std::string& name) const;
    const std::filesystem::path& Win32Dir() const { return win32Dir_; }
    // A helper program of the tests (inspector.exe, probe.exe): the build
    // under test's, or the 64-bit build's where 32-bit code is emulated.
    std::filesystem::path ToolFile(const std::string& name) const;
    const std::filesystem::path& WorkDir() const { return workDir_; }
    std::filesystem::path ArtifactsDir() const { return workDir_ / "artifacts"; }
    std::filesystem::path ScratchRoot() const { return workDir_ / "scratch"; }

private:
    friend class E2EEnvironment;
    static std::filesystem::path FileIn(const std::filesystem::path& dir, const std::string& name);
    std::filesystem::path win32Dir_;
    std::filesystem::path toolsDir_;
    std::filesystem::path workDir_;
    std::unique_ptr<XServer> xserver_;
    std::unique_ptr<XScreen> screen_;
    std::unique_ptr<WineSession> wine_;
    std::unique_ptr<Inspector> inspector_;
    int dpi_ = 0;
};

// Sets up the display, the prefix and the inspector before the first test
// and ends them all after the last; a watchdog ends everything if the run
// overstays its time (ORVAN_E2E_TIMEOUT seconds, default 540, 3000 under emulation) or is
// interrupted.
class E2EEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    void StartSession();
};

// Boots the prefix the run would use and keeps it beside (see WineSession),
// then ends: `e2e_tests --prepare-prefix`, so that a script can have the
// boot (minutes under emulation) done while the programs under test are
// still being built. 0 when the prefix is kept.
int PreparePrefix();

// The log one or more probes write to.
class ProbeLog {
public:
    ProbeLog(std::filesystem::path unixPath, std::string windowsPath)
        : unixPath_(std::move(unixPath)), windowsPath_(std::move(windowsPath)) {}

    const std::filesystem::path& UnixPath() const { return unixPath_; }
    const std::string& WindowsPath() const { return windowsPath_; }
    // The environment entry that points a probe at this log.
    std::pair<std::string, std::string> EnvironmentEntry() const { return {"ORVAN_PROBE_LOG", windowsPath_}; }

    std::vector<Record> Records() const { return ReadRecords(unixPath_); }
    // The first record of the event (of that probe, unless pid is 0).
    std::optional<Record> WaitFor(const std::string& event, std::uint32_t pid, Ms timeout) const;
    // Waits until there are `count` records of the event; those there are.
    std::vector<Record> WaitForCount(const std::string& event, size_t count, Ms timeout) const;

private:
    std::filesystem::path unixPath_;
    std::string windowsPath_;
};

class E2ETest : public ::testing::Test {
protected:
    // Gives the test a fresh scratch folder and the screen's DPI it runs
    // at, and notes the Windows processes already running.
    void SetUp() override;
    // The screen's DPI the test's programs start with.
    virtual int Dpi() const { return kBaseDpi; }
    // On failure saves a screenshot and the window list to the artifacts
    // folder; then ends every Windows process the test left running.
    void TearDown() override;

    XScreen& Screen() { return Session::Get().Screen(); }
    Inspector& Inspect() { return Session::Get().Inspect(); }
    WineSession& Wine() { return Session::Get().Wine(); }

    // Fresh per test, and its Windows path (Z:\...).
    const std::filesystem::path& Scratch() const { return scratch_; }
    std::string ScratchWindows() const { return Session::Get().Wine().WindowsPath(scratch_); }

    // Keys for the foreground window. Wine takes X key events only in the X
    // window of its foreground window, and with no window manager the X focus
    // is wherever Wine last put it (or the window under the pointer); so each
    // of these first gives that X window the X focus. The pointer stays put.
    void KeyboardToForeground();
    void PressKey(const std::string& keysym);
    void PressChord(std::initializer_list<std::string> keysyms);
    void Tab() { PressKey("Tab"); }
    void Enter() { PressKey("Return"); }
    void Escape() { PressKey("Escape"); }
    void AltF4() { PressChord({"Alt_L", "F4"}); }

    ProbeLog NewProbeLog(const std::string& name = "probe.log") const;
    // The Windows path of probe.exe in the Windows build.
    std::string ProbeExe() const;
    // Starts probe.exe through the inspector (CreateProcess with
    // STARTF_USESHOWWINDOW) with the show code and arguments, logging to
    // `log`; its Windows process id.
    std::uint32_t StartProbe(int showCode, const std::string& args, const ProbeLog& log,
                             const std::string& directory = "");
    // Starts probe.exe and waits for its window; fails the test if it does
    // not appear.
    WindowInfo StartProbeWindow(int showCode, const std::string& args, const ProbeLog& log);

private:
    void SaveArtifacts();
    void EndLeftoverPrograms();

    std::filesystem::path scratch_;
    std::set<std::uint32_t> baseline_;
};

}  // namespace orvan::e2e
