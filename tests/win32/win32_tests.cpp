// Tests of the Win32 services that only the real system can answer: the
// atomic file replacement (including a write that breaks off half-way), the
// write in place where the move is refused and the settings file's save on
// them, the edit in place where no copy can be made, whole file reads, path
// classification, the start operation's refusals, the system's folders and
// the built-in programs found there, the system libraries loaded from the
// system folder either way, the stack protector, our settings file reader
// and writer against the system's private-profile functions, and the native
// windows showing what the control model changes. Built with the Windows
// program and run under Wine by the end-to-end suite.
//
//   win32_tests [--no-child-processes]
// The stack protector's check starts a second copy of the tests (--smash),
// which under emulation is one more translated start; --no-child-processes
// leaves it out there.
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tasks/launch.h"
#include "win32/files.h"
#include "win32/lazy_dll.h"
#include "win32/services.h"
#include "win32/stack_protector.h"
#include "check.h"
#include "peer_mirror.h"
#include "profile_agreement.h"
#include "settings/durable_save.h"
#include "settings/modIni.h"
#include "settings/profile.h"
#include "support/encoded_files.h"

namespace {

std::string dir;

constexpr auto kReplaced = orvan::platform::ReplaceOutcome::Replaced;

std::string PathIn(const char* name) { return dir + "\\" + name; }

void Write(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// Every file in the test folder, so a leftover temporary file is seen.
std::vector<std::string> Files() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void ReplaceCreatesAndReplaces() {
    using orvan::win32::ReadWholeFile;
    using orvan::win32::ReplaceFileAtomically;
    const std::string path = PathIn("settings.ini");
    CHECK(!ReadWholeFile(path).has_value());
    CHECK(ReplaceFileAtomically(path, "[Options]\r\nA=1\r\n") == kReplaced);
    CHECK(ReadWholeFile(path) == std::string("[Options]\r\nA=1\r\n"));
    std::string big(3 << 20, 'x');
    big[12345] = '\0';
    CHECK(ReplaceFileAtomically(path, big) == kReplaced);
    CHECK(ReadWholeFile(path) == big);
    CHECK(ReplaceFileAtomically(path, "") == kReplaced);
    CHECK(ReadWholeFile(path) == std::string());
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

void WriteBrokenOffLeavesTheOldFile() {
    using orvan::win32::ReadWholeFile;
    using orvan::win32::ReplaceFileAtomically;
    const std::string path = PathIn("settings.ini");
    const std::string old = "[User Tasks]\r\nUser Task One=C:\\a.exe\r\n";
    CHECK(ReplaceFileAtomically(path, old) == kReplaced);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{20}, old.size() - 1}) {
        CHECK(ReplaceFileAtomically(path, old + "User Task Two=C:\\b.exe\r\n", cut) ==
              orvan::platform::ReplaceOutcome::WriteFailed);
        CHECK(ReadWholeFile(path) == old);
    }
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

void UnwritablePathsFailCleanly() {
    using orvan::win32::ReplaceFileAtomically;
    const std::string folder = PathIn("a folder");
    CreateDirectoryA(folder.c_str(), nullptr);
    CHECK(ReplaceFileAtomically(folder, "x") == orvan::platform::ReplaceOutcome::MoveRefused);
    CHECK((GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    CHECK(ReplaceFileAtomically(PathIn("no such folder\\x.ini"), "x") == orvan::platform::ReplaceOutcome::TempRefused);
    CHECK(orvan::win32::OverwriteInPlace(PathIn("no such folder\\x.ini"), "x") ==
          orvan::platform::OverwriteOutcome::Untouched);
    CHECK(orvan::win32::OverwriteInPlace(folder, "x") == orvan::platform::OverwriteOutcome::Untouched);
    RemoveDirectoryA(folder.c_str());
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

// Another program holding the file open (here without FILE_SHARE_DELETE)
// makes the system refuse the move over it: Windows for the sharing mode,
// Wine for any open handle. Writing in place still works, and cuts the file
// to the new length.
void AHeldFileRefusesTheMoveButTakesAWriteInPlace() {
    using orvan::win32::OverwriteInPlace;
    using orvan::win32::ReadWholeFile;
    using orvan::win32::ReplaceFileAtomically;
    const std::string path = PathIn("settings.ini");
    const std::string old = "[Options]\r\nProgram Run Method=1\r\n; a longer line than the new file has\r\n";
    CHECK(ReplaceFileAtomically(path, old) == kReplaced);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(held != INVALID_HANDLE_VALUE);
    CHECK(ReplaceFileAtomically(path, "[Options]\r\n") == orvan::platform::ReplaceOutcome::MoveRefused);
    CHECK(ReadWholeFile(path) == old);
    CHECK(OverwriteInPlace(path, "[Options]\r\nProgram Run Method=4\r\n") ==
          orvan::platform::OverwriteOutcome::Written);
    CHECK(ReadWholeFile(path) == std::string("[Options]\r\nProgram Run Method=4\r\n"));
    // Broken off, the write leaves new bytes over old ones: what the whole copy is for.
    CHECK(OverwriteInPlace(path, "0123456789", 4) == orvan::platform::OverwriteOutcome::Broken);
    CHECK(ReadWholeFile(path) == std::string("0123ions]\r\nProgram Run Method=4\r\n"));
    CloseHandle(held);
    CHECK(orvan::win32::RemoveWholeFile(PathIn("never there.ini")));
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

// Where neither a temporary file nor a whole copy can be made, the file is
// edited in place: only the bytes from the first change are written, the
// room a longer file needs is taken first, a write that breaks off is undone,
// and a file that no longer holds the bytes the edit was made for is left.
void AnEditInPlaceWritesWhatChangesAndUndoesABrokenWrite() {
    using orvan::platform::OverwriteOutcome;
    using orvan::settings::PlanInPlaceEdit;
    using orvan::win32::EditFileInPlace;
    using orvan::win32::ReadWholeFile;
    namespace profile = orvan::settings::profile;
    const orvan::win32::Win32TextCodec codec;
    const std::string path = PathIn("settings.ini");
    const std::string old = "[Options]\r\nProgram Run Method=4\r\n[User Tasks]\r\nUser Task One=C:\\a.exe\r\n";
    const std::string longer = profile::SetString(codec, old, "Options", "Program Run Method", "32767").value_or("");
    Write(path, old);
    CHECK(EditFileInPlace(path, PlanInPlaceEdit(old, longer)) == OverwriteOutcome::Written);
    CHECK(ReadWholeFile(path) == longer);
    CHECK(EditFileInPlace(path, PlanInPlaceEdit(longer, old)) == OverwriteOutcome::Written);
    CHECK(ReadWholeFile(path) == old);
    // The longer file's reserve is four bytes, its tail twenty-odd.
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{20}}) {
        orvan::win32::EditFaults tail;
        tail.tailBreaksAfter = cut;
        CHECK(EditFileInPlace(path, PlanInPlaceEdit(old, longer), tail) == OverwriteOutcome::Untouched);
        CHECK(ReadWholeFile(path) == old);
        CHECK(EditFileInPlace(path, PlanInPlaceEdit(old, "[Options]\r\n"), tail) == OverwriteOutcome::Untouched);
        CHECK(ReadWholeFile(path) == old);
        orvan::win32::EditFaults reserve;
        reserve.reserveBreaksAfter = cut % 4;
        CHECK(EditFileInPlace(path, PlanInPlaceEdit(old, longer), reserve) == OverwriteOutcome::Untouched);
        CHECK(ReadWholeFile(path) == old);
    }
    Write(path, old + "; changed since it was read\r\n");
    CHECK(EditFileInPlace(path, PlanInPlaceEdit(old, longer)) == OverwriteOutcome::Untouched);
    CHECK(ReadWholeFile(path) == old + "; changed since it was read\r\n");
    CHECK(EditFileInPlace(PathIn("never there.ini"), PlanInPlaceEdit("", "[A]\r\n")) == OverwriteOutcome::Untouched);
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

// What every section of a file holds, as the system reads it.
std::string SystemSections(const std::string& path) {
    std::vector<char> names(65536);
    const DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
    std::string all;
    for (const char* name = names.data(); name < names.data() + n && *name; name += std::strlen(name) + 1) {
        std::vector<char> section(65536);
        const DWORD got =
            GetPrivateProfileSectionA(name, section.data(), static_cast<DWORD>(section.size()), path.c_str());
        all += std::string("[") + name + "]" + std::string(section.data(), got) + "|";
    }
    return all;
}

// The blanks an edit lays beyond the contents (the room it takes first, the
// rest of a shrinking file) read as nothing to the system's reader too.
void BlankFillerReadsAsNothingToTheSystem() {
    using orvan::testing::kUtf8Mark;
    using orvan::testing::Utf16;
    const std::string files[] = {
        "[Options]\r\nProgram Run Method=4\r\n[Mine]\r\nk=\"quoted\"",
        "[Options]\r\nProgram Run Method=4\r\n[Mine]\r\n[Open",
        "; top\r\n[Mine]\r\nk=v\r\n",
        "[Mine]\r\nk=v\r",
        kUtf8Mark + "[Mine]\r\nk=\xC3\xA9",
        Utf16(u"[Mine]\r\nk=v\r\nj=w"),
        Utf16(u"[Mine]\r\nk=v\r\n", true),
    };
    int n = 0;
    for (const std::string& file : files) {
        const std::string plain = PathIn(("plain" + std::to_string(n) + ".ini").c_str());
        Write(plain, file);
        const std::string before = SystemSections(plain);
        CHECK(!before.empty());
        for (std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{6}, std::size_t{300}}) {
            const std::optional<std::string> filler = orvan::settings::BlankFiller(file, count);
            if (!filler) continue;  // half a UTF-16 character
            const std::string padded =
                PathIn(("padded" + std::to_string(n) + "-" + std::to_string(count) + ".ini").c_str());
            Write(padded, file + *filler);
            const std::string after = SystemSections(padded);
            if (after != before) std::printf("  filler of %zu after file %d: %s\n", count, n, after.c_str());
            CHECK(after == before);
            DeleteFileA(padded.c_str());
        }
        DeleteFileA(plain.c_str());
        ++n;
    }
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

// The services with every box counted instead of shown.
class QuietServices : public orvan::win32::Win32Services {
public:
    int boxes = 0;
    void ShowMessage(const std::string&, const std::string&, orvan::platform::MessageIcon) override { ++boxes; }
};

// modIni's save on the real files: in place while the file is held, and
// the whole copy a broken-off save leaves, read first and mended from.
void SettingsSaveOnTheRealFiles() {
    using orvan::win32::ReadWholeFile;
    QuietServices services;
    orvan::settings::modIni ini(services);
    const std::string path = PathIn("settings.ini");
    const std::string copy = path + ".new";
    Write(path, "[Options]\r\nProgram Run Method=4\r\n");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(ini.WriteIni("User Tasks", "User Task One", "C:\\a.exe", path));
    CloseHandle(held);
    const std::string saved = "[Options]\r\nProgram Run Method=4\r\n[User Tasks]\r\nUser Task One=C:\\a.exe\r\n";
    CHECK(ReadWholeFile(path) == saved);
    CHECK(Files() == std::vector<std::string>{"settings.ini"});

    Write(path, saved.substr(0, 20));                  // torn by a save that broke off...
    Write(copy, orvan::settings::WholeCopyOf(saved));  // ...behind its whole copy
    CHECK(ini.ReadIni("User Tasks", "User Task One", "xxx", path) == "C:\\a.exe");
    CHECK(ini.WriteIni("Options", "Program Run Method", "6", path));
    CHECK(ReadWholeFile(path) == "[Options]\r\nProgram Run Method=6\r\n[User Tasks]\r\nUser Task One=C:\\a.exe\r\n");
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
    CHECK(services.boxes == 0);
}

void PathsAreClassified() {
    using orvan::platform::PathKind;
    orvan::win32::Win32Services services;
    Write(PathIn("tool.exe"), "MZ");
    Write(PathIn("notes.txt"), "hello");
    CHECK(services.Classify(PathIn("tool.exe")) == PathKind::File);
    CHECK(services.Classify(PathIn("TOOL.EXE")) == PathKind::File);
    CHECK(services.Classify(PathIn("notes.txt")) == PathKind::File);
    CHECK(services.Classify(dir) == PathKind::Folder);
    CHECK(services.Classify(PathIn("missing.exe")) == PathKind::Missing);
    CHECK(services.Classify("xxx") == PathKind::Missing);
    CHECK(services.Classify("") == PathKind::Missing);
    DeleteFileA(PathIn("tool.exe").c_str());
    DeleteFileA(PathIn("notes.txt").c_str());
}

void StartRefusesBadCodesAndMissingPrograms() {
    orvan::win32::Win32Services services;
    for (int code : {5, 7, 300, -1}) {
        orvan::platform::StartRequest request;
        request.commandLine = "winver";
        request.showCode = code;
        auto result = services.StartProgram(request);
        CHECK(!result.ok);
        CHECK(!result.error.empty());
    }
    orvan::platform::StartRequest missing;
    missing.commandLine = "no-such-program-anywhere";
    auto result = services.StartProgram(missing);
    CHECK(!result.ok);
    CHECK(!result.error.empty());
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string SystemDirectory() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

// Whether the module was loaded from the system folder itself.
bool FromSystemFolder(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    const std::string file = Lower(std::string(path, length < MAX_PATH ? length : 0));
    const std::string folder = Lower(SystemDirectory()) + "\\";
    return folder.size() > 1 && file.rfind(folder, 0) == 0 && file.find('\\', folder.size()) == std::string::npos;
}

void BuiltInProgramsAreTheSystems() {
    orvan::win32::Win32Services services;
    CHECK(!services.SystemFolder().empty());
    CHECK(Lower(services.SystemFolder()) == Lower(SystemDirectory()));
    CHECK(services.Classify(services.WindowsFolder()) == orvan::platform::PathKind::Folder);
    const auto notepad = orvan::tasks::BuiltInProgram(services, "notepad");
    CHECK(notepad && Lower(*notepad) == Lower(services.SystemFolder() + "\\notepad.exe"));
    CHECK(notepad && GetFileAttributesA(notepad->c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(!orvan::tasks::BuiltInProgram(services, "no-such-program-anywhere"));
}

// Both ways a library is kept to the system folder load the system's: the
// one this system has, and the full path with the altered search that Vista
// and 7 without the search flag take.
void SystemLibrariesComeFromTheSystemFolder() {
    using orvan::win32::LibrarySearch;
    CHECK(orvan::win32::SearchThisSystemHas() == LibrarySearch::SystemFolderFlag);
    HMODULE flagged = orvan::win32::SystemLibrary("oleacc.dll");
    CHECK(flagged && FromSystemFolder(flagged));
    CHECK(orvan::win32::SystemLibrary("oleacc.dll") == flagged);
    HMODULE altered = orvan::win32::LoadFromSystemFolder("comdlg32.dll", LibrarySearch::AlteredSearchPath);
    CHECK(altered && FromSystemFolder(altered));
    CHECK(!orvan::win32::SystemLibrary("no-such-library.dll"));
}

extern "C" std::uintptr_t __stack_chk_guard;

// Overwrites its own frame past the end of a buffer, as a bad copy would.
__attribute__((noinline)) void Smash(int count) {
    char buffer[16];
    volatile char* bytes = buffer;
    for (int i = 0; i < count; ++i) bytes[i] = 'x';
}

// The canary is seeded, and a frame overwritten past its buffer ends the
// process at once as a stack buffer overrun, before its return can jump.
void StackProtectorEndsAnOverrunProcess(bool childProcesses) {
    CHECK(__stack_chk_guard != 0x2B992DDF);
    if (!childProcesses) return;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" --smash";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) != 0;
    CHECK(started);
    if (!started) return;
    DWORD code = 0;
    CHECK(WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0);
    CHECK(GetExitCodeProcess(process.hProcess, &code) && code == STATUS_STACK_BUFFER_OVERRUN);
    if (code != STATUS_STACK_BUFFER_OVERRUN) std::printf("the overrun copy ended with 0x%lX\n", code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Every read of the generated corpus, through our reader and the system's.
void SettingsFileReadsAsTheSystemReadsIt() {
    const orvan::win32test::AgreementReport r = orvan::win32test::RunProfileAgreement(dir);
    std::printf("profile corpus: %d files, %d writes through both writers\n", r.files, r.writes);
    std::printf("profile agreement: %d of %d reads\n", r.agreed, r.reads);
    std::printf("profile exact read-back: %d writes read back only from our writer\n", r.exactReadBack);
    std::printf("profile rewrites: %d writes of plain values the system's own rewrite reads otherwise\n",
                r.systemRewrite);
    for (const std::string& failure : r.failures) std::printf("  %s\n", failure.c_str());
    CHECK(r.reads > 20000);
    CHECK(r.agreed == r.reads);
    CHECK(r.failures.empty());
    CHECK(r.exactReadBack > 0);
}

std::string SystemRead(const std::string& path, const char* section, const char* key) {
    char buffer[256];
    DWORD n = GetPrivateProfileStringA(section, key, "DEF", buffer, sizeof buffer, path.c_str());
    return std::string(buffer, n);
}

// Where our writer deliberately parts from the system's.
void DeliberateDifferencesFromTheSystemsWriter() {
    namespace profile = orvan::settings::profile;
    const orvan::win32::Win32TextCodec codec;
    const std::string ours = PathIn("ours.ini"), system = PathIn("system.ini");
    // The note lines: keys that differ only in trailing blanks are four lines
    // to our writer, one key to the system's (the last write wins).
    std::string file;
    const char* notes[][2] = {{";", "   one"}, {"; ", "  two"}, {";  ", " three"}, {";   ", "four"}};
    for (const auto& note : notes) {
        file = profile::SetString(codec, file, "Note", note[0], note[1]).value_or("");
        WritePrivateProfileStringA("Note", note[0], note[1], system.c_str());
    }
    CHECK(file == "[Note]\r\n;=   one\r\n; =  two\r\n;  = three\r\n;   =four\r\n");
    Write(ours, file);
    CHECK(SystemRead(ours, "Note", ";   ") == "one");  // the system sees the first of the four
    CHECK(SystemRead(system, "Note", ";") == "four");
    // A value with a line break: ours refuses it, the system's write breaks
    // the file into lines that read otherwise.
    CHECK(!profile::SetString(codec, "", "S", "k", "a\r\nk2=b").has_value());
    WritePrivateProfileStringA("S", "k", "a\r\nk2=b", system.c_str());
    CHECK(SystemRead(system, "S", "k") == "a");
    CHECK(SystemRead(system, "S", "k2") == "b");
    // A padded value: the system's write trims it, ours quotes it.
    Write(ours, profile::SetString(codec, "", "S", "k", " x ").value_or(""));
    WritePrivateProfileStringA("S", "k", " x ", system.c_str());
    CHECK(SystemRead(ours, "S", "k") == " x ");
    CHECK(SystemRead(system, "S", "k") == "x");
    // The file's other bytes: the system's rewrite drops a blank first line,
    // and a second line that began with a byte-order mark's bytes then
    // begins the file, which turns UTF-8. Ours adds its one line.
    const std::string marked = "\r\n\xEF\xBB\xBF[S]\r\nk=v\r\n";
    Write(ours, profile::SetString(codec, marked, "S", "k", "new").value_or(""));
    Write(system, marked);
    WritePrivateProfileStringA("S", "k", "new", system.c_str());
    CHECK(SystemRead(ours, "S", "k") == "new");
    CHECK(SystemRead(system, "S", "k") == "v");
    CHECK(profile::DetectEncoding(orvan::win32::ReadWholeFile(system).value_or("")) == profile::Encoding::Utf8);
    // An entry that would begin an ANSI file with a mark's bytes: the
    // system's file then reads as UTF-16; ours puts a blank line first.
    DeleteFileA(system.c_str());
    WritePrivateProfileStringA("", "\xFF\xFEk", "v", system.c_str());
    Write(ours, profile::SetString(codec, "", "", "\xFF\xFEk", "v").value_or(""));
    CHECK(SystemRead(ours, "", "\xFF\xFEk") == "v");
    CHECK(SystemRead(system, "", "\xFF\xFEk") == "DEF");
    DeleteFileA(ours.c_str());
    DeleteFileA(system.c_str());
}

__attribute__((noinline)) int RunTests(int argc, char** argv) {
    bool childProcesses = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smash") == 0) {
            volatile int past = 64;  // unknown to the compiler, so no warning
            Smash(past);
            return 0;  // the canary failed to stop it
        }
        if (std::strcmp(argv[i], "--no-child-processes") == 0) childProcesses = false;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "orvan97-win32-tests-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    ReplaceCreatesAndReplaces();
    WriteBrokenOffLeavesTheOldFile();
    UnwritablePathsFailCleanly();
    AHeldFileRefusesTheMoveButTakesAWriteInPlace();
    AnEditInPlaceWritesWhatChangesAndUndoesABrokenWrite();
    BlankFillerReadsAsNothingToTheSystem();
    SettingsSaveOnTheRealFiles();
    PathsAreClassified();
    StartRefusesBadCodesAndMissingPrograms();
    BuiltInProgramsAreTheSystems();
    SystemLibrariesComeFromTheSystemFolder();
    StackProtectorEndsAnOverrunProcess(childProcesses);
    SettingsFileReadsAsTheSystemReadsIt();
    DeliberateDifferencesFromTheSystemsWriter();
    orvan::win32test::CheckPeersShowModelChanges();
    DeleteFileA(PathIn("settings.ini").c_str());
    RemoveDirectoryA(dir.c_str());
    std::printf("%d passed, %d failed\n", orvan::win32test::Passed(), orvan::win32test::Failed());
    return orvan::win32test::Failed() == 0 ? 0 : 1;
}

}  // namespace

// Seeded as the program seeds it, from a frame without a canary.
__attribute__((no_stack_protector)) int main(int argc, char** argv) {
    orvan::win32::SeedStackGuard();
    return RunTests(argc, argv);
}
