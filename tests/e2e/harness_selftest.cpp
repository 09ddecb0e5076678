// Self-tests of the harness: paths into the prefix, the inspector's
// protocol, starting programs from the test side, screenshots.
#include <fstream>

#include "harness.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class HarnessPaths : public E2ETest {};

TEST_F(HarnessPaths, WindowsPathsLeadIntoThePrefixRegardlessOfCase) {
    const fs::path driveC = Wine().Prefix() / "drive_c";
    EXPECT_EQ(Wine().UnixPath("C:\\"), driveC);
    const fs::path notepad = Wine().UnixPath("C:\\WINDOWS\\System32\\NOTEPAD.EXE");
    EXPECT_EQ(notepad, driveC / "windows" / "system32" / "notepad.exe");
    EXPECT_TRUE(fs::exists(notepad));
    // A file that does not exist yet keeps its name as written.
    EXPECT_EQ(Wine().UnixPath("c:\\Windows\\Orvan97.ini"), driveC / "windows" / "Orvan97.ini");
    EXPECT_EQ(Wine().UnixPath("Z:\\tmp\\a b\\c.txt"), fs::path("/tmp/a b/c.txt"));
}

TEST_F(HarnessPaths, UnixPathsGetTheirDriveLetter) {
    EXPECT_EQ(Wine().WindowsPath(Wine().Prefix() / "drive_c" / "windows"), "C:\\windows");
    EXPECT_EQ(Wine().WindowsPath("/tmp/a b/c.txt"), "Z:\\tmp\\a b\\c.txt");
    EXPECT_EQ(Wine().UnixPath(ScratchWindows()), Scratch());
}

class InspectorProtocol : public E2ETest {};

TEST_F(InspectorProtocol, BadRequestsGetErrorRepliesAndTheInspectorStaysInStep) {
    const Inspector::Reply unknown = Inspect().Send({"no-such-command"});
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.error, "unknown command no-such-command");
    const Inspector::Reply notNumber = Inspect().Send({"window", "zzz"});
    EXPECT_FALSE(notNumber.ok);
    EXPECT_EQ(notNumber.error, "not a number: zzz");
    const Inspector::Reply noWindow = Inspect().Send({"window", "0x7FFFFFF0"});
    EXPECT_FALSE(noWindow.ok);
    EXPECT_EQ(noWindow.error, "no such window");
    const Inspector::Reply arity = Inspect().Send({"press", "1"});
    EXPECT_FALSE(arity.ok);
    EXPECT_EQ(arity.error, "press takes 2 arguments");
    const std::optional<WindowInfo> none = Inspect().WaitWindow("No Such Window Title", 200ms);
    EXPECT_FALSE(none.has_value());
    // Still one reply per request: these answers are the right ones.
    const std::vector<Record> self = Inspect().Ask({"self"});
    ASSERT_EQ(self.size(), 1U);
    EXPECT_EQ(self[0].Int("pid"), Inspect().OwnPid());
    EXPECT_FALSE(Inspect().Windows().empty());
    // A console program with pipes for its console: no window, no focus.
    EXPECT_TRUE(Inspect().VisibleWindowsOf(Inspect().OwnPid()).empty());
}

TEST_F(InspectorProtocol, ProcessesListTheInspectorAndWineServices) {
    const std::vector<ProcessInfo> processes = Inspect().Processes();
    bool inspector = false, services = false;
    for (const ProcessInfo& p : processes) {
        inspector = inspector || (p.exe == "inspector.exe" && p.pid == Inspect().OwnPid());
        services = services || p.exe == "services.exe";
    }
    EXPECT_TRUE(inspector);
    EXPECT_TRUE(services);
}

class WineLaunch : public E2ETest {};

TEST_F(WineLaunch, PassesArgumentsDirectoryAndEnvironmentToTheProgram) {
    const ProbeLog log = NewProbeLog();
    LaunchOptions options;
    options.directory = ScratchWindows();
    options.environment = {log.EnvironmentEntry()};
    Process probe =
        Wine().Launch(Session::Get().ToolFile("probe.exe").string(), {"--exit-after", "300", "two words"}, options);
    const std::optional<Record> start = log.WaitFor("start", 0, 10s);
    ASSERT_TRUE(start) << "no start record in " << log.UnixPath();
    EXPECT_EQ(start->Get("cwd"), ScratchWindows());
    EXPECT_EQ(start->Int("args"), 4);
    const std::string cmdline = start->Get("cmdline");
    EXPECT_NE(cmdline.find("probe.exe"), std::string::npos) << cmdline;
    EXPECT_NE(cmdline.find("--exit-after 300 \"two words\""), std::string::npos) << cmdline;
    EXPECT_EQ(probe.WaitExit(10s), std::optional<int>(0));
    const std::optional<std::string> contents = WaitForFileContaining(log.UnixPath(), "event=exit\t", 1s);
    ASSERT_TRUE(contents);
    EXPECT_NE(contents->find("\treason=timeout\r\n"), std::string::npos) << *contents;
}

TEST_F(WineLaunch, KillEndsAProgramAtOnce) {
    const ProbeLog log = NewProbeLog();
    LaunchOptions options;
    options.environment = {log.EnvironmentEntry()};
    Process probe = Wine().Launch(Session::Get().ToolFile("probe.exe").string(), {}, options);
    ASSERT_TRUE(log.WaitFor("shown", 0, 10s));
    EXPECT_TRUE(probe.Running());
    probe.Kill();
    EXPECT_FALSE(probe.Running());
    const std::string title = "Orvan Probe " + log.WaitFor("start", 0, 0ms)->Get("pid");
    EXPECT_TRUE(WaitUntil([&] { return !Inspect().FindWindow(title); }, 5s));
}

class Screenshots : public E2ETest {};

TEST_F(Screenshots, SaveTheWholeScreenAsPngAndAreasAsPpm) {
    const ProbeLog log = NewProbeLog();
    const WindowInfo window = StartProbeWindow(1, "--at 40,40", log);
    ASSERT_EQ(WaitForPixel(Screen(), window.client.CenterX(), window.client.CenterY(), kProbeColour, 5s), kProbeColour);

    const fs::path png = Screen().Screenshot(Scratch() / "screen.png");
    ASSERT_EQ(png, Scratch() / "screen.png");
    std::ifstream in(png, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header + 1), 3), "PNG");
    const auto be32 = [&](int at) {
        return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    EXPECT_EQ(be32(16), kScreenWidth);
    EXPECT_EQ(be32(20), kScreenHeight);

    const Image client = Screen().Grab(window.client);
    client.SavePpm(Scratch() / "client.ppm");
    const std::string ppm = ReadFile(Scratch() / "client.ppm").value_or("");
    const std::string head =
        "P6\n" + std::to_string(window.client.Width()) + " " + std::to_string(window.client.Height()) + "\n255\n";
    ASSERT_EQ(ppm.substr(0, head.size()), head);
    ASSERT_EQ(ppm.size(), head.size() + client.pixels.size() * 3);
    EXPECT_EQ(static_cast<unsigned char>(ppm[head.size()]), 0x12);
    EXPECT_EQ(static_cast<unsigned char>(ppm[head.size() + 1]), 0x34);
    EXPECT_EQ(static_cast<unsigned char>(ppm[head.size() + 2]), 0x56);
}

}  // namespace
}  // namespace orvan::e2e
