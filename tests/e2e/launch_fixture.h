// What the launch tests share: settings files that put task paths and a run
// method in place, copies of the probe under chosen names, the programs the
// console starts, the report box of a failed start, and points of the
// console that no other window covers (Wine places new windows at the
// screen's corner, over the console).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "console_fixture.h"

namespace orvan::e2e {

inline constexpr const char* kAppTitle = "ORVAN 97";

// The folder part of a Windows path.
std::string WindowsFolderOf(const std::string& path);

class LaunchTest : public ConsoleTest {
protected:
    // Copies probe.exe to `file` (folders made as needed); its Windows path.
    std::string PlaceProbe(const std::filesystem::path& file);

    // Starts the console with the settings bytes, its programs logging to
    // `log`, and waits until it is the foreground window.
    WindowInfo StartWith(const std::string& settings, const ProbeLog& log, Environment extra = {});

    // The Windows processes the console has started.
    std::vector<ProcessInfo> StartedByConsole();
    // The visible windows of processes named `exe` (such as "notepad.exe")
    // that were not running when the console started, with the class.
    std::vector<WindowInfo> NewWindowsOf(const std::string& exe, const std::string& windowClass);
    // Processes of the program that were not there when the test began.
    std::set<std::uint32_t> NewProcessesOf(const std::string& exe);

    // A point of `r` that no window above the console covers; fails the
    // test when there is none.
    std::pair<int, int> UncoveredPoint(const Rect& r);
    // A real click at such a point, the pointer resting there first.
    void ClickUncovered(const Rect& r);

    // Waits for the report box of a failed start, checks its title, icon
    // and single OK button, and returns its text; the box stays open.
    std::optional<MessageBoxInfo> WaitReport();
    // A real click on the box's OK button; true once the box is gone.
    bool ClickOk(const MessageBoxInfo& box);

    // Clicks "Options" and waits for the dialog's window.
    std::optional<WindowInfo> OpenOptionsWindow();
    // Waits until the dialog is gone and the console enabled again.
    bool WaitOptionsGone(const WindowInfo& dialog);
    // Opens the Options dialog, clicks the option button with the caption
    // and then OK; true once the dialog is gone and the console enabled.
    bool ChooseRunMethod(const std::string& caption);

    // The start record of a probe the console started (any, when pid 0).
    std::optional<Record> WaitStart(const ProbeLog& log, std::uint32_t pid = 0);
    // The message boxes on the screen, for a failure's message: a box in
    // the way says why nothing started.
    std::string BoxTexts();

private:
    std::set<std::uint32_t> before_;
};

}  // namespace orvan::e2e
