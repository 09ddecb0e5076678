// The console's load, its two ways out, and its layout as created.
#include "console_fixture.h"

namespace orvan::testing {
namespace {

TEST_F(ConsoleTest, FirstRunWithoutSettingsFileUsesDefaults) {
    Start();
    EXPECT_EQ(Ini().IniPath, kIni);
    EXPECT_EQ(Ini().RunMethod, 1);
    EXPECT_EQ(Ini().RunMethodText, "1");
    ASSERT_EQ(Console().lstUser.ListCount(), 10);
    EXPECT_EQ(Console().lstUser.List(0), "User Task One - xxx");
    EXPECT_EQ(Console().lstUser.List(6), "User Task Seven - xxx");
    EXPECT_EQ(Console().lstUser.List(9), "User Task Ten - xxx");
    EXPECT_EQ(Console().lstUser.ListIndex(), 0);
    EXPECT_EQ(Console().lstWindows.ListIndex(), 0);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(sys.files.count(kIni), 0u) << "reading must not create the file";
}

TEST_F(ConsoleTest, LoadFillsSlotsInOrderFromTheFile) {
    Start(Settings("4",
                   "User Task Seven=C:\\Tools\\seven.exe\r\nuser task one = \"C:\\One.exe\"\r\n"
                   "User Task Three=\r\n"));
    EXPECT_EQ(Ini().RunMethod, 4);
    EXPECT_EQ(Ini().TaskPath[0], "C:\\One.exe");
    EXPECT_EQ(Ini().TaskPath[2], "xxx") << "an empty value counts as none";
    EXPECT_EQ(Ini().TaskPath[6], "C:\\Tools\\seven.exe");
    EXPECT_EQ(Console().lstUser.List(6), "User Task Seven - C:\\Tools\\seven.exe");
    EXPECT_EQ(Console().lstUser.List(2), "User Task Three - xxx");
}

TEST_F(ConsoleTest, RunMethodTextsConvertAsTheLoadDoes) {
    const std::pair<const char*, int> table[] = {
        {"3.5", 4}, {"2.5", 2}, {"", 1}, {"abc", 0}, {" 6 ", 6}, {"-3", -3}, {"40000", 0}, {"1e1", 10},
    };
    for (auto [text, expected] : table) {
        sys.files.clear();
        Start(Settings(text));
        EXPECT_EQ(Ini().RunMethod, expected) << "stored as \"" << text << "\"";
    }
}

TEST_F(ConsoleTest, LongValueComesBackAs255Characters) {
    std::string path = "C:\\" + std::string(297, 'p');
    Start(Settings("1", "User Task Two=" + path + "\r\n"));
    EXPECT_EQ(Ini().TaskPath[1], path.substr(0, 255));
}

TEST_F(ConsoleTest, CloseRequestSavesOnceAndWritesTheWholeFile) {
    Start();
    EXPECT_TRUE(application->CloseRequested());
    ASSERT_EQ(sys.files.count(kIni), 1u);
    const std::string& file = sys.files[kIni];
    EXPECT_EQ(file.find("[Options]\r\nProgram Run Method=1\r\n"), 0u);
    EXPECT_NE(file.find("[User Tasks]\r\nUser Task One=xxx\r\n"), std::string::npos);
    EXPECT_NE(file.find("User Task Ten=xxx\r\n[Note]\r\n;=   Please"), std::string::npos);
    const int writes = sys.replaceCalls;
    EXPECT_EQ(writes, 15);
    EXPECT_TRUE(application->CloseRequested());
    EXPECT_EQ(sys.replaceCalls, writes) << "a second close request must not save again";
}

// The close writes what the user changed and what the file lacks; what the
// console could not read, what it read but did not change (a run method
// that does not convert among them), and what another program wrote while
// it ran keep their values.
TEST_F(ConsoleTest, CloseWritesOnlyWhatTheUserChangedOrTheFileLacks) {
    const std::string users = Settings("abc", "User Task One=C:\\one.exe\r\nUser Task Two=C:\\two.exe\r\n");
    sys.paths[kIni] = platform::PathKind::File;  // held by another program: there, yet unreadable
    Start();
    EXPECT_EQ(Ini().TaskPath[0], "xxx");
    EXPECT_EQ(Ini().RunMethod, 1);
    sys.files[kIni] = users;  // released, then another program writes slot Three
    sys.files[kIni] += "User Task Three=C:\\three.exe\r\n";
    Ini().TaskPath[3] = "C:\\four.exe";  // the user's own change
    application->CloseRequested();
    const std::string& file = sys.files[kIni];
    EXPECT_EQ(
        file.find(users + "User Task Three=C:\\three.exe\r\nUser Task Four=C:\\four.exe\r\nUser Task Five=xxx\r\n"), 0u)
        << file;
    EXPECT_NE(file.find("User Task Ten=xxx\r\n[Note]\r\n;=   Please"), std::string::npos) << file;

    // Read this time, and nothing changed: the next close writes nothing.
    const int writes = sys.replaceCalls;
    Start();
    EXPECT_EQ(Ini().RunMethod, 0) << "the text does not convert";
    application->CloseRequested();
    EXPECT_EQ(sys.replaceCalls, writes);
    EXPECT_NE(sys.files[kIni].find("Program Run Method=abc\r\n"), std::string::npos);
}

TEST_F(ConsoleTest, UnwritableSettingsFileShowsFifteenErrorsAndKeepsTheFile) {
    Start(Settings("3", "User Task One=C:\\a.exe\r\n"));
    const std::string before = sys.files[kIni];
    Ini().RunMethod = 6;
    Ini().TaskPath[0] = "C:\\b.exe";
    sys.failReplace = true;
    application->CloseRequested();
    ASSERT_EQ(sys.messages.size(), 15u);
    for (const ShownMessage& m : sys.messages) {
        EXPECT_EQ(m.text, "Unexpected error writing to file: " + kIni);
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.icon, platform::MessageIcon::Critical);
    }
    EXPECT_EQ(sys.files[kIni], before);
    EXPECT_EQ(Ini().RunMethod, 6);
}

TEST_F(ConsoleTest, LayoutAsCreated) {
    Start();
    auto& c = Console();
    const std::vector<std::string> builtIns(c.lstWindows.Items());
    EXPECT_EQ(builtIns, (std::vector<std::string>{"Browse Windows", "Control Panel", "Notepad", "Windows Explorer",
                                                  "Windows Help", "Windows Version", "Wordpad"}));
    for (ui::Label* b : {&c.Edit, &c.Options, &c.Windows, &c.User, &c.Define}) {
        EXPECT_EQ(b->Left(), -2520.0f);
        EXPECT_EQ(b->BackColor(), ui::kIdleColor);
        EXPECT_EQ(b->Bounds().right, 4) << b->Name() << " shows a 4-pixel strip";
    }
    EXPECT_EQ(c.Windows.Bounds(), (ui::Rect{-168, 296, 4, 317}));
    EXPECT_EQ(c.lstWindows.Bounds(), (ui::Rect{192, 304, 793, 397}));
    EXPECT_EQ(c.lstUser.Bounds(), (ui::Rect{192, 424, 793, 556}));
    EXPECT_EQ(c.Vostek.Bounds(), (ui::Rect{192, 48, 785, 233}));
    for (const ui::Label& line : c.lblAbout) EXPECT_FALSE(line.Visible());
    EXPECT_TRUE(c.tmrAnimate.TimerEnabled());
    EXPECT_EQ(c.tmrAnimate.Interval(), 250);
    EXPECT_EQ(c.lstUser.TabIndex, 0) << "the user list has the focus first";
}

TEST_F(ConsoleTest, DrawingOrderPutsTheTitleOnTopAndTheShapesLowest) {
    Start();
    const auto& order = Console().DrawingOrder();
    ASSERT_EQ(order.size(), 16u);
    EXPECT_EQ(order.front()->Name(), "Image1");
    EXPECT_EQ(order[1]->Name(), "Options");
    EXPECT_EQ(order[2]->Index(), 4);
    EXPECT_EQ(order[5]->Index(), 0);
    EXPECT_EQ(order[12]->Name(), "Vostek");
    EXPECT_EQ(order[13]->Index(), 21);
    EXPECT_EQ(order[15]->Index(), 12);
}

}  // namespace
}  // namespace orvan::testing
