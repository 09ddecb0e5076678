// modIni against the in-memory platform: reads, writes, SaveAll and the
// run-method conversions.
#include "settings/modIni.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"

namespace {

using orvan::platform::MessageIcon;
using orvan::platform::PathKind;
using orvan::platform::ReplaceOutcome;
using orvan::settings::FromWholeCopy;
using orvan::settings::kSettingsPath;
using orvan::settings::modIni;
using orvan::settings::RunMethodToText;
using orvan::settings::ToRunMethod;
using orvan::settings::WholeCopyOf;
using orvan::testing::FakePlatform;

const std::string kPath(kSettingsPath);
const std::string kWriteError = "Unexpected error writing to file: C:\\Windows\\Orvan97.ini";

// The file SaveAll creates from nothing with the settings at their defaults.
const std::string kFreshFile =
    "[Options]\r\n"
    "Program Run Method=1\r\n"
    "[User Tasks]\r\n"
    "User Task One=xxx\r\n"
    "User Task Two=xxx\r\n"
    "User Task Three=xxx\r\n"
    "User Task Four=xxx\r\n"
    "User Task Five=xxx\r\n"
    "User Task Six=xxx\r\n"
    "User Task Seven=xxx\r\n"
    "User Task Eight=xxx\r\n"
    "User Task Nine=xxx\r\n"
    "User Task Ten=xxx\r\n"
    "[Note]\r\n"
    ";=   Please don't edit this file yourself.\r\n"
    "; =  You may incorrectly do so and corrupt\r\n"
    ";  = the file. If that occurs, delete this file. You\r\n"
    ";   =will then have to define your user tasks again.\r\n";

struct ModIniTest : ::testing::Test {
    FakePlatform fake;
    modIni ini{fake};

    void LoadDefaults() {
        ini.IniPath = kPath;
        ini.RunMethod = 1;
        ini.TaskPath.fill("xxx");
    }
};

TEST_F(ModIniTest, StartsEmptyWithRunMethodZero) {
    EXPECT_EQ(ini.IniPath, "");
    EXPECT_EQ(ini.RunMethod, 0);
    EXPECT_EQ(ini.RunMethodText, "");
    for (const std::string& path : ini.TaskPath) EXPECT_EQ(path, "");
}

TEST_F(ModIniTest, SaveAllOnAMissingFileWritesTheWholeLayout) {
    LoadDefaults();
    ini.SaveAll();
    EXPECT_EQ(fake.files.at(kPath), kFreshFile);
    EXPECT_EQ(fake.replaceCalls, 15);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(ini.RunMethodText, "1");
}

TEST_F(ModIniTest, SecondSaveAllLeavesTheBytesAsTheyWere) {
    LoadDefaults();
    ini.SaveAll();
    ini.SaveAll();
    EXPECT_EQ(fake.files.at(kPath), kFreshFile);
}

TEST_F(ModIniTest, SaveAllRewritesEntriesInPlaceAndKeepsForeignLines) {
    fake.files[kPath] = "; my own notes\r\n[User Tasks]\r\nUser Task Two = C:\\old.exe\r\n\r\n[Mine]\r\nx=1\r\n";
    LoadDefaults();
    ini.TaskPath[1] = "C:\\new.exe";
    ini.SaveAll();
    const std::string& file = fake.files.at(kPath);
    EXPECT_EQ(file.rfind("; my own notes\r\n[User Tasks]\r\nUser Task Two =C:\\new.exe\r\n"
                         "User Task One=xxx\r\n",
                         0),
              0u);
    EXPECT_NE(file.find("User Task Ten=xxx\r\n\r\n[Mine]\r\nx=1\r\n[Options]\r\n"
                        "Program Run Method=1\r\n[Note]\r\n"),
              std::string::npos);
    EXPECT_EQ(file.find("User Task Two=", 0), std::string::npos);
}

TEST_F(ModIniTest, EveryFailedWriteShowsItsOwnBoxAndLeavesTheFile) {
    fake.files[kPath] = "[Options]\r\nProgram Run Method=4\r\n";
    fake.failReplace = true;
    LoadDefaults();
    ini.SaveAll();
    ASSERT_EQ(fake.messages.size(), 15u);
    for (const auto& message : fake.messages) {
        EXPECT_EQ(message.text, kWriteError);
        EXPECT_EQ(message.title, "Error");
        EXPECT_EQ(message.icon, MessageIcon::Critical);
    }
    EXPECT_EQ(fake.files.at(kPath), "[Options]\r\nProgram Run Method=4\r\n");
    EXPECT_EQ(ini.TaskPath[0], "xxx");
}

TEST_F(ModIniTest, WriteIniReportsSuccessAndFailure) {
    EXPECT_TRUE(ini.WriteIni("User Tasks", "User Task One", "C:\\a.exe", kPath));
    EXPECT_EQ(fake.files.at(kPath), "[User Tasks]\r\nUser Task One=C:\\a.exe\r\n");
    fake.failReplace = true;
    EXPECT_FALSE(ini.WriteIni("User Tasks", "User Task One", "C:\\b.exe", kPath));
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, kWriteError);
    EXPECT_EQ(fake.files.at(kPath), "[User Tasks]\r\nUser Task One=C:\\a.exe\r\n");
}

TEST_F(ModIniTest, AFileThatExistsButCannotBeReadIsNotOverwritten) {
    fake.paths[kPath] = PathKind::File;  // there, yet ReadFile gives nothing
    EXPECT_FALSE(ini.WriteIni("Options", "Program Run Method", "1", kPath));
    EXPECT_EQ(fake.replaceCalls, 0);
    EXPECT_EQ(fake.files.count(kPath), 0u);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].title, "Error");
}

TEST_F(ModIniTest, AValueWithALineBreakIsRefusedWithTheErrorBox) {
    fake.files[kPath] = "[User Tasks]\r\n";
    EXPECT_FALSE(ini.WriteIni("User Tasks", "User Task One", "a\r\n[Options]", kPath));
    EXPECT_EQ(fake.files.at(kPath), "[User Tasks]\r\n");
    EXPECT_EQ(fake.messages.size(), 1u);
}

TEST_F(ModIniTest, NegativeRunMethodIsWrittenWithAMinusSign) {
    LoadDefaults();
    ini.RunMethod = -3;
    ini.SaveAll();
    EXPECT_EQ(ini.RunMethodText, "-3");
    EXPECT_EQ(fake.files.at(kPath).rfind("[Options]\r\nProgram Run Method=-3\r\n", 0), 0u);
}

TEST_F(ModIniTest, ReadIniGivesTheValueOrTheDefault) {
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "1");  // no file
    fake.files[kPath] = "[Options]\r\nProgram Run Method=6\r\n[User Tasks]\r\nUser Task Three=\r\n";
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "6");
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task Three", "xxx", kPath), "xxx");
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task Four", "xxx", kPath), "xxx");
    EXPECT_EQ(ini.ReadIni("Missing", "User Task Four", "", kPath), "");
    EXPECT_EQ(fake.replaceCalls, 0);  // reading creates nothing
    EXPECT_EQ(fake.files.size(), 1u);
}

TEST_F(ModIniTest, ReadIniCutsLongValuesAndDefaultsTo255Characters) {
    const std::string value(300, 'p');
    fake.files[kPath] = "[User Tasks]\r\nUser Task One=" + value + "\r\n";
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task One", "xxx", kPath), value.substr(0, 255));
    const std::string longDefault(300, 'd');
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task Two", longDefault, kPath), longDefault.substr(0, 255));
}

TEST_F(ModIniTest, WrittenEntriesReadBack) {
    LoadDefaults();
    ini.RunMethod = 4;
    ini.TaskPath[9] = "\"C:\\Program Files\\App\\app.exe\" -x";
    ini.SaveAll();
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "4");
    // One pair of surrounding quotes is removed on reading, as Windows does;
    // this value does not end in a quote, so it comes back whole.
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task Ten", "xxx", kPath), ini.TaskPath[9]);
}

// ---------------------------------------------------------------- refused saves

// Where the system refuses the atomic replacement, the save goes in place
// with a whole copy beside the file; nothing is ever left torn.
struct RefusedSaveTest : ModIniTest {
    const std::string copyPath = kPath + ".new";
    const std::string old = "[Options]\r\nProgram Run Method=4\r\n";

    bool NothingBeside() const { return fake.files.size() == 1 && fake.files.count(kPath) == 1; }
};

TEST_F(RefusedSaveTest, ARefusedMoveOrTemporaryFileSavesInPlaceWithoutABox) {
    for (auto refusal : {ReplaceOutcome::MoveRefused, ReplaceOutcome::TempRefused}) {
        fake.files = {{kPath, old}};
        fake.messages.clear();
        fake.replaceOutcome = refusal;
        LoadDefaults();
        ini.SaveAll();
        EXPECT_TRUE(fake.messages.empty());
        EXPECT_EQ(fake.files.at(kPath), kFreshFile);
        EXPECT_TRUE(NothingBeside()) << "the whole copy is gone once the file is whole";
    }
    // The first save of all creates the file the same way.
    fake.files.clear();
    ini.SaveAll();
    EXPECT_EQ(fake.files.at(kPath), kFreshFile);
    EXPECT_TRUE(NothingBeside());
}

TEST_F(RefusedSaveTest, AWriteThatBreaksOffLeavesTheWholeNewVersionForTheReader) {
    fake.files[kPath] = old;
    fake.replaceOutcome = ReplaceOutcome::MoveRefused;
    fake.overwriteBreaksAfter[kPath] = old.size() + 7;
    EXPECT_FALSE(ini.WriteIni("User Tasks", "User Task One", "C:\\a.exe", kPath));
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, kWriteError);
    EXPECT_EQ(fake.files.at(kPath), old + "[User T") << "the file itself is torn";
    // The reader (the next start) takes the whole copy.
    EXPECT_EQ(ini.ReadIni("User Tasks", "User Task One", "xxx", kPath), "C:\\a.exe");
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "4");
    // The next write mends the file first and builds on the copy's version.
    fake.overwriteBreaksAfter.clear();
    EXPECT_TRUE(ini.WriteIni("User Tasks", "User Task Two", "C:\\b.exe", kPath));
    EXPECT_EQ(fake.files.at(kPath), old + "[User Tasks]\r\nUser Task One=C:\\a.exe\r\nUser Task Two=C:\\b.exe\r\n");
    EXPECT_TRUE(NothingBeside());
}

TEST_F(RefusedSaveTest, ACopyCutShortIsIgnoredAndCleared) {
    fake.files[kPath] = old;
    const std::string whole = WholeCopyOf("[Options]\r\nProgram Run Method=6\r\n");
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, whole.size() - 1}) {
        fake.files[copyPath] = whole.substr(0, cut);
        EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "4") << cut;
    }
    fake.files[copyPath] = whole.substr(0, whole.size() - 1) + "!";  // a wrong checksum
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "4");
    EXPECT_TRUE(ini.WriteIni("Options", "Program Run Method", "3", kPath));
    EXPECT_EQ(fake.files.at(kPath), "[Options]\r\nProgram Run Method=3\r\n");
    EXPECT_TRUE(NothingBeside());
}

TEST_F(RefusedSaveTest, WhenNoWholeCopyCanBeMadeTheFileIsNotTouched) {
    // The folder takes no new file, so neither a temporary file nor a copy:
    // writing in place without one could tear the file, so the write is refused.
    fake.files[kPath] = old;
    fake.replaceOutcome = ReplaceOutcome::TempRefused;
    fake.refuseNewFiles = true;
    LoadDefaults();
    ini.SaveAll();
    EXPECT_EQ(fake.messages.size(), 15u);
    EXPECT_EQ(fake.files.at(kPath), old);
    EXPECT_TRUE(NothingBeside());
}

TEST_F(RefusedSaveTest, ADiskThatTakesNoWholeTemporaryFileIsNotWrittenInPlace) {
    fake.files[kPath] = old;
    fake.replaceOutcome = ReplaceOutcome::WriteFailed;
    EXPECT_FALSE(ini.WriteIni("Options", "Program Run Method", "3", kPath));
    EXPECT_EQ(fake.overwriteCalls, 0);
    EXPECT_EQ(fake.files.at(kPath), old);
    EXPECT_EQ(fake.messages.size(), 1u);
}

TEST_F(RefusedSaveTest, AWholeCopyThatCannotBeMendedIntoTheFileStaysAndTheWriteIsRefused) {
    fake.files[kPath] = "[Opt";  // torn
    fake.files[copyPath] = WholeCopyOf(old);
    fake.failReplace = true;
    EXPECT_FALSE(ini.WriteIni("Options", "Program Run Method", "3", kPath));
    EXPECT_EQ(fake.files.at(copyPath), WholeCopyOf(old));
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "4");
}

TEST_F(RefusedSaveTest, ACopyThatCannotBeDeletedIsEmptiedSoItNeverReadsAsWhole) {
    fake.files[kPath] = old;
    fake.undeletable.insert(copyPath);
    fake.replaceOutcome = ReplaceOutcome::MoveRefused;
    EXPECT_TRUE(ini.WriteIni("Options", "Program Run Method", "3", kPath));
    fake.replaceOutcome = ReplaceOutcome::Replaced;
    EXPECT_TRUE(ini.WriteIni("Options", "Program Run Method", "6", kPath));
    EXPECT_EQ(fake.files.at(copyPath), "");
    EXPECT_EQ(ini.ReadIni("Options", "Program Run Method", "1", kPath), "6");
    EXPECT_TRUE(fake.messages.empty());
}

TEST(WholeCopy, ReadsBackOnlyWhenWhole) {
    for (std::string bytes : {std::string(), std::string("[A]\r\nk=v\r\n"), std::string("x\r\n;whole copy 3 0\r\n"),
                              std::string(70000, '\xFF')}) {
        const std::string copy = WholeCopyOf(bytes);
        EXPECT_EQ(FromWholeCopy(copy), bytes);
        for (std::size_t cut = 0; cut < copy.size(); cut += 1 + copy.size() / 300)
            EXPECT_FALSE(FromWholeCopy(copy.substr(0, cut)).has_value()) << cut;
        EXPECT_FALSE(FromWholeCopy(copy.substr(0, copy.size() - 1)).has_value());
    }
    EXPECT_FALSE(FromWholeCopy("[Options]\r\nProgram Run Method=4\r\n").has_value());
}

// ---------------------------------------------------------------- conversions

TEST(RunMethodConversion, NumbersRoundToNearestWithHalvesToEven) {
    const std::pair<const char*, int> cases[] = {
        {"1", 1},
        {" 6 ", 6},
        {"\t4\t", 4},
        {"+3", 3},
        {"-3", -3},
        {"3.5", 4},
        {"2.5", 2},
        {"-0.5", 0},
        {"-2.5", -2},
        {"-1.5", -2},
        {"0.5", 0},
        {"1.5", 2},
        {"2.5000001", 3},
        {"2.4999999", 2},
        {"1e2", 100},
        {"1E+2", 100},
        {"25e-1", 2},
        {"35E-1", 4},
        {"1e-1", 0},
        {".5", 0},
        {"5.", 5},
        {"-0", 0},
        {"0e999999999", 0},
        {"00032767", 32767},
        {"32767", 32767},
        {"-32768", -32768},
        {"32767.4", 32767},
        {"-32768.5", -32768},
        {"3276.74e1", 32767},
        {"0.0000000000000000000000000000006e31", 6},
    };
    for (const auto& [text, expected] : cases) {
        std::optional<std::int16_t> value = ToRunMethod(text);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(*value, expected) << text;
    }
}

TEST(RunMethodConversion, TextThatIsNotANumberOrOutOfRangeFails) {
    const char* cases[] = {
        "",      "   ",   "abc",    "3x",      "0x10",      "inf", "nan",   "-inf",
        "1e",    "1e+",   ".",      "-",       "+",         "- 5", "5 5",   "1,5",
        "e5",    "32768", "-32769", "32767.5", "-32768.51", "1e5", "99999", "1e999999999999999",
        "3.5.1", "&H10",
    };
    for (const char* text : cases) EXPECT_FALSE(ToRunMethod(text).has_value()) << '"' << text << '"';
}

TEST(RunMethodConversion, LongDigitStringsRoundExactly) {
    EXPECT_EQ(ToRunMethod("2.5" + std::string(1000, '0')), 2);
    EXPECT_EQ(ToRunMethod("2.5" + std::string(1000, '0') + "1"), 3);
    EXPECT_EQ(ToRunMethod(std::string(1000, '0') + "7"), 7);
    EXPECT_FALSE(ToRunMethod("1" + std::string(1000, '0')).has_value());
}

TEST(RunMethodConversion, TextHasNoBlanksAndAMinusForNegatives) {
    EXPECT_EQ(RunMethodToText(0), "0");
    EXPECT_EQ(RunMethodToText(4), "4");
    EXPECT_EQ(RunMethodToText(-3), "-3");
    EXPECT_EQ(RunMethodToText(32767), "32767");
    EXPECT_EQ(RunMethodToText(-32768), "-32768");
}

}  // namespace
