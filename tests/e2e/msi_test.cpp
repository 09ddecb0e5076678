// The release's MSI under Wine's msiexec, as an administrator deploys it:
// silent install of an earlier version beside a user's settings file, the
// release's MSI upgrading it in place with a preset settings file, the
// console started from the Start-menu shortcut beginning from that preset,
// and a silent uninstall that keeps the settings. One test, since each step
// starts from the last. msiexec itself is the 64-bit one in a 64-bit prefix,
// so only the console is a 32-bit process there.
//
// The MSI is the one scripts/package.sh writes for the build under test (the
// x86 one of the release, or the x64 one where the machine has no 32-bit
// mode); the earlier version is built here by packaging/msi.sh from the same
// staged files.
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>

#include "console_fixture.h"
#include "signature.h"
#include "version.h"

#ifndef ORVAN_PACKAGE_DIR
#error "ORVAN_PACKAGE_DIR must name the folder of the release packages"
#endif
#ifndef ORVAN_PACKAGE_WIN64_DIR
#error "ORVAN_PACKAGE_WIN64_DIR must name the folder of the 64-bit build's packages"
#endif
#ifndef ORVAN_SOURCE_DIR
#error "ORVAN_SOURCE_DIR must name the source tree (packaging/msi.sh)"
#endif
#ifndef ORVAN_PICTURES_DIR
#error "ORVAN_PICTURES_DIR must name the picture generator's output (the icon)"
#endif

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kReleaseVersion = ORVAN_VERSION "." ORVAN_REVISION_TEXT;
constexpr const char* kEarlierVersion = "1.00." ORVAN_REVISION_TEXT;
constexpr const char* kUninstall = R"(Microsoft\Windows\CurrentVersion\Uninstall)";

// An entry of the list of installed programs: its key's last part (the
// product code) and its values.
struct Entry {
    std::string key;
    std::map<std::string, std::string> values;
};

// Every entry under one registry view's Uninstall key named "Orvan 97", from
// `reg query /s`'s lines: a key's full name, then "    Name    REG_SZ    Data".
std::vector<Entry> OrvanEntries(const std::string& listing) {
    std::vector<Entry> entries;
    std::optional<Entry> current;
    auto finish = [&] {
        if (current && current->values["DisplayName"] == "Orvan 97") entries.push_back(*current);
        current.reset();
    };
    size_t at = 0;
    while (at < listing.size()) {
        size_t end = listing.find('\n', at);
        if (end == std::string::npos) end = listing.size();
        std::string line = listing.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.rfind("HKEY_", 0) == 0) {
            finish();
            current = Entry{line.substr(line.rfind('\\') + 1), {}};
            continue;
        }
        const size_t type = line.find("    REG_");
        if (!current || line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
        const size_t data = line.find("    ", type + 4);
        current->values[line.substr(4, type - 4)] = data == std::string::npos ? "" : line.substr(data + 4);
    }
    finish();
    return entries;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class Msi : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        if (HasFatalFailure()) return;
        const bool win32 = Wine().Arch() == WineArch::Win32;
        arch_ = win32 ? "win32" : "win64";
        release_ = fs::path(win32 ? ORVAN_PACKAGE_DIR : ORVAN_PACKAGE_WIN64_DIR) /
                   ("orvan97-" ORVAN_VERSION "-" + arch_ + ".msi");
        ASSERT_TRUE(fs::is_regular_file(release_)) << release_ << " is missing: run scripts/package.sh"
                                                   << (win32 ? "" : " --arch win64") << " after the build";
        static bool said = false;
        if (!said) {
            std::cout << "e2e: installing " << release_.string() << " with msiexec" << std::endl;
            said = true;
        }
        x86OnX64_ = win32 && Wine().PrefixArch() == WineArch::Win64;
        installDir_ = x86OnX64_ ? R"(C:\Program Files (x86)\Orvan 97)" : R"(C:\Program Files\Orvan 97)";
    }

    void TearDown() override {
        ConsoleTest::TearDown();  // ends what the test left running first
        for (const fs::path& package : {earlier_, release_})
            if (!package.empty()) Wine().Run("msiexec", {"/x", Wine().WindowsPath(package), "/qn"}, 120s);
    }

    // packaging/msi.sh, as scripts/package.sh runs it, for an earlier version
    // of the same staged files.
    fs::path BuildEarlier() {
        earlier_ = Scratch() / ("orvan97-1.00-" + arch_ + ".msi");
        ProcessSpec spec;
        spec.argv = {"bash",      ORVAN_SOURCE_DIR "/packaging/msi.sh",
                     "--arch",    arch_,
                     "--stage",   (Session::Get().Win32Dir() / "package-stage").string(),
                     "--icon",    ORVAN_PICTURES_DIR "/orvan97.ico",
                     "--version", kEarlierVersion,
                     "--epoch",   "852076800",
                     "--out",     earlier_.string()};
        spec.environment = CurrentEnvironment({}, {});
        spec.output = Scratch() / "msi.log";
        const std::optional<int> status = RunToEnd(spec, 120s);
        EXPECT_EQ(status.value_or(-1), 0) << ReadFile(spec.output).value_or("");
        return earlier_;
    }

    // Each run logs verbosely into the test's scratch folder, which stays
    // after the run; a failure names its log.
    int Msiexec(std::vector<std::string> args) {
        const fs::path log = Scratch() / ("msiexec-" + std::to_string(++runs_) + ".log");
        args.insert(args.end(), {"/l*v", Wine().WindowsPath(log)});
        const std::optional<RunResult> result = Wine().Run("msiexec", args, 300s);
        if (!result) ADD_FAILURE() << "msiexec did not end within 300 s";
        if (result && result->status != 0)
            std::cout << "e2e: msiexec ended with " << result->status << ", log " << log.string() << "\n"
                      << result->output << std::endl;
        return result ? result->status : -1;
    }

    // The entries named "Orvan 97" in the registry's 32-bit view (WOW6432Node
    // as the 64-bit side sees it) or in its native view.
    std::vector<Entry> Entries(bool wow6432) {
        const std::string key = std::string(R"(HKLM\Software\)") + (wow6432 ? R"(WOW6432Node\)" : "") + kUninstall;
        const std::optional<RunResult> query = Wine().Run("reg", {"query", key, "/s"}, 60s);
        // A view without any uninstall entry has no such key: none, not a failure.
        if (query && query->status != 0 && query->output.find("Unable to find") != std::string::npos) return {};
        if (!query || query->status != 0) {
            ADD_FAILURE() << "reg query " << key << " failed: " << (query ? query->status : -1) << "\n"
                          << (query ? query->output : "");
            return {};
        }
        return OrvanEntries(query->output);
    }
    // The view the package registers in, and the other one, which must hold
    // nothing (a 32-bit prefix has only one).
    std::vector<Entry> OwnEntries() { return Entries(x86OnX64_); }
    std::vector<Entry> OtherViewEntries() {
        return Wine().PrefixArch() == WineArch::Win64 ? Entries(!x86OnX64_) : std::vector<Entry>{};
    }

    std::string Variable(const std::string& name) {
        const std::optional<RunResult> echo = Wine().Run("cmd", {"/c", "echo", "%" + name + "%"}, 60s);
        std::string value = echo ? echo->output : "";
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
            value.pop_back();
        return value;
    }
    // The shortcut is for all users; Wine puts it in the installing user's
    // own Start menu instead, so either place counts.
    std::optional<std::string> Shortcut() {
        for (const char* root : {"ProgramData", "APPDATA"}) {
            const std::string link = Variable(root) + R"(\Microsoft\Windows\Start Menu\Programs\Orvan 97.lnk)";
            if (fs::is_regular_file(Wine().UnixPath(link))) return link;
        }
        return std::nullopt;
    }

    fs::path InstallDir() { return Wine().UnixPath(installDir_); }

    std::string arch_;
    fs::path release_;
    fs::path earlier_;
    bool x86OnX64_ = false;
    std::string installDir_;
    int runs_ = 0;
};

TEST_F(Msi, UpgradesInPlaceStartsFromItsShortcutWithThePresetAndUninstallsKeepingTheSettings) {
    // An administrator's preset: the run method and a first user task.
    const std::string preset = FirstRunFile("4", {{1, "notepad.exe"}});
    const fs::path presetFile = Scratch() / "preset.ini";
    std::ofstream(presetFile, std::ios::binary) << preset;
    const std::string presetArg = "PRESET_SETTINGS=" + Wine().WindowsPath(presetFile);

    // The earlier version, on a machine where a settings file exists: the
    // preset leaves it alone.
    const std::string users = FirstRunFile("6");
    WriteSettings(users);
    const fs::path earlier = BuildEarlier();
    ASSERT_EQ(Msiexec({"/i", Wine().WindowsPath(earlier), "/qn", presetArg}), 0);
    EXPECT_EQ(Settings().value_or("(none)"), users) << "the preset replaced an existing settings file";
    std::vector<Entry> entries = OwnEntries();
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].values["DisplayVersion"], kEarlierVersion);
    const std::string earlierCode = entries[0].key;

    // The release over it, where no settings file exists: one entry, the
    // release's, in the package's registry view only; the preset in place.
    fs::remove(SettingsPath());
    ASSERT_EQ(Msiexec({"/i", Wine().WindowsPath(release_), "/qn", presetArg}), 0);
    entries = OwnEntries();
    ASSERT_EQ(entries.size(), 1U) << "an upgrade leaves one entry; in the other registry view: "
                                  << OtherViewEntries().size();
    EXPECT_NE(entries[0].key, earlierCode);
    EXPECT_EQ(entries[0].values["DisplayVersion"], kReleaseVersion);
    EXPECT_EQ(entries[0].values["Publisher"], "The Orvan 97 authors");
    EXPECT_NE(entries[0].values["UninstallString"].find(entries[0].key), std::string::npos);
    EXPECT_EQ(Lower(entries[0].values["InstallLocation"]), Lower(installDir_ + "\\"));
    EXPECT_TRUE(OtherViewEntries().empty()) << "an entry in the other registry view";
    EXPECT_TRUE(SameProgram(InstallDir() / "orvan97.exe", Session::Get().Win32File("orvan97.exe")))
        << "the MSI must hold the program under test: run scripts/package.sh after the build";
    ExpectSignedAsThePackages(InstallDir() / "orvan97.exe");
    EXPECT_EQ(ReadFile(InstallDir() / "LICENSE.txt"),
              ReadFile(Session::Get().Win32Dir() / "package-stage" / "LICENSE.txt"));
    EXPECT_EQ(ReadFile(InstallDir() / "README.txt"),
              ReadFile(Session::Get().Win32Dir() / "package-stage" / "README.txt"));
    EXPECT_EQ(Settings().value_or("(none)"), preset);

    // The console from the Start menu starts from the preset, and saves.
    const std::optional<std::string> shortcut = Shortcut();
    ASSERT_TRUE(shortcut) << "no Start-menu shortcut";
    // start ends once the console it started has begun to run.
    const std::optional<RunResult> started = Wine().Run("start", {*shortcut}, AllowStarts(60s));
    ASSERT_TRUE(started && started->status == 0) << "start " << *shortcut;
    const std::optional<WindowInfo> console = WaitForConsoleWindow(Inspect(), AllowStarts(20s));
    ASSERT_TRUE(console) << "the console did not start from " << *shortcut;
    Inspect().Close(console->hwnd);
    EXPECT_TRUE(Inspect().WaitExit(console->pid, 20s));
    const std::string saved = Settings().value_or("");
    EXPECT_EQ(ValueIn(saved, "Program Run Method"), "4") << saved;
    EXPECT_EQ(ValueIn(saved, "User Task One"), "notepad.exe") << saved;

    // A repair, even one started with a preset of its own, copies nothing:
    // the copy was the first installation's.
    fs::remove(SettingsPath());
    ASSERT_EQ(Msiexec({"/i", Wine().WindowsPath(release_), "/qn", "REINSTALL=ALL", "REINSTALLMODE=amus", presetArg}),
              0);
    EXPECT_FALSE(Settings()) << "the repair copied the preset";
    WriteSettings(saved);

    // Uninstalled: the program, its folder, the shortcut and the entry go;
    // the settings stay.
    ASSERT_EQ(Msiexec({"/x", Wine().WindowsPath(release_), "/qn"}), 0);
    EXPECT_FALSE(fs::exists(InstallDir())) << "left over: " << installDir_;
    EXPECT_FALSE(Shortcut()) << "left over: the shortcut";
    EXPECT_TRUE(OwnEntries().empty()) << "left over: the entry";
    EXPECT_TRUE(OtherViewEntries().empty());
    EXPECT_EQ(Settings().value_or("(none)"), saved);
}

// On a Windows older than the program's floor the MSI installs nothing.
TEST_F(Msi, RefusesAWindowsOlderThanTheProgramsFloor) {
    const OlderWindows xp(Wine(), "winxp64");
    ASSERT_TRUE(xp.Set());
    // Windows gives ERROR_INSTALL_FAILURE; any failure will do, a success not.
    EXPECT_NE(Msiexec({"/i", Wine().WindowsPath(release_), "/qn"}), 0)
        << "msiexec reported the refused install as done";
    EXPECT_FALSE(fs::exists(InstallDir())) << "installed anyway: " << installDir_;
    EXPECT_TRUE(OwnEntries().empty()) << "an entry for a refused install";
}

}  // namespace
}  // namespace orvan::e2e
