// "Define Task" through the real Open-file dialog: the chosen path goes into
// the selected slot, the settings file and the user list at once, and the
// slot then starts it; a cancelled dialog changes nothing. A program dragged
// from another program onto a slot defines it the same way.
#include "dialog_fixture.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class DefineTask : public DialogTest {
protected:
    // A copy of the probe in the scratch folder, under a name with a blank;
    // its Windows path.
    std::string ProbeCopy() {
        const fs::path folder = Scratch() / "my tasks";
        fs::create_directories(folder);
        fs::copy_file(Session::Get().ToolFile("probe.exe"), folder / "probe task.exe");
        return Wine().WindowsPath(folder / "probe task.exe");
    }

    static std::string WithValue(std::string file, const std::string& key, const std::string& value) {
        const std::string line = key + "=xxx\r\n";
        file.replace(file.find(line), line.size(), key + "=" + value + "\r\n");
        return file;
    }
};

TEST_F(DefineTask, SlotFourTakesThePathAtOnceAndStartsIt) {
    const std::string path = ProbeCopy();
    const ProbeLog log = NewProbeLog();
    ConsoleOptions options = WithSettings(FirstRunFile());
    options.environment = {log.EnvironmentEntry()};
    StartConsole(options);
    SelectEntry(UserList(), 3);

    DefineThroughDialog(path);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(UserList()).entries.at(3).text != "User Task Four - xxx"; }, 5s));
    const ListInfo user = Inspect().List(UserList());
    ASSERT_EQ(user.count, 10);
    EXPECT_EQ(user.entries[3].text, "User Task Four - " + path);
    EXPECT_EQ(user.selected, 3);
    for (size_t i : {0u, 1u, 2u, 4u, 9u})
        EXPECT_EQ(user.entries[i].text.substr(user.entries[i].text.size() - 6), " - xxx");
    // Written at once, that one entry only, while the console still runs.
    EXPECT_EQ(Settings().value_or("(none)"), WithValue(FirstRunFile(), "User Task Four", path));

    ClickOn(at::User());
    const std::optional<Record> start = log.WaitFor("start", 0, 10s);
    ASSERT_TRUE(start) << "the defined task did not start";
    EXPECT_EQ(start->Get("module"), path);
    EXPECT_EQ(start->Get("cmdline"), "\"" + path + "\"");
    EXPECT_EQ(start->Int("show"), 1);

    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(ValueIn(Settings().value_or(""), "User Task Four"), path);
}

TEST_F(DefineTask, EscapeChangesNothingAndADefinitionSelectsBrowseWindowsAgain) {
    const std::string path = ProbeCopy();
    StartConsole(WithSettings(FirstRunFile("4")));
    SelectEntry(BuiltInList(), 2);  // Notepad
    SelectEntry(UserList(), 6);
    const std::vector<std::string> before = Inspect().List(UserList()).Texts();

    DefineThroughDialog(path, false);
    SettleConsole();
    EXPECT_EQ(Inspect().List(UserList()).Texts(), before);
    EXPECT_EQ(Inspect().List(UserList()).selected, 6);
    EXPECT_EQ(Inspect().List(BuiltInList()).selected, 2);
    EXPECT_EQ(Settings().value_or("(none)"), FirstRunFile("4")) << "a cancelled definition wrote";

    DefineThroughDialog(path);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(BuiltInList()).selected == 0; }, 5s))
        << "the built-in list stayed on Notepad";
    const ListInfo user = Inspect().List(UserList());
    EXPECT_EQ(user.entries.at(6).text, "User Task Seven - " + path);
    EXPECT_EQ(user.selected, 6);
    EXPECT_EQ(Settings().value_or("(none)"), WithValue(FirstRunFile("4"), "User Task Seven", path));
    ASSERT_TRUE(RequestClose());
}

// A real drag from another program (the probe, dragging the file as a file
// manager does) onto slot Seven, by the pointer held down.
TEST_F(DefineTask, AProgramDraggedFromAnotherProgramOntoSlotSevenDefinesIt) {
    const std::string task = ProbeCopy();
    StartConsole();
    const ProbeLog log = NewProbeLog();
    const WindowInfo source = StartProbeWindow(1, "--drag \"" + task + "\" --at 820,80", log);
    ASSERT_TRUE(log.WaitFor("shown", source.pid, 10s));
    const Rect seventh = Inspect().List(UserList()).entries.at(6).rect;
    Screen().MovePointer(source.client.CenterX(), source.client.CenterY());
    Screen().PressButton(Button::Left);
    // In steps, so the drag meets the list as a hand's would.
    constexpr int kSteps = 8;
    for (int step = 1; step <= kSteps; ++step)
        Screen().MovePointer(source.client.CenterX() + (seventh.CenterX() - source.client.CenterX()) * step / kSteps,
                             source.client.CenterY() + (seventh.CenterY() - source.client.CenterY()) * step / kSteps);
    Screen().ReleaseButton(Button::Left);
    const std::optional<Record> drag = log.WaitFor("drag", source.pid, 10s);
    ASSERT_TRUE(drag) << "the drag did not end";
    EXPECT_NE(drag->Int("effect"), 0) << "the console refused the drop: " << drag->ToString();
    EXPECT_TRUE(
        WaitUntil([&] { return Inspect().List(UserList()).entries.at(6).text == "User Task Seven - " + task; }, 5s))
        << "the dropped program is not in slot Seven";
    EXPECT_EQ(Inspect().List(UserList()).selected, 6);
    EXPECT_EQ(ValueIn(Settings().value_or(""), "User Task Seven"), task) << "the entry was not written at once";
    Inspect().Close(source.hwnd);
    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
