// The private-profile reader and writer on file contents held in memory.
#include "settings/profile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "fakes/fake_codec.h"
#include "support/encoded_files.h"

namespace {

namespace profile = orvan::settings::profile;
using profile::IsWritable;
using namespace std::string_literals;

// Windows-1252 stands in for the system's ANSI code page.
const orvan::testing::FakeCodec kCodec;

std::optional<std::string> FindValue(std::string_view contents, std::string_view section, std::string_view key) {
    return profile::FindValue(kCodec, contents, section, key);
}

std::string GetString(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view fallback, std::size_t size) {
    return profile::GetString(kCodec, contents, section, key, fallback, size);
}

std::optional<std::string> SetString(std::string_view contents, std::string_view section, std::string_view key,
                                     std::string_view value) {
    return profile::SetString(kCodec, contents, section, key, value);
}

std::string Read(std::string_view contents, std::string_view section, std::string_view key, std::size_t size = 256) {
    return GetString(contents, section, key, "DEFAULT", size);
}

std::string Write(std::string_view contents, std::string_view section, std::string_view key, std::string_view value) {
    std::optional<std::string> out = SetString(contents, section, key, value);
    EXPECT_TRUE(out.has_value()) << "write refused: " << section << "/" << key;
    return out.value_or(std::string(contents));
}

// Deterministic bytes of every value, NUL and line breaks included.
std::string Garbage(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

// ---------------------------------------------------------------- reading

TEST(ProfileRead, NamesMatchIgnoringCaseAndSurroundingBlanks) {
    const std::string file = "[ oPTIONS\t]\r\n \tprogram RUN method \t= 4\r\n";
    EXPECT_EQ(Read(file, "Options", "Program Run Method"), "4");
    EXPECT_EQ(Read(file, " OPTIONS ", "PROGRAM RUN METHOD"), "4");
    EXPECT_EQ(Read(file, "Option", "Program Run Method"), "DEFAULT");
    EXPECT_EQ(Read(file, "Options", "Program Run"), "DEFAULT");
}

TEST(ProfileRead, CaseFoldingIsAsciiOnly) {
    const std::string file = "[S\xC4]\r\nk\xE4=1\r\n";
    EXPECT_EQ(Read(file, "s\xC4", "K\xE4"), "1");
    EXPECT_EQ(Read(file, "s\xE4", "k\xE4"), "DEFAULT");
}

TEST(ProfileRead, ValueBlanksTrimmedAndOnePairOfQuotesRemoved) {
    const std::string file =
        "[S]\r\nplain= \t a b \t \r\ndq=\"x y\"\r\nsq= 'x y' \r\nmixed=\"x'\r\n"
        "lone=\"\r\nempty=\"\"\r\ntwice=\"\"x\"\"\r\ninner= \" x \" \r\n";
    EXPECT_EQ(Read(file, "S", "plain"), "a b");
    EXPECT_EQ(Read(file, "S", "dq"), "x y");
    EXPECT_EQ(Read(file, "S", "sq"), "x y");
    EXPECT_EQ(Read(file, "S", "mixed"), "\"x'");
    EXPECT_EQ(Read(file, "S", "lone"), "\"");
    EXPECT_EQ(Read(file, "S", "empty"), "");
    EXPECT_EQ(Read(file, "S", "twice"), "\"x\"");
    EXPECT_EQ(Read(file, "S", "inner"), " x ");
}

TEST(ProfileRead, MissingFileSectionOrKeyGiveTheDefaultAndEmptyValueGivesEmpty) {
    EXPECT_EQ(Read("", "S", "k"), "DEFAULT");
    EXPECT_EQ(Read("[T]\r\nk=1\r\n", "S", "k"), "DEFAULT");
    EXPECT_EQ(Read("[S]\r\nj=1\r\n", "S", "k"), "DEFAULT");
    EXPECT_EQ(Read("[S]\r\nk=\r\n", "S", "k"), "");
    EXPECT_EQ(Read("[S]\r\nk=   \r\n", "S", "k"), "");
    EXPECT_FALSE(FindValue("[S]\r\nj=1", "S", "k").has_value());
    EXPECT_EQ(FindValue("[S]\r\nk=", "S", "k"), std::optional<std::string_view>(""));
}

TEST(ProfileRead, FirstMatchingSectionAndFirstMatchingKeyWin) {
    const std::string file = "[S]\r\nk=first\r\nk=second\r\n[T]\r\n[s]\r\nk=third\r\nonly=x\r\n";
    EXPECT_EQ(Read(file, "S", "k"), "first");
    EXPECT_EQ(Read(file, "S", "only"), "DEFAULT");  // lives in the duplicate only
}

TEST(ProfileRead, EveryKindOfLineBreak) {
    EXPECT_EQ(Read("[S]\nk=lf\n", "S", "k"), "lf");
    EXPECT_EQ(Read("[S]\rk=cr\r", "S", "k"), "cr");
    EXPECT_EQ(Read("[S]\r\nk=crlf\r\n", "S", "k"), "crlf");
    EXPECT_EQ(Read("[A]\rx=1\n\r\n[S]\r\rk=mixed", "S", "k"), "mixed");
    EXPECT_EQ(Read("[A]\rx=1\n\r\n[S]\r\rk=mixed", "A", "x"), "1");
}

TEST(ProfileRead, AtMostSizeMinusOneCharacters) {
    const std::string value(300, 'v');
    const std::string file = "[S]\r\nk=" + value + "\r\n";
    EXPECT_EQ(Read(file, "S", "k"), std::string(255, 'v'));
    EXPECT_EQ(Read(file, "S", "k", 10), std::string(9, 'v'));
    EXPECT_EQ(Read(file, "S", "k", 1), "");
    EXPECT_EQ(Read(file, "S", "k", 0), "");
    EXPECT_EQ(GetString("", "S", "k", "abcdef", 4), "abc");  // the default is cut too
}

// The system keeps comment lines and lines without '=' as keys (so that it can
// write them back), and finds them like any other key.
TEST(ProfileRead, CommentLinesAndLinesWithoutEqualsAreKeysAndLinesBeforeAnySectionFormSectionNone) {
    const std::string file = "k=outside\r\n;c=1\r\n[S]\r\n;c=2\r\n  ; d=3\r\nk\r\nlone\r\nk=inside\r\n";
    EXPECT_EQ(Read(file, "S", "k"), "DEFAULT");  // the first "k" has no value
    EXPECT_EQ(Read(file, "S", "lone"), "DEFAULT");
    EXPECT_EQ(Read(file, "S", ";c"), "2");
    EXPECT_EQ(Read(file, "S", "; d"), "3");
    EXPECT_EQ(Read("k=outside\r\n[S]\r\n", "S", "k"), "DEFAULT");
    EXPECT_EQ(Read(file, "", "k"), "outside");
    EXPECT_EQ(Read(file, " ", ";c"), "1");
    EXPECT_FALSE(FindValue(file, "S", "lone").has_value());
}

TEST(ProfileRead, HeaderNameEndsAtTheLastBracketAndBrokenHeadersAreKeys) {
    EXPECT_EQ(Read("[S] trailing words\r\nk=1\r\n", "S", "k"), "1");
    EXPECT_EQ(Read("[S] x]\r\nk=1\r\n", "S] x", "k"), "1");
    EXPECT_EQ(Read("[S] x]\r\nk=1\r\n", "S", "k"), "DEFAULT");
    EXPECT_EQ(Read("[S]\r\n[broken\r\nk=1\r\n", "S", "k"), "1");
    EXPECT_EQ(Read("[S]\r\n[broken=2\r\n", "S", "[broken"), "2");
    EXPECT_EQ(Read("[broken\r\nk=1\r\n", "broken", "k"), "DEFAULT");
    // "" names the lines before the first header, so a "[]" further down is never read.
    EXPECT_EQ(Read("[]\r\nk=1\r\n", "", "k"), "DEFAULT");
}

TEST(ProfileRead, KeysDifferingInTrailingBlanksAreOneKeyAndABareKeyFindsAHandEdit) {
    const std::string both = "[S]\r\nk  =first\r\nk=second\r\n";
    EXPECT_EQ(Read(both, "S", "k"), "first");
    EXPECT_EQ(Read(both, "S", "k  "), "first");
    EXPECT_EQ(Read(both, "S", "k "), "first");
    EXPECT_EQ(Read("[S]\r\nUser Task One = C:\\a.exe\r\n", "S", "User Task One"), "C:\\a.exe");
    EXPECT_EQ(Read("[S]\r\nk =first\r\nk\t=second\r\n", "S", "k"), "first");
}

TEST(ProfileRead, ByteOrderMarkIsNotPartOfTheFirstLine) {
    EXPECT_EQ(Read("\xEF\xBB\xBF[Options]\r\nk=1\r\n", "Options", "k"), "1");
    // Anywhere else it is ordinary text.
    EXPECT_EQ(Read("\r\n\xEF\xBB\xBF[Options]\r\nk=1\r\n", "Options", "k"), "DEFAULT");
}

// The system holds names and values as C strings: each ends at its first
// NUL, after the blanks around the whole text are trimmed.
TEST(ProfileRead, NamesAndValuesEndAtTheirFirstNul) {
    const std::string file = "[S\0x]\r\nk\0=a\0b\r\n"s;
    EXPECT_EQ(Read(file, "S\0x"s, "k\0"s), "a");
    EXPECT_EQ(Read(file, "S", "k"), "a");
    EXPECT_EQ(Read("[S \0x]\r\nk=1\r\n"s, "S", "k"), "DEFAULT");  // "S " is not "S"
    EXPECT_EQ(Read("[S]\r\nk=a \0 \r\n"s, "S", "k"), "a ");
    EXPECT_EQ(Read("[S]\r\nk=\0ab\r\n"s, "S", "k"), "");
    EXPECT_EQ(Read("[S]\r\n\0k=1\r\nk=2\r\n"s, "S", "k"), "2");
    EXPECT_EQ(Read("[S]\r\nk=\"a\"\0\"\r\n"s, "S", "k"), "a");
}

// ---------------------------------------------------------------- writing

TEST(ProfileWrite, CreatesSectionAndEntryInAnEmptyFile) {
    EXPECT_EQ(Write("", "Options", "Program Run Method", "1"), "[Options]\r\nProgram Run Method=1\r\n");
}

TEST(ProfileWrite, NewSectionGoesAtTheEndAfterALineBreakIfNeeded) {
    EXPECT_EQ(Write("[A]\r\nx=1", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    EXPECT_EQ(Write("[A]\nx=1\n", "B", "k", "v"), "[A]\nx=1\n[B]\r\nk=v\r\n");
    EXPECT_EQ(Write("[A]\rx=1\r", "B", "k", "v"), "[A]\rx=1\r[B]\r\nk=v\r\n");
    EXPECT_EQ(Write("\xEF\xBB\xBF", "B", "k", "v"), "\xEF\xBB\xBF[B]\r\nk=v\r\n");
}

TEST(ProfileWrite, NewEntryGoesAfterTheLastLineOfItsSection) {
    const std::string file = "; top\r\n[A]\r\nx=1\r\n; note\r\n\r\n\r\n[B]\r\ny=2\r\n";
    EXPECT_EQ(Write(file, "a", "z", "3"), "; top\r\n[A]\r\nx=1\r\n; note\r\nz=3\r\n\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(Write("[A]\r\n\r\n[B]\r\n", "A", "k", "v"), "[A]\r\nk=v\r\n\r\n[B]\r\n");
    EXPECT_EQ(Write("[A]", "A", "k", "v"), "[A]\r\nk=v\r\n");
    EXPECT_EQ(Write("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\r\nk=v\r\n");
    EXPECT_EQ(Write("[A]\rx=1\r", "A", "k", "v"), "[A]\rx=1\rk=v\r\n");
    EXPECT_EQ(Write("[A]\r\n", "A", "  k", "v"), "[A]\r\nk=v\r\n");  // leading blanks dropped
}

TEST(ProfileWrite, ExistingValueIsReplacedWhereItStands) {
    EXPECT_EQ(Write("[A]\r\nx=1\r\ny=2\r\n", "A", "x", "9"), "[A]\r\nx=9\r\ny=2\r\n");
    // Key text, its case and blanks, and the line break stay as the file has them.
    EXPECT_EQ(Write("[a]\n  X\t=  1  \ny=2", "A", "x", "5"), "[a]\n  X\t=5\ny=2");
    EXPECT_EQ(Write("[A]\rx=1\ry=2", "A", "y", "long value"), "[A]\rx=1\ry=long value");
    EXPECT_EQ(Write("[A]\r\nx=a=b\r\n", "A", "x", "c"), "[A]\r\nx=c\r\n");
    EXPECT_EQ(Write("[A]\r\nx=1\r\n", "A", "x", ""), "[A]\r\nx=\r\n");
}

TEST(ProfileWrite, AHandEditedEntryWithBlanksIsFoundNotDuplicated) {
    const std::string file = "[User Tasks]\r\nUser Task One = C:\\a.exe \r\nUser Task Two=xxx\r\n";
    const std::string out = Write(file, "User Tasks", "User Task One", "C:\\b.exe");
    EXPECT_EQ(out, "[User Tasks]\r\nUser Task One =C:\\b.exe\r\nUser Task Two=xxx\r\n");
    EXPECT_EQ(Read(out, "User Tasks", "User Task One"), "C:\\b.exe");
}

TEST(ProfileWrite, FirstKeyIsWrittenAndTrailingBlanksMakeADistinctKey) {
    // The system reads the first "k", so that is the one written.
    EXPECT_EQ(Write("[S]\r\nk =1\r\nk=2\r\n", "S", "k", "3"), "[S]\r\nk =3\r\nk=2\r\n");
    EXPECT_EQ(Write("[S]\r\nk=1\r\n", "S", "k ", "2"), "[S]\r\nk=1\r\nk =2\r\n");
    EXPECT_EQ(Write("[S]\r\nk =1\r\n", "S", "k ", "2"), "[S]\r\nk =2\r\n");
}

TEST(ProfileWrite, OnlyTheFirstOfDuplicateSectionsIsWritten) {
    const std::string file = "[S]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n";
    EXPECT_EQ(Write(file, "S", "k", "9"), "[S]\r\nk=9\r\n[S]\r\nk=2\r\nj=3\r\n");
    EXPECT_EQ(Write(file, "S", "j", "9"), "[S]\r\nk=1\r\nj=9\r\n[S]\r\nk=2\r\nj=3\r\n");
}

TEST(ProfileWrite, WritingTheSameEntryAgainChangesNoByte) {
    const std::string starts[] = {"", "[A]\nx = 1", "garbage\0\xFF[A\r"s, "[S]\r\nk=old\r\n\r\n"};
    for (const std::string& start : starts) {
        const std::string once = Write(start, "S", "k", " new value ");
        EXPECT_EQ(Write(once, "S", "k", " new value "), once);
        EXPECT_EQ(Read(once, "S", "k"), " new value ");
    }
}

TEST(ProfileWrite, RefusesEntriesThatWouldChangeOtherLines) {
    EXPECT_FALSE(IsWritable("S", "k", "a\r\nb"));
    EXPECT_FALSE(IsWritable("S", "k", "a\rb"));
    EXPECT_FALSE(IsWritable("S", "k\n", "v"));
    EXPECT_FALSE(IsWritable("S\n", "k", "v"));
    EXPECT_FALSE(IsWritable("S]x", "k", "v"));
    EXPECT_FALSE(IsWritable("S", "k=j", "v"));
    EXPECT_FALSE(IsWritable("S", " [k", "v"));
    EXPECT_TRUE(IsWritable("S", ";  ", " v=w [x] ;"));
    EXPECT_FALSE(SetString("[S]\r\nk=1\r\n", "S", "k", "evil\r\n[S]").has_value());
}

TEST(ProfileWrite, CommentLinesWithEqualsAreRewrittenInPlaceAndReadLikeEntries) {
    const std::string file = "[Note]\r\n;=old\r\n";
    EXPECT_EQ(Write(file, "Note", ";", "new"), "[Note]\r\n;=new\r\n");
    EXPECT_EQ(Read(file, "Note", ";"), "old");
}

TEST(ProfileWrite, NoteLinesStayFourDistinctAlignedLines) {
    const std::pair<std::string_view, std::string_view> notes[] = {
        {";", "   one"}, {"; ", "  two"}, {";  ", " three"}, {";   ", "four"}};
    std::string file = "[Options]\r\nx=1\r\n";
    for (const auto& [key, value] : notes) file = Write(file, "Note", key, value);
    EXPECT_EQ(file, "[Options]\r\nx=1\r\n[Note]\r\n;=   one\r\n; =  two\r\n;  = three\r\n;   =four\r\n");
    std::string again = file;
    for (const auto& [key, value] : notes) again = Write(again, "Note", key, value);
    EXPECT_EQ(again, file);
}

// ---------------------------------------------------------------- encodings

using orvan::testing::kUtf8Mark;
using orvan::testing::Utf16;

TEST(ProfileEncoding, TheMarkDecidesTheEncodingAsTheSystemDetectsIt) {
    using profile::Encoding;
    EXPECT_EQ(profile::DetectEncoding(""), Encoding::Ansi);
    EXPECT_EQ(profile::DetectEncoding("\xFF"), Encoding::Ansi);
    EXPECT_EQ(profile::DetectEncoding("[S]\xFF\xFE"), Encoding::Ansi);
    EXPECT_EQ(profile::DetectEncoding("\xEF\xBB"), Encoding::Ansi);
    EXPECT_EQ(profile::DetectEncoding("\xEF\xBB\xBF"), Encoding::Utf8);
    EXPECT_EQ(profile::DetectEncoding("\xFF\xFE"), Encoding::Utf16Le);
    EXPECT_EQ(profile::DetectEncoding("\xFE\xFF[\0"s), Encoding::Utf16Be);
}

TEST(ProfileEncoding, NamesAndValuesAreReadInTheFilesEncodingAndComeBackAsAnsi) {
    // "Ä" and "é" exist in the ANSI code page; Cyrillic and the euro sign's
    // neighbours beyond it come back as the code page's default character.
    const std::u16string text = u"[Sch\u00C4den]\r\nk\u00E9y = caf\u00E9 \u20AC \u0416\r\n";
    for (bool bigEndian : {false, true}) {
        const std::string file = Utf16(text, bigEndian);
        EXPECT_EQ(Read(file,
                       "Sch\xC4"
                       "den",
                       "k\xE9y"),
                  "caf\xE9 \x80 ?")
            << bigEndian;
        EXPECT_EQ(Read(file,
                       "sch\xC4"
                       "DEN",
                       "K\xE9Y"),
                  "caf\xE9 \x80 ?");
        EXPECT_EQ(Read(file,
                       "sch\xE4"
                       "den",
                       "k\xE9y"),
                  "DEFAULT");  // only ASCII letters fold
    }
    const std::string utf8 = kUtf8Mark +
                             "[Sch\xC3\x84"
                             "den]\r\nk\xC3\xA9y=caf\xC3\xA9 \xE2\x82\xAC \xD0\x96\r\n";
    EXPECT_EQ(Read(utf8,
                   "Sch\xC4"
                   "den",
                   "k\xE9y"),
              "caf\xE9 \x80 ?");
    // Bytes that are no UTF-8 read as the replacement character, one per broken sequence.
    EXPECT_EQ(Read(kUtf8Mark + "[S]\r\nk=\xE2\x82|\xFF\x80x\r\n", "S", "k"), "?|??x");
    // The same bytes without a mark are ANSI text.
    EXPECT_EQ(Read("[S]\r\nk=caf\xC3\xA9\r\n", "S", "k"), "caf\xC3\xA9");
}

TEST(ProfileEncoding, AUtf16FileOfOddLengthIgnoresItsLastByteAndKeepsIt) {
    const std::string file = Utf16(u"[S]\r\nk=1") + "A";
    EXPECT_EQ(Read(file, "S", "k"), "1");
    EXPECT_EQ(Write(file, "S", "k", "2"), Utf16(u"[S]\r\nk=2") + "A");
    EXPECT_EQ(Write(file, "T", "j", "3"), Utf16(u"[S]\r\nk=1\r\n[T]\r\nj=3\r\n") + "A");
}

TEST(ProfileEncoding, WritesKeepTheFilesEncodingAndEveryOtherByte) {
    for (bool bigEndian : {false, true}) {
        const std::string file = Utf16(u"; \u0416\r\n[S]\n k = old \r\nj=\u00E9\r\n\r\n[T]\r\n", bigEndian);
        EXPECT_EQ(Write(file, "S", "k", "caf\xE9"),
                  Utf16(u"; \u0416\r\n[S]\n k =caf\u00E9\r\nj=\u00E9\r\n\r\n[T]\r\n", bigEndian));
        EXPECT_EQ(Write(file, "S", "new", "\x80"),
                  Utf16(u"; \u0416\r\n[S]\n k = old \r\nj=\u00E9\r\nnew=\u20AC\r\n\r\n[T]\r\n", bigEndian));
        const std::string added = Write(file, "\xC4", "k", " v");
        EXPECT_EQ(added,
                  Utf16(u"; \u0416\r\n[S]\n k = old \r\nj=\u00E9\r\n\r\n[T]\r\n[\u00C4]\r\nk=\" v\"\r\n", bigEndian));
        EXPECT_EQ(Read(added, "\xC4", "k"), " v");
    }
    const std::string utf8 = kUtf8Mark + "[S]\r\nk=\xD0\x96\r\n";
    EXPECT_EQ(Write(utf8, "S", "k", "\xE4"), kUtf8Mark + "[S]\r\nk=\xC3\xA4\r\n");
    EXPECT_EQ(Write(utf8, "S", "j", "\xE4"), kUtf8Mark + "[S]\r\nk=\xD0\x96\r\nj=\xC3\xA4\r\n");
    // A file that is just a mark keeps it and its encoding.
    EXPECT_EQ(Write("\xFF\xFE", "B", "k", "v"), Utf16(u"[B]\r\nk=v\r\n"));
    EXPECT_EQ(Write("\xFE\xFF", "B", "k", "v"), Utf16(u"[B]\r\nk=v\r\n", true));
    // An entry that would begin the file with a mark's bytes goes after a blank line.
    EXPECT_EQ(Write("", "", "\xFF\xFEk", "v"), "\r\n\xFF\xFEk=v\r\n");
    EXPECT_EQ(Read("\r\n\xFF\xFEk=v\r\n", "", "\xFF\xFEk"), "v");
    // An ANSI file stays ANSI, byte for byte.
    EXPECT_EQ(Write("[S]\r\nk=\xD0\r\n", "S", "j", "\xE4"), "[S]\r\nk=\xD0\r\nj=\xE4\r\n");
}

// ---------------------------------------------------------------- blanks

TEST(ProfileBlanks, TheSystemsBlanksAreTrimmedAroundNamesKeysAndValues) {
    // Tab, LF, VT, FF, CR, ^Z and space; LF and CR also end the line.
    for (char blank : {'\t', '\v', '\f', '\x1A', ' '}) {
        const std::string b(1, blank);
        const std::string file = b + "[" + b + "S" + b + "]" + b + "\r\n" + b + "k" + b + "=" + b + "v" + b + "\r\n";
        EXPECT_EQ(Read(file, "S", "k"), "v") << int(blank);
        EXPECT_EQ(Read(file, b + "S" + b, b + "k" + b), "v") << int(blank);
        const std::u16string w(1, static_cast<char16_t>(blank));
        EXPECT_EQ(Read(Utf16(w + u"[" + w + u"S" + w + u"]\r\n" + w + u"k" + w + u"=" + w + u"v" + w), "S", "k"), "v")
            << int(blank);
    }
}

TEST(ProfileBlanks, NoOtherCharacterIsABlank) {
    // No-break space, the code page's ellipsis (0x85), control characters.
    for (char other : {'\xA0', '\x85', '\x01', '\x1B', '\x7F'}) {
        const std::string o(1, other);
        EXPECT_EQ(Read("[S]\r\nk=" + o + "v" + o + "\r\n", "S", "k"), o + "v" + o) << int(other);
        EXPECT_EQ(Read("[S]\r\nk" + o + "=v\r\n", "S", "k"), "DEFAULT") << int(other);
        EXPECT_EQ(Read("[" + o + "S]\r\nk=v\r\n", "S", "k"), "DEFAULT") << int(other);
    }
    for (char16_t other : {u'\u00A0', u'\u3000', u'\u2028', u'\u0085', u'\uFEFF'}) {
        const std::u16string o(1, other);
        EXPECT_EQ(Read(Utf16(u"[S]\r\nk=" + o + u"v\r\n"), "S", "k").size(), 2u) << int(other);
        EXPECT_EQ(Read(Utf16(u"[S]\r\nk" + o + u"=v\r\n"), "S", "k"), "DEFAULT") << int(other);
    }
}

// ---------------------------------------------------------------- quoting

TEST(ProfileQuoting, ValuesThatWouldNotReadBackAreWrittenInDoubleQuotes) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {" a", "\" a\""},
        {"a ", "\"a \""},
        {"\ta\t", "\"\ta\t\""},
        {"\x1A"
         "a",
         "\"\x1A"
         "a\""},
        {"\va", "\"\va\""},
        {"\"x\"", "\"\"x\"\""},
        {"'x'", "\"'x'\""},
        {"\"\"", "\"\"\"\""},
        {" ", "\" \""},
        {"''", "\"''\""},
    };
    for (const auto& [value, written] : cases) {
        const std::string file = Write("[S]\r\nk=old\r\n", "S", "k", value);
        EXPECT_EQ(file, "[S]\r\nk=" + std::string(written) + "\r\n") << value;
        EXPECT_EQ(FindValue(file, "S", "k"), std::optional<std::string>(value)) << value;
        EXPECT_FALSE(profile::ReadsBackAsIs(kCodec, value)) << value;
    }
}

TEST(ProfileQuoting, ValuesThatReadBackAsTheyAreStayUnquoted) {
    const std::string_view cases[] = {
        "",     "a",         "a b",    "\"",       "'",         "\"x'",
        "\"x",  "x\"",       "a\"b\"", "\"a\" -x", "\xA0v\xA0", "C:\\Program Files\\App\\app.exe",
        "'a'b", "x=y [z] ;",
    };
    for (std::string_view value : cases) {
        EXPECT_TRUE(profile::ReadsBackAsIs(kCodec, value)) << value;
        const std::string file = Write("[S]\r\n", "S", "k", value);
        EXPECT_EQ(file, "[S]\r\nk=" + std::string(value) + "\r\n");
        EXPECT_EQ(FindValue(file, "S", "k"), std::optional<std::string>(value)) << value;
    }
}

TEST(ProfileQuoting, NoteKeysAreWrittenAsTheyAre) {
    EXPECT_EQ(Write("", "Note", ";  ", " the file."), "[Note]\r\n;  = the file.\r\n");
    EXPECT_EQ(Write("", "S", " ;x", "\"y\""), "[S]\r\n;x=\"y\"\r\n");
}

TEST(ProfileQuoting, AQuotedValueThatJustFillsTheBufferLosesOneMoreCharacter) {
    const std::string inner(255, 'a');
    const std::string file = "[S]\r\nk=\"" + inner + "\"\r\n";
    EXPECT_EQ(Read(file, "S", "k", 256), std::string(254, 'a'));
    EXPECT_EQ(Read(file, "S", "k", 257), inner);
    EXPECT_EQ(Read(file, "S", "k", 10), std::string(9, 'a'));
    EXPECT_EQ(FindValue(file, "S", "k"), std::optional<std::string>(inner));
    EXPECT_EQ(GetString("", "S", "k", "\"dq\"  ", 256), "dq");  // the default too, after its trailing spaces
    EXPECT_EQ(GetString("", "S", "k", " ", 256), " ");
}

// ---------------------------------------------------------------- bad files

TEST(ProfileBadInput, BinaryGarbageReadsDefaultsAndIsKeptByteForByte) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::string junk = Garbage(4096, seed);
        EXPECT_NO_THROW((void)Read(junk, "S", "k"));
        const std::string out = Write(junk, "Orvan Section", "Orvan Key", "v");
        ASSERT_GE(out.size(), junk.size());
        EXPECT_EQ(out.compare(0, junk.size(), junk), 0) << "seed " << seed;
        EXPECT_EQ(Read(out, "Orvan Section", "Orvan Key"), "v");
        EXPECT_EQ(Write(out, "Orvan Section", "Orvan Key", "v"), out);
    }
}

TEST(ProfileBadInput, EntryInsideGarbageIsReplacedAndEverythingElseKept) {
    const std::string before = Garbage(2000, 7) + "\r\n[Orvan]\r\nkey=old\r\n";
    const std::string after = Garbage(3000, 8);
    const std::string out = Write(before + after, "Orvan", "key", "new");
    EXPECT_EQ(out, Garbage(2000, 7) + "\r\n[Orvan]\r\nkey=new\r\n" + after);
}

TEST(ProfileBadInput, HundredThousandCharacterLines) {
    const std::string huge(100000, 'x');
    const std::string file = huge + "\r\n[S]\r\nk=" + huge + "\r\n" + huge + "=" + huge + "\r\n";
    EXPECT_EQ(Read(file, "S", "k"), std::string(255, 'x'));
    EXPECT_EQ(Read(file, "S", huge), std::string(255, 'x'));
    EXPECT_EQ(Write(file, "S", "k", "short"), huge + "\r\n[S]\r\nk=short\r\n" + huge + "=" + huge + "\r\n");
}

TEST(ProfileBadInput, FiftyMegabyteFileWithManyLines) {
    std::string file;
    file.reserve(50u << 20);
    const std::string pattern = "[Junk]\r\nkey=value\r\n;comment=1\n\r[x\0\xFF=\xEF\xBB\xBF\r\n"s;
    while (file.size() < (50u << 20)) file += pattern;
    const std::size_t junkSize = file.size();
    file += "[Target]\r\nk=found\r\n";
    EXPECT_EQ(Read(file, "Target", "k"), "found");
    EXPECT_EQ(Read(file, "Junk", "key"), "value");
    EXPECT_EQ(Read(file, "Missing", "k"), "DEFAULT");
    const std::string out = Write(file, "Target", "k", "changed");
    ASSERT_EQ(out.size(), file.size() + 2);
    EXPECT_EQ(out.compare(0, junkSize, file, 0, junkSize), 0);
    EXPECT_EQ(out.substr(junkSize), "[Target]\r\nk=changed\r\n");
}

TEST(ProfileBadInput, FiftyMegabyteSingleLine) {
    std::string file(50u << 20, '=');
    file[0] = 'k';
    EXPECT_EQ(Read(file, "S", "k"), "DEFAULT");
    const std::string out = Write(file, "S", "k", "v");
    EXPECT_EQ(out.size(), file.size() + 12);
    EXPECT_EQ(out.compare(0, file.size(), file), 0);
    EXPECT_EQ(Read(out, "S", "k"), "v");
}

}  // namespace
