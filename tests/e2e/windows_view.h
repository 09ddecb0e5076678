// The test side of inspector.exe: one inspector kept running under Wine,
// asked over its stdin and stdout (the protocol is described in
// tools/inspector/main.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <ostream>
#include <string>
#include <vector>

#include "process.h"
#include "records.h"
#include "wine.h"
#include "xscreen.h"

namespace orvan::e2e {

using Hwnd = std::uint64_t;

struct WindowInfo {
    Hwnd hwnd = 0;
    std::uint32_t pid = 0;
    std::uint32_t tid = 0;
    std::string className;
    std::string title;
    Rect rect;    // the whole window, screen coordinates
    Rect client;  // the client area, screen coordinates
    bool visible = false;
    bool enabled = false;
    bool minimized = false;
    bool maximized = false;
    std::uint32_t style = 0;
    std::uint32_t exstyle = 0;
    Hwnd owner = 0;

    static WindowInfo From(const Record& record);
};

struct ChildInfo {
    Hwnd hwnd = 0;
    Hwnd parent = 0;
    std::string className;
    int id = 0;
    std::string text;
    Rect rect;
    bool visible = false;
    bool enabled = false;
    std::uint32_t style = 0;
};

struct ListEntry {
    int index = 0;
    std::string text;
    Rect rect;  // screen coordinates (also for entries scrolled out of view)
    bool selected = false;
};

struct ListInfo {
    int count = 0;
    int selected = -1;
    int top = 0;
    std::vector<ListEntry> entries;

    std::vector<std::string> Texts() const;
};

struct FocusInfo {
    Hwnd foreground = 0;
    Hwnd active = 0;
    Hwnd focus = 0;
    Hwnd capture = 0;
    std::string focusClass;
    int focusId = 0;
    std::uint32_t focusPid = 0;
};

struct DialogButton {
    Hwnd hwnd = 0;
    int id = 0;
    std::string text;
    Rect rect;
    bool isDefault = false;
};

struct MessageBoxInfo {
    Hwnd hwnd = 0;
    std::uint32_t pid = 0;
    std::string title;
    Rect rect;
    std::string icon;  // none, hand, exclamation, asterisk, question, unknown
    std::vector<std::string> texts;
    std::vector<DialogButton> buttons;

    // The static texts joined by newlines (usually just the message).
    std::string Text() const;
    const DialogButton* FindButton(const std::string& text) const;
};

struct ProcessInfo {
    std::uint32_t pid = 0;
    std::uint32_t ppid = 0;
    std::string exe;
};

// For the tests' failure messages.
inline void PrintTo(const ProcessInfo& p, std::ostream* out) {
    *out << p.exe << " (pid " << p.pid << ", parent " << p.ppid << ")";
}

class InspectorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Inspector {
public:
    struct Reply {
        bool ok = false;
        std::string error;
        std::vector<Record> records;
    };

    Inspector(const WineSession& wine, std::filesystem::path exe);
    ~Inspector();  // asks it to quit, kills it if it does not
    Inspector(const Inspector&) = delete;
    Inspector& operator=(const Inspector&) = delete;

    // One raw command. Throws InspectorError when the inspector does not
    // answer in time or has died (the next command starts a new one).
    Reply Send(const std::vector<std::string>& words, Ms timeout = Ms(15000));
    // Send, throwing InspectorError on an error reply.
    std::vector<Record> Ask(const std::vector<std::string>& words, Ms timeout = Ms(15000));

    std::vector<WindowInfo> Windows();
    std::vector<WindowInfo> VisibleWindowsOf(std::uint32_t pid);
    std::optional<WindowInfo> Window(Hwnd hwnd);
    // The visible top-level window with exactly this title.
    std::optional<WindowInfo> FindWindow(const std::string& title);
    std::optional<WindowInfo> WaitWindow(const std::string& title, Ms timeout);
    std::optional<WindowInfo> Foreground();
    FocusInfo Focus();
    std::vector<ChildInfo> Children(Hwnd hwnd);
    ListInfo List(Hwnd listBox);
    std::vector<MessageBoxInfo> MessageBoxes();
    // Waits for a message box with this title whose icon can be told (its
    // icon is read from the screen, so right after it appears it may not be
    // painted yet); the box as last seen, even with icon "unknown".
    std::optional<MessageBoxInfo> WaitMessageBox(const std::string& title, Ms timeout);
    void Press(Hwnd dialog, int buttonId);
    // A button's check state: 0 unchecked, 1 checked, 2 indeterminate.
    int Checked(Hwnd button);
    // Sets a window's text (WM_SETTEXT), as a control's whole contents.
    void SetText(Hwnd hwnd, const std::string& text);
    void Close(Hwnd hwnd);
    // CreateProcess with STARTF_USESHOWWINDOW; the new Windows process id.
    std::uint32_t Start(int showCode, const std::string& commandLine, const std::string& directory = "");
    // True once the process has ended (or never existed).
    bool WaitExit(std::uint32_t pid, Ms timeout);
    bool Kill(std::uint32_t pid);
    std::vector<ProcessInfo> Processes();

    // The X window Wine shows a top-level window in; 0 when there is none.
    unsigned long XWindowOf(Hwnd hwnd);
    // Sets (an empty value removes) a variable of the inspector, which the
    // programs it starts inherit.
    void SetEnv(const std::string& name, const std::string& value);

    // The system's private-profile writer (WritePrivateProfileStringA) on
    // one entry: whether it reported success, and its error code when not.
    struct ProfileWrite {
        bool written = false;
        std::uint32_t error = 0;
    };
    ProfileWrite WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& value);
    // GetPrivateProfileStringA with an empty default and 256 characters.
    std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key);
    // Keeps the file open for reading, sharing what `sharing` says, until
    // ReleaseFiles; throws InspectorError when it cannot be opened.
    enum class Sharing { Nothing, ReadWrite, ReadWriteDelete };
    void HoldFile(const std::string& file, Sharing sharing);
    void ReleaseFiles();

    // Sets the screen's DPI (the prefix's LogPixels) that programs started
    // from now on take.
    void SetDpi(int dpi);
    // A text's width and its font's line height in pixels, in the font of
    // that face, pixel height and weight.
    struct TextSize {
        int width = 0;
        int height = 0;
    };
    TextSize MeasureText(const std::string& face, int height, int weight, const std::string& text);

    // The inspector's own Windows process id.
    std::uint32_t OwnPid();
    // The system's double-click time and rectangle.
    DoubleClickRule DoubleClicks();

private:
    void Launch();
    std::vector<std::string> ReadReply(Ms timeout);

    const WineSession& wine_;
    std::filesystem::path exe_;
    Process process_;
    std::string buffer_;
    std::uint32_t ownPid_ = 0;
};

}  // namespace orvan::e2e
