// Defining a user task through the Open-file dialog.
#include "console_fixture.h"
#include "tasks/define.h"

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
    EXPECT_EQ(spec.defaultExtension, "exe") << "the dialog takes the extension without \"*.\"";
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

TEST_F(DefineTest, WithNoUserEntrySelectedTheListIsRebuiltAndTheHandlerEndsAtTheReselection) {
    Console().lstWindows.SelectedByUser(2);
    Console().lstUser.SetListIndex(-1);
    sys.dialogAnswers.push_back("C:\\Tools\\calc.exe");
    Console().Define_Click();
    EXPECT_EQ(sys.replaceCalls, 0) << "no slot, nothing written";
    EXPECT_EQ(Ini().TaskPath[0], "xxx");
    ASSERT_EQ(Console().lstUser.ListCount(), 10);
    EXPECT_EQ(Console().lstWindows.ListIndex(), 0);
    EXPECT_EQ(Console().lstUser.ListIndex(), -1) << "the remembered index names no entry";
    EXPECT_TRUE(sys.messages.empty());
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
    sys.paths["C:\\Games\\play.exe"] = platform::PathKind::File;
    Console().Define_Click();
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\Games\\play.exe");
}

}  // namespace
}  // namespace orvan::testing

// ---------------------------------------------------------------- paths outside the ANSI code page

namespace orvan::testing {
namespace {

// A file named with letters the ANSI code page lacks: what the dialog yields.
platform::ChosenFile NotAnsi(std::optional<std::string> shortForm) {
    return platform::ChosenFile{"C:\\probe\\\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB1\xD0\xB0.exe",  // пробa.exe, UTF-8
                                std::nullopt, std::move(shortForm)};
}

class DefineChosenFile : public DefineTest {};

TEST_F(DefineChosenFile, NameTheCodePageLacksIsKeptByItsShortPathWhichThenStarts) {
    Console().lstUser.SelectedByUser(1);
    sys.dialogAnswers.push_back(NotAnsi("C:\\probe\\____~ABC.EXE"));
    sys.paths["C:\\probe\\____~ABC.EXE"] = platform::PathKind::File;
    Console().Define_Click();
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(Ini().TaskPath[1], "C:\\probe\\____~ABC.EXE");
    EXPECT_NE(FileNow().find("User Task Two=C:\\probe\\____~ABC.EXE\r\n"), std::string::npos);
    EXPECT_EQ(Console().lstUser.List(1), "User Task Two - C:\\probe\\____~ABC.EXE");
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\probe\\____~ABC.EXE");
}

TEST_F(DefineChosenFile, WithoutAShortPathTheFileIsRefusedNamingItAndNothingChanges) {
    const std::string before = FileNow();
    Console().lstWindows.SelectedByUser(2);
    Console().lstUser.SelectedByUser(4);
    peer.listCalls.clear();
    sys.dialogAnswers.push_back(NotAnsi(std::nullopt));
    Console().Define_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].title, "ORVAN 97");
    EXPECT_EQ(sys.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(sys.messages[0].utf8) << "the name is shown as chosen, not as question marks";
    EXPECT_NE(sys.messages[0].text.find("cannot hold"), std::string::npos) << sys.messages[0].text;
    EXPECT_NE(sys.messages[0].text.find(NotAnsi(std::nullopt).path), std::string::npos);
    EXPECT_EQ(Ini().TaskPath[4], "xxx");
    EXPECT_EQ(FileNow(), before);
    EXPECT_EQ(sys.replaceCalls, 0);
    EXPECT_TRUE(peer.listCalls.empty());
    EXPECT_EQ(Console().lstWindows.ListIndex(), 2);
    EXPECT_EQ(Console().lstUser.ListIndex(), 4);
}

TEST_F(DefineChosenFile, ExactPathComesBeforeTheShortOne) {
    platform::ChosenFile chosen{"C:\\Program Files\\t.exe", "C:\\Program Files\\t.exe", "C:\\PROGRA~1\\t.exe"};
    sys.dialogAnswers.push_back(chosen);
    Console().Define_Click();
    EXPECT_EQ(Ini().TaskPath[0], "C:\\Program Files\\t.exe");
}

TEST_F(DefineChosenFile, OverLongExactPathIsKeptByAShortPathThatFits) {
    const std::string longPath = "C:\\" + std::string(300, 'a') + ".exe";
    sys.dialogAnswers.push_back(platform::ChosenFile{longPath, longPath, "C:\\AAAAAA~1.EXE"});
    Console().Define_Click();
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(Ini().TaskPath[0], "C:\\AAAAAA~1.EXE");
}

TEST_F(DefineChosenFile, ShortPathTooLongToKeepIsRefusedAsTooLong) {
    const std::string before = FileNow();
    sys.dialogAnswers.push_back(NotAnsi("C:\\" + std::string(253, 'A')));  // 256 characters
    Console().Define_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_NE(sys.messages[0].text.find("cannot hold"), std::string::npos) << sys.messages[0].text;
    EXPECT_NE(sys.messages[0].text.find("short name is too long"), std::string::npos) << sys.messages[0].text;
    EXPECT_EQ(Ini().TaskPath[0], "xxx");
    EXPECT_EQ(FileNow(), before);
}

TEST_F(DefineChosenFile, KeepChosenFileDecidesEachCase) {
    using Form = tasks::KeptPath::Form;
    EXPECT_EQ(tasks::KeepChosenFile({"C:\\a.exe", "C:\\a.exe", std::nullopt}).form, Form::Exact);
    const tasks::KeptPath shortOne = tasks::KeepChosenFile(NotAnsi("C:\\S~1.EXE"));
    EXPECT_EQ(shortOne.form, Form::Short);
    EXPECT_EQ(shortOne.taskPath, "C:\\S~1.EXE");
    // An empty form is no form at all.
    const tasks::KeptPath none = tasks::KeepChosenFile(NotAnsi(""));
    EXPECT_EQ(none.form, Form::Refused);
    EXPECT_TRUE(none.taskPath.empty());
    EXPECT_EQ(tasks::KeepChosenFile({"C:\\x", "", std::nullopt}).form, Form::Refused);
    // An exact path too long to keep is refused as too long even with a
    // short form that is too long as well.
    const std::string longPath = "C:\\" + std::string(300, 'a');
    const tasks::KeptPath tooLong = tasks::KeepChosenFile({longPath, longPath, "C:\\" + std::string(260, 'A')});
    EXPECT_EQ(tooLong.form, Form::Refused);
    EXPECT_EQ(tooLong.refusal, tasks::PathTooLong(longPath));
}

// Files dropped on slot Eight define it and the slots after it by the rules
// of "Define Task": a shortcut stands for its target, a folder or a path the
// settings file cannot hold takes no slot and says why, and what finds no
// slot after Ten is left.
TEST_F(DefineTest, FilesDroppedOnASlotDefineItAndTheSlotsAfterIt) {
    auto file = [](const char* path) {
        platform::DroppedFile dropped;
        dropped.file = DialogAnswer(path);
        return dropped;
    };
    platform::DroppedFile folder = file("C:\\Tools");
    folder.folder = true;
    platform::DroppedFile link = file("C:\\Users\\Ann\\Desktop\\Editor.lnk");
    link.shortcut = true;
    link.target = DialogAnswer("C:\\Program Files\\Editor\\editor.exe");
    platform::DroppedFile deadLink = file("C:\\Users\\Ann\\Desktop\\Old.lnk");
    deadLink.shortcut = true;
    const ui::DropArgs drop{7, {file("C:\\a.exe"), folder, deadLink, link, file("C:\\c.exe"), file("C:\\d.exe")}};
    Console().lstUser.SelectedByUser(2);
    Console().ControlFilesDropped(Console().lstUser, drop);

    const char* const expected[] = {"C:\\a.exe", "C:\\Program Files\\Editor\\editor.exe", "C:\\c.exe"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Ini().TaskPath[7 + i], expected[i]);
        EXPECT_EQ(Console().lstUser.List(static_cast<int>(7 + i)), tasks::UserEntryText(7 + i, expected[i]));
        EXPECT_NE(FileNow().find(std::string(settings::kSlotLabels[7 + i]) + "=" + expected[i] + "\r\n"),
                  std::string::npos);
    }
    EXPECT_EQ(Console().lstUser.ListCount(), 10);
    EXPECT_EQ(Console().lstUser.ListIndex(), 7) << "the slot dropped on is selected";
    ASSERT_EQ(sys.messages.size(), 2u);
    EXPECT_EQ(sys.messages[0].text, "\"C:\\Tools\" is a folder, not a program, so it cannot be a user task.");
    EXPECT_NE(sys.messages[1].text.find("Old.lnk\" leads to no file"), std::string::npos);
    EXPECT_EQ(FileNow().find("d.exe"), std::string::npos);

    // Beside the entries, or on a console the Options dialog holds: nothing.
    const std::string before = FileNow();
    Console().ControlFilesDropped(Console().lstUser, ui::DropArgs{-1, {file("C:\\e.exe")}});
    Console().Options_Click();
    Console().ControlFilesDropped(Console().lstUser, ui::DropArgs{0, {file("C:\\e.exe")}});
    EXPECT_EQ(FileNow(), before);
    EXPECT_EQ(Ini().TaskPath[0], "xxx");
}

}  // namespace
}  // namespace orvan::testing
