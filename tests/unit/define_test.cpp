// Defining a user task through the Open-file dialog.
#include "console_fixture.h"

namespace orvan::testing {
namespace {

class DefineTest : public ConsoleTest {
protected:
    void SetUp() override { Start(Settings("1")); }
    std::string FileNow() { return sys.files[kIni]; }
};

TEST_F(DefineTest, DialogIsTheUserTasksOpenFileDialog) {
    Console().Define_Click();
    ASSERT_EQ(sys.dialogs.size(), 1u);
    const platform::OpenFileSpec& spec = sys.dialogs[0];
    EXPECT_EQ(spec.title, "Orvan 97 User Tasks");
    ASSERT_EQ(spec.filters.size(), 2u);
    EXPECT_EQ(spec.filters[0], (std::pair<std::string, std::string>{"Executables", "*.exe"}));
    EXPECT_EQ(spec.filters[1], (std::pair<std::string, std::string>{"All Files", "*.*"}));
    EXPECT_EQ(spec.filterIndex, 1);
    EXPECT_EQ(spec.defaultExtension, "*.exe");
}

TEST_F(DefineTest, CancelChangesNothing) {
    const std::string before = FileNow();
    Console().lstWindows.SelectedByUser(2);
    Console().lstUser.SelectedByUser(3);
    peer.listCalls.clear();
    Console().Define_Click();
    EXPECT_EQ(FileNow(), before);
    EXPECT_EQ(sys.replaceCalls, 0);
    EXPECT_TRUE(peer.listCalls.empty());
    EXPECT_EQ(Console().lstWindows.ListIndex(), 2);
    EXPECT_EQ(Console().lstUser.ListIndex(), 3);
}

TEST_F(DefineTest, SlotFourTakesThePathAtOnce) {
    Console().lstWindows.SelectedByUser(2);  // "Notepad"
    Console().lstUser.SelectedByUser(3);
    sys.dialogAnswers.push_back("C:\\Tools\\calc.exe");
    peer.listCalls.clear();
    Console().Define_Click();
    EXPECT_EQ(Ini().TaskPath[3], "C:\\Tools\\calc.exe");
    EXPECT_NE(FileNow().find("User Task Four=C:\\Tools\\calc.exe\r\n"), std::string::npos);
    EXPECT_EQ(sys.replaceCalls, 1) << "one entry written, before the close";
    ASSERT_EQ(Console().lstUser.ListCount(), 10);
    EXPECT_EQ(Console().lstUser.List(3), "User Task Four - C:\\Tools\\calc.exe");
    EXPECT_EQ(Console().lstUser.List(4), "User Task Five - xxx");
    EXPECT_EQ(Console().lstUser.ListIndex(), 3);
    EXPECT_EQ(Console().lstWindows.ListIndex(), 0) << "back on Browse Windows";
    // The list was emptied by removals at index 0 and rebuilt in slot order.
    ASSERT_EQ(peer.listCalls.size(), 22u);
    EXPECT_EQ(peer.listCalls[0], "lstUser remove 0");
    EXPECT_EQ(peer.listCalls[9], "lstUser remove 0");
    EXPECT_EQ(peer.listCalls[10], "lstUser insert 0");
    EXPECT_EQ(peer.listCalls[19], "lstUser insert 9");
    EXPECT_EQ(peer.listCalls[20], "lstWindows select 0");
    EXPECT_EQ(peer.listCalls[21], "lstUser select 3");
}

TEST_F(DefineTest, SlotTenAndTheSameFileTwice) {
    Console().lstUser.SelectedByUser(9);
    sys.dialogAnswers = {"C:\\Program Files\\My Tool\\t.exe", "C:\\Program Files\\My Tool\\t.exe"};
    Console().Define_Click();
    const std::string once = FileNow();
    Console().Define_Click();
    EXPECT_EQ(FileNow(), once);
    EXPECT_EQ(sys.replaceCalls, 2);
    EXPECT_EQ(Console().lstUser.List(9), "User Task Ten - C:\\Program Files\\My Tool\\t.exe");
    EXPECT_EQ(Console().lstUser.ListIndex(), 9);
    EXPECT_NE(once.find("User Task Ten=C:\\Program Files\\My Tool\\t.exe\r\n"), std::string::npos)
        << "stored without added quotes";
}

TEST_F(DefineTest, FailedWriteKeepsTheNewPathInMemory) {
    sys.failReplace = true;
    sys.dialogAnswers.push_back("C:\\a.exe");
    Console().Define_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].title, "Error");
    EXPECT_EQ(Ini().TaskPath[0], "C:\\a.exe");
    EXPECT_EQ(Console().lstUser.List(0), "User Task One - C:\\a.exe");
}

TEST_F(DefineTest, OverLongPathIsRefusedAndNothingChanges) {
    const std::string before = FileNow();
    Console().lstWindows.SelectedByUser(2);
    sys.dialogAnswers.push_back("C:\\" + std::string(253, 'a'));  // 256 characters
    Console().Define_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].title, "ORVAN 97");
    EXPECT_EQ(sys.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_NE(sys.messages[0].text.find("too long"), std::string::npos);
    EXPECT_EQ(Ini().TaskPath[0], "xxx");
    EXPECT_EQ(FileNow(), before);
    EXPECT_EQ(Console().lstWindows.ListIndex(), 2);

    sys.dialogAnswers.push_back("C:\\" + std::string(252, 'a'));  // exactly 255 fits
    Console().Define_Click();
    EXPECT_EQ(Ini().TaskPath[0].size(), 255u);
}

TEST_F(DefineTest, DefinedTaskStartsThroughExecuteTask) {
    Console().lstUser.SelectedByUser(5);
    sys.dialogAnswers.push_back("C:\\Games\\play.exe");
    sys.paths["C:\\Games\\play.exe"] = platform::PathKind::Program;
    Console().Define_Click();
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\Games\\play.exe");
}

}  // namespace
}  // namespace orvan::testing
