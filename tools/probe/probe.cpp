// probe.exe: the test program the end-to-end tests have the console start.
//
// It records how it was started, shows one window the way it was asked to,
// and records how that window ended up, so a test can check the command
// line, show code and directory a launch really produced.
//
// Log: the file named by the environment variable ORVAN_PROBE_LOG (a Windows
// path), or probe.log beside the exe. One record per line, appended with a
// single WriteFile so that concurrent probes never interleave:
//
//   key=value<TAB>key=value...<CRLF>
//
// Values are text in the ANSI code page; the bytes 0x00-0x1F and '%' are
// written as %XX (two hex digits), everything else as is. Every record
// starts with event= and pid=. The events:
//
//   event=start  pid ppid module longmodule cmdline cwd flags show ncmdshow args created time
//       longmodule: the exe's long path (short names expanded), in UTF-8,
//       so a start by a short path still names the file started;
//       flags/show: GetStartupInfo's dwFlags (hex) and wShowWindow (decimal);
//       ncmdshow: what WinMain received; args: the argument count;
//       created: the process's creation time (GetProcessTimes), time: the
//       system time on entry to WinMain, both FILETIMEs in decimal (100 ns
//       since 1601; under Wine the unix real-time clock).
//   event=shown  pid hwnd foreground visible state     (right after showing)
//   event=settled pid hwnd foreground visible state    (about 750 ms later)
//       foreground: 1 when the probe's window is GetForegroundWindow();
//       state: normal, maximized or minimized.
//   event=msgbox pid result      (after a --msgbox box was closed)
//   event=click pid button x y time   (a button released over the client
//                                 area; button: left, right, middle; client
//                                 pixels; time: as in start)
//   event=select pid index       (the --list selection changed)
//   event=dblclick pid index     (an entry of the --list was double-clicked)
//   event=exit   pid reason      (reason: close, timeout)
//   event=hold   pid path ok     (the --hold file was opened: ok=1, or not: ok=0)
//   event=load   pid name ok     (the --load library was loaded: ok=1, or not: ok=0)
//   event=drag   pid result effect   (a --drag ended: DoDragDrop's result
//                                 and the effect the target chose, in hex)
//
// Arguments it acts on (anything else is only logged):
//   --msgbox TEXT        after showing, a message box "Orvan Probe" with
//                        TEXT, an OK button and the exclamation icon
//   --msgbox-error TEXT  the same with the stop (hand) icon
//   --exit-after MS      exit by itself after MS milliseconds
//   --at X,Y             place the window's top-left corner there
//   --list A|B|C         a list box child (id 100) with these entries, in
//                        this order, the first selected
//   --hold PATH          before showing, open the file for reading, sharing
//                        reading and writing but not deleting, and keep it
//                        open until the probe ends (another program that has
//                        the settings file open)
//   --load NAME          before showing, LoadLibraryA(NAME) with the system's
//                        default search, as a program that trusts it would
//   --drag PATH          the left button pressed on the window drags the file
//                        PATH, as a file manager drags it (the shell's own
//                        data object, OLE's DoDragDrop), until it is released
//
// The client area is painted kProbeColour so tests can find it on screen.
// Whatever happens, the probe ends itself after two minutes.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/fields.h"
#include "common/precise_clock.h"

namespace {

constexpr COLORREF kProbeColour = RGB(0x12, 0x34, 0x56);
constexpr UINT kMsgShown = WM_APP + 1;
constexpr UINT_PTR kTimerSettled = 1;
constexpr UINT_PTR kTimerExit = 2;
constexpr DWORD kLifetimeMs = 120000;

constexpr int kListId = 100;

struct Options {
    std::string msgboxText;
    UINT msgboxIcon = 0;
    UINT exitAfterMs = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    std::string listEntries;
    bool hasList = false;
    std::string holdPath;
    std::string loadName;
    std::string dragPath;
};

Options g_options;
int g_nCmdShow = SW_SHOWDEFAULT;
ULONGLONG g_entered = 0;

using orvan::clock::Now;
using orvan::clock::Ticks;

ULONGLONG CreationTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return Ticks(created);
}

class Record {
public:
    Record(const char* event) { Add("event", event).Add("pid", GetCurrentProcessId()); }
    Record& Add(const char* key, const std::string& value) {
        if (!line_.empty()) line_ += '\t';
        line_ += key;
        line_ += '=';
        line_ += orvan::fields::Escape(value);
        return *this;
    }
    Record& Add(const char* key, unsigned long value) { return Add(key, std::to_string(value)); }
    Record& AddHex(const char* key, unsigned long value) {
        char text[16];
        wsprintfA(text, "0x%lX", value);
        return Add(key, text);
    }
    void Write();

private:
    std::string line_;
};

std::string LogPath() {
    char path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("ORVAN_PROBE_LOG", path, sizeof path);
    if (n > 0 && n < sizeof path) return path;
    n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, n);
    const auto slash = own.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : own.substr(0, slash + 1)) + "probe.log";
}

void Record::Write() {
    // Append-only access makes each WriteFile land whole at the end. Opening
    // can fail for a moment while other probes hold the file; try again.
    const std::string path = LogPath();
    HANDLE file = INVALID_HANDLE_VALUE;
    int retries = 0;
    for (; retries < 100; ++retries) {
        file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) break;
        Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return;
    if (retries > 0) Add("retries", static_cast<unsigned long>(retries));
    const std::string text = line_ + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

DWORD ParentPid() {
    DWORD parent = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    }
    CloseHandle(snap);
    return parent;
}

// The exe's long path in UTF-8: every name as the file system has it, in
// whatever script.
std::string LongModulePath() {
    wchar_t module[MAX_PATH * 2];
    const DWORD moduleLen = GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    if (moduleLen == 0 || moduleLen >= MAX_PATH * 2) return {};
    wchar_t longPath[MAX_PATH * 4];
    DWORD longLen = GetLongPathNameW(module, longPath, MAX_PATH * 4);
    const wchar_t* path = longLen > 0 && longLen < MAX_PATH * 4 ? longPath : module;
    if (path == module) longLen = moduleLen;
    char utf8[MAX_PATH * 16];
    const int n = WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(longLen), utf8, static_cast<int>(sizeof utf8),
                                      nullptr, nullptr);
    return n > 0 ? std::string(utf8, static_cast<size_t>(n)) : std::string();
}

void LogStart() {
    char module[MAX_PATH];
    const DWORD moduleLen = GetModuleFileNameA(nullptr, module, MAX_PATH);
    char cwd[MAX_PATH];
    const DWORD cwdLen = GetCurrentDirectoryA(MAX_PATH, cwd);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    Record("start")
        .Add("ppid", ParentPid())
        .Add("module", std::string(module, moduleLen))
        .Add("longmodule", LongModulePath())
        .Add("cmdline", GetCommandLineA())
        .Add("cwd", std::string(cwd, cwdLen < MAX_PATH ? cwdLen : 0))
        .AddHex("flags", si.dwFlags)
        .Add("show", si.wShowWindow)
        .Add("ncmdshow", static_cast<unsigned long>(g_nCmdShow))
        .Add("args", static_cast<unsigned long>(__argc))
        .Add("created", std::to_string(CreationTime()))
        .Add("time", std::to_string(g_entered))
        .Write();
}

void LogWindowState(const char* event, HWND hwnd) {
    const char* state = IsIconic(hwnd) ? "minimized" : IsZoomed(hwnd) ? "maximized" : "normal";
    Record(event)
        .AddHex("hwnd", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)))
        .Add("foreground", GetForegroundWindow() == hwnd ? 1UL : 0UL)
        .Add("visible", IsWindowVisible(hwnd) ? 1UL : 0UL)
        .Add("state", state)
        .Write();
}

void ParseArguments() {
    for (int i = 1; i < __argc; ++i) {
        const char* arg = __argv[i];
        const bool hasValue = i + 1 < __argc;
        if (std::strcmp(arg, "--msgbox") == 0 && hasValue) {
            g_options.msgboxText = __argv[++i];
            g_options.msgboxIcon = MB_ICONEXCLAMATION;
        } else if (std::strcmp(arg, "--msgbox-error") == 0 && hasValue) {
            g_options.msgboxText = __argv[++i];
            g_options.msgboxIcon = MB_ICONHAND;
        } else if (std::strcmp(arg, "--exit-after") == 0 && hasValue) {
            g_options.exitAfterMs = static_cast<UINT>(std::strtoul(__argv[++i], nullptr, 10));
        } else if (std::strcmp(arg, "--at") == 0 && hasValue) {
            char* rest = nullptr;
            g_options.x = static_cast<int>(std::strtol(__argv[++i], &rest, 10));
            g_options.y = *rest == ',' ? static_cast<int>(std::strtol(rest + 1, nullptr, 10)) : 0;
        } else if (std::strcmp(arg, "--hold") == 0 && hasValue) {
            g_options.holdPath = __argv[++i];
        } else if (std::strcmp(arg, "--load") == 0 && hasValue) {
            g_options.loadName = __argv[++i];
        } else if (std::strcmp(arg, "--drag") == 0 && hasValue) {
            g_options.dragPath = __argv[++i];
        } else if (std::strcmp(arg, "--list") == 0 && hasValue) {
            g_options.listEntries = __argv[++i];
            g_options.hasList = true;
        }
    }
}

void OnShown(HWND hwnd) {
    LogWindowState("shown", hwnd);
    SetTimer(hwnd, kTimerSettled, 750, nullptr);
    if (!g_options.msgboxText.empty()) {
        const int result = MessageBoxA(hwnd, g_options.msgboxText.c_str(), "Orvan Probe", MB_OK | g_options.msgboxIcon);
        Record("msgbox").Add("result", static_cast<unsigned long>(result)).Write();
    }
}

void CreateList(HWND parent) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 10,
                                200, 150, parent, reinterpret_cast<HMENU>(kListId), GetModuleHandleA(nullptr), nullptr);
    const std::string& all = g_options.listEntries;
    for (size_t start = 0;;) {
        const size_t bar = all.find('|', start);
        const std::string entry = all.substr(start, bar - start);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void OnListNotify(HWND list, WORD code) {
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    const char* event = code == LBN_DBLCLK ? "dblclick" : code == LBN_SELCHANGE ? "select" : nullptr;
    if (event) Record(event).Add("index", std::to_string(index)).Write();
}

void LogClick(const char* button, LPARAM lp) {
    Record("click")
        .Add("button", button)
        .Add("x", std::to_string(static_cast<short>(LOWORD(lp))))
        .Add("y", std::to_string(static_cast<short>(HIWORD(lp))))
        .Add("time", std::to_string(Now()))
        .Write();
}

// Follows the left button, as a file manager's drag does.
class ButtonDropSource final : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        *out = riid == IID_IUnknown || riid == IID_IDropSource ? static_cast<IDropSource*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// The shell's data object of one file, as Explorer hands it to a drag.
IDataObject* ShellDataObject(const std::string& ansiPath) {
    wchar_t path[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, ansiPath.c_str(), -1, path, MAX_PATH);
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHParseDisplayName(path, nullptr, &item, 0, nullptr))) return nullptr;
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    IDataObject* data = nullptr;
    if (SUCCEEDED(SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child))) {
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
        parent->Release();
    }
    CoTaskMemFree(item);
    return data;
}

void Drag() {
    IDataObject* data = ShellDataObject(g_options.dragPath);
    ButtonDropSource source;
    DWORD effect = 0;
    const HRESULT result = data ? DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect) : E_FAIL;
    if (data) data->Release();
    Record("drag")
        .AddHex("result", static_cast<unsigned long>(result))
        .AddHex("effect", static_cast<unsigned long>(effect))
        .Write();
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH brush = CreateSolidBrush(kProbeColour);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kMsgShown:
        OnShown(hwnd);
        return 0;
    case WM_TIMER:
        KillTimer(hwnd, wp);
        if (wp == kTimerSettled) LogWindowState("settled", hwnd);
        if (wp == kTimerExit) {
            Record("exit").Add("reason", "timeout").Write();
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_CREATE:
        if (g_options.hasList) CreateList(hwnd);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kListId) OnListNotify(reinterpret_cast<HWND>(lp), HIWORD(wp));
        return 0;
    case WM_LBUTTONDOWN:
        if (!g_options.dragPath.empty()) Drag();
        return 0;
    case WM_LBUTTONUP:
        LogClick("left", lp);
        return 0;
    case WM_RBUTTONUP:
        LogClick("right", lp);
        return 0;
    case WM_MBUTTONUP:
        LogClick("middle", lp);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_CLOSE:
        Record("exit").Add("reason", "close").Write();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// The last line of defence against a probe left running: a test that forgets
// it, or a probe stuck in a modal loop.
DWORD WINAPI Lifetime(void*) {
    Sleep(kLifetimeMs + 5000);
    ExitProcess(3);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int nCmdShow) {
    g_entered = Now();
    g_nCmdShow = nCmdShow;
    ParseArguments();
    LogStart();
    CloseHandle(CreateThread(nullptr, 0, Lifetime, nullptr, 0, nullptr));
    if (!g_options.holdPath.empty()) {
        // Never closed: the handle goes with the process.
        const HANDLE held = CreateFileA(g_options.holdPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Record("hold").Add("path", g_options.holdPath).Add("ok", held != INVALID_HANDLE_VALUE ? 1UL : 0UL).Write();
    }
    if (!g_options.loadName.empty()) {
        const HMODULE loaded = LoadLibraryA(g_options.loadName.c_str());
        Record("load").Add("name", g_options.loadName).Add("ok", loaded ? 1UL : 0UL).Write();
    }

    if (!g_options.dragPath.empty()) OleInitialize(nullptr);

    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "OrvanProbe";
    if (!RegisterClassA(&wc)) return 1;

    const std::string title = "Orvan Probe " + std::to_string(GetCurrentProcessId());
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, g_options.x,
                                g_options.y, 320, 240, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, nCmdShow);
    UpdateWindow(hwnd);
    PostMessageA(hwnd, kMsgShown, 0, 0);
    SetTimer(hwnd, kTimerExit, g_options.exitAfterMs ? g_options.exitAfterMs : kLifetimeMs, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
