// Unix processes the tests start: each in a process group of its own, so
// that it and everything it forks can be ended together, and registered so
// that an emergency stop can end whatever is still running.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records.h"

namespace orvan::e2e {

using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessSpec {
    std::vector<std::string> argv;    // argv[0] is looked up along PATH
    std::filesystem::path directory;  // empty: the test's own
    Environment environment;          // the child's whole environment
    bool pipes = false;               // stdin and stdout as pipes to us
    std::filesystem::path output;     // stdout/stderr appended here; empty: /dev/null
    bool dieWithUs = false;           // SIGKILL it if the test process dies
};

class Process {
public:
    // Throws std::runtime_error when the program cannot be started.
    static Process Start(const ProcessSpec& spec);

    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();  // kills the group when still running

    pid_t Pid() const { return pid_; }
    bool Running();
    // The exit status, or 128 + signal number (-1 when it is not known);
    // nullopt on timeout.
    std::optional<int> WaitExit(Ms timeout);
    // SIGTERM to the group, SIGKILL after `grace`; waits for the process.
    void Stop(Ms grace);
    void Kill() { Stop(Ms(0)); }

    int InFd() const { return in_; }    // write end of its stdin (pipes only)
    int OutFd() const { return out_; }  // read end of its stdout (pipes only)
    void CloseInput();

private:
    void Reap(int status);
    void Release();

    pid_t pid_ = -1;
    std::optional<int> status_;
    int in_ = -1;
    int out_ = -1;
};

// The current environment with the given keys set (or replaced) and the
// keys in `remove` dropped.
Environment CurrentEnvironment(const Environment& set, const std::vector<std::string>& remove);

// Runs a program to its end; its exit status, or nullopt when it had to be
// killed after `timeout`.
std::optional<int> RunToEnd(const ProcessSpec& spec, Ms timeout);

// Emergency stop: SIGKILL every process group still registered; from then on
// Process::Start refuses. Safe to call from any thread, more than once.
void KillAllRegisteredGroups();

// Process ids of every process whose environment holds `entry` exactly
// (such as WINEPREFIX=/some/dir).
std::vector<pid_t> ProcessesWithEnvironment(const std::string& entry);

}  // namespace orvan::e2e
