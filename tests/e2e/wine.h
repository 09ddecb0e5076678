// A private Wine prefix with its own persistent wineserver, on the private
// display: the Windows machine the tests run programs on.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "process.h"

namespace orvan::e2e {

// The architecture of a Windows program, and of a prefix (WINEARCH).
enum class WineArch { Win32, Win64 };

// How Wine runs the programs under test.
enum class WineKind {
    // The 32-bit Wine, natively, in a 32-bit prefix.
    Native32,
    // A 64-bit prefix whose 32-bit processes run natively: the 32-bit
    // program as 64-bit Windows runs it (its own program folder, the
    // registry's 32-bit view).
    Wow64,
    // A 64-bit prefix whose 32-bit processes run under qemu-i386 user-mode
    // emulation: the same, on a machine without a 32-bit mode.
    Emulated32,
    // The 64-bit Wine in a 64-bit prefix, for the 64-bit build.
    Native64,
};

// The architecture a Windows program was built for, from its PE header;
// throws std::runtime_error when the file is no Windows program.
WineArch ArchOf(const std::filesystem::path& exe);
// Whether this machine can run 32-bit x86 code at all: some virtual
// machines have no 32-bit mode, and there the 32-bit Wine cannot start.
bool MachineRuns32BitCode();
// "win32" or "win64", as WINEARCH spells it.
const char* ArchName(WineArch arch);
// The Wine that runs a program built for `arch` in a prefix of `prefix`'s
// architecture on this machine: 32-bit processes run natively where the
// machine can, emulated elsewhere (then always in a 64-bit prefix).
// ORVAN_WINE32=emulated asks for the emulation anywhere.
WineKind KindFor(WineArch arch, WineArch prefix);
// Whether 32-bit processes run natively here, unless ORVAN_WINE32 says
// emulated.
bool Native32BitWine();
// What a run tests, said the same way everywhere: "32-bit program under
// emulated 32-bit Wine", "64-bit build under 64-bit Wine".
std::string Describe(WineKind kind);

struct LaunchOptions {
    // Current directory of the program: a Windows path ("C:\\x", "Z:\\tmp")
    // or a unix one; empty means C:\.
    std::string directory;
    // Added to the program's environment (Wine passes it on to Windows);
    // WINEDLLOVERRIDES is added to the session's own overrides.
    Environment environment;
    // stdin and stdout as pipes to the test (console programs).
    bool pipes = false;
};

// What a program run to its end left: its exit status and what it wrote to
// its standard output.
struct RunResult {
    int status = -1;
    std::string output;
};

class WineSession {
public:
    // Creates the prefix afresh in `prefix` (removing what was there) and
    // starts its wineserver: a copy of the prefix an earlier session of the
    // same kind and Wine booted and kept beside it (`prefix`-kept), or else
    // a new one, booted with wineboot and then kept. `home` becomes HOME and the
    // XDG folders of every Wine process, so nothing lands in the user's
    // home; an emulated Wine's loaders are laid out beside the prefix.
    // Throws std::runtime_error when Wine cannot be set up.
    WineSession(std::filesystem::path prefix, std::filesystem::path home, std::string display,
                std::filesystem::path log, WineKind kind);
    ~WineSession();  // Shutdown()
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    const std::filesystem::path& Prefix() const { return prefix_; }
    const std::string& Display() const { return display_; }
    WineKind Kind() const { return kind_; }
    // The architecture of the programs under test.
    WineArch Arch() const { return kind_ == WineKind::Native64 ? WineArch::Win64 : WineArch::Win32; }
    // The prefix's own architecture: 64-bit wherever 32-bit code is emulated.
    WineArch PrefixArch() const { return kind_ == WineKind::Native32 ? WineArch::Win32 : WineArch::Win64; }
    // Whether a 32-bit process start costs the emulation's minute.
    bool Emulated() const { return kind_ == WineKind::Emulated32; }

    // Starts a Windows program under wine: `exe` is a unix path, a Windows
    // path or a bare name such as "notepad".
    Process Launch(const std::string& exe, const std::vector<std::string>& args = {},
                   const LaunchOptions& options = {}) const;
    // Runs a Windows program (as Launch) to its end, collecting its standard
    // output; nullopt when it had to be ended after `timeout`. Programs it
    // started and left running are not waited for.
    std::optional<RunResult> Run(const std::string& exe, const std::vector<std::string>& args, Ms timeout) const;

    // The Windows path for a unix path: under drive_c it is C:\..., anything
    // else Z:\... (the unix root).
    std::string WindowsPath(const std::filesystem::path& unixPath) const;
    // The unix path for a Windows path, through the prefix's drive letters.
    // Windows names are not case-sensitive: each existing component is
    // matched regardless of case, the others are kept as written.
    std::filesystem::path UnixPath(const std::string& windowsPath) const;

    // Ends every process of the prefix (wineserver -k).
    void KillAllPrograms() const;
    // Unix ids of the processes still running in the prefix.
    std::vector<pid_t> RunningProcesses() const;
    // Kills what still runs in the prefix once its server is gone.
    void KillLeftovers() const;
    // Ends everything, stops the wineserver and removes the prefix; true
    // when no process of the prefix was left over.
    bool Shutdown();

private:
    void StartServer();
    // wineboot, and Wine's X11 driver told there is no window manager.
    void Boot();
    std::filesystem::path KeptPrefix() const;
    // What the loader says of itself ("wine-8.0 (Debian ...)"); empty when
    // it says nothing.
    std::string WineVersion() const;
    // Keeps a copy of the freshly booted prefix, stamped, for later sessions.
    void KeepPrefix(const std::filesystem::path& kept, const std::string& stamp);

    Environment WineEnvironment(const Environment& extra) const;
    ProcessSpec WineSpec(std::vector<std::string> argv, const Environment& extra) const;

    std::filesystem::path prefix_;
    std::filesystem::path home_;
    std::string display_;
    std::filesystem::path log_;
    WineKind kind_;
    // The loader that starts every program, and that Wine re-executes.
    std::string loader_;
    Process server_;
    bool shutDown_ = false;
};

// While it lives, the prefix's programs are told an older Windows (Wine's
// per-user "Version" setting); taken back whatever happens.
class OlderWindows {
public:
    OlderWindows(const WineSession& wine, const std::string& version);
    ~OlderWindows();
    OlderWindows(const OlderWindows&) = delete;
    OlderWindows& operator=(const OlderWindows&) = delete;
    bool Set() const { return set_; }

private:
    const WineSession& wine_;
    bool set_ = false;
};

}  // namespace orvan::e2e
