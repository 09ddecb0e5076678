#include "platform/win32/services.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/files.h"
#include "platform/win32/lazy_dll.h"

namespace orvan::win32 {

namespace {

const char* kRefusedCode = "The window-style code is not one a program can be started with.";

platform::StartResult Failed(DWORD error) { return {false, 0, SystemMessage(error)}; }

bool EndsWithIgnoringCase(const std::string& text, const char* suffix) {
    std::string tail(suffix);
    if (text.size() < tail.size()) return false;
    return lstrcmpiA(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
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

std::u16string Win32TextCodec::AnsiToWide(std::string_view ansi) const { return ToWide(ansi, CP_ACP); }
std::string Win32TextCodec::WideToAnsi(std::u16string_view wide) const { return FromWide(wide, CP_ACP); }
std::u16string Win32TextCodec::Utf8ToWide(std::string_view utf8) const { return ToWide(utf8, CP_UTF8); }
std::string Win32TextCodec::WideToUtf8(std::u16string_view wide) const { return FromWide(wide, CP_UTF8); }

std::string SystemMessage(DWORD error) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : "Error " + std::to_string(error) + ".";
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

platform::StartResult Win32Services::StartProgram(const platform::StartRequest& request) {
    if (!platform::IsAcceptedShowCode(request.showCode)) return {false, 0, kRefusedCode};
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

platform::StartResult Win32Services::OpenDocument(const std::string& path, int showCode) {
    if (!platform::IsAcceptedShowCode(showCode)) return {false, 0, kRefusedCode};
    // The document's folder is the current directory of what opens it.
    const std::size_t cut = path.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpFile = path.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = showCode;
    auto* shellExecute = LazyFunction<decltype(ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (!shellExecute) return Failed(GetLastError());
    if (!shellExecute(&info)) return Failed(GetLastError());
    return {true, 0, {}};
}

platform::PathKind Win32Services::Classify(const std::string& path) {
    if (path.empty()) return platform::PathKind::Missing;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return platform::PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return platform::PathKind::Folder;
    if (EndsWithIgnoringCase(path, ".exe") || EndsWithIgnoringCase(path, ".com")) return platform::PathKind::Program;
    return platform::PathKind::Document;
}

void Win32Services::ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) {
    UINT style = static_cast<UINT>(MB_OK | (icon == platform::MessageIcon::Critical ? MB_ICONHAND : MB_ICONEXCLAMATION));
    MessageBoxA(owner_ && IsWindowEnabled(owner_) ? owner_ : nullptr, text.c_str(), title.c_str(), style);
}

std::string Win32Services::OpenFileDialog(const platform::OpenFileSpec& spec) {
    std::string filter;
    for (const auto& [description, pattern] : spec.filters) {
        filter += description;
        filter.push_back('\0');
        filter += pattern;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    // The designer stores the default extension as "*.exe"; the dialog wants "exe".
    std::string extension = spec.defaultExtension;
    while (!extension.empty() && (extension.front() == '*' || extension.front() == '.')) extension.erase(0, 1);
    std::vector<char> file(4096, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(spec.filterIndex);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = spec.title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    auto* openFile = LazyFunction<decltype(GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    if (!openFile || !openFile(&dialog)) return {};
    return file.data();
}

std::optional<std::string> Win32Services::ReadFile(const std::string& path) { return ReadWholeFile(path); }

bool Win32Services::ReplaceFile(const std::string& path, const std::string& contents) {
    return ReplaceFileAtomically(path, contents);
}

void Win32Services::EndProcess() { ExitProcess(0); }

}  // namespace orvan::win32
