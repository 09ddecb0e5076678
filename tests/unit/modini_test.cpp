// modIni against the in-memory platform: reads, writes, SaveAll and the
// run-method conversions.
#include "settings/modIni.h"
#include "settings/durable_save.h"
#include "settings/run_method.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_platform.h"
#include "settings/profile.h"
#include "support/encoded_files.h"

namespace {

using orvan::platform::InPlaceEdit;
using orvan::platform::MessageIcon;
using orvan::platform::PathKind;
using orvan::platform::ReplaceOutcome;
using orvan::settings::BlankFiller;
using orvan::settings::FromWholeCopy;
using orvan::settings::kSettingsPath;
using orvan::settings::modIni;
using orvan::settings::PlanInPlaceEdit;
using orvan::settings::RunMethodToText;
using orvan::settings::ToRunMethod;
using orvan::settings::WholeCopyOf;
using orvan::testing::FakePlatform;
using orvan::testing::kUtf8Mark;
using orvan::testing::Utf16;

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
        EXPECT_TRUE(fake.edits.empty()) << "written without its whole copy where one could be made";
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

TEST_F(RefusedSaveTest, AFolderThatTakesNoNewFileIsWrittenInPlaceAsTheSystemWritesIt) {
    // Neither a temporary file nor a whole copy can be made, but the file
    // itself takes writes: the system's writer saves there, and so do we.
    fake.files[kPath] = old;
    fake.replaceOutcome = ReplaceOutcome::TempRefused;
    fake.refuseNewFiles = true;
    LoadDefaults();
    ini.SaveAll();
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(fake.files.at(kPath), kFreshFile);
    EXPECT_TRUE(NothingBeside());
    EXPECT_EQ(fake.edits.size(), 15u);
    // Without a file to write in place, such a folder refuses every write.
    fake.files.clear();
    fake.messages.clear();
    fake.edits.clear();
    ini.SaveAll();
    EXPECT_EQ(fake.messages.size(), 15u);
    EXPECT_TRUE(fake.files.empty());
    EXPECT_TRUE(fake.edits.empty());
}

TEST_F(RefusedSaveTest, AFullDiskSavesWhatFitsInTheFileItselfAndRefusesWhatWouldGrowIt) {
    fake.files[kPath] = "[Options]\r\nProgram Run Method=32767\r\n[User Tasks]\r\nUser Task One=C:\\a b\\c.exe\r\n";
    fake.roomOnDisk = 0;  // no temporary file, no copy, no byte more for the file
    LoadDefaults();       // run method 1 and slot one "xxx": both shorter than what the file holds
    ini.SaveAll();
    EXPECT_EQ(fake.messages.size(), 13u) << "each write that adds a line has its box";
    EXPECT_EQ(fake.files.at(kPath), "[Options]\r\nProgram Run Method=1\r\n[User Tasks]\r\nUser Task One=xxx\r\n");
    EXPECT_TRUE(NothingBeside()) << "the broken-off copies are gone";
}

TEST_F(RefusedSaveTest, AFileThatCannotBeReadWholeIsNeverWrittenInPlace) {
    fake.paths[kPath] = PathKind::File;  // there, yet ReadFile gives nothing
    fake.replaceOutcome = ReplaceOutcome::TempRefused;
    fake.refuseNewFiles = true;
    EXPECT_FALSE(ini.WriteIni("Options", "Program Run Method", "3", kPath));
    EXPECT_TRUE(fake.edits.empty());
    EXPECT_EQ(fake.overwriteCalls, 0);
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

// ---------------------------------------------------------------- write in place

TEST(BlankFiller, ReadsAsNothingInTheFilesEncodingAfterALineBreak) {
    EXPECT_EQ(BlankFiller("k=v\r\n", 3), "   ");
    EXPECT_EQ(BlankFiller("k=v\r", 1), " ");
    EXPECT_EQ(BlankFiller("k=v", 3), "\n  ") << "a line without its break is ended first";
    EXPECT_EQ(BlankFiller("k=v", 1), "\n");
    EXPECT_EQ(BlankFiller("", 2), "  ");
    EXPECT_EQ(BlankFiller("k=v", 0), "");
    using namespace std::string_literals;
    EXPECT_EQ(BlankFiller(Utf16(u"k=v\r\n"), 4), " \0 \0"s);
    EXPECT_EQ(BlankFiller(Utf16(u"k=v"), 4), "\n\0 \0"s);
    EXPECT_EQ(BlankFiller(Utf16(u"k=v", true), 4), "\0\n\0 "s);
    EXPECT_EQ(BlankFiller(Utf16(u"k=v"), 3), std::nullopt) << "half a character";
    EXPECT_EQ(BlankFiller(Utf16(u"k=v") + "A", 2), std::nullopt) << "a UTF-16 file of odd length";
    EXPECT_EQ(BlankFiller(kUtf8Mark + "k=v", 2), "\n ");
}

// The states a file passes through while an edit is carried out.
struct EditStages {
    std::string reserved;  // the reserve appended
    std::string written;   // the tail written over it
    std::string final;     // cut to length
};

EditStages Stages(const InPlaceEdit& edit) {
    EditStages s;
    s.reserved = edit.expected + edit.reserve;
    s.written = s.reserved;
    if (s.written.size() < edit.offset + edit.tail.size()) s.written.resize(edit.offset + edit.tail.size());
    s.written.replace(edit.offset, edit.tail.size(), edit.tail);
    s.final = s.written.substr(0, edit.length);
    return s;
}

// What every entry a test looks at reads as, missing ones as nothing.
std::vector<std::optional<std::string>> Reads(const std::string& file) {
    static const std::pair<const char*, const char*> kEntries[] = {
        {"Options", "Program Run Method"},
        {"User Tasks", "User Task One"},
        {"User Tasks", "User Task Ten"},
        {"Note", ";"},
        {"Mine", "x"},
        {"", "; mine"},
    };
    orvan::testing::FakeCodec codec;
    std::vector<std::optional<std::string>> values;
    for (const auto& [section, key] : kEntries)
        values.push_back(orvan::settings::profile::FindValue(codec, file, section, key));
    return values;
}

// Every write of a save in place, in every encoding, growing the file and
// shrinking it: the file reads as its old contents until the one write of
// the changed bytes, and as its new contents from then on.
TEST(InPlaceEdit, TheFileReadsAsOldOrNewAtEveryStepButTheOneWrite) {
    const std::string files[] = {
        "",
        "; mine\r\n[Options]\r\nProgram Run Method=32767\r\n[Mine]\r\nx=1",
        "[User Tasks]\r\nUser Task One=C:\\a long path\\to a tool.exe\r\n[Mine]\r\nx=1\r\n",
        kUtf8Mark + "[User Tasks]\r\nUser Task One=C:\\\xC3\xA9t\xC3\xA9.exe\r\n",
        Utf16(u"[Options]\r\nProgram Run Method=32767\r\n[Mine]\r\nx=1"),
        Utf16(u"[Mine]\r\nx=1\r\n[User Tasks]\r\nUser Task One=C:\\a long path.exe\r\n", true),
        Utf16(u"[Mine]\r\nx=1\r\n") + "A",  // odd: no filler, the edit still comes out whole
    };
    int grew = 0, shrank = 0;
    for (const std::string& start : files) {
        using orvan::settings::profile::Encoding;
        const Encoding encoding = orvan::settings::profile::DetectEncoding(start);
        const bool odd = start.size() % 2 == 1 && (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be);
        FakePlatform fake;
        modIni ini(fake);
        fake.files[kPath] = start;
        fake.replaceOutcome = ReplaceOutcome::TempRefused;
        fake.refuseNewFiles = true;
        ini.IniPath = kPath;
        ini.RunMethod = 1;
        ini.TaskPath.fill("xxx");
        ini.SaveAll();
        ASSERT_TRUE(fake.messages.empty());
        ASSERT_EQ(fake.edits.size(), 15u);
        for (std::size_t i = 0; i < fake.edits.size(); ++i) {
            const InPlaceEdit& edit = fake.edits[i];
            const std::string& after = i + 1 < fake.edits.size() ? fake.edits[i + 1].expected : fake.files.at(kPath);
            const EditStages s = Stages(edit);
            SCOPED_TRACE(::testing::Message() << "write " << i + 1 << " of a file of " << start.size() << " bytes");
            EXPECT_EQ(s.final, after);
            // Nothing before the first changed byte is written.
            EXPECT_EQ(edit.expected.substr(0, edit.offset), after.substr(0, edit.offset));
            EXPECT_TRUE(edit.offset == std::min(edit.expected.size(), after.size()) ||
                        edit.expected[edit.offset] != after[edit.offset]);
            EXPECT_EQ(Reads(s.reserved), Reads(edit.expected)) << "the room taken first reads as nothing";
            EXPECT_EQ(Reads(s.written), Reads(after)) << "the blanks beyond the new end read as nothing";
            if (after.size() > edit.expected.size()) {
                ++grew;
                EXPECT_EQ(edit.reserve.size(), odd ? 0 : after.size() - edit.expected.size());
            } else {
                EXPECT_TRUE(edit.reserve.empty());
            }
            if (after.size() < edit.expected.size()) {
                ++shrank;
                EXPECT_EQ(s.written.size(), odd ? edit.offset + edit.tail.size() : edit.expected.size());
            }
        }
    }
    EXPECT_GT(grew, 0);
    EXPECT_GT(shrank, 0);
}

TEST(InPlaceEdit, AnUnchangedFileHasNothingToWrite) {
    const InPlaceEdit edit = PlanInPlaceEdit("[A]\r\nk=v\r\n", "[A]\r\nk=v\r\n");
    EXPECT_EQ(edit.offset, 10u);
    EXPECT_TRUE(edit.tail.empty());
    EXPECT_TRUE(edit.reserve.empty());
    EXPECT_EQ(edit.length, 10u);
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
