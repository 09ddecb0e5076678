#include "wine.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "host.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The entry of `dir` named `name` regardless of case, or `name` itself.
std::string ExistingName(const fs::path& dir, const std::string& name) {
    std::error_code error;
    if (fs::exists(dir / name, error)) return name;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        const std::string candidate = entry.path().filename().string();
        if (SameNameIgnoringCase(candidate, name)) return candidate;
    }
    return name;
}

bool IsWindowsPath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// A kept prefix holds this file: which Wine booted it, and for which kind of run.
constexpr const char* kKeptStamp = "orvan-kept-prefix.txt";

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A prefix copied whole, its links as links (drive letters, the user's
// folders); false, with nothing left at `to`, when any of it cannot be.
bool CopyPrefix(const fs::path& from, const fs::path& to) {
    std::error_code error;
    RemoveTree(to, error);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (!error) return true;
    RemoveTree(to, error);
    return false;
}

// Debian's 64-bit loader; /usr/bin/wine always prefers the 32-bit one.
constexpr const char* kWine64Loader = "/usr/lib/wine/wine64";
constexpr const char* kWine32Loader = "/usr/lib/wine/wine";

#ifndef ORVAN_SCRIPTS_DIR
#error "ORVAN_SCRIPTS_DIR must name the project's scripts folder"
#endif

// Lays out the loaders that start 32-bit processes under qemu-i386 in `dir`
// (scripts/wine-emulated.sh); the 64-bit loader to run.
std::string EmulatedLoader(const fs::path& dir, const fs::path& log) {
    ProcessSpec spec;
    spec.argv = {"/bin/bash", ORVAN_SCRIPTS_DIR "/wine-emulated.sh", dir.string()};
    spec.environment = CurrentEnvironment({}, {});
    spec.output = log;
    const std::optional<int> status = RunToEnd(spec, Ms(60000));
    if (!status || *status != 0) {
        throw std::runtime_error("cannot lay out the emulated 32-bit Wine (see " + log.string() + ")");
    }
    return (dir / "lib" / "wine" / "wine64").string();
}

}  // namespace

WineArch ArchOf(const fs::path& exe) {
    std::ifstream in(exe, std::ios::binary);
    unsigned char dos[64] = {};
    if (!in.read(reinterpret_cast<char*>(dos), sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
        throw std::runtime_error(exe.string() + " is not a Windows program");
    }
    const std::uint32_t peOffset = dos[60] | dos[61] << 8 | dos[62] << 16 | static_cast<std::uint32_t>(dos[63]) << 24;
    unsigned char pe[6] = {};
    in.seekg(peOffset);
    if (!in.read(reinterpret_cast<char*>(pe), sizeof pe) || pe[0] != 'P' || pe[1] != 'E') {
        throw std::runtime_error(exe.string() + " has no PE header");
    }
    const unsigned machine = pe[4] | pe[5] << 8;
    if (machine == 0x14c) return WineArch::Win32;
    if (machine == 0x8664) return WineArch::Win64;
    throw std::runtime_error(exe.string() + " is for an unknown machine");
}

bool MachineRuns32BitCode() {
    ProcessSpec spec;
    spec.argv = {kWine32Loader, "--version"};
    spec.environment = CurrentEnvironment({}, {});
    try {
        const std::optional<int> status = RunToEnd(spec, Ms(20000));
        return status && *status == 0;
    } catch (const std::exception&) {
        return false;
    }
}

const char* ArchName(WineArch arch) { return arch == WineArch::Win32 ? "win32" : "win64"; }

bool Native32BitWine() {
    const char* chosen = std::getenv("ORVAN_WINE32");
    const std::string how = chosen ? chosen : "";
    if (how == "emulated") return false;
    if (!how.empty()) throw std::runtime_error("ORVAN_WINE32 can only be emulated, not " + how);
    return MachineRuns32BitCode();
}

WineKind KindFor(WineArch arch, WineArch prefix) {
    if (arch == WineArch::Win64) return WineKind::Native64;
    if (!Native32BitWine()) return WineKind::Emulated32;
    return prefix == WineArch::Win32 ? WineKind::Native32 : WineKind::Wow64;
}

std::string Describe(WineKind kind) {
    switch (kind) {
    case WineKind::Native32:
        return "32-bit program under 32-bit Wine";
    case WineKind::Wow64:
        return "32-bit program under 32-bit Wine, in a 64-bit prefix";
    case WineKind::Emulated32:
        return "32-bit program under emulated 32-bit Wine (qemu-i386), in a 64-bit prefix";
    case WineKind::Native64:
        return "64-bit build under 64-bit Wine";
    }
    return "unknown Wine";
}

WineSession::WineSession(fs::path prefix, fs::path home, std::string display, fs::path log, WineKind kind)
    : prefix_(std::move(prefix)),
      home_(std::move(home)),
      display_(std::move(display)),
      log_(std::move(log)),
      kind_(kind) {
    // Whatever an earlier run killed outright may have left in the prefix,
    // a mount or an immutable folder of a refusal test among it.
    for (pid_t pid : RunningProcesses()) kill(pid, SIGKILL);
    std::error_code error;
    RemoveTree(prefix_, error);
    if (error) throw std::runtime_error("cannot remove the old prefix " + prefix_.string() + ": " + error.message());
    fs::remove_all(home_);
    fs::create_directories(prefix_);
    fs::create_directories(home_);
    switch (kind_) {
    case WineKind::Native32:
        loader_ = kWine32Loader;
        break;
    case WineKind::Wow64:
    case WineKind::Native64:
        loader_ = kWine64Loader;
        break;
    case WineKind::Emulated32:
        loader_ = EmulatedLoader(prefix_.parent_path() / (prefix_.filename().string() + "-loaders"), log_);
        break;
    }
    // A prefix booted before by the same Wine comes back in seconds; else
    // one is booted and kept for the next session.
    const fs::path kept = KeptPrefix();
    const std::string stamp = std::string(Describe(kind_)) + "\n" + WineVersion();
    if (ReadText(kept / kKeptStamp) == stamp && CopyPrefix(kept, prefix_)) {
        StartServer();
        return;
    }
    StartServer();
    Boot();
    KeepPrefix(kept, stamp);
}

void WineSession::StartServer() {
    // Our own wineserver, in the foreground and persistent, so the prefix
    // does not start and stop one per program, and we hold its process.
    ProcessSpec server = WineSpec({"wineserver", "-f", "-p"}, {});
    server.dieWithUs = true;  // when it dies, every Wine process goes with it
    server_ = Process::Start(server);
}

void WineSession::Boot() {
    // A 64-bit prefix's 32-bit half is filled by a 32-bit process: minutes
    // under emulation.
    const Ms bootLimit = Emulated() ? Ms(900000) : Ms(120000);
    const std::optional<int> booted = RunToEnd(WineSpec({"wine", "wineboot.exe", "-i"}, {}), bootLimit);
    if (!booted || *booted != 0) {
        Shutdown();
        throw std::runtime_error(
            (booted ? "wineboot failed with status " + std::to_string(*booted)
                    : "wineboot did not end within " + std::to_string(bootLimit.count() / 1000) + " s") +
            " (see " + log_.string() + ")");
    }
    // wineboot answers 0 even when its 32-bit half could not run.
    if (Emulated()) {
        const fs::path wow = prefix_ / "drive_c" / "windows" / "syswow64";
        for (const char* file : {"kernel32.dll", "user32.dll", "notepad.exe"}) {
            if (!fs::exists(wow / file)) {
                Shutdown();
                throw std::runtime_error("the prefix's 32-bit half has no " + std::string(file) +
                                         ": the emulated 32-bit Wine did not run (see " + log_.string() + ")");
            }
        }
    }
    // There is no window manager: left "managed", every window Wine hides
    // waits two seconds for a WM_STATE change that never comes.
    const std::optional<int> unmanaged = RunToEnd(
        WineSpec({"wine", "reg.exe", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"}, {}),
        Ms(30000));
    if (!unmanaged || *unmanaged != 0) {
        Shutdown();
        throw std::runtime_error("cannot configure Wine's X11 driver (see " + log_.string() + ")");
    }
}

fs::path WineSession::KeptPrefix() const { return prefix_.parent_path() / (prefix_.filename().string() + "-kept"); }

std::string WineSession::WineVersion() const {
    ProcessSpec spec;
    spec.argv = {loader_, "--version"};
    spec.environment = CurrentEnvironment({}, {"WINELOADER", "WINESERVER"});
    spec.output = prefix_.parent_path() / (prefix_.filename().string() + "-wine-version.txt");
    fs::remove(spec.output);
    const std::optional<int> status = RunToEnd(spec, Ms(20000));
    std::string version = ReadText(spec.output);
    fs::remove(spec.output);
    while (!version.empty() && std::isspace(static_cast<unsigned char>(version.back()))) version.pop_back();
    return status && *status == 0 ? version : std::string();
}

void WineSession::KeepPrefix(const fs::path& kept, const std::string& stamp) {
    if (stamp.ends_with("\n")) return;  // no version known: nothing to match a later Wine with
    // The server writes the registry out as it ends (SIGTERM), and the
    // prefix's own processes end with it; a new one then serves the session.
    // On a busy machine the writing takes seconds: `wineserver -k` would
    // kill the server outright after two, and leave the prefix without its
    // registry, for this run and every run that copies it.
    server_.Stop(Ms(120000));
    // The prefix's services end once they find the server gone; any that
    // does not is of no use without it and would outlive the run.
    if (!WaitUntil([&] { return RunningProcesses().empty(); }, Ms(30000))) KillLeftovers();
    const std::string registry = ReadText(prefix_ / "system.reg");
    if (registry.find("[Software\\\\Classes\\\\CLSID") == std::string::npos) {
        Shutdown();
        throw std::runtime_error("the booted prefix's registry was not written out (see " + log_.string() + ")");
    }
    const fs::path partial = kept.parent_path() / (kept.filename().string() + ".partial");
    std::error_code error;
    RemoveTree(partial, error);
    RemoveTree(kept, error);
    if (CopyPrefix(prefix_, partial)) {
        std::ofstream(partial / kKeptStamp, std::ios::binary) << stamp;
        fs::rename(partial, kept, error);
    }
    RemoveTree(partial, error);
    StartServer();
}

WineSession::~WineSession() { Shutdown(); }

Environment WineSession::WineEnvironment(const Environment& extra) const {
    // Wine's own tracing, to chase a failure: ORVAN_E2E_WINEDEBUG=+msg, say.
    const char* debug = std::getenv("ORVAN_E2E_WINEDEBUG");
    Environment set = {
        {"DISPLAY", display_},
        {"WINEPREFIX", prefix_.string()},
        {"WINEARCH", ArchName(PrefixArch())},
        {"WINEDEBUG", debug && *debug ? debug : "-all"},
        // No Mono or Gecko installer prompts, no menu entries or file
        // associations written into the user's desktop.
        {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
        {"HOME", home_.string()},
        {"XDG_CONFIG_HOME", (home_ / ".config").string()},
        {"XDG_DATA_HOME", (home_ / ".local/share").string()},
        {"XDG_CACHE_HOME", (home_ / ".cache").string()},
    };
    // Wine starts every further process through the loader named here.
    if (kind_ != WineKind::Native32) set.emplace_back("WINELOADER", loader_);
    for (const auto& [name, value] : extra) {
        // A test's overrides come after ours, so they win for the libraries they name.
        if (name == "WINEDLLOVERRIDES") {
            for (auto& [ours, overrides] : set)
                if (ours == name) overrides += ";" + value;
        } else {
            set.emplace_back(name, value);
        }
    }
    return CurrentEnvironment(set, {"WAYLAND_DISPLAY", "WINESERVER", "WINELOADER"});
}

ProcessSpec WineSession::WineSpec(std::vector<std::string> argv, const Environment& extra) const {
    ProcessSpec spec;
    spec.argv = std::move(argv);
    if (spec.argv.front() == "wine") spec.argv.front() = loader_;
    spec.environment = WineEnvironment(extra);
    spec.output = log_;
    spec.directory = prefix_ / "drive_c";
    if (!fs::exists(spec.directory)) spec.directory = prefix_;
    return spec;
}

Process WineSession::Launch(const std::string& exe, const std::vector<std::string>& args,
                            const LaunchOptions& options) const {
    std::vector<std::string> argv = {"wine", exe};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessSpec spec = WineSpec(argv, options.environment);
    spec.pipes = options.pipes;
    if (!options.directory.empty()) {
        spec.directory = IsWindowsPath(options.directory) ? UnixPath(options.directory) : fs::path(options.directory);
    }
    return Process::Start(spec);
}

std::optional<RunResult> WineSession::Run(const std::string& exe, const std::vector<std::string>& args,
                                          Ms timeout) const {
    LaunchOptions options;
    options.pipes = true;
    Process process = Launch(exe, args, options);
    process.CloseInput();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    RunResult result;
    // Until the end of the output, or until the program has ended and left
    // nothing more to read (a program it started may hold the pipe open).
    for (;;) {
        const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            process.Kill();
            return std::nullopt;
        }
        pollfd ready{process.OutFd(), POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::min<Ms::rep>(left.count(), 100)));
        if (polled > 0) {
            char buffer[4096];
            const ssize_t got = read(process.OutFd(), buffer, sizeof buffer);
            if (got > 0) {
                result.output.append(buffer, static_cast<size_t>(got));
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            break;  // the end of the output
        }
        if (polled < 0 && errno == EINTR) continue;
        if (!process.Running()) break;
    }
    const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
    const std::optional<int> status = process.WaitExit(std::max(left, Ms(0)));
    if (!status) {
        process.Kill();
        return std::nullopt;
    }
    result.status = *status;
    return result;
}

std::string WineSession::WindowsPath(const fs::path& unixPath) const {
    const fs::path absolute = fs::absolute(unixPath).lexically_normal();
    const fs::path driveC = (prefix_ / "drive_c").lexically_normal();
    const fs::path underC = absolute.lexically_relative(driveC);
    std::string path;
    if (!underC.empty() && *underC.begin() != "..") {
        path = "C:\\" + (underC == "." ? std::string() : underC.string());
    } else {
        path = "Z:" + absolute.string();
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

fs::path WineSession::UnixPath(const std::string& windowsPath) const {
    if (!IsWindowsPath(windowsPath)) {
        throw std::invalid_argument("not a Windows path with a drive: " + windowsPath);
    }
    const std::string drive(1, static_cast<char>(std::tolower(windowsPath[0])));
    const fs::path devices = prefix_ / "dosdevices";
    fs::path link = fs::read_symlink(devices / (drive + ":"));
    fs::path path = (link.is_absolute() ? link : devices / link).lexically_normal();
    std::string rest = windowsPath.substr(2);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    for (const auto& part : fs::path(rest).relative_path()) {
        if (part.empty()) continue;
        path /= ExistingName(path, part.string());
    }
    return path;
}

void WineSession::KillAllPrograms() const { RunToEnd(WineSpec({"wineserver", "-k"}, {}), Ms(20000)); }

std::vector<pid_t> WineSession::RunningProcesses() const {
    return ProcessesWithEnvironment("WINEPREFIX=" + prefix_.string());
}

void WineSession::KillLeftovers() const {
    for (int round = 0; round < 20 && !RunningProcesses().empty(); ++round) {
        for (pid_t pid : RunningProcesses()) kill(pid, SIGKILL);
        std::this_thread::sleep_for(Ms(100));
    }
}

bool WineSession::Shutdown() {
    if (shutDown_) return true;
    shutDown_ = true;
    KillAllPrograms();
    server_.Stop(Ms(5000));
    // Anything that outlived the server (a loader between fork and connect)
    // is found by its environment; that counts as a leftover. A process ends
    // once it finds the server gone, which on a busy machine takes seconds.
    const bool clean = WaitUntil([&] { return RunningProcesses().empty(); }, Ms(30000));
    KillLeftovers();
    std::error_code error;
    RemoveTree(prefix_, error);
    return clean;
}

namespace {
constexpr const char* kWineSettings = R"(HKCU\Software\Wine)";
}

OlderWindows::OlderWindows(const WineSession& wine, const std::string& version) : wine_(wine) {
    const std::optional<RunResult> added =
        wine_.Run("reg", {"add", kWineSettings, "/v", "Version", "/d", version, "/f"}, Ms(60000));
    set_ = added && added->status == 0;
}

OlderWindows::~OlderWindows() { wine_.Run("reg", {"delete", kWineSettings, "/v", "Version", "/f"}, Ms(60000)); }

}  // namespace orvan::e2e
