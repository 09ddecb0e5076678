// A private Wine prefix with its own persistent wineserver, on the private
// display: the Windows machine the tests run programs on.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "process.h"

namespace orvan::e2e {

// Which Wine runs the programs: the 32-bit one for the shipping build, the
// 64-bit one for the 64-bit build.
enum class WineArch { Win32, Win64 };

// The architecture a Windows program was built for, from its PE header;
// throws std::runtime_error when the file is no Windows program.
WineArch ArchOf(const std::filesystem::path& exe);
// Whether this machine can run 32-bit x86 code at all: some virtual
// machines have no 32-bit mode, and there the 32-bit Wine cannot start.
bool MachineRuns32BitCode();
// "win32" or "win64", as WINEARCH spells it.
const char* ArchName(WineArch arch);

struct LaunchOptions {
    // Current directory of the program: a Windows path ("C:\\x", "Z:\\tmp")
    // or a unix one; empty means C:\.
    std::string directory;
    // Added to the program's environment (Wine passes it on to Windows).
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
    // Creates the prefix afresh in `prefix` (removing what was there),
    // starts its wineserver and runs wineboot. `home` becomes HOME and the
    // XDG folders of every Wine process, so nothing lands in the user's
    // home. Throws std::runtime_error when Wine cannot be set up.
    WineSession(std::filesystem::path prefix, std::filesystem::path home, std::string display,
                std::filesystem::path log, WineArch arch);
    ~WineSession();  // Shutdown()
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    const std::filesystem::path& Prefix() const { return prefix_; }
    const std::string& Display() const { return display_; }
    WineArch Arch() const { return arch_; }

    // Starts a Windows program under wine: `exe` is a unix path, a Windows
    // path or a bare name such as "notepad".
    Process Launch(const std::string& exe, const std::vector<std::string>& args = {},
                   const LaunchOptions& options = {}) const;
    // Runs a Windows program (as Launch) to its end, collecting its standard
    // output; nullopt when it had to be ended after `timeout`. Programs it
    // started and left running are not waited for.
    std::optional<RunResult> Run(const std::string& exe, const std::vector<std::string>& args,
                                 Ms timeout) const;

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
    // Ends everything, stops the wineserver and removes the prefix; true
    // when no process of the prefix was left over.
    bool Shutdown();

private:
    Environment WineEnvironment(const Environment& extra) const;
    ProcessSpec WineSpec(std::vector<std::string> argv, const Environment& extra) const;

    std::filesystem::path prefix_;
    std::filesystem::path home_;
    std::string display_;
    std::filesystem::path log_;
    WineArch arch_;
    Process server_;
    bool shutDown_ = false;
};

}  // namespace orvan::e2e
