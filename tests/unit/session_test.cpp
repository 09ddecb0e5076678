// One console per user session: a second start brings the running console
// forward and ends without touching the settings file.
#include "console_fixture.h"

namespace orvan::testing {
namespace {

class Session : public ConsoleTest {
protected:
    void SetUp() override {
        sys.files[kIni] = Settings("3", "User Task One=C:\\Tools\\mine.exe\r\n");
        application = std::make_unique<app::Application>(sys, windows);
        application->Console().Attach(&peer);
    }
};

TEST_F(Session, SecondStartBringsTheRunningConsoleForwardAndEndsReadingAndWritingNothing) {
    sys.session = platform::SessionClaim::HeldByAnother;
    const std::string before = sys.files[kIni];

    EXPECT_FALSE(application->ClaimSession());
    EXPECT_EQ(sys.showRunningCalls, 1);
    EXPECT_EQ(sys.endProcessCalls, 1);
    EXPECT_EQ(sys.readCalls, 0);

    // Had the front end gone on all the same: no load, and a close saves
    // nothing, so the running console's tasks stay as they are.
    application->Start();
    EXPECT_EQ(Console().lstUser.ListCount(), 0);
    EXPECT_TRUE(application->CloseRequested());
    EXPECT_EQ(sys.readCalls, 0);
    EXPECT_EQ(sys.replaceCalls, 0);
    EXPECT_EQ(sys.files[kIni], before);
    EXPECT_EQ(sys.claimCalls, 1) << "the session is asked for once";
    EXPECT_EQ(sys.showRunningCalls, 1);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(Session, FirstStartKeepsTheSessionLoadsAndSavesAsBefore) {
    EXPECT_TRUE(application->ClaimSession());
    EXPECT_EQ(sys.showRunningCalls, 0);
    EXPECT_EQ(sys.endProcessCalls, 0);
    EXPECT_EQ(sys.readCalls, 0) << "claiming reads nothing";

    application->Start();
    EXPECT_EQ(sys.claimCalls, 1);
    EXPECT_GT(sys.readCalls, 0);
    EXPECT_EQ(Console().lstUser.List(0), "User Task One - C:\\Tools\\mine.exe");
    EXPECT_TRUE(application->CloseRequested());
    EXPECT_EQ(sys.replaceCalls, 13) << "all but the run method and the task the file holds";
    EXPECT_NE(sys.files[kIni].find("User Task One=C:\\Tools\\mine.exe\r\n"), std::string::npos);
}

TEST_F(Session, StartClaimsTheSessionWhenNotYetClaimed) {
    sys.session = platform::SessionClaim::HeldByAnother;
    application->Start();
    EXPECT_EQ(sys.claimCalls, 1);
    EXPECT_EQ(sys.showRunningCalls, 1);
    EXPECT_EQ(sys.endProcessCalls, 1);
    EXPECT_EQ(sys.readCalls, 0);
}

}  // namespace
}  // namespace orvan::testing
