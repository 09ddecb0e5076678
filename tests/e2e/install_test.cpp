// The Windows release's installer under Wine: a silent install puts the
// program, its texts, the Start-menu shortcut and the uninstall entry in
// place; the installed console starts from its shortcut and saves its
// settings; a silent uninstall removes what Setup put there and keeps the
// settings; Setup and the uninstaller refuse while a console runs.
//
// The installer is the one scripts/package.sh writes for the build under
// test: where the machine runs 32-bit code, the shipping x86 installer of the
// 32-bit program (build/package); elsewhere the same script built for amd64
// around the 64-bit build (scripts/package.sh --arch win64, build/package-win64).
// ORVAN_INSTALLER names another.
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

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The x86 installer on 64-bit Windows puts the 32-bit program in the 32-bit
// program folder, and its entry in the registry's 32-bit view, which the
// 64-bit view shows under WOW6432Node.
bool X86OnX64() {
    return Session::Get().Wine().Arch() == WineArch::Win32 && Session::Get().Wine().PrefixArch() == WineArch::Win64;
}
std::string InstallDirOf() {
    return X86OnX64() ? R"(C:\Program Files (x86)\Orvan 97)" : R"(C:\Program Files\Orvan 97)";
}
std::string UninstallKeyOf() {
    return std::string(R"(HKLM\Software\)") + (X86OnX64() ? R"(WOW6432Node\)" : "") +
           R"(Microsoft\Windows\CurrentVersion\Uninstall\Orvan 97)";
}
// Setup's answer when it refuses (NSIS: aborted by the script).
constexpr int kRefused = 2;
constexpr int kIdCancel = 2;

fs::path Installer() {
    if (const char* chosen = std::getenv("ORVAN_INSTALLER"); chosen && *chosen) return chosen;
    const bool win32 = Session::Get().Wine().Arch() == WineArch::Win32;
    return fs::path(win32 ? ORVAN_PACKAGE_DIR : ORVAN_PACKAGE_WIN64_DIR) /
           (std::string("orvan97-" ORVAN_VERSION "-") + (win32 ? "win32" : "win64") + "-setup.exe");
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string TrimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// Every line break is CR LF.
bool CrLfOnly(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return text.find("\r\n") != std::string::npos;
}

// The parts of a shell link (.lnk, [MS-SHLLINK]) the shortcut is checked by.
struct ShellLink {
    std::string target;  // the link information's local path
    std::string description;
    std::string workingDir;
    std::string iconLocation;
    int iconIndex = 0;
};

std::optional<ShellLink> ReadShellLink(const fs::path& file) {
    const std::optional<std::string> bytes = ReadFile(file);
    if (!bytes) return std::nullopt;
    const std::string& b = *bytes;
    auto byte = [&](size_t at) -> std::uint32_t {
        if (at >= b.size()) throw std::out_of_range("the link ends early");
        return static_cast<unsigned char>(b[at]);
    };
    auto u16 = [&](size_t at) { return byte(at) | byte(at + 1) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    try {
        if (u32(0) != 0x4C) return std::nullopt;
        const std::uint32_t flags = u32(0x14);
        ShellLink link;
        link.iconIndex = static_cast<int>(u32(0x38));
        size_t at = 0x4C;
        if (flags & 0x01) at += 2 + u16(at);  // the item id list
        if (flags & 0x02) {                   // the link information
            if (u32(at + 8) & 0x01) {         // a volume and a local base path
                for (size_t p = at + u32(at + 16); byte(p) != 0; ++p) link.target += b[p];
            }
            at += u32(at);
        }
        const bool unicode = flags & 0x80;
        auto text = [&] {
            const std::uint32_t count = u16(at);
            at += 2;
            std::string s;
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::uint32_t c = unicode ? u16(at) : byte(at);
                at += unicode ? 2 : 1;
                s += c < 0x80 ? static_cast<char>(c) : '?';
            }
            while (!s.empty() && s.back() == '\0') s.pop_back();  // Wine counts the terminator
            return s;
        };
        if (flags & 0x04) link.description = text();
        if (flags & 0x08) text();  // relative path
        if (flags & 0x10) link.workingDir = text();
        if (flags & 0x20) text();  // arguments
        if (flags & 0x40) link.iconLocation = text();
        return link;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

struct RegValue {
    std::string type;
    std::string data;
};

class Install : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        if (HasFatalFailure()) return;
        installer_ = Installer();
        ASSERT_TRUE(fs::is_regular_file(installer_))
            << installer_ << " is missing: run scripts/package.sh"
            << (Wine().Arch() == WineArch::Win64 ? " --arch win64" : "") << " after the build";
        static bool said = false;
        if (!said) {
            std::cout << "e2e: installing " << installer_.string() << std::endl;
            said = true;
        }
        installDir_ = InstallDirOf();
        uninstallKey_ = UninstallKeyOf();
        RemoveInstallation();  // as on a machine that never had it
    }

    void TearDown() override {
        ConsoleTest::TearDown();  // ends what the test left running first
        RemoveInstallation();
        fs::remove(VirtualStoreCopy());
    }

    // A Windows program run to its end; fails the test when it overstays.
    // `starts`: the 32-bit processes whose start the run waits for, itself
    // included: Setup is one, the uninstaller two (it starts a copy of
    // itself), `start` one (it waits for the program to begin), the system's
    // own tools none.
    RunResult RunWindows(const std::string& exe, const std::vector<std::string>& args, int starts = 0) {
        const Ms limit = AllowStarts(60s, starts);
        const std::optional<RunResult> result = Wine().Run(exe, args, limit);
        if (!result) ADD_FAILURE() << exe << " did not end within " << limit.count() / 1000 << " s";
        return result.value_or(RunResult{});
    }
    int InstallSilently() { return RunWindows(installer_.string(), {"/S"}, 1).status; }

    fs::path Unix(const std::string& windowsPath) { return Wine().UnixPath(windowsPath); }
    fs::path InstallDir() { return Unix(installDir_); }
    std::string Variable(const std::string& name) {
        return TrimLineEnd(RunWindows("cmd", {"/c", "echo", "%" + name + "%"}).output);
    }
    // The all-users Start menu (Setup's SetShellVarContext all).
    std::string Shortcut() {
        return Variable("ProgramData") + R"(\Microsoft\Windows\Start Menu\Programs\Orvan 97.lnk)";
    }
    // Where current Windows keeps a standard user's C:\Windows\Orvan97.ini.
    fs::path VirtualStoreCopy() { return Unix(Variable("LOCALAPPDATA") + R"(\VirtualStore\Windows\Orvan97.ini)"); }

    // The values of the uninstall entry (reg query); none when there is no entry.
    std::optional<std::map<std::string, RegValue>> UninstallEntry() {
        const RunResult query = RunWindows("reg", {"query", uninstallKey_});
        if (query.status != 0) return std::nullopt;
        std::map<std::string, RegValue> values;
        size_t at = 0;
        while (at < query.output.size()) {
            size_t end = query.output.find('\n', at);
            if (end == std::string::npos) end = query.output.size();
            const std::string line = TrimLineEnd(query.output.substr(at, end - at));
            at = end + 1;
            // "    Name    REG_SZ    Data"
            const size_t type = line.find("    REG_");
            if (line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
            const size_t data = line.find("    ", type + 4);
            RegValue value{line.substr(type + 4, data == std::string::npos ? std::string::npos : data - type - 4),
                           data == std::string::npos ? "" : line.substr(data + 4)};
            values[line.substr(4, type - 4)] = value;
        }
        return values;
    }

    // The console's top window, once it shows; fails the test when it does not.
    std::optional<WindowInfo> WaitConsoleWindow() {
        const std::optional<WindowInfo> window = WaitForConsoleWindow(Inspect(), AllowStarts(20s));
        if (!window) ADD_FAILURE() << "the console's window did not appear";
        return window;
    }

    bool Installed() { return fs::exists(InstallDir()); }

private:
    void RemoveInstallation() {
        fs::remove_all(InstallDir());
        fs::remove(Unix(Shortcut()));
        if (UninstallEntry()) RunWindows("reg", {"delete", uninstallKey_, "/f"});
    }

    fs::path installer_;

protected:
    // Where Setup installs and registers, for the installer under test.
    std::string installDir_;
    std::string uninstallKey_;
};

TEST_F(Install, SilentInstallPutsTheProgramTextsShortcutAndUninstallEntryInPlace) {
    ASSERT_EQ(InstallSilently(), 0);
    const fs::path dir = InstallDir();
    const std::string program = installDir_ + R"(\orvan97.exe)";

    EXPECT_TRUE(SameProgram(dir / "orvan97.exe", Session::Get().Win32File("orvan97.exe")))
        << "the installer must hold the program under test: run scripts/package.sh after the build";
    ExpectSignedAsThePackages(dir / "orvan97.exe");
    ExpectSignedAsThePackages(dir / "uninstall.exe");
    const std::string licence = ReadFile(dir / "LICENSE.txt").value_or("");
    EXPECT_EQ(licence.rfind("MIT License\r\n", 0), 0U) << licence;
    EXPECT_NE(licence.find("Copyright (c) 2026 The Orvan 97 authors\r\n"), std::string::npos);
    EXPECT_TRUE(CrLfOnly(licence));
    const std::string readme = ReadFile(dir / "README.txt").value_or("");
    EXPECT_EQ(readme.rfind("Orvan 97 " ORVAN_VERSION " (revision " ORVAN_REVISION_TEXT ")\r\n", 0), 0U) << readme;
    EXPECT_NE(readme.find(R"(C:\Windows\Orvan97.ini)"), std::string::npos);
    EXPECT_NE(readme.find(R"(%LOCALAPPDATA%\VirtualStore\Windows\Orvan97.ini)"), std::string::npos);
    EXPECT_NE(readme.find("right-click anywhere on the console and choose \"Exit\""), std::string::npos);
    EXPECT_NE(readme.find("Needs " ORVAN_WINDOWS_NAME " or later."), std::string::npos);
    EXPECT_TRUE(CrLfOnly(readme));
    EXPECT_TRUE(fs::is_regular_file(dir / "uninstall.exe"));

    const std::optional<ShellLink> link = ReadShellLink(Unix(Shortcut()));
    ASSERT_TRUE(link) << "no shortcut " << Shortcut();
    EXPECT_EQ(Lower(link->target), Lower(program));
    EXPECT_EQ(Lower(link->iconLocation), Lower(program)) << "the shortcut shows the program's icon";
    EXPECT_EQ(link->iconIndex, 0);
    EXPECT_EQ(Lower(link->workingDir), Lower(installDir_));

    std::optional<std::map<std::string, RegValue>> entry = UninstallEntry();
    ASSERT_TRUE(entry) << "no uninstall entry " << uninstallKey_;
    auto value = [&](const std::string& name) {
        const auto found = entry->find(name);
        return found == entry->end() ? RegValue{"(none)", ""} : found->second;
    };
    EXPECT_EQ(value("DisplayName").data, "Orvan 97");
    EXPECT_EQ(value("DisplayVersion").data, ORVAN_VERSION);
    EXPECT_EQ(value("Publisher").data, "The Orvan 97 authors");
    EXPECT_EQ(Lower(value("DisplayIcon").data), Lower(program + ",0"));
    EXPECT_EQ(Lower(value("InstallLocation").data), Lower(installDir_));
    EXPECT_EQ(Lower(value("UninstallString").data), Lower("\"" + installDir_ + "\\uninstall.exe\""));
    EXPECT_EQ(Lower(value("QuietUninstallString").data), Lower("\"" + installDir_ + "\\uninstall.exe\" /S"));
    for (const char* name :
         {"DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "UninstallString", "QuietUninstallString"})
        EXPECT_EQ(value(name).type, "REG_SZ") << name;
    // In kilobytes: the installed files.
    ASSERT_EQ(value("EstimatedSize").type, "REG_DWORD");
    const unsigned long kb = std::strtoul(value("EstimatedSize").data.c_str(), nullptr, 16);
    EXPECT_GE(kb, fs::file_size(dir / "orvan97.exe") / 1024);
    EXPECT_LE(kb, 2 * (fs::file_size(dir / "orvan97.exe") + fs::file_size(dir / "uninstall.exe")) / 1024);
}

TEST_F(Install, InstalledConsoleStartsFromItsShortcutAndSavesItsSettingsOnACloseRequest) {
    ASSERT_EQ(InstallSilently(), 0);
    ASSERT_FALSE(Settings());
    // start ends once the console it started has begun to run.
    EXPECT_EQ(RunWindows("start", {Shortcut()}, 1).status, 0);
    const std::optional<WindowInfo> console = WaitConsoleWindow();
    ASSERT_TRUE(console);

    Inspect().Close(console->hwnd);
    EXPECT_TRUE(Inspect().WaitExit(console->pid, 20s));
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile());
}

TEST_F(Install, SilentUninstallRemovesWhatSetupPutThereAndKeepsTheSettings) {
    ASSERT_EQ(InstallSilently(), 0);
    ASSERT_TRUE(UninstallEntry());
    // The settings as a person's use leaves them: the file in the Windows
    // folder, and a standard user's copy in the virtual store.
    const std::string settings = FirstRunFile("4");
    WriteSettings(settings);
    fs::create_directories(VirtualStoreCopy().parent_path());
    std::ofstream(VirtualStoreCopy(), std::ios::binary) << settings;
    const fs::path shortcut = Unix(Shortcut());
    ASSERT_TRUE(fs::exists(shortcut));

    // As the system's list of programs runs it. The uninstaller copies
    // itself to a temporary folder and returns at once; the copy does the work.
    EXPECT_EQ(RunWindows(installDir_ + R"(\uninstall.exe)", {"/S"}, 2).status, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return !Installed() && !fs::exists(shortcut) && !UninstallEntry(); }, AllowStarts(30s)));
    EXPECT_FALSE(Installed()) << "left over: " << installDir_;
    EXPECT_FALSE(fs::exists(shortcut)) << "left over: " << Shortcut();
    EXPECT_FALSE(UninstallEntry()) << "left over: " << uninstallKey_;

    EXPECT_EQ(Settings().value_or("(none)"), settings);
    EXPECT_EQ(ReadFile(VirtualStoreCopy()).value_or("(none)"), settings);
}

TEST_F(Install, SetupRefusesWhileAConsoleRunsAndSaysWhy) {
    StartConsole();
    EXPECT_EQ(InstallSilently(), kRefused);
    EXPECT_FALSE(Installed());
    EXPECT_FALSE(UninstallEntry());

    // With its pages: a message that says what to do, before any page.
    Process setup = Wine().Launch(Installer().string());
    const std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox("Orvan 97 Setup", 20s);
    ASSERT_TRUE(box) << "no message from Setup";
    EXPECT_NE(box->Text().find("Orvan 97 is running. Quit it first"), std::string::npos) << box->Text();
    EXPECT_NE(box->Text().find("choose \"Exit\""), std::string::npos) << box->Text();
    Inspect().Press(box->hwnd, kIdCancel);
    EXPECT_EQ(setup.WaitExit(20s), kRefused);
    EXPECT_FALSE(Installed());

    // Once the console is quit, Setup goes on.
    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(InstallSilently(), 0);
    EXPECT_TRUE(fs::is_regular_file(InstallDir() / "orvan97.exe"));
}

// Setup refuses a Windows older than the program's floor, and says so, with
// its pages and without. Wine tells programs the Windows version its
// registry names.
TEST_F(Install, SetupRefusesAWindowsOlderThanTheProgramsFloor) {
    const OlderWindows xp(Wine(), "winxp64");
    ASSERT_TRUE(xp.Set());

    EXPECT_EQ(InstallSilently(), kRefused);
    EXPECT_FALSE(Installed());
    EXPECT_FALSE(UninstallEntry());

    Process setup = Wine().Launch(Installer().string());
    const std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox("Orvan 97 Setup", AllowStarts(20s));
    ASSERT_TRUE(box) << "no message from Setup";
    EXPECT_EQ(box->Text(), "Orvan 97 needs " ORVAN_WINDOWS_NAME " or later. Nothing was installed.");
    EXPECT_EQ(box->icon, "hand");
    ASSERT_EQ(box->buttons.size(), 1u);
    Inspect().Press(box->hwnd, box->buttons[0].id);
    EXPECT_EQ(setup.WaitExit(20s), kRefused);
    EXPECT_FALSE(Installed());
}

// The uninstaller removes files only from the folder Setup recorded: a copy
// of it in another folder, among files named as the program's, removes
// nothing there or in the installation, and says why.
TEST_F(Install, UninstallerElsewhereThanTheRecordedFolderRemovesNothing) {
    ASSERT_EQ(InstallSilently(), 0);
    const fs::path elsewhere = Scratch() / "Downloads";
    fs::create_directories(elsewhere);
    fs::copy_file(InstallDir() / "uninstall.exe", elsewhere / "uninstall.exe");
    for (const char* name : {"orvan97.exe", "LICENSE.txt", "README.txt"})
        std::ofstream(elsewhere / name, std::ios::binary) << "someone else's " << name;
    const std::string folder = Wine().WindowsPath(elsewhere);

    // Run in place (_?=), so its end is the end of its work.
    EXPECT_EQ(RunWindows(folder + R"(\uninstall.exe)", {"/S", "_?=" + folder}, 1).status, kRefused);
    for (const char* name : {"orvan97.exe", "LICENSE.txt", "README.txt", "uninstall.exe"})
        EXPECT_TRUE(fs::exists(elsewhere / name)) << name << " was removed from " << folder;
    EXPECT_TRUE(fs::is_regular_file(InstallDir() / "orvan97.exe"));
    EXPECT_TRUE(UninstallEntry());

    Process uninstaller = Wine().Launch(folder + R"(\uninstall.exe)", {"_?=" + folder});
    const std::optional<MessageBoxInfo> box = Inspect().WaitMessageBox("Orvan 97 Uninstall", AllowStarts(20s));
    ASSERT_TRUE(box) << "no message from the uninstaller";
    EXPECT_NE(box->Text().find("This is not the folder Orvan 97 was installed to, so nothing was removed."),
              std::string::npos)
        << box->Text();
    EXPECT_NE(Lower(box->Text()).find(Lower(installDir_)), std::string::npos) << box->Text();
    Inspect().Press(box->hwnd, box->buttons.at(0).id);
    EXPECT_EQ(uninstaller.WaitExit(20s), kRefused);
    EXPECT_TRUE(fs::exists(elsewhere / "orvan97.exe"));
}

TEST_F(Install, UninstallerRefusesWhileAConsoleRuns) {
    ASSERT_EQ(InstallSilently(), 0);
    StartConsole();
    // Run in place (_?=), so its end is the end of its work.
    const std::uint32_t pid = Inspect().Start(1, "\"" + installDir_ + "\\uninstall.exe\" /S _?=" + installDir_, "C:\\");
    EXPECT_TRUE(Inspect().WaitExit(pid, 30s));
    EXPECT_TRUE(fs::is_regular_file(InstallDir() / "orvan97.exe"));
    EXPECT_TRUE(fs::exists(Unix(Shortcut())));
    EXPECT_TRUE(UninstallEntry());
    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
