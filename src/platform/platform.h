// The services the portable core asks of the operating system.
//
// The core never includes <windows.h>; the Win32 front end implements these
// interfaces with the real system, and the tests with a fake that records
// every call and can be scripted to fail. Every failure comes back as a value:
// no implementation throws across this boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvan::platform {

// ---------------------------------------------------------------- programs

// Window-style codes a program may be started with (the SW_ values).
enum ShowCode : int {
    kShowHidden = 0,
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
    kShowNoActivate = 4,
    kShowMinNoActive = 6,
};

// True for the codes the start operation accepts: 0, 1, 2, 3, 4 and 6.
bool IsAcceptedShowCode(int code);

// The reason a start with any other code gives, before anything is asked
// of the system.
inline constexpr const char* kRefusedShowCode = "The window-style code is not one a program can be started with.";

// A letter folded to lower case in ASCII alone, as the system folds names
// (paths, settings keys, list entries): no other letter folds.
template <typename Char>
constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

// Whether two texts are the same with ASCII case ignored.
template <typename Text>
bool EqualsIgnoringAsciiCase(const Text& a, const Text& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// The folder part of a path ("C:\Tools" for "C:\Tools\a.exe", "C:\" for
// "C:\a.exe"); empty for a bare name.
std::string FolderOf(const std::string& path);

struct StartRequest {
    // When not empty, exactly this file is started and commandLine is only
    // its argument string. When empty, the program is the first word of
    // commandLine, looked for along the system's program search path.
    std::string application;
    std::string commandLine;
    int showCode = kShowNormal;
    // Working directory of the new process; empty means the console's own.
    std::string directory;
};

struct StartResult {
    bool ok = false;
    std::uint32_t processId = 0;
    std::string error;  // the system's reason when !ok
};

// What a path names on disk; what a file means (program or document) is the
// caller's to decide.
enum class PathKind {
    Missing,  // nothing by that name (or not a plain path at all)
    File,
    Folder,
};

// ---------------------------------------------------------------- files

// What became of an atomic replacement.
enum class ReplaceOutcome {
    Replaced,     // the path holds the new bytes
    TempRefused,  // no temporary file could be made in the folder
    MoveRefused,  // the temporary file was whole, but moving it over the path was refused
    WriteFailed,  // writing or flushing the temporary file broke off (a full disk)
};

// What became of a write in place.
enum class OverwriteOutcome {
    Written,    // the file holds exactly the new bytes, flushed
    Untouched,  // the file holds its old bytes (refused before a byte changed, or put back)
    Broken,     // broke off part way: the file may hold any mix of old and new bytes
};

// A write in place laid out so that the file reads as its old or its new
// contents at every moment but one: while `tail` is written.
struct InPlaceEdit {
    // The file as it was read; anything else there and the edit is refused.
    std::string expected;
    // Appended first and flushed: the room the new contents need, in bytes
    // that read as nothing, so a full disk refuses before a byte changes.
    std::string reserve;
    // The first byte that changes; the bytes before it are not written.
    std::size_t offset = 0;
    // Written from offset in one write, then flushed. Where the file
    // shrinks it ends in bytes that read as nothing, up to the old length.
    std::string tail;
    // The file's final length, cut last when it is shorter than before.
    std::size_t length = 0;
};

// ---------------------------------------------------------------- dialogs

enum class MessageIcon { Critical, Exclamation };

// A file chosen in the Open-file dialog, in the forms the system has for it.
struct ChosenFile {
    // The chosen path as the user saw it, in UTF-8.
    std::string path;
    // The same path in the ANSI code page (the settings file's and the
    // start operation's), when every character converts exactly.
    std::optional<std::string> exact;
    // The file's short (8.3) path, when the file system gives one that is
    // pure ANSI and names the very same file.
    std::optional<std::string> shortForm;
};

// A file dragged from another program and dropped on the console.
struct DroppedFile {
    ChosenFile file;
    bool shortcut = false;  // a shell shortcut (.lnk), whose target follows
    bool folder = false;    // it names a folder, or is a shortcut to one
    // The shortcut's target, when the shell names one that is there.
    std::optional<ChosenFile> target;
};

// Whether this process may run the user session's console.
enum class SessionClaim {
    Ours,           // no other console runs in the session; now this one does
    HeldByAnother,  // a console of the same session already runs
};

struct OpenFileSpec {
    std::string title;
    // Pairs of description and pattern, in the order the dialog offers them.
    std::vector<std::pair<std::string, std::string>> filters;
    int filterIndex = 1;           // 1-based, as the common dialog counts
    std::string defaultExtension;  // without "*." ("exe"); empty: none
};

// ---------------------------------------------------------------- text

// Conversions between 8-bit text and UTF-16, made exactly as the system's
// own conversions make them (MultiByteToWideChar / WideCharToMultiByte with
// no flags), so that text read or written through them matches what the
// system's "A" functions give. Every input is accepted: bytes that are not
// valid in the encoding become the system's replacement character, and
// characters the ANSI code page lacks become its default or best-fit
// character. Neither direction ever fails.
class TextCodec {
public:
    virtual ~TextCodec() = default;

    // The ANSI code page (CP_ACP) to UTF-16 and back.
    virtual std::u16string AnsiToWide(std::string_view ansi) const = 0;
    virtual std::string WideToAnsi(std::u16string_view wide) const = 0;

    // UTF-8 (CP_UTF8) to UTF-16 and back.
    virtual std::u16string Utf8ToWide(std::string_view utf8) const = 0;
    virtual std::string WideToUtf8(std::u16string_view wide) const = 0;
};

class Services {
public:
    virtual ~Services() = default;

    // Starts a program and returns at once: the program is neither waited
    // for nor tracked. Fails with kRefusedShowCode, before anything is
    // started, when showCode is not accepted (IsAcceptedShowCode), and when
    // the program cannot be found or started.
    StartResult StartProgram(const StartRequest& request) {
        if (!IsAcceptedShowCode(request.showCode)) return {false, 0, kRefusedShowCode};
        return Start(request);
    }

    // Opens an existing file through its file association, as Explorer
    // would, with showCode as the show code of the program that opens it
    // and `directory` (empty: the console's own) as its current directory.
    // Refuses the codes StartProgram refuses, before anything is opened.
    StartResult OpenDocument(const std::string& path, int showCode, const std::string& directory) {
        if (!IsAcceptedShowCode(showCode)) return {false, 0, kRefusedShowCode};
        return Open(path, showCode, directory);
    }

    // What a path names on disk. Never fails: anything unreadable is Missing.
    virtual PathKind Classify(const std::string& path) = 0;

    // The folders the system keeps its own programs in, as absolute paths:
    // the system folder ("C:\Windows\System32") and the Windows folder all
    // users share ("C:\Windows"). Empty when the system does not say. Which
    // of them to look in, and in what order, is the caller's to decide.
    virtual std::string SystemFolder() = 0;
    virtual std::string WindowsFolder() = 0;

    // The folder the console's own program file is in, and its current
    // folder, as absolute paths; empty when the system does not say. A
    // program looked for by its bare name is never taken from either.
    virtual std::string ProgramFolder() = 0;
    virtual std::string CurrentFolder() = 0;

    // The value of a variable of the console's environment (case ignored in
    // its name, as the system ignores it), or nothing when it is not set.
    virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;

    // Modal message box with a single OK button; returns when it is closed.
    virtual void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) = 0;

    // The same with the text in UTF-8, for names the ANSI code page cannot
    // hold.
    virtual void ShowMessageUtf8(const std::string& text, const std::string& title, MessageIcon icon) = 0;

    // Modal Open-file dialog owned by the console. Returns the chosen file,
    // or nothing when the user cancels. Must not change the process's
    // current directory.
    virtual std::optional<ChosenFile> OpenFileDialog(const OpenFileSpec& spec) = 0;

    // ------------------------------------------------------------ files

    // The whole contents of a file, or nothing when it is missing or
    // cannot be read. No handle stays open after the call.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;

    // Replaces the whole file atomically: the new bytes go to a temporary
    // file in the same folder, are flushed to disk and then moved over the
    // old file, so the path holds either the old or the new contents at
    // every instant. Whatever the outcome but Replaced, the old file is
    // untouched and the temporary file removed; the outcome says which step
    // the system refused.
    virtual ReplaceOutcome ReplaceFile(const std::string& path, const std::string& contents) = 0;

    // Writes the bytes over the file in place through one handle (creating
    // the file when it is missing), cuts it to their length and flushes it.
    // Not atomic: a write that breaks off leaves any mix of old and new bytes.
    virtual OverwriteOutcome OverwriteFile(const std::string& path, const std::string& contents) = 0;

    // Carries out the edit on an existing file through one handle, in the
    // order InPlaceEdit gives. Untouched when the file cannot be opened for
    // writing or holds anything but `expected`, when the reserve cannot be
    // written (cut off again), and when the tail's write fails and the old
    // bytes could be put back; Broken when they could not.
    virtual OverwriteOutcome EditInPlace(const std::string& path, const InPlaceEdit& edit) = 0;

    // Deletes a file. True when it is gone, also when it was never there.
    virtual bool RemoveFile(const std::string& path) = 0;

    // The system's text conversions, alive as long as the services.
    virtual const TextCodec& Text() = 0;

    // ------------------------------------------------------------ process

    // Claims the user session's one console for this process, for as long
    // as it runs. Reads and writes no file.
    virtual SessionClaim ClaimSession() = 0;

    // Brings the console that holds the session to the front, restored when
    // it is minimized (waiting a moment for its window when that console
    // has only just started). Reads and writes no file.
    virtual void ShowRunningConsole() = 0;

    // Ends the process at once: no further handler of any window runs.
    // The fake records the call and returns, so callers must not touch
    // their state afterwards.
    virtual void EndProcess() = 0;

protected:
    // StartProgram and OpenDocument once the show code is accepted.
    virtual StartResult Start(const StartRequest& request) = 0;
    virtual StartResult Open(const std::string& path, int showCode, const std::string& directory) = 0;
};

}  // namespace orvan::platform
