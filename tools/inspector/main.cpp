// inspector.exe: the Windows-side eyes and hands of the end-to-end tests.
//
// A console program that reads one command per line on stdin and answers
// each on stdout. It never creates a window, never takes the focus and
// changes nothing unless a command says so.
//
// Request: a command word and its arguments, separated by TABs. A line
// without a TAB may separate them by blanks instead; then the command's last
// argument takes the rest of the line (handy when typing by hand).
// Handles and numbers: decimal, or hex with a 0x prefix.
//
// Reply:   ok | error<TAB>reason      the status line
//          key=value<TAB>key=value... zero or more records
//          .                          the end of the reply
// Text is UTF-8; the bytes 0x00-0x1F and '%' are written as %XX. Handles
// are 0x-prefixed hex; rectangles are left,top,right,bottom in screen
// coordinates; flags are 0 or 1.
//
// Commands and their records:
//   windows              every top-level window, topmost first: a window
//                        record: hwnd pid tid class title rect client visible
//                        enabled minimized maximized style exstyle owner
//   window HWND          the window record of one window
//   foreground           the window record of the foreground window
//   focus                foreground active focus capture (handles of the
//                        foreground thread), focusclass focusid focuspid
//   children HWND        every descendant: hwnd parent class id text rect
//                        visible enabled style
//   list HWND            a list box: count selected top, then one record per
//                        entry: index text rect selected
//   msgboxes             every visible #32770 dialog: kind=msgbox hwnd pid
//                        title rect icon (none, hand, exclamation, asterisk,
//                        question, unknown), then its kind=text records (text)
//                        and kind=button records (button id text rect
//                        default)
//   press HWND ID        posts the dialog the click of its button ID
//   checked HWND         checked: a button's BM_GETCHECK (0, 1 or 2)
//   settext HWND TEXT    sets a window's text (WM_SETTEXT), as if typed whole
//   close HWND           posts WM_CLOSE
//   show HWND CODE       ShowWindowAsync with the show code (such as 6,
//                        SW_MINIMIZE), as a taskbar or the system would
//   wait-window TITLE MS waits for a visible top-level window titled TITLE;
//                        its window record, or error timeout
//   start SHOW CMDLINE   CreateProcess with STARTF_USESHOWWINDOW and SHOW as
//                        wShowWindow; pid
//   start-in SHOW DIR CMDLINE   the same with DIR as current directory
//   wait-exit PID MS     exitcode, or error timeout
//   kill PID             TerminateProcess
//   processes            pid ppid exe, for every process
//   self                 pid: the inspector's own
//   dblclick             ms cx cy: the system's double-click time and the
//                        rectangle a second press must fall in
//   xwindow HWND         xwindow: the X window Wine shows a top-level window in
//                        (0x0 when it has none, or not under Wine's X11 driver)
//   setenv NAME VALUE    sets (an empty VALUE removes) a variable of the
//                        inspector, which the programs it starts inherit
//   profile-write FILE SECTION KEY VALUE
//                        the system's private-profile writer
//                        (WritePrivateProfileStringA, the texts' bytes as
//                        given): written (0 or 1), error (GetLastError when 0)
//   profile-read FILE SECTION KEY
//                        value: what GetPrivateProfileStringA gives, with an
//                        empty default and a buffer of 256 characters
//   hold FILE SHARE      opens FILE for reading, as another program holding it
//                        would, sharing nothing when SHARE is "none", else
//                        reading and writing and, when SHARE is "delete",
//                        deleting; kept open until release
//   release              closes every file hold opened
//   acc HWND             what accessibility tools see of the window's client
//                        area (its IAccessible through oleacc): the object
//                        itself (kind=self), then each child in order: id
//                        kind (element: known by its id; object: a child
//                        window's own object) role name description state
//                        invisible unavailable rect action hwnd
//   acc-hit HWND X Y     the child at a screen point (accHitTest), as above
//   acc-nav HWND ID DIR  the child reached from child ID (0: the object)
//                        going DIR: up down left right next previous first last
//   acc-do HWND ID       the default action of child ID
//   acc-press HWND NAME  the default action of the one child named NAME; id
//   acc-hold HWND        keeps the window's object for acc-held
//   acc-held HWND        asks the kept object (which may outlive its window)
//                        and lets it go: the result codes count name location
//                        hit action, as 0x-prefixed hex
//   dpi N                sets the screen's DPI (LogPixels) that programs
//                        started from now on take
//   text-size FACE HEIGHT WEIGHT TEXT
//                        cx cy: TEXT's width and the font's line height in
//                        pixels, in the font of that face, pixel height and
//                        weight, as GetTextExtentPoint32 and the text
//                        metrics give them
//   quit                 ends the inspector
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "accessibility.h"
#include "icons.h"
#include "protocol.h"

namespace inspector {
namespace {

HWND ParseHwnd(const std::string& text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseNumber(text))); }

std::string ClassOf(HWND hwnd) {
    wchar_t name[256];
    const int n = GetClassNameW(hwnd, name, 256);
    return Utf8(std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0));
}

// How long a window may take to answer a message: an emulated program can be
// busy for seconds (loading a library) and is not hung for that, so the
// system's own idea of hung (no message taken for five seconds) is not used.
constexpr UINT kAnswerWithinMs = 15000;

// WM_GETTEXT is marshalled between processes, GetWindowText is not for
// controls of other processes.
std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerWithinMs, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                        kAnswerWithinMs, &copied);
    text.resize(copied);
    return Utf8(text);
}

RECT ClientOnScreen(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

Record WindowRecord(HWND hwnd) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return Record()
        .Hex("hwnd", Handle(hwnd))
        .Add("pid", pid)
        .Add("tid", tid)
        .Add("class", ClassOf(hwnd))
        .Add("title", TextOf(hwnd))
        .Add("rect", rect)
        .Add("client", ClientOnScreen(hwnd))
        .Flag("visible", IsWindowVisible(hwnd))
        .Flag("enabled", IsWindowEnabled(hwnd))
        .Flag("minimized", IsIconic(hwnd))
        .Flag("maximized", IsZoomed(hwnd))
        .Hex("style", static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)))
        .Hex("exstyle", static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)))
        .Hex("owner", Handle(GetWindow(hwnd, GW_OWNER)));
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> found;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND RequireWindow(const std::string& text) {
    HWND hwnd = ParseHwnd(text);
    if (!IsWindow(hwnd)) throw CommandError("no such window");
    return hwnd;
}

Reply Windows(const Args&) {
    Reply reply;
    for (HWND hwnd : TopLevelWindows()) reply.records.push_back(WindowRecord(hwnd));
    return reply;
}

Reply Window(const Args& args) {
    Reply reply;
    reply.records.push_back(WindowRecord(RequireWindow(args[0])));
    return reply;
}

Reply Foreground(const Args&) {
    Reply reply;
    HWND hwnd = GetForegroundWindow();
    reply.records.push_back(hwnd ? WindowRecord(hwnd) : Record().Hex("hwnd", 0));
    return reply;
}

Reply Focus(const Args&) {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD tid = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (tid) GetGUIThreadInfo(tid, &info);
    DWORD focusPid = 0;
    if (info.hwndFocus) GetWindowThreadProcessId(info.hwndFocus, &focusPid);
    Reply reply;
    reply.records.push_back(Record()
                                .Hex("foreground", Handle(foreground))
                                .Hex("active", Handle(info.hwndActive))
                                .Hex("focus", Handle(info.hwndFocus))
                                .Hex("capture", Handle(info.hwndCapture))
                                .Add("focusclass", info.hwndFocus ? ClassOf(info.hwndFocus) : std::string())
                                .Add("focusid", info.hwndFocus ? static_cast<DWORD>(GetDlgCtrlID(info.hwndFocus)) : 0UL)
                                .Add("focuspid", focusPid));
    return reply;
}

Reply Children(const Args& args) {
    Reply reply;
    for (HWND child : Descendants(RequireWindow(args[0]))) {
        RECT rect{};
        GetWindowRect(child, &rect);
        reply.records.push_back(Record()
                                    .Hex("hwnd", Handle(child))
                                    .Hex("parent", Handle(GetParent(child)))
                                    .Add("class", ClassOf(child))
                                    .Add("id", static_cast<DWORD>(GetDlgCtrlID(child)))
                                    .Add("text", TextOf(child))
                                    .Add("rect", rect)
                                    .Flag("visible", IsWindowVisible(child))
                                    .Flag("enabled", IsWindowEnabled(child))
                                    .Hex("style", static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE))));
    }
    return reply;
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, kAnswerWithinMs, &result)) {
        throw CommandError("the window does not answer");
    }
    return static_cast<LRESULT>(result);
}

Reply List(const Args& args) {
    HWND list = RequireWindow(args[0]);
    const LRESULT count = Ask(list, LB_GETCOUNT);
    if (count < 0) throw CommandError("not a list box");
    const LRESULT selected = Ask(list, LB_GETCURSEL);
    Reply reply;
    reply.records.push_back(Record()
                                .Add("count", std::to_string(count))
                                .Add("selected", std::to_string(selected))
                                .Add("top", std::to_string(Ask(list, LB_GETTOPINDEX))));
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        const LRESULT length = Ask(list, LB_GETTEXTLEN, index);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied = Ask(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        RECT item{};
        Ask(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
        reply.records.push_back(Record()
                                    .Add("index", std::to_string(i))
                                    .Add("text", Utf8(text))
                                    .Add("rect", item)
                                    .Flag("selected", Ask(list, LB_GETSEL, index) > 0));
    }
    return reply;
}

Record ButtonRecord(HWND dialog, HWND button) {
    RECT rect{};
    GetWindowRect(button, &rect);
    const auto style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE));
    return Record()
        .Add("kind", "button")
        .Hex("hwnd", Handle(dialog))
        .Hex("button", Handle(button))
        .Add("id", static_cast<DWORD>(GetDlgCtrlID(button)))
        .Add("text", TextOf(button))
        .Add("rect", rect)
        .Flag("default", (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
}

void AddMessageBox(Reply& reply, HWND dialog) {
    std::vector<Record> parts;
    std::string icon = "none";
    for (HWND child : Descendants(dialog)) {
        if (!IsWindowVisible(child)) continue;
        const std::string cls = ClassOf(child);
        const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            icon = IdentifyIcon(child);
        } else if (cls == "Static") {
            parts.push_back(Record().Add("kind", "text").Hex("hwnd", Handle(dialog)).Add("text", TextOf(child)));
        } else if (cls == "Button") {
            parts.push_back(ButtonRecord(dialog, child));
        }
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog, &pid);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    reply.records.push_back(Record()
                                .Add("kind", "msgbox")
                                .Hex("hwnd", Handle(dialog))
                                .Add("pid", pid)
                                .Add("title", TextOf(dialog))
                                .Add("rect", rect)
                                .Add("icon", icon));
    reply.records.insert(reply.records.end(), parts.begin(), parts.end());
}

Reply MessageBoxes(const Args&) {
    Reply reply;
    for (HWND hwnd : TopLevelWindows()) {
        if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") AddMessageBox(reply, hwnd);
    }
    return reply;
}

Reply Press(const Args& args) {
    HWND dialog = RequireWindow(args[0]);
    const auto id = static_cast<int>(ParseNumber(args[1]));
    HWND button = GetDlgItem(dialog, id);
    if (!button) throw CommandError("no such button");
    // Posted, so a dialog that answers slowly cannot block the inspector.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return {};
}

Reply Checked(const Args& args) {
    Reply reply;
    reply.records.push_back(
        Record().Add("checked", static_cast<unsigned long>(Ask(RequireWindow(args[0]), BM_GETCHECK))));
    return reply;
}

Reply SetText(const Args& args) {
    const std::wstring text = Wide(args[1]);
    if (!Ask(RequireWindow(args[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
        throw CommandError("the window refused the text");
    }
    return {};
}

Reply Close(const Args& args) {
    PostMessageW(RequireWindow(args[0]), WM_CLOSE, 0, 0);
    return {};
}

Reply Show(const Args& args) {
    ShowWindowAsync(RequireWindow(args[0]), static_cast<int>(ParseNumber(args[1])));
    return {};
}

Reply WaitWindow(const Args& args) {
    const std::string& title = args[0];
    const DWORD timeout = static_cast<DWORD>(ParseNumber(args[1]));
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND hwnd : TopLevelWindows()) {
            if (IsWindowVisible(hwnd) && TextOf(hwnd) == title) {
                Reply reply;
                reply.records.push_back(WindowRecord(hwnd));
                return reply;
            }
        }
        if (GetTickCount() - start >= timeout) throw CommandError("timeout");
        Sleep(50);
    }
}

Reply StartIn(int show, const std::string& dir, const std::string& commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION pi{};
    std::wstring line = Wide(commandLine);
    const std::wstring directory = Wide(dir);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &si, &pi)) {
        throw CommandError("CreateProcess failed: error " + std::to_string(GetLastError()));
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Reply reply;
    reply.records.push_back(Record().Add("pid", pi.dwProcessId));
    return reply;
}

Reply Start(const Args& args) { return StartIn(static_cast<int>(ParseNumber(args[0])), "", args[1]); }

Reply StartInDir(const Args& args) { return StartIn(static_cast<int>(ParseNumber(args[0])), args[1], args[2]); }

HANDLE OpenPid(const std::string& text, DWORD access) {
    HANDLE process = OpenProcess(access, FALSE, static_cast<DWORD>(ParseNumber(text)));
    if (!process) throw CommandError("no such process");
    return process;
}

Reply WaitExit(const Args& args) {
    HANDLE process = OpenPid(args[0], SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
    const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(ParseNumber(args[1])));
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (waited != WAIT_OBJECT_0) throw CommandError("timeout");
    Reply reply;
    reply.records.push_back(Record().Add("exitcode", code));
    return reply;
}

Reply Kill(const Args& args) {
    HANDLE process = OpenPid(args[0], PROCESS_TERMINATE | SYNCHRONIZE);
    const BOOL done = TerminateProcess(process, 1) && WaitForSingleObject(process, 5000) == 0;
    CloseHandle(process);
    if (!done) throw CommandError("could not end the process");
    return {};
}

Reply Processes(const Args&) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) throw CommandError("no process snapshot");
    Reply reply;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
        reply.records.push_back(Record()
                                    .Add("pid", entry.th32ProcessID)
                                    .Add("ppid", entry.th32ParentProcessID)
                                    .Add("exe", Utf8(entry.szExeFile)));
    }
    CloseHandle(snap);
    return reply;
}

Reply Self(const Args&) {
    Reply reply;
    reply.records.push_back(Record().Add("pid", GetCurrentProcessId()));
    return reply;
}

// The system's double-click rule: a second press within this time and
// within half the rectangle of the first makes a double-click.
Reply DoubleClick(const Args&) {
    Reply reply;
    reply.records.push_back(Record()
                                .Add("ms", static_cast<unsigned long>(GetDoubleClickTime()))
                                .Add("cx", static_cast<unsigned long>(GetSystemMetrics(SM_CXDOUBLECLK)))
                                .Add("cy", static_cast<unsigned long>(GetSystemMetrics(SM_CYDOUBLECLK))));
    return reply;
}

Reply XWindow(const Args& args) {
    const HANDLE x = GetPropA(RequireWindow(args[0]), "__wine_x11_whole_window");
    Reply reply;
    reply.records.push_back(Record().Hex("xwindow", reinterpret_cast<UINT_PTR>(x)));
    return reply;
}

Reply SetEnv(const Args& args) {
    const std::wstring value = Wide(args[1]);
    if (!SetEnvironmentVariableW(Wide(args[0]).c_str(), args[1].empty() ? nullptr : value.c_str()) &&
        !args[1].empty()) {
        throw CommandError("SetEnvironmentVariable failed");
    }
    return {};
}

// ---------------------------------------------------------------- files

Reply ProfileWrite(const Args& args) {
    const BOOL written = WritePrivateProfileStringA(args[1].c_str(), args[2].c_str(), args[3].c_str(), args[0].c_str());
    const DWORD error = written ? 0 : GetLastError();
    Reply reply;
    reply.records.push_back(Record().Flag("written", written != 0).Add("error", error));
    return reply;
}

Reply ProfileRead(const Args& args) {
    char value[256] = {};
    const DWORD n =
        GetPrivateProfileStringA(args[1].c_str(), args[2].c_str(), "", value, sizeof value, args[0].c_str());
    Reply reply;
    reply.records.push_back(Record().Add("value", std::string(value, n)));
    return reply;
}

std::vector<HANDLE>& HeldFiles() {
    static std::vector<HANDLE> held;
    return held;
}

Reply Hold(const Args& args) {
    const DWORD share =
        args[1] == "none" ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | (args[1] == "delete" ? FILE_SHARE_DELETE : 0);
    const HANDLE file =
        CreateFileW(Wide(args[0]).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw CommandError("cannot open the file: error " + std::to_string(GetLastError()));
    HeldFiles().push_back(file);
    return {};
}

Reply Release(const Args&) {
    for (HANDLE file : HeldFiles()) CloseHandle(file);
    HeldFiles().clear();
    return {};
}

// ---------------------------------------------------------------- the screen's DPI and text

Reply SetDpi(const Args& args) {
    const DWORD dpi = static_cast<DWORD>(std::strtoul(args[0].c_str(), nullptr, 10));
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw CommandError("cannot open the desktop's settings");
    const LONG set = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
    if (set != ERROR_SUCCESS) throw CommandError("cannot set LogPixels");
    return {};
}

Reply TextSize(const Args& args) {
    const int height = std::atoi(args[1].c_str());
    HFONT font =
        CreateFontW(-height, 0, 0, 0, std::atoi(args[2].c_str()), FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(args[0]).c_str());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    const std::wstring text = Wide(args[3]);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    Reply reply;
    reply.records.push_back(Record()
                                .Add("cx", static_cast<unsigned long>(size.cx))
                                .Add("cy", static_cast<unsigned long>(metrics.tmHeight)));
    return reply;
}

struct Command {
    size_t arity;
    std::function<Reply(const Args&)> run;
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> table = {
        {"windows", {0, Windows}},
        {"window", {1, Window}},
        {"foreground", {0, Foreground}},
        {"focus", {0, Focus}},
        {"children", {1, Children}},
        {"list", {1, List}},
        {"msgboxes", {0, MessageBoxes}},
        {"press", {2, Press}},
        {"close", {1, Close}},
        {"show", {2, Show}},
        {"wait-window", {2, WaitWindow}},
        {"start", {2, Start}},
        {"start-in", {3, StartInDir}},
        {"wait-exit", {2, WaitExit}},
        {"kill", {1, Kill}},
        {"processes", {0, Processes}},
        {"self", {0, Self}},
        {"setenv", {2, SetEnv}},
        {"xwindow", {1, XWindow}},
        {"checked", {1, Checked}},
        {"settext", {2, SetText}},
        {"dblclick", {0, DoubleClick}},
        {"profile-write", {4, ProfileWrite}},
        {"profile-read", {3, ProfileRead}},
        {"hold", {2, Hold}},
        {"release", {0, Release}},
        {"dpi", {1, SetDpi}},
        {"text-size", {4, TextSize}},
        {"acc", {1, AccTree}},
        {"acc-hit", {3, AccHit}},
        {"acc-nav", {3, AccNavigate}},
        {"acc-do", {2, AccDo}},
        {"acc-press", {2, AccPress}},
        {"acc-hold", {1, AccHold}},
        {"acc-held", {1, AccHeld}},
    };
    return table;
}

Reply Serve(const std::string& line) {
    const std::string word = CommandWord(line);
    if (word.empty()) throw CommandError("empty command");
    const auto found = Commands().find(word);
    if (found == Commands().end()) throw CommandError("unknown command " + word);
    const Command& command = found->second;
    const Args args = Arguments(line, command.arity);
    if (args.size() != command.arity) {
        throw CommandError(word + " takes " + std::to_string(command.arity) + " arguments");
    }
    return command.run(args);
}

}  // namespace
}  // namespace inspector

int main() {
    // Accessible objects of other processes come through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string line;
    while (inspector::ReadLine(stdin, line)) {
        if (line == "quit") {
            inspector::WriteReply(stdout, inspector::Reply());
            break;
        }
        try {
            inspector::WriteReply(stdout, inspector::Serve(line));
        } catch (const std::exception& error) {
            inspector::WriteError(stdout, error.what());
        }
    }
    return 0;
}
