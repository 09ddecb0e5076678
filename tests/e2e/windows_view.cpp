#include "windows_view.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace orvan::e2e {
namespace {

std::uint32_t U32(const Record& r, const std::string& key) { return static_cast<std::uint32_t>(r.Int(key)); }

ChildInfo ChildFrom(const Record& r) {
    return ChildInfo{r.Handle("hwnd"), r.Handle("parent"), r.Get("class"),    static_cast<int>(r.Int("id")),
                     r.Get("text"),    r.RectOf("rect"),   r.Flag("visible"), r.Flag("enabled"),
                     U32(r, "style")};
}

std::string Describe(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

}  // namespace

WindowInfo WindowInfo::From(const Record& r) {
    WindowInfo w;
    w.hwnd = r.Handle("hwnd");
    w.pid = U32(r, "pid");
    w.tid = U32(r, "tid");
    w.className = r.Get("class");
    w.title = r.Get("title");
    w.rect = r.RectOf("rect");
    w.client = r.RectOf("client");
    w.visible = r.Flag("visible");
    w.enabled = r.Flag("enabled");
    w.minimized = r.Flag("minimized");
    w.maximized = r.Flag("maximized");
    w.style = U32(r, "style");
    w.exstyle = U32(r, "exstyle");
    w.owner = r.Handle("owner");
    return w;
}

std::vector<std::string> ListInfo::Texts() const {
    std::vector<std::string> texts;
    for (const ListEntry& e : entries) texts.push_back(e.text);
    return texts;
}

std::string MessageBoxInfo::Text() const {
    std::string out;
    for (const std::string& t : texts) out += (out.empty() ? "" : "\n") + t;
    return out;
}

const DialogButton* MessageBoxInfo::FindButton(const std::string& text) const {
    for (const DialogButton& b : buttons) {
        if (b.text == text) return &b;
    }
    return nullptr;
}

// ---------------------------------------------------------------- protocol

Inspector::Inspector(const WineSession& wine, std::filesystem::path exe) : wine_(wine), exe_(std::move(exe)) {
    Launch();
}

Inspector::~Inspector() {
    if (!process_.Running()) return;
    try {
        Send({"quit"}, Ms(3000));
    } catch (const InspectorError&) {
    }
    process_.CloseInput();
    if (!process_.WaitExit(Ms(3000))) process_.Kill();
}

void Inspector::Launch() {
    if (!std::filesystem::exists(exe_)) {
        throw InspectorError("the inspector is missing: " + exe_.string() + " (build the Windows tools first)");
    }
    LaunchOptions options;
    options.pipes = true;
    process_ = wine_.Launch(exe_.string(), {}, options);
    buffer_.clear();
    ownPid_ = 0;
}

std::vector<std::string> Inspector::ReadReply(Ms timeout) {
    std::vector<std::string> lines;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        size_t end;
        while ((end = buffer_.find('\n')) != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == ".") return lines;
            lines.push_back(line);
        }
        const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) throw InspectorError("no answer in time");
        pollfd p{process_.OutFd(), POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) throw InspectorError("no answer in time");
        char chunk[65536];
        const ssize_t n = read(process_.OutFd(), chunk, sizeof chunk);
        if (n <= 0) throw InspectorError("the inspector has ended");
        buffer_.append(chunk, static_cast<size_t>(n));
    }
}

Inspector::Reply Inspector::Send(const std::vector<std::string>& words, Ms timeout) {
    if (!process_.Running()) Launch();
    // What an emulated 32-bit program is asked through the system (its
    // accessibility object, say) can take it a minute or more the first
    // time: the libraries it loads on first use run translated.
    if (wine_.Emulated()) timeout = std::max(timeout, Ms(std::chrono::minutes(3)));
    std::string line;
    for (const std::string& w : words) {
        if (w.find_first_of("\t\r\n") != std::string::npos) {
            throw std::invalid_argument("inspector arguments cannot hold tabs or line ends");
        }
        line += (line.empty() ? "" : "\t") + w;
    }
    line += '\n';
    try {
        if (write(process_.InFd(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            throw InspectorError("cannot write to the inspector");
        }
        const std::vector<std::string> lines = ReadReply(timeout);
        Reply reply;
        if (lines.empty()) throw InspectorError("empty reply");
        reply.ok = lines[0] == "ok";
        if (!reply.ok) {
            const size_t tab = lines[0].find('\t');
            reply.error = tab == std::string::npos ? lines[0] : fields::Unescape(lines[0].substr(tab + 1));
        }
        for (size_t i = 1; i < lines.size(); ++i) reply.records.push_back(Record::Parse(lines[i]));
        return reply;
    } catch (const InspectorError& error) {
        process_.Kill();  // out of step now: the next command starts afresh
        throw InspectorError("inspector, " + Describe(words) + ": " + error.what());
    }
}

std::vector<Record> Inspector::Ask(const std::vector<std::string>& words, Ms timeout) {
    Reply reply = Send(words, timeout);
    if (!reply.ok) throw InspectorError("inspector, " + Describe(words) + ": " + reply.error);
    return std::move(reply.records);
}

// ---------------------------------------------------------------- commands

std::vector<WindowInfo> Inspector::Windows() {
    std::vector<WindowInfo> windows;
    for (const Record& r : Ask({"windows"})) windows.push_back(WindowInfo::From(r));
    return windows;
}

std::vector<WindowInfo> Inspector::VisibleWindowsOf(std::uint32_t pid) {
    std::vector<WindowInfo> found;
    for (const WindowInfo& w : Windows()) {
        if (w.pid == pid && w.visible) found.push_back(w);
    }
    return found;
}

std::optional<WindowInfo> Inspector::Window(Hwnd hwnd) {
    const Reply reply = Send({"window", std::to_string(hwnd)});
    if (!reply.ok || reply.records.empty()) return std::nullopt;
    return WindowInfo::From(reply.records[0]);
}

std::optional<WindowInfo> Inspector::FindWindow(const std::string& title) {
    for (const WindowInfo& w : Windows()) {
        if (w.visible && w.title == title) return w;
    }
    return std::nullopt;
}

std::optional<WindowInfo> Inspector::WaitWindow(const std::string& title, Ms timeout) {
    const Reply reply = Send({"wait-window", title, std::to_string(timeout.count())}, timeout + Ms(10000));
    if (!reply.ok || reply.records.empty()) return std::nullopt;
    return WindowInfo::From(reply.records[0]);
}

std::optional<WindowInfo> Inspector::Foreground() {
    const std::vector<Record> records = Ask({"foreground"});
    if (records.empty() || records[0].Handle("hwnd") == 0) return std::nullopt;
    return WindowInfo::From(records[0]);
}

FocusInfo Inspector::Focus() {
    const Record r = Ask({"focus"}).at(0);
    return FocusInfo{r.Handle("foreground"), r.Handle("active"),  r.Handle("focus"),
                     r.Handle("capture"),    r.Get("focusclass"), static_cast<int>(r.Int("focusid")),
                     U32(r, "focuspid")};
}

std::vector<ChildInfo> Inspector::Children(Hwnd hwnd) {
    std::vector<ChildInfo> children;
    for (const Record& r : Ask({"children", std::to_string(hwnd)})) children.push_back(ChildFrom(r));
    return children;
}

ListInfo Inspector::List(Hwnd listBox) {
    const std::vector<Record> records = Ask({"list", std::to_string(listBox)});
    ListInfo list;
    list.count = static_cast<int>(records.at(0).Int("count"));
    list.selected = static_cast<int>(records.at(0).Int("selected"));
    list.top = static_cast<int>(records.at(0).Int("top"));
    for (size_t i = 1; i < records.size(); ++i) {
        const Record& r = records[i];
        list.entries.push_back(
            ListEntry{static_cast<int>(r.Int("index")), r.Get("text"), r.RectOf("rect"), r.Flag("selected")});
    }
    return list;
}

std::vector<MessageBoxInfo> Inspector::MessageBoxes() {
    std::vector<MessageBoxInfo> boxes;
    for (const Record& r : Ask({"msgboxes"})) {
        const std::string kind = r.Get("kind");
        if (kind == "msgbox") {
            boxes.push_back(MessageBoxInfo{
                r.Handle("hwnd"), U32(r, "pid"), r.Get("title"), r.RectOf("rect"), r.Get("icon"), {}, {}});
        } else if (kind == "text" && !boxes.empty()) {
            boxes.back().texts.push_back(r.Get("text"));
        } else if (kind == "button" && !boxes.empty()) {
            boxes.back().buttons.push_back(DialogButton{r.Handle("button"), static_cast<int>(r.Int("id")),
                                                        r.Get("text"), r.RectOf("rect"), r.Flag("default")});
        }
    }
    return boxes;
}

std::optional<MessageBoxInfo> Inspector::WaitMessageBox(const std::string& title, Ms timeout) {
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            for (const MessageBoxInfo& box : MessageBoxes()) {
                if (box.title == title) found = box;
            }
            return found && found->icon != "unknown";
        },
        timeout, Ms(100));
    return found;
}

void Inspector::Press(Hwnd dialog, int buttonId) { Ask({"press", std::to_string(dialog), std::to_string(buttonId)}); }

int Inspector::Checked(Hwnd button) {
    return static_cast<int>(Ask({"checked", std::to_string(button)}).at(0).Int("checked"));
}

void Inspector::SetText(Hwnd hwnd, const std::string& text) { Ask({"settext", std::to_string(hwnd), text}); }

void Inspector::Close(Hwnd hwnd) { Ask({"close", std::to_string(hwnd)}); }

std::uint32_t Inspector::Start(int showCode, const std::string& commandLine, const std::string& directory) {
    const std::vector<Record> records = directory.empty()
                                            ? Ask({"start", std::to_string(showCode), commandLine})
                                            : Ask({"start-in", std::to_string(showCode), directory, commandLine});
    return U32(records.at(0), "pid");
}

bool Inspector::WaitExit(std::uint32_t pid, Ms timeout) {
    const Reply reply = Send({"wait-exit", std::to_string(pid), std::to_string(timeout.count())}, timeout + Ms(10000));
    // A process that has ended and is held by no one cannot be opened any more.
    return reply.ok || reply.error == "no such process";
}

bool Inspector::Kill(std::uint32_t pid) { return Send({"kill", std::to_string(pid)}).ok; }

std::vector<ProcessInfo> Inspector::Processes() {
    std::vector<ProcessInfo> processes;
    for (const Record& r : Ask({"processes"})) {
        processes.push_back(ProcessInfo{U32(r, "pid"), U32(r, "ppid"), r.Get("exe")});
    }
    return processes;
}

unsigned long Inspector::XWindowOf(Hwnd hwnd) {
    const Reply reply = Send({"xwindow", std::to_string(hwnd)});
    return reply.ok && !reply.records.empty() ? reply.records[0].Handle("xwindow") : 0;
}

void Inspector::SetEnv(const std::string& name, const std::string& value) { Ask({"setenv", name, value}); }

Inspector::ProfileWrite Inspector::WriteProfileString(const std::string& file, const std::string& section,
                                                      const std::string& key, const std::string& value) {
    const Record r = Ask({"profile-write", file, section, key, value}).at(0);
    return {r.Flag("written"), static_cast<std::uint32_t>(r.Int("error"))};
}

std::string Inspector::ReadProfileString(const std::string& file, const std::string& section, const std::string& key) {
    return Ask({"profile-read", file, section, key}).at(0).Get("value");
}

void Inspector::HoldFile(const std::string& file, Sharing sharing) {
    Ask({"hold", file,
         sharing == Sharing::Nothing           ? "none"
         : sharing == Sharing::ReadWriteDelete ? "delete"
                                               : "nodelete"});
}

void Inspector::ReleaseFiles() { Ask({"release"}); }

DoubleClickRule Inspector::DoubleClicks() {
    const Record r = Ask({"dblclick"}).at(0);
    return {Ms(r.Int("ms")), static_cast<int>(r.Int("cx")), static_cast<int>(r.Int("cy"))};
}

void Inspector::SetDpi(int dpi) { Ask({"dpi", std::to_string(dpi)}); }

Inspector::TextSize Inspector::MeasureText(const std::string& face, int height, int weight, const std::string& text) {
    const Record r = Ask({"text-size", face, std::to_string(height), std::to_string(weight), text}).at(0);
    return {static_cast<int>(r.Int("cx")), static_cast<int>(r.Int("cy"))};
}

std::uint32_t Inspector::OwnPid() {
    if (ownPid_ == 0) ownPid_ = U32(Ask({"self"}).at(0), "pid");
    return ownPid_;
}

}  // namespace orvan::e2e
