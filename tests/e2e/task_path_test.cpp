// Task paths as the system gives them, with real files under Wine: a file
// named in letters the ANSI code page lacks is kept by its short path and
// that path starts the very file chosen; a program that is no program is
// reported with the system's reason, its insert filled with the task path.
#include <fstream>

#include "dialog_fixture.h"
#include "launch_fixture.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The console's ANSI code page is Western (1252), which has no Cyrillic.
const Environment kWesternLocale = {{"LC_ALL", "C.UTF-8"}};

bool IsPlainAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
    return true;
}

class TaskPath : public DialogTest {
protected:
    std::string PlaceProbe(const fs::path& file) {
        fs::create_directories(file.parent_path());
        fs::copy_file(Session::Get().ToolFile("probe.exe"), file, fs::copy_options::overwrite_existing);
        return Wine().WindowsPath(file);
    }
};

TEST_F(TaskPath, FileNamedInCyrillicIsKeptByItsShortPathWhichStartsThatFile) {
    // Two programs in one folder, names of the same length in Cyrillic, so
    // their short names differ only in what tells the files apart.
    const fs::path folder = Scratch() / "мои задачи";
    const std::string chosen = PlaceProbe(folder / "пробник.exe");
    const std::string other = PlaceProbe(folder / "образец.exe");
    const ProbeLog log = NewProbeLog();
    ConsoleOptions options = WithSettings(FirstRunFile());
    options.environment = kWesternLocale;
    options.environment.push_back(log.EnvironmentEntry());
    StartConsole(options);
    ClickOn(Inspect().List(UserList()).entries.at(2).rect);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(UserList()).selected == 2; }, 5s));

    DefineThroughDialog(chosen);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(UserList()).entries.at(2).text != "User Task Three - xxx"; }, 5s))
        << "the chosen file was not kept"
        << " (a box says: " << (Inspect().MessageBoxes().empty() ? "nothing" : Inspect().MessageBoxes()[0].Text())
        << ")";
    EXPECT_TRUE(Inspect().MessageBoxes().empty());
    const std::string stored = ValueIn(Settings().value_or(""), "User Task Three").value_or("(none)");
    EXPECT_NE(stored, chosen) << "the code page holds the name: nothing to prove here";
    EXPECT_TRUE(IsPlainAscii(stored)) << stored;
    EXPECT_EQ(stored.find('?'), std::string::npos) << stored;
    EXPECT_NE(stored.find('~'), std::string::npos) << "not a short path: " << stored;
    EXPECT_EQ(Inspect().List(UserList()).entries.at(2).text, "User Task Three - " + stored);
    EXPECT_EQ(Inspect().List(UserList()).selected, 2);

    ClickOn(at::User());
    const std::optional<Record> start = log.WaitFor("start", 0, 10s);
    ASSERT_TRUE(start) << "the stored task did not start";
    EXPECT_EQ(start->Get("longmodule"), chosen) << "another file started: " << other << "?";
    EXPECT_EQ(start->Get("cmdline"), "\"" + stored + "\"") << "the console handed over the stored path";
    EXPECT_EQ(start->Int("show"), 1);

    ASSERT_TRUE(RequestClose());
    EXPECT_EQ(ValueIn(Settings().value_or(""), "User Task Three"), stored);
}

class TaskReport : public LaunchTest {};

TEST_F(TaskReport, ProgramThatIsNoProgramIsReportedWithItsPathInPlaceOfTheInsert) {
    const fs::path bad = Scratch() / "not a program" / "x.exe";
    fs::create_directories(bad.parent_path());
    std::ofstream(bad, std::ios::binary) << "This is text, not a program.\r\n";
    const std::string path = Wine().WindowsPath(bad);
    const ProbeLog log = NewProbeLog();
    StartWith(SettingsWith("1", {{1, path}}), log);

    ClickOn(at::User());
    const std::optional<MessageBoxInfo> box = WaitReport();
    ASSERT_TRUE(box);
    const std::string text = box->Text();
    const std::string lead = "The user task \"" + path + "\" could not be started.\r\n\r\n";
    ASSERT_EQ(text.substr(0, lead.size()), lead) << text;
    const std::string reason = text.substr(lead.size());
    for (size_t at = reason.find('%'); at != std::string::npos; at = reason.find('%', at + 1))
        EXPECT_FALSE(at + 1 < reason.size() && std::isdigit(static_cast<unsigned char>(reason[at + 1])))
            << "an insert is shown raw: " << reason;
    // The system's reason names the file through its insert.
    EXPECT_NE(reason.find(path), std::string::npos) << reason;
    ASSERT_TRUE(ClickOk(*box));
    EXPECT_TRUE(StartedByConsole().empty());
    EXPECT_TRUE(RequestClose());
}

}  // namespace
}  // namespace orvan::e2e
