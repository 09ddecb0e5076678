#include "win32/services.h"

#include <commdlg.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "version.h"
#include "win32/files.h"
#include "win32/lazy_dll.h"

namespace orvan::win32 {

namespace {

platform::StartResult Failed(DWORD error) { return {false, 0, SystemMessage(error)}; }

// One console per user session: the name lives in the session's namespace.
const wchar_t* kSessionMutex = L"Local\\Orvan97.Console";
// How long a second start waits for a console that has only just started
// to show its window.
constexpr DWORD kConsoleWindowWaitMs = 10000;

// The text in the ANSI code page, when every character converts exactly:
// no default character put in, no best-fit look-alike, and the way back
// gives the same text.
std::optional<std::string> ExactAnsi(const std::wstring& text) {
    if (text.empty()) return std::string();
    // A UTF-8 code page takes neither the flag nor the used-default report.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, reportDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), size, ansi.data(), length, nullptr, reportDefault) != length ||
        usedDefault)
        return std::nullopt;
    if (Widen(ansi, CP_ACP) != text) return std::nullopt;
    return ansi;
}

struct FileIdentity {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Takes the handle and closes it. The handles are opened with no access
// asked: only the file's identity is read, and folders open too.
std::optional<FileIdentity> IdentityOf(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The short path of a file, when it is pure ANSI and opens, through the
// ANSI functions the console uses, the very same file as the chosen path.
std::optional<std::string> VerifiedShortForm(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return std::nullopt;
    shortPath.resize(length);
    const std::optional<std::string> ansi = ExactAnsi(shortPath);
    if (!ansi || ansi->empty()) return std::nullopt;
    const auto chosen = IdentityOf(
        CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const auto kept = IdentityOf(
        CreateFileA(ansi->c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!chosen || !kept || !(*chosen == *kept)) return std::nullopt;
    return ansi;
}

// The conversions work in pieces small enough for an int count, so any
// size converts; a piece never ends inside a character that the next one
// continues (a lead byte, a UTF-8 sequence, a surrogate pair).
constexpr std::size_t kPiece = 1 << 24;

std::size_t PieceEnd(std::string_view bytes, std::size_t from) {
    std::size_t end = from + kPiece;
    if (end >= bytes.size()) return bytes.size();
    // Back up to a line break: the only bytes that can never continue a character.
    std::size_t cut = end;
    while (cut > from && bytes[cut - 1] != '\n') --cut;
    return cut > from ? cut : end;
}

std::u16string ToWide(std::string_view bytes, UINT codePage) {
    std::u16string out;
    for (std::size_t from = 0; from < bytes.size();) {
        std::size_t end = PieceEnd(bytes, from);
        const int n = static_cast<int>(end - from);
        int size = MultiByteToWideChar(codePage, 0, bytes.data() + from, n, nullptr, 0);
        if (size > 0) {
            std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(size));
            MultiByteToWideChar(codePage, 0, bytes.data() + from, n, reinterpret_cast<wchar_t*>(&out[at]), size);
        }
        from = end;
    }
    return out;
}

std::string FromWide(std::u16string_view wide, UINT codePage) {
    std::string out;
    for (std::size_t from = 0; from < wide.size();) {
        std::size_t end = from + kPiece < wide.size() ? from + kPiece : wide.size();
        if (end < wide.size() && wide[end - 1] >= 0xD800 && wide[end - 1] < 0xDC00) --end;  // keep a pair whole
        const int n = static_cast<int>(end - from);
        const wchar_t* text = reinterpret_cast<const wchar_t*>(wide.data() + from);
        int size = WideCharToMultiByte(codePage, 0, text, n, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(size));
            WideCharToMultiByte(codePage, 0, text, n, &out[at], size, nullptr, nullptr);
        }
        from = end;
    }
    return out;
}

}  // namespace

std::wstring Widen(std::string_view text, UINT codePage) {
    const std::u16string wide = ToWide(text, codePage);
    return std::wstring(wide.begin(), wide.end());
}

std::string Utf8(std::wstring_view text) {
    return FromWide(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), CP_UTF8);
}

std::u16string Win32TextCodec::AnsiToWide(std::string_view ansi) const { return ToWide(ansi, CP_ACP); }
std::string Win32TextCodec::WideToAnsi(std::u16string_view wide) const { return FromWide(wide, CP_ACP); }
std::u16string Win32TextCodec::Utf8ToWide(std::string_view utf8) const { return ToWide(utf8, CP_UTF8); }
std::string Win32TextCodec::WideToUtf8(std::u16string_view wide) const { return FromWide(wide, CP_UTF8); }

std::string SystemMessage(DWORD error) {
    char* buffer = nullptr;
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : "Error " + std::to_string(error) + ".";
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

platform::StartResult Win32Services::Start(const platform::StartRequest& request) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(request.showCode);
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> commandLine(request.commandLine.begin(), request.commandLine.end());
    commandLine.push_back('\0');
    BOOL ok = CreateProcessA(request.application.empty() ? nullptr : request.application.c_str(), commandLine.data(),
                             nullptr, nullptr, FALSE, 0, nullptr,
                             request.directory.empty() ? nullptr : request.directory.c_str(), &startup, &process);
    if (!ok) return Failed(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {true, process.dwProcessId, {}};
}

platform::StartResult Win32Services::Open(const std::string& path, int showCode, const std::string& directory) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpFile = path.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = showCode;
    auto* shellExecute = LazyFunction<decltype(ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (!shellExecute) return Failed(GetLastError());
    // The handler of a document's type may be a COM object, so ShellExecuteEx
    // wants COM on the thread first. Without it, it still tries.
    EnterComApartment();
    if (!shellExecute(&info)) return Failed(GetLastError());
    return {true, 0, {}};
}

platform::PathKind Win32Services::Classify(const std::string& path) {
    if (path.empty()) return platform::PathKind::Missing;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return platform::PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return platform::PathKind::Folder;
    return platform::PathKind::File;
}

namespace {

// The text a folder function gives, asked once for its length and once for
// the text; empty when it fails.
template <typename FolderFunction>
std::string FolderFrom(FolderFunction folderOf) {
    const UINT needed = folderOf(nullptr, 0);
    if (needed == 0) return {};
    std::string folder(needed, '\0');
    const UINT length = folderOf(folder.data(), needed);
    if (length == 0 || length >= needed) return {};
    folder.resize(length);
    return folder;
}

}  // namespace

std::string Win32Services::SystemFolder() { return FolderFrom(GetSystemDirectoryA); }

// The shared one: on a terminal server GetWindowsDirectory gives a program
// like ours a folder of the user's own.
std::string Win32Services::WindowsFolder() { return FolderFrom(GetSystemWindowsDirectoryA); }

std::string Win32Services::ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return platform::FolderOf(std::string(path, length));
}

std::string Win32Services::CurrentFolder() {
    return FolderFrom([](LPSTR buffer, UINT size) { return static_cast<UINT>(GetCurrentDirectoryA(size, buffer)); });
}

std::optional<std::string> Win32Services::EnvironmentVariable(const std::string& name) {
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (needed == 0) {
        // Set but empty, or not set at all.
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(needed, '\0');
    const DWORD length = GetEnvironmentVariableA(name.c_str(), value.data(), needed);
    if (length >= needed) return std::nullopt;  // changed between the calls: cannot happen on one thread
    value.resize(length);
    return value;
}

void Win32Services::ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) {
    UINT style =
        static_cast<UINT>(MB_OK | (icon == platform::MessageIcon::Critical ? MB_ICONHAND : MB_ICONEXCLAMATION));
    MessageBoxA(owner_ && IsWindowEnabled(owner_) ? owner_ : nullptr, text.c_str(), title.c_str(), style);
}

void Win32Services::ShowMessageUtf8(const std::string& text, const std::string& title, platform::MessageIcon icon) {
    UINT style =
        static_cast<UINT>(MB_OK | (icon == platform::MessageIcon::Critical ? MB_ICONHAND : MB_ICONEXCLAMATION));
    MessageBoxW(owner_ && IsWindowEnabled(owner_) ? owner_ : nullptr, Widen(text, CP_UTF8).c_str(),
                Widen(title, CP_UTF8).c_str(), style);
}

platform::ChosenFile DescribeChosenFile(const std::wstring& path) {
    platform::ChosenFile chosen;
    chosen.path = Utf8(path);
    chosen.exact = ExactAnsi(path);
    chosen.shortForm = VerifiedShortForm(path);
    return chosen;
}

// The wide dialog: the ANSI one would hand back '?' for every character the
// code page lacks, a path that names no file.
std::optional<platform::ChosenFile> Win32Services::OpenFileDialog(const platform::OpenFileSpec& spec) {
    std::wstring filter;
    for (const auto& [description, pattern] : spec.filters) {
        filter += Widen(description, CP_ACP);
        filter.push_back(L'\0');
        filter += Widen(pattern, CP_ACP);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    const std::wstring wideExtension = Widen(spec.defaultExtension, CP_ACP);
    const std::wstring title = Widen(spec.title, CP_ACP);
    std::vector<wchar_t> file(4096, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(spec.filterIndex);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = wideExtension.empty() ? nullptr : wideExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    auto* openFile = LazyFunction<decltype(GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
    if (!openFile || !openFile(&dialog)) return std::nullopt;
    const std::wstring path = file.data();
    if (path.empty()) return std::nullopt;
    return DescribeChosenFile(path);
}

std::optional<std::string> Win32Services::ReadFile(const std::string& path) { return ReadWholeFile(path); }

platform::ReplaceOutcome Win32Services::ReplaceFile(const std::string& path, const std::string& contents) {
    return ReplaceFileAtomically(path, contents);
}

platform::OverwriteOutcome Win32Services::OverwriteFile(const std::string& path, const std::string& contents) {
    return OverwriteInPlace(path, contents);
}

platform::OverwriteOutcome Win32Services::EditInPlace(const std::string& path, const platform::InPlaceEdit& edit) {
    return EditFileInPlace(path, edit);
}

bool Win32Services::RemoveFile(const std::string& path) { return RemoveWholeFile(path); }

platform::SessionClaim Win32Services::ClaimSession() {
    if (session_) return platform::SessionClaim::Ours;
    SetLastError(ERROR_SUCCESS);
    session_ = CreateMutexW(nullptr, FALSE, kSessionMutex);
    const DWORD error = GetLastError();
    // Access denied: the name exists, made by a console that runs with other
    // rights in the same session.
    if (error == ERROR_ALREADY_EXISTS || (!session_ && error == ERROR_ACCESS_DENIED))
        return platform::SessionClaim::HeldByAnother;
    // Any other failure leaves the console free to open rather than never.
    return platform::SessionClaim::Ours;
}

void Win32Services::ShowRunningConsole() {
    // A console started a moment ago (a double-click that fired twice) may
    // not have shown its window yet.
    HWND console = nullptr;
    const DWORD start = GetTickCount();
    for (;;) {
        console = FindWindowA(ORVAN_CONSOLE_CLASS, ORVAN_CONSOLE_CAPTION);
        if (console && IsWindowVisible(console)) break;
        if (GetTickCount() - start > kConsoleWindowWaitMs) return;
        Sleep(50);
    }
    if (IsIconic(console)) ShowWindow(console, SW_RESTORE);
    // A dialog the console has open (Options, Open-file, a message) comes
    // forward with it.
    HWND front = GetLastActivePopup(console);
    SetForegroundWindow(front ? front : console);
}

void Win32Services::EndProcess() { ExitProcess(0); }

}  // namespace orvan::win32
