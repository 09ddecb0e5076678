// The run's last line of defence: whatever state the tests are in, no Wine
// process, no Xvfb and no prefix may outlive the run.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace orvan::e2e {

// Blocks the stop signals (SIGINT, SIGTERM, SIGHUP) for the watchdog to
// take, ignores SIGPIPE, makes this process the reaper of the orphans of its
// descendants, and forks the guardian. Call first thing in main, before any
// thread exists.
void PrepareSignals();

// The guardian is a process of its own that outlives a test process killed
// outright (SIGKILL gives the watchdog no chance): when we are gone it ends
// every process of the prefix it was told about and removes the prefix.
void GuardPrefix(const std::filesystem::path& prefix);
// Ends the guardian after a clean teardown.
void DismissGuardian();

// Starts the watchdog thread: on a stop signal, or once `limit` has passed,
// it ends every process of the run, removes `prefix` and exits with 2.
void StartWatchdog(std::chrono::seconds limit, std::filesystem::path prefix);
void StopWatchdog();

// What the watchdog does, for any thread that finds the run beyond repair
// (the X display lost, say). Only the first caller acts; others wait for the
// exit.
[[noreturn]] void EmergencyStop(const std::string& why);
bool Stopping();

// Reaps every finished orphan that was handed to us.
void ReapOrphans();

// Makes a lost X connection an emergency stop instead of Xlib's exit().
void GuardXConnection();

}  // namespace orvan::e2e
