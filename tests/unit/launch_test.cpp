// Starting built-in tasks, user tasks and the companion editor.
#include "console_fixture.h"
#include "tasks/launch.h"

namespace orvan::testing {
namespace {

using platform::PathKind;

class LaunchTest : public ConsoleTest {};

TEST_F(LaunchTest, EachBuiltInEntryStartsTheSystemsProgramWithItsCommandAndTheRunMethod) {
    Start(Settings("4"));
    const std::pair<const char*, const char*> expected[] = {{"C:\\WINDOWS\\explorer.exe", "explorer c:\\windows\\"},
                                                            {"C:\\WINDOWS\\system32\\control.exe", "control"},
                                                            {"C:\\WINDOWS\\system32\\notepad.exe", "notepad"},
                                                            {"C:\\WINDOWS\\explorer.exe", "explorer"},
                                                            {"C:\\WINDOWS\\winhlp32.exe", "winhlp32"},
                                                            {"C:\\WINDOWS\\system32\\winver.exe", "winver"},
                                                            {"C:\\WINDOWS\\system32\\write.exe", "write"}};
    for (int i = 0; i < 7; ++i) {
        Console().lstWindows.SelectedByUser(i);
        Console().Windows_Click();
        ASSERT_EQ(sys.starts.size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(sys.starts.back().application, expected[i].first);
        EXPECT_EQ(sys.starts.back().commandLine, expected[i].second) << "the command line is the table's";
        EXPECT_EQ(sys.starts.back().directory, "");
        EXPECT_EQ(sys.starts.back().showCode, 4);
        EXPECT_EQ(Console().lstWindows.ListIndex(), i);
    }
    EXPECT_EQ(sys.replaceCalls, 0) << "launching writes nothing";
}

TEST_F(LaunchTest, BuiltInProgramsAreLookedForInTheSystemFolderThenTheWindowsFolderOnly) {
    // Both folders hold Notepad: the system folder's comes first.
    EXPECT_EQ(tasks::BuiltInProgram(sys, "notepad"), "C:\\WINDOWS\\system32\\notepad.exe");
    sys.paths.erase("C:\\WINDOWS\\system32\\notepad.exe");
    EXPECT_EQ(tasks::BuiltInProgram(sys, "notepad"), "C:\\WINDOWS\\notepad.exe");
    // What the console's own folder, its current folder or the search path
    // may hold never counts.
    sys.paths.erase("C:\\WINDOWS\\notepad.exe");
    sys.paths["notepad.exe"] = PathKind::File;
    sys.paths["C:\\Users\\me\\Downloads\\notepad.exe"] = PathKind::File;
    EXPECT_EQ(tasks::BuiltInProgram(sys, "notepad"), std::nullopt);
    // A folder of that name is no program.
    sys.paths["C:\\WINDOWS\\system32\\notepad.exe"] = PathKind::Folder;
    EXPECT_EQ(tasks::BuiltInProgram(sys, "notepad"), std::nullopt);
    // A folder the system does not name is skipped; a root keeps its one separator.
    sys.systemFolder = "";
    sys.windowsFolder = "D:\\";
    sys.paths["D:\\write.exe"] = PathKind::File;
    EXPECT_EQ(tasks::BuiltInProgram(sys, "write"), "D:\\write.exe");
    // A name with an extension keeps it; a name with a folder in it is no
    // program of the system's folders.
    sys.paths["D:\\tool.com"] = PathKind::File;
    EXPECT_EQ(tasks::BuiltInProgram(sys, "tool.com /x"), "D:\\tool.com");
    for (const char* command : {"..\\write", "C:write", "sub/write", " write", ""})
        EXPECT_EQ(tasks::BuiltInProgram(sys, command), std::nullopt) << command;
}

TEST_F(LaunchTest, BuiltInMissingFromTheSystemsFoldersStartsNothingAndSaysNothing) {
    sys.paths.erase("C:\\WINDOWS\\winhlp32.exe");
    Start(Settings("1"));
    Console().lstWindows.SelectedByUser(4);  // Windows Help
    Console().Windows_Click();
    EXPECT_TRUE(sys.starts.empty()) << "no start along the search path instead";
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(Console().lstWindows.ListIndex(), 4);
    Console().lstWindows.SelectedByUser(2);
    Console().Windows_Click();
    EXPECT_EQ(sys.starts.size(), 1u) << "the console is still usable";
}

TEST_F(LaunchTest, TheSortedListShowsTheTableInItsOwnOrder) {
    Start();
    ASSERT_EQ(Console().lstWindows.ListCount(), static_cast<int>(tasks::kBuiltInTasks.size()));
    for (std::size_t i = 0; i < tasks::kBuiltInTasks.size(); ++i)
        EXPECT_EQ(Console().lstWindows.List(static_cast<int>(i)), tasks::kBuiltInTasks[i].entry)
            << "a list index must name the same row of the table";
}

TEST_F(LaunchTest, FirstBuiltInIsSelectedAtStartAndDoubleClickStartsToo) {
    Start();
    Console().Windows_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].commandLine, "explorer c:\\windows\\");
    Console().lstWindows.SelectedByUser(6);
    Console().lstWindows.DblClick();
    Console().lstWindows.DblClick();
    ASSERT_EQ(sys.starts.size(), 3u);
    EXPECT_EQ(sys.starts[1].commandLine, "write");
    EXPECT_EQ(sys.starts[2].commandLine, "write") << "every click starts a new instance";
}

TEST_F(LaunchTest, RunMethodIsReadAtTheMomentOfTheClick) {
    Start(Settings("1"));
    Ini().RunMethod = 6;
    Console().Windows_Click();
    EXPECT_EQ(sys.starts.at(0).showCode, 6);
}

TEST_F(LaunchTest, NoSelectionStartsNothing) {
    Start();
    Console().lstWindows.SetListIndex(-1);
    Console().lstUser.SetListIndex(-1);
    Console().Windows_Click();
    Console().User_Click();
    EXPECT_TRUE(sys.starts.empty());
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(LaunchTest, BuiltInFailuresPassSilently) {
    Start(Settings("5"));  // a code the start operation refuses
    Console().Windows_Click();
    sys.failStart = true;
    Ini().RunMethod = 1;
    Console().Windows_Click();
    EXPECT_TRUE(sys.starts.empty());
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(Console().lstWindows.ListIndex(), 0);
}

TEST_F(LaunchTest, ExistingProgramStartsExactlyThatFileInItsFolder) {
    const std::string path = "C:\\Program Files\\Tools\\tool.exe";
    sys.paths[path] = PathKind::File;
    Start(Settings("3", "User Task Seven=" + path + "\r\n"));
    Console().lstUser.SelectedByUser(6);
    Console().lstUser.DblClick();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, path);
    EXPECT_EQ(sys.starts[0].commandLine, "\"" + path + "\"");
    EXPECT_EQ(sys.starts[0].directory, "C:\\Program Files\\Tools");
    EXPECT_EQ(sys.starts[0].showCode, 3);
}

TEST_F(LaunchTest, ProgramAtADriveRootStartsInTheRoot) {
    sys.paths["C:\\probe.exe"] = PathKind::File;
    Start(Settings("1", "User Task One=C:\\probe.exe\r\n"));
    Console().User_Click();
    EXPECT_EQ(sys.starts.at(0).directory, "C:\\");
}

// A bare name is looked for in the system's folders and along the search
// path, never beside the console or in its current folder, however the
// path names those.
TEST_F(LaunchTest, BareNamesAreFoundInTheSystemsFoldersAndOnThePathNeverBesideTheConsole) {
    sys.paths[sys.programFolder + "\\xxx.exe"] = PathKind::File;
    sys.paths["xxx.exe"] = PathKind::File;
    sys.paths["xxx"] = PathKind::File;
    sys.currentFolder = "D:\\Work";
    sys.paths["D:\\Work\\xxx.exe"] = PathKind::File;
    sys.environment["Path"] = ".;bin;C:\\USERS\\ANN\\DOWNLOADS\\ORVAN97\\;\"D:\\Work\";;\"C:\\My Bin\"";
    Start(Settings("4", "User Task Two=notepad C:\\notes.txt\r\n"));
    Console().User_Click();
    ASSERT_EQ(sys.messages.size(), 1u) << "a program beside the console started";
    EXPECT_EQ(sys.messages[0].text,
              "The user task \"xxx\" could not be started.\r\n\r\nNo program of that name is in the system folder, "
              "the Windows folder or a folder of the search path.");
    EXPECT_TRUE(sys.starts.empty());

    sys.paths["C:\\My Bin\\xxx.exe"] = PathKind::File;
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\My Bin\\xxx.exe");
    EXPECT_EQ(sys.starts[0].commandLine, "xxx");
    EXPECT_EQ(sys.starts[0].directory, "") << "a command line starts in the console's directory";
    EXPECT_EQ(sys.starts[0].showCode, 4);

    // The system folder comes first; the arguments go with the name as written.
    Console().lstUser.SelectedByUser(1);
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 2u);
    EXPECT_EQ(sys.starts[1].application, "C:\\WINDOWS\\system32\\notepad.exe");
    EXPECT_EQ(sys.starts[1].commandLine, "notepad C:\\notes.txt");
}

// A command line starts the program its first word names, read whole where
// it holds blanks, and only when that file exists.
TEST_F(LaunchTest, CommandLinesStartOnlyTheProgramTheyNameNeverAShorterPrefix) {
    sys.paths["C:\\Users\\Public\\My.exe"] = PathKind::File;
    sys.paths["C:\\Program Files\\App\\app.exe"] = PathKind::File;
    struct Case {
        const char* taskPath;
        const char* program;  // nullptr: nothing starts
        const char* commandLine;
    };
    const Case cases[] = {
        {"C:\\Users\\Public\\My Tools\\tool.exe", nullptr, nullptr},
        {"C:\\Users\\Public\\My Tools\\tool.exe -x", nullptr, nullptr},
        {"C:\\Users\\Public\\My -x", nullptr, nullptr},
        {"C:\\Program Files\\App\\app.exe -x \"a b\"", "C:\\Program Files\\App\\app.exe",
         "\"C:\\Program Files\\App\\app.exe\" -x \"a b\""},
        {"\"C:\\Program Files\\App\\app\" -x", "C:\\Program Files\\App\\app.exe", "\"C:\\Program Files\\App\\app\" -x"},
        {"C:\\Users\\Public\\My.exe /y", "C:\\Users\\Public\\My.exe", "C:\\Users\\Public\\My.exe /y"},
    };
    for (const Case& c : cases) {
        const std::optional<tasks::UserTaskProgram> found = tasks::FindUserTaskProgram(sys, c.taskPath);
        ASSERT_EQ(found.has_value(), c.program != nullptr) << c.taskPath;
        if (!found) continue;
        EXPECT_EQ(found->program, c.program) << c.taskPath;
        EXPECT_EQ(found->commandLine, c.commandLine) << c.taskPath;
    }
    Start(Settings("1", "User Task One=C:\\Users\\Public\\My Tools\\tool.exe\r\n"));
    Console().User_Click();
    EXPECT_TRUE(sys.starts.empty());
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text,
              "The user task \"C:\\Users\\Public\\My Tools\\tool.exe\" could not be started.\r\n\r\nThe program it "
              "names does not exist.");
}

// %NAME% is expanded when a task starts, never in the file or the list;
// a path that names a file as written stays as written, and a name that is
// not set stays as it stands, in the failure box too.
TEST_F(LaunchTest, VariablesInATaskPathAreExpandedWhenItStarts) {
    sys.environment = {{"ProgramFiles", "C:\\Program Files"}, {"TOOLS", "D:\\t"}};
    sys.paths["C:\\Program Files\\App\\app.exe"] = PathKind::File;
    sys.paths["D:\\%TOOLS%\\x.exe"] = PathKind::File;
    for (const auto& [written, expanded] : std::vector<std::pair<std::string, std::string>>{
             {"%ProgramFiles%\\App\\app.exe -x", "C:\\Program Files\\App\\app.exe -x"},
             {"%tools%%TOOLS%", "D:\\tD:\\t"},
             {"D:\\%TOOLS%\\x.exe", "D:\\%TOOLS%\\x.exe"},
             {"%UNSET%\\%TOOLS%\\a %", "%UNSET%\\D:\\t\\a %"},
             {"%%", "%%"}})
        EXPECT_EQ(tasks::ExpandedTaskPath(sys, written), expanded) << written;

    const std::string two = "%UNSET%\\tool.exe";
    Start(Settings("1", "User Task One=%ProgramFiles%\\App\\app.exe -x\r\nUser Task Two=" + two + "\r\n"));
    Console().User_Click();
    ASSERT_EQ(sys.starts.size(), 1u);
    EXPECT_EQ(sys.starts[0].application, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(sys.starts[0].commandLine, "\"C:\\Program Files\\App\\app.exe\" -x");
    EXPECT_EQ(Console().lstUser.List(0), "User Task One - %ProgramFiles%\\App\\app.exe -x");
    Console().lstUser.SelectedByUser(1);
    Console().User_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text.find("The user task \"" + two + "\" could not be started."), 0u);
    application->CloseRequested();
    EXPECT_NE(sys.files[kIni].find("User Task One=%ProgramFiles%\\App\\app.exe -x\r\n"), std::string::npos);
}

TEST_F(LaunchTest, DocumentOpensThroughItsAssociation) {
    sys.paths["C:\\notes\\todo.txt"] = PathKind::File;
    Start(Settings("6", "User Task Two=C:\\notes\\todo.txt\r\n"));
    Console().lstUser.SelectedByUser(1);
    Console().User_Click();
    EXPECT_TRUE(sys.starts.empty());
    ASSERT_EQ(sys.documents.size(), 1u);
    EXPECT_EQ(sys.documents[0].path, "C:\\notes\\todo.txt");
    EXPECT_EQ(sys.documents[0].showCode, 6);
    EXPECT_EQ(sys.documents[0].directory, "C:\\notes") << "a document opens in its own folder";
}

TEST_F(LaunchTest, ProgramsAreTheExeAndComFilesInAnyCase) {
    for (const char* path : {"C:\\a.exe", "C:\\B.EXE", "tool.Com", "C:\\x y\\z.eXe"})
        EXPECT_TRUE(tasks::IsProgramFile(path)) << path;
    for (const char* path : {"C:\\a.txt", "C:\\exe", "C:\\a.exe.txt", "C:\\a.ex", "", ".bat"})
        EXPECT_FALSE(tasks::IsProgramFile(path)) << path;
}

TEST_F(LaunchTest, FailedUserTaskIsReportedAndChangesNothing) {
    sys.paths["C:\\gone.exe"] = PathKind::File;
    Start(Settings("300", "User Task Five=C:\\gone.exe\r\n"));
    Console().lstUser.SelectedByUser(4);
    Console().User_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].title, "ORVAN 97");
    EXPECT_EQ(sys.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_NE(sys.messages[0].text.find("C:\\gone.exe"), std::string::npos);
    EXPECT_NE(sys.messages[0].text.find("The window-style code is not one a program can be started with."),
              std::string::npos)
        << "the refusal is named";
    EXPECT_TRUE(sys.starts.empty()) << "refused before the system is asked";
    EXPECT_EQ(Console().lstUser.ListIndex(), 4);
    EXPECT_EQ(Ini().TaskPath[4], "C:\\gone.exe");
    Ini().RunMethod = 1;
    Console().User_Click();
    EXPECT_EQ(sys.starts.size(), 1u) << "the console is still usable";
}

TEST_F(LaunchTest, SystemsReasonIsShownWithItsInsertFilledByTheTaskPath) {
    sys.paths["C:\\bad\\x.exe"] = PathKind::File;
    Start(Settings("1", "User Task One=C:\\bad\\x.exe\r\n"));
    sys.failStart = true;
    sys.startError = "Bad EXE format for %1.";
    Console().User_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text,
              "The user task \"C:\\bad\\x.exe\" could not be started.\r\n\r\nBad EXE format for C:\\bad\\x.exe.");
}

TEST_F(LaunchTest, InsertsOfEveryShapeAreFilledOrDropped) {
    const std::string path = "C:\\a b\\t.exe";
    EXPECT_EQ(tasks::FillInserts("%1 is not a valid Win32 application.", path),
              path + " is not a valid Win32 application.");
    EXPECT_EQ(tasks::FillInserts("Cannot run %1!s! here", path), "Cannot run " + path + " here");
    EXPECT_EQ(tasks::FillInserts("%1 then %1", path), path + " then " + path);
    EXPECT_EQ(tasks::FillInserts("copy %1 to %2: %10%99!u!.", path), "copy " + path + " to : .");
    // A path holding an insert of its own is put in once, not read again.
    EXPECT_EQ(tasks::FillInserts("[%1]", "C:\\%2\\%1.exe"), "[C:\\%2\\%1.exe]");
    // What is no insert stays: a per cent sign, one at the end, an unclosed format.
    EXPECT_EQ(tasks::FillInserts("100% sure %", path), "100% sure %");
    EXPECT_EQ(tasks::FillInserts("%0 %a %%", path), "%0 %a %%");
    EXPECT_EQ(tasks::FillInserts("%1!s", path), path + "!s");
    EXPECT_EQ(tasks::FillInserts("", path), "");
}

TEST_F(LaunchTest, EditorAlwaysStartsNormalInFront) {
    Start(Settings("6"));
    Console().Edit_Click();
    Console().Edit_Click();
    ASSERT_EQ(sys.starts.size(), 2u);
    EXPECT_EQ(sys.starts[0].application, "") << "found as the system's search finds it";
    EXPECT_EQ(sys.starts[0].commandLine, "quillpad.exe");
    EXPECT_EQ(sys.starts[0].showCode, 1);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(LaunchTest, MissingEditorShowsTheFixedMessageOncePerClick) {
    Start();
    sys.failStart = true;
    Console().Edit_Click();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text,
              "The Orvan Edit executable (quillpad.exe) could not be located. It must be in the current directory of "
              "Orvan 97 or in the path.");
    EXPECT_EQ(sys.messages[0].title, "ORVAN 97");
    EXPECT_EQ(sys.messages[0].icon, platform::MessageIcon::Exclamation);
    Console().Edit_Click();
    EXPECT_EQ(sys.messages.size(), 2u);
}

TEST_F(LaunchTest, ClicksOnTheLabelButtonsReachTheirHandlers) {
    sys.paths["C:\\WINDOWS\\xxx.exe"] = PathKind::File;
    Start();
    Console().tmrAnimate_Timer();  // the buttons in their column
    ClickAt(Console(), Centre(Console().Windows));
    ClickAt(Console(), Centre(Console().User));
    ClickAt(Console(), Centre(Console().Edit));
    ASSERT_EQ(sys.starts.size(), 3u);
    EXPECT_EQ(sys.starts[0].commandLine, "explorer c:\\windows\\");
    EXPECT_EQ(sys.starts[1].commandLine, "xxx");
    EXPECT_EQ(sys.starts[2].commandLine, "quillpad.exe");
}

TEST_F(LaunchTest, PressAndReleaseOnDifferentControlsIsNoClick) {
    Start();
    Console().tmrAnimate_Timer();
    auto from = Centre(Console().Windows);
    auto to = Centre(Console().User);
    Console().PointerDown(ui::kLeftButton, 0, from.first, from.second, false);
    Console().PointerUp(ui::kLeftButton, 0, to.first, to.second);
    EXPECT_TRUE(sys.starts.empty());
}

TEST_F(LaunchTest, SecondPressOfADoubleClickIsNoSecondClick) {
    Start();
    Console().tmrAnimate_Timer();
    auto at = Centre(Console().Windows);
    ClickAt(Console(), at);
    Console().PointerDown(ui::kLeftButton, 0, at.first, at.second, true);
    Console().PointerUp(ui::kLeftButton, 0, at.first, at.second);
    EXPECT_EQ(sys.starts.size(), 1u);
}

TEST_F(LaunchTest, StripsOfTheButtonsTakeClicksBeforeTheSlide) {
    Start();
    ClickAt(Console(), {1, Centre(Console().Windows).second});
    EXPECT_EQ(sys.starts.size(), 1u);
}

}  // namespace
}  // namespace orvan::testing
