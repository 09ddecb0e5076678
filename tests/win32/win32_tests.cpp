// Tests of the Win32 services that only the real system can answer: the
// atomic file replacement (including a write that breaks off half-way), whole
// file reads, path classification and the start operation's refusals. Built
// with the Windows program and run under Wine by the end-to-end suite.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/files.h"
#include "platform/win32/services.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what, int line) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED line %d: %s\n", line, what);
    }
}
#define CHECK(x) Check((x), #x, __LINE__)

std::string dir;

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
    CHECK(ReplaceFileAtomically(path, "[Options]\r\nA=1\r\n"));
    CHECK(ReadWholeFile(path) == std::string("[Options]\r\nA=1\r\n"));
    std::string big(3 << 20, 'x');
    big[12345] = '\0';
    CHECK(ReplaceFileAtomically(path, big));
    CHECK(ReadWholeFile(path) == big);
    CHECK(ReplaceFileAtomically(path, ""));
    CHECK(ReadWholeFile(path) == std::string());
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

void WriteBrokenOffLeavesTheOldFile() {
    using orvan::win32::ReadWholeFile;
    using orvan::win32::ReplaceFileAtomically;
    const std::string path = PathIn("settings.ini");
    const std::string old = "[User Tasks]\r\nUser Task One=C:\\a.exe\r\n";
    CHECK(ReplaceFileAtomically(path, old));
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{20}, old.size() - 1}) {
        CHECK(!ReplaceFileAtomically(path, old + "User Task Two=C:\\b.exe\r\n", cut));
        CHECK(ReadWholeFile(path) == old);
    }
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

void UnwritablePathsFailCleanly() {
    using orvan::win32::ReplaceFileAtomically;
    const std::string folder = PathIn("a folder");
    CreateDirectoryA(folder.c_str(), nullptr);
    CHECK(!ReplaceFileAtomically(folder, "x"));
    CHECK((GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    CHECK(!ReplaceFileAtomically(PathIn("no such folder\\x.ini"), "x"));
    RemoveDirectoryA(folder.c_str());
    CHECK(Files() == std::vector<std::string>{"settings.ini"});
}

void PathsAreClassified() {
    using orvan::platform::PathKind;
    orvan::win32::Win32Services services;
    Write(PathIn("tool.exe"), "MZ");
    Write(PathIn("notes.txt"), "hello");
    CHECK(services.Classify(PathIn("tool.exe")) == PathKind::Program);
    CHECK(services.Classify(PathIn("TOOL.EXE")) == PathKind::Program);
    CHECK(services.Classify(PathIn("notes.txt")) == PathKind::Document);
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

}  // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "orvan97-win32-tests-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    ReplaceCreatesAndReplaces();
    WriteBrokenOffLeavesTheOldFile();
    UnwritablePathsFailCleanly();
    PathsAreClassified();
    StartRefusesBadCodesAndMissingPrograms();
    DeleteFileA(PathIn("settings.ini").c_str());
    RemoveDirectoryA(dir.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
