#include "watchdog.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <mutex>
#include <thread>

#include "host.h"
#include "process.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::atomic<bool> g_stopping{false};
std::atomic<bool> g_watching{false};
std::mutex g_prefixMutex;
fs::path g_prefix;
std::thread* g_thread = nullptr;  // never destroyed: it may outlive main

sigset_t StopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
    return stops;
}

void Watch(Clock::time_point deadline) {
    const sigset_t stops = StopSignals();
    while (g_watching) {
        const timespec tick{0, 200'000'000};
        const int got = sigtimedwait(&stops, nullptr, &tick);
        if (got > 0) EmergencyStop("interrupted by signal " + std::to_string(got));
        if (Clock::now() >= deadline) EmergencyStop("the run overstayed its time limit");
    }
}

int OnXConnectionLost(Display*) { EmergencyStop("the connection to the X display was lost"); }

int g_guardianPipe = -1;
pid_t g_guardian = -1;

void EndPrefix(const fs::path& prefix) {
    for (int round = 0; round < 50 && !prefix.empty(); ++round) {
        const std::vector<pid_t> left = ProcessesWithEnvironment("WINEPREFIX=" + prefix.string());
        if (left.empty()) break;
        for (pid_t pid : left) kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::error_code error;
    if (!prefix.empty()) RemoveTree(prefix, error);
}

// The guardian's life: read prefix paths until the pipe closes, then end
// whatever still runs in them.
[[noreturn]] void Guard(int in) {
    setsid();  // out of the terminal's and CTest's signals
    for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, SIG_IGN);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(in, buffer, sizeof buffer)) != 0) {
        if (n > 0) text.append(buffer, static_cast<size_t>(n));
    }
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        EndPrefix(text.substr(start, end - start));
    }
    _exit(0);
}

}  // namespace

void PrepareSignals() {
    const sigset_t stops = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a dead inspector must not end the run
    // Wine's processes outlive their unix parents; handed to us rather than
    // to an init that may never reap them, they can be reaped here.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    g_guardian = fork();
    if (g_guardian == 0) {
        close(fds[1]);
        Guard(fds[0]);
    }
    close(fds[0]);
    g_guardianPipe = fds[1];
}

void GuardPrefix(const fs::path& prefix) {
    const std::string line = prefix.string() + "\n";
    if (g_guardianPipe >= 0) (void)!write(g_guardianPipe, line.data(), line.size());
}

void DismissGuardian() {
    if (g_guardianPipe < 0) return;
    close(g_guardianPipe);
    g_guardianPipe = -1;
    int status = 0;
    waitpid(g_guardian, &status, 0);
}

void StartWatchdog(std::chrono::seconds limit, fs::path prefix) {
    {
        std::lock_guard lock(g_prefixMutex);
        g_prefix = std::move(prefix);
    }
    g_watching = true;
    const Clock::time_point deadline = Clock::now() + limit;
    g_thread = new std::thread(Watch, deadline);
}

void StopWatchdog() {
    g_watching = false;
    if (g_thread && g_thread->joinable()) g_thread->join();
}

bool Stopping() { return g_stopping; }

void EmergencyStop(const std::string& why) {
    if (g_stopping.exchange(true)) {
        for (;;) pause();  // the first caller is already ending the run
    }
    std::cerr << "e2e: " << why << "; ending every process of the run" << std::endl;
    fs::path prefix;
    {
        std::lock_guard lock(g_prefixMutex);
        prefix = g_prefix;
    }
    KillAllRegisteredGroups();
    EndPrefix(prefix);
    DismissGuardian();
    ReapOrphans();
    _exit(2);
}

void ReapOrphans() {
    int status = 0;
    while (waitpid(-1, &status, WNOHANG) > 0) {
    }
}

void GuardXConnection() { XSetIOErrorHandler(OnXConnectionLost); }

}  // namespace orvan::e2e
