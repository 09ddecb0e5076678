#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace orvan::e2e {
namespace {

std::mutex g_groupsMutex;
std::set<pid_t> g_groups;
bool g_closed = false;  // after an emergency stop nothing new may start

// In the child between fork and exec: only async-signal-safe calls, and
// the reason for a failure goes back through `report`.
[[noreturn]] void ExecChild(const ProcessSpec& spec, char** argv, char** envp, int stdinFd, int stdoutFd, int report) {
    setpgid(0, 0);
    if (spec.dieWithUs) prctl(PR_SET_PDEATHSIG, SIGKILL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    dup2(stdinFd, 0);
    dup2(stdoutFd, 1);
    if (spec.pipes) {
        const int err =
            open(spec.output.empty() ? "/dev/null" : spec.output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(err, 2);
    } else {
        dup2(stdoutFd, 2);
    }
    if (!spec.directory.empty() && chdir(spec.directory.c_str()) != 0) {
        const int error = errno;
        (void)!write(report, &error, sizeof error);
        _exit(127);
    }
    execvpe(argv[0], argv, envp);
    const int error = errno;
    (void)!write(report, &error, sizeof error);
    _exit(127);
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

Process Process::Start(const ProcessSpec& spec) {
    if (spec.argv.empty()) throw std::runtime_error("no program to start");
    std::vector<std::string> args = spec.argv;
    std::vector<std::string> env;
    for (const auto& [key, value] : spec.environment) env.push_back(key + "=" + value);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    int report[2], toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
    if (pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    int childIn, childOut;
    if (spec.pipes) {
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        childIn = toChild[0];
        childOut = fromChild[1];
    } else {
        childIn = open("/dev/null", O_RDONLY | O_CLOEXEC);
        childOut = open(spec.output.empty() ? "/dev/null" : spec.output.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }

    std::unique_lock lock(g_groupsMutex);
    const pid_t pid = g_closed ? -1 : fork();
    if (pid == 0) ExecChild(spec, argv.data(), envp.data(), childIn, childOut, report[1]);
    close(report[1]);
    close(childIn);
    close(childOut);
    if (pid < 0) {
        close(report[0]);
        throw std::runtime_error(g_closed ? "the run is being stopped" : "fork failed");
    }
    setpgid(pid, pid);  // also here, so the group exists before we signal it
    g_groups.insert(pid);
    lock.unlock();

    Process process;
    process.pid_ = pid;
    if (spec.pipes) {
        process.in_ = toChild[1];
        process.out_ = fromChild[0];
    }
    int error = 0;
    const ssize_t got = read(report[0], &error, sizeof error);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        process.WaitExit(Ms(5000));
        throw std::runtime_error("cannot start " + spec.argv[0] + ": " + std::strerror(error));
    }
    return process;
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (pid_ > 0) Kill();
        Release();
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
        in_ = std::exchange(other.in_, -1);
        out_ = std::exchange(other.out_, -1);
    }
    return *this;
}

Process::~Process() {
    if (pid_ > 0) Kill();
    Release();
}

void Process::Release() {
    CloseInput();
    if (out_ >= 0) close(out_);
    out_ = -1;
}

void Process::CloseInput() {
    if (in_ >= 0) close(in_);
    in_ = -1;
}

void Process::Reap(int status) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // The group stays registered: programs the process started may live on
    // in it, and the emergency stop must still reach them.
}

bool Process::Running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == pid_) Reap(status);
    if (got < 0 && errno == ECHILD) status_ = -1;  // reaped with the orphans
    return !status_;
}

std::optional<int> Process::WaitExit(Ms timeout) {
    WaitUntil([&] { return !Running(); }, timeout, Ms(20));
    return status_;
}

void Process::Stop(Ms grace) {
    if (!Running()) return;
    if (grace.count() > 0) {
        kill(-pid_, SIGTERM);
        if (WaitExit(grace)) return;
    }
    kill(-pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) Reap(status);
    if (!status_) status_ = -1;
}

Environment CurrentEnvironment(const Environment& set, const std::vector<std::string>& remove) {
    Environment env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = text.substr(0, equals);
        bool dropped = false;
        for (const std::string& r : remove) dropped = dropped || r == key;
        for (const auto& s : set) dropped = dropped || s.first == key;
        if (!dropped) env.emplace_back(key, text.substr(equals + 1));
    }
    env.insert(env.end(), set.begin(), set.end());
    return env;
}

std::optional<int> RunToEnd(const ProcessSpec& spec, Ms timeout) {
    Process process = Process::Start(spec);
    std::optional<int> status = process.WaitExit(timeout);
    if (!status) process.Kill();
    return status;
}

void KillAllRegisteredGroups() {
    std::lock_guard lock(g_groupsMutex);
    g_closed = true;
    for (pid_t group : g_groups) kill(-group, SIGKILL);
}

std::vector<pid_t> ProcessesWithEnvironment(const std::string& entry) {
    std::vector<pid_t> found;
    for (const auto& dir : std::filesystem::directory_iterator("/proc")) {
        const std::string name = dir.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(dir.path() / "environ", std::ios::binary);
        std::string variable;
        while (std::getline(in, variable, '\0')) {
            if (variable == entry) {
                found.push_back(static_cast<pid_t>(std::stol(name)));
                break;
            }
        }
    }
    return found;
}

}  // namespace orvan::e2e
