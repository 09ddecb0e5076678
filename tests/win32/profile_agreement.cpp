#include "profile_agreement.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "win32/files.h"
#include "win32/services.h"
#include "settings/profile.h"
#include "support/encoded_files.h"

namespace orvan::win32test {
namespace {

namespace profile = settings::profile;
using namespace std::string_literals;

const win32::Win32TextCodec codec;

constexpr std::string_view kDefault = "DEF";

struct Query {
    std::string section;
    std::string key;
    unsigned size = 256;
};

struct Case {
    std::string label;
    std::string bytes;
    std::vector<Query> queries;
    bool writes = false;  // also write through both writers
};

// Bytes as a failure line shows them.
std::string Escape(std::string_view bytes, std::size_t limit = 120) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (bytes.size() > limit) out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

using orvan::testing::kUtf8Mark;
using orvan::testing::Utf16;

// The queries every file is read with: the names the files use, in other
// case, with the system's blanks around them, missing ones, the section "",
// and buffers too small for the values.
std::vector<Query> Standard() {
    return {{"S", "k"},
            {"s", "K"},
            {" S\t",
             "\x0B"
             "k\x1A"},
            {"S", "j"},
            {"T", "k"},
            {"", "k"},
            {"S", ""},
            {"Missing", "k"},
            {"S", "k", 1},
            {"S", "k", 2},
            {"S", "k", 4},
            {"S", "v"},
            {"k", "k"}};
}

// A smaller set for the large sweeps and for the files written.
std::vector<Query> Few() {
    return {{"S", "k"},
            {"s", "K"},
            {" S\t",
             "\x0B"
             "k\x1A"},
            {"S", "j"},
            {"", "k"},
            {"S", "k", 4}};
}

class Corpus {
public:
    std::vector<Case> cases;
    bool few = false;       // the sweeps use the smaller set of queries
    bool ansiOnly = false;  // and some of them ANSI files only

    // One text, in every encoding the system reads: ANSI as it is, UTF-8
    // (with its mark, and with the ANSI bytes left raw behind a mark, which
    // makes invalid UTF-8 of every byte above 0x7F), UTF-16 both ways.
    void Everywhere(const std::string& label, const std::string& ansi, std::vector<Query> extra = {},
                    bool writes = false) {
        if (ansiOnly) {
            Ansi(label, ansi, std::move(extra));
            return;
        }
        std::vector<Query> queries = few ? Few() : Standard();
        for (Query& q : extra)
            if (q.section.find('\0') == std::string::npos && q.key.find('\0') == std::string::npos)
                queries.push_back(q);
        const std::u16string wide = codec.AnsiToWide(ansi);
        cases.push_back({label + " ansi", ansi, queries, writes});
        cases.push_back({label + " utf-8", kUtf8Mark + codec.WideToUtf8(wide), queries, writes});
        const bool high =
            std::any_of(ansi.begin(), ansi.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
        if (high)  // bytes above 0x7F left raw behind the mark: invalid UTF-8
            cases.push_back({label + " raw utf-8", kUtf8Mark + ansi, queries, false});
        cases.push_back({label + " utf-16le", Utf16(wide, false), queries, writes});
        cases.push_back({label + " utf-16be", Utf16(wide, true), queries, false});  // as little-endian
    }

    void Ansi(const std::string& label, const std::string& ansi, std::vector<Query> extra) {
        std::vector<Query> queries = few ? Few() : Standard();
        for (Query& q : extra)
            if (q.section.find('\0') == std::string::npos && q.key.find('\0') == std::string::npos)
                queries.push_back(q);
        cases.push_back({label + " ansi", ansi, queries, false});
    }

    void Wide(const std::string& label, const std::u16string& text, std::vector<Query> extra = {}) {
        std::vector<Query> queries = Few();
        queries.insert(queries.end(), extra.begin(), extra.end());
        cases.push_back({label + " utf-16le", Utf16(text, false), queries, false});
        cases.push_back({label + " utf-16be", Utf16(text, true), queries, false});
        cases.push_back({label + " utf-8", kUtf8Mark + codec.WideToUtf8(text), queries, false});
    }

    void Raw(const std::string& label, const std::string& bytes, std::vector<Query> extra = {}, bool writes = true) {
        std::vector<Query> queries = Standard();
        queries.insert(queries.end(), extra.begin(), extra.end());
        cases.push_back({label, bytes, queries, writes});
    }
};

Corpus Generate() {
    Corpus corpus;

    // Every byte value around and inside headers, names and values.
    corpus.few = true;
    for (int b = 0; b < 256; ++b) {
        const std::string c(1, static_cast<char>(b));
        const std::string n = "byte " + std::to_string(b);
        corpus.Everywhere(n + " around", "[" + c + "S" + c + "]\r\n" + c + "k" + c + "=" + c + "v" + c + "\r\n",
                          {{c + "S" + c, c + "k" + c}}, b % 32 == 0 || b == 0x1A || b == 0xA0);
        corpus.ansiOnly = true;
        corpus.Everywhere(n + " lines", c + "[S]" + c + "\r\n" + c + "k=v" + c + "\r\n[T]" + c + "\r\nk=t\r\n");
        corpus.Everywhere(n + " inside", "[S" + c + "x]\r\nk" + c + "j=v" + c + "w\r\nk=1\r\n",
                          {{"S" + c + "x", "k" + c + "j"}, {"S" + c + "x", "k"}});
        corpus.Everywhere(n + " alone", "[S]\r\nk=" + c + "\r\nj=\"" + c + "\"\r\n" + c + "\r\n");
        corpus.ansiOnly = false;
    }

    // Characters that only the Unicode encodings can hold.
    std::vector<char16_t> wide;
    for (char16_t ch = 0x100; ch < 0x180; ++ch) wide.push_back(ch);  // Latin Extended-A
    for (char16_t ch : std::initializer_list<char16_t>{
             0x0085, 0x00A0, 0x1680, 0x180E, 0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005, 0x2006,
             0x2007, 0x2008, 0x2009, 0x200A, 0x200B, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000, 0xFEFF,
             0xFFFE, 0xFFFF, 0xFFFD, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0x0416, 0x0436, 0x0391, 0x03B1,
             0x20AC, 0x2026, 0x201C, 0x201D, 0xFF3B, 0xFF3D, 0xFF1D, 0x0130, 0x0131, 0x212A, 0x017F})
        wide.push_back(ch);
    for (char16_t ch : wide) {
        const std::u16string c(1, ch);
        corpus.Wide("char " + std::to_string(ch), u"[" + c + u"S" + c + u"]\r\n" + c + u"k" + c + u"=" + c + u"v" + c +
                                                      u"\r\n[S" + c + u"x]\r\nk" + c + u"j=v\r\n");
    }
    corpus.Wide("pair", u"[S]\r\nk=\U0001F600 \xD83D x \xDE00\r\n[\U0001F600]\r\nk=1\r\n");

    corpus.few = false;

    // Every line ending, and none at the end.
    const std::string endings[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", "\r\n\r\n", "\n\n\r\r", "\r\n \t\r\n"};
    for (const std::string& e : endings)
        for (const std::string& last : {e, ""s})
            corpus.Everywhere("ending " + Escape(e) + (last.empty() ? " unended" : ""),
                              "; top" + e + "[A]" + e + "x=1" + e + e + "[S]" + e + "k=v" + e + "j = w " + last,
                              {{"A", "x"}, {"", "; top"}}, last.empty());

    // Marks: at the start, elsewhere, broken, doubled, alone.
    const std::string body = "[S]\r\nk=v\r\n";
    // Not written: the system's own rewrite drops the blank first line, and
    // the file then begins with a mark and turns UTF-8.
    corpus.Raw("mark after a line", "\r\n" + kUtf8Mark + body, {}, false);
    corpus.Raw("utf-8 mark twice", kUtf8Mark + kUtf8Mark + body);
    corpus.Raw("utf-8 mark broken", "\xEF\xBB" + body);
    corpus.Raw("utf-8 mark first byte", "\xEF" + body);
    corpus.Raw("lone FF", "\xFF" + body);
    corpus.Raw("lone FE", "\xFE" + body);
    corpus.Raw("FF FF", "\xFF\xFF" + body);
    corpus.Raw("utf-8 mark alone", kUtf8Mark);
    corpus.Raw("utf-16le mark alone", "\xFF\xFE");
    corpus.Raw("utf-16be mark alone", "\xFE\xFF");
    corpus.Raw("utf-16le mark twice", Utf16(u"\xFEFF[S]\r\nk=v\r\n", false));
    corpus.Raw("utf-16le then utf-8 mark", "\xFF\xFE" + kUtf8Mark + body);
    corpus.Raw("utf-16le of ansi bytes", "\xFF\xFE" + body + "x");
    corpus.Raw("utf-16be of ansi bytes", "\xFE\xFF" + body);
    corpus.Raw("utf-8 mark then utf-16 text", kUtf8Mark + Utf16(u"[S]\r\nk=v\r\n", false).substr(2));
    corpus.Raw("empty file", "");

    // Quotes, and values as long as the buffer or longer.
    const std::string a254(254, 'a'), a255(255, 'a'), a256(256, 'a');
    const std::string values[] = {"\"x\"",
                                  "'x'",
                                  "\"x'",
                                  "\"",
                                  "\"\"",
                                  "''",
                                  " \" x \" ",
                                  "\"\"x\"\"",
                                  "\"a\" b",
                                  "a \"b\"",
                                  "\"" + a254 + "\"",
                                  "\"" + a255 + "\"",
                                  "\"" + a256 + "\"",
                                  "'" + a255 + "'",
                                  a255,
                                  a256,
                                  std::string(300, 'b'),
                                  std::string(70000, 'c'),
                                  "\" \"",
                                  "'\"'"};
    for (const std::string& v : values) {
        std::vector<Query> sizes;
        for (unsigned size : {256u, 255u, 254u, 257u, 258u, 3u, 5u}) sizes.push_back({"S", "k", size});
        corpus.Everywhere("value " + Escape(v, 12), "[S]\r\nk=" + v + "\r\nj= " + v + " \r\n", sizes, v.size() < 100);
    }

    // Duplicates, comments, keys without '=', broken headers.
    const std::string shapes[] = {
        "[S]\r\nk=1\r\nk=2\r\n",
        "[S]\r\nk=1\r\n[s]\r\nk=2\r\nj=3\r\n",
        "[S]\r\n[S]\r\nk=2\r\n",
        "[S]\r\nk  =1\r\nk=2\r\nk\t=3\r\n",
        "[S]\r\nk\r\nk=2\r\n",
        "[S]\r\n;k=1\r\nk=2\r\n; c = 3\r\n",
        "[S]\r\n ;c=1\r\n;\r\n",
        "k=0\r\n[S]\r\nk=1\r\n",
        "[]\r\nk=1\r\n",
        "[ ]\r\nk=1\r\n",
        "[S\r\nk=1\r\n",
        "S]\r\nk=1\r\n",
        "[S]]\r\nk=1\r\n",
        "[[S]]\r\nk=1\r\n",
        "[S]x]\r\nk=1\r\n",
        "[S] ;c\r\nk=1\r\n",
        "[S]\r\n=v\r\n==\r\nk==v=\r\n",
        "[S]\r\n[k=v]\r\nk=2\r\n",
        "[S]\r\n[k=v\r\n",
        "[S]\r\nk\0=1\r\n[S\0x]\r\nk=2\r\n"s,
        "[S]\r\n\0k=1\r\nk=a\0b\r\n"s,
        "[S \0]\r\nk=1\r\n[S]\r\nk= \0 2\r\n"s,
        "\0\0\0\0"s,
        "[S]\r\nk=\x1A\r\n\x1A",
        "[T]\r\nk=t\r\n[S]\r\nj=1\r\n[T]\r\nk=u\r\n",
    };
    int shape = 0;
    for (const std::string& s : shapes)
        corpus.Everywhere("shape " + std::to_string(shape++), s,
                          {{"S", ";k"},
                           {"S", "; c"},
                           {"S", ";"},
                           {"S", "="},
                           {"S]x", "k"},
                           {"[S", "k"},
                           {"S]", "k"},
                           {"[S]", "k"},
                           {"S", "[k"},
                           {"k", ""},
                           {"", ""},
                           {"S", "k="}},
                          true);

    // Over-long lines, names and values.
    const std::string longName(300, 'n'), junk(100000, 'x');
    corpus.Everywhere("long names", "[" + longName + "]\r\n" + longName + "=" + std::string(1000, 'v') + "\r\n",
                      {{longName, longName}, {longName, longName, 300}});
    // (A name as long as the line cannot be asked for: the system's conversion
    // of the names it is given stops at 32767 characters.)
    corpus.Everywhere("long line first", junk + "\r\n[S]\r\nk=v\r\n" + junk + "=" + junk + "\r\n",
                      {{"S", junk.substr(0, 32000)}});

    // Random files built from the characters that matter, in every encoding.
    std::mt19937 rng(97);
    const std::string alphabet = "[]=;\"' \t\r\n\x0B\x0C\x1A\0SskKjTv\xA0\xE9\xC4\xFF\xFE\xEF\xBB\xBF"s;
    corpus.few = true;
    for (int i = 0; i < 100; ++i) {
        std::string text;
        const std::size_t length = rng() % 120;
        for (std::size_t j = 0; j < length; ++j) text += alphabet[rng() % alphabet.size()];
        corpus.Everywhere("random " + std::to_string(i), text, {}, i % 8 == 0);
    }
    return corpus;
}

// Writes through both writers; the values and keys the console could write.
struct WriteCase {
    std::string section;
    std::string key;
    std::string value;
};

const WriteCase kWrites[] = {
    {"S", "k", "new"}, {"s", "K", " 'padded' "}, {"S", "n", "caf\xE9 \x80"}, {"New", "k", "v"}, {"", "k", "\"q\""},
};

// The system's matching of names: blanks trimmed, ASCII case ignored.
bool SameName(std::string_view a, std::string_view b) {
    const auto trim = [](std::string_view t) {
        const auto blank = [](char ch) { return (ch >= 0x09 && ch <= 0x0D) || ch == 0x1A || ch == ' '; };
        while (!t.empty() && blank(t.front())) t.remove_prefix(1);
        while (!t.empty() && blank(t.back())) t.remove_suffix(1);
        return t;
    };
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

class Runner {
public:
    explicit Runner(std::string dir) : dir_(std::move(dir)) {}

    AgreementReport report;

    void Run(const Case& c) {
        ++report.files;
        const std::string path = NextPath();
        Store(path, c.bytes);
        for (const Query& q : c.queries) {
            const std::string system = SystemRead(path, q);
            const std::string ours = profile::GetString(codec, c.bytes, q.section, q.key, kDefault, q.size);
            Compare(system, ours,
                    c.label + " read [" + Escape(q.section) + "] " + Escape(q.key) + " size " + std::to_string(q.size));
        }
        DeleteFileA(path.c_str());
        if (!c.writes) return;
        for (const WriteCase& w : kWrites) Write(c, w);
    }

private:
    std::string NextPath() { return dir_ + "\\p" + std::to_string(++serial_) + ".ini"; }

    // The file is dated in the past: the system then parses it once and
    // keeps it for the reads that follow, instead of parsing it for each.
    static void Store(const std::string& path, const std::string& bytes) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        SYSTEMTIME old{2001, 1, 1, 1, 12, 0, 0, 0};
        FILETIME time;
        SystemTimeToFileTime(&old, &time);
        SetFileTime(f, nullptr, nullptr, &time);
        CloseHandle(f);
    }

    static std::string SystemRead(const std::string& path, const Query& q) {
        std::string buffer(q.size + 16, '\xCC');
        DWORD n = GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), std::string(kDefault).c_str(),
                                           buffer.data(), q.size, path.c_str());
        return buffer.substr(0, n);
    }

    void Compare(const std::string& system, const std::string& ours, const std::string& what) {
        ++report.reads;
        if (system == ours) {
            ++report.agreed;
        } else if (report.failures.size() < 40) {
            report.failures.push_back(what + ": system \"" + Escape(system) + "\", ours \"" + Escape(ours) + "\"");
        }
    }

    // The same entry written by our writer into one copy and by the system's
    // into another. The system reads our copy as our reader does, gives the
    // value back exactly and every other entry as before; the system's own
    // copy gives the value back only where it needs no quotes.
    void Write(const Case& c, const WriteCase& w) {
        std::optional<std::string> ours = profile::SetString(codec, c.bytes, w.section, w.key, w.value);
        if (!ours) {
            report.failures.push_back(c.label + ": our writer refused " + Escape(w.value));
            return;
        }
        ++report.writes;
        const std::string ourPath = NextPath(), systemPath = NextPath();
        Store(ourPath, *ours);
        Store(systemPath, c.bytes);
        if (!WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), systemPath.c_str()))
            report.failures.push_back(c.label + ": the system's writer failed");
        if (profile::DetectEncoding(*ours) != profile::DetectEncoding(c.bytes))
            report.failures.push_back(c.label + ": our write changed the encoding");
        const std::string what =
            c.label + " after writing [" + Escape(w.section) + "] " + Escape(w.key) + "=" + Escape(w.value);
        std::vector<Query> queries = Few();
        queries.push_back({w.section, w.key});
        bool differs = false;
        for (const Query& q : queries) {
            const std::string where =
                what + ", read [" + Escape(q.section) + "] " + Escape(q.key) + " size " + std::to_string(q.size);
            const std::string fromOurs = SystemRead(ourPath, q);
            // Our reader agrees with the system on the file our writer made.
            Compare(fromOurs, profile::GetString(codec, *ours, q.section, q.key, kDefault, q.size), where);
            if (SameName(q.section, w.section) && SameName(q.key, w.key)) {
                if (q.size == 256 && fromOurs != w.value)
                    report.failures.push_back(where + ": reads back \"" + Escape(fromOurs) + "\"");
                differs = differs || SystemRead(systemPath, q) != fromOurs;
            } else {
                // Every other entry reads as it did before the write.
                Compare(fromOurs, profile::GetString(codec, c.bytes, q.section, q.key, kDefault, q.size),
                        where + " (unchanged)");
            }
        }
        // Where the system's own write does not read back, ours does: a value
        // it trims or unquotes, or a file its rewrite changes the meaning of
        // (a section name cut at a NUL that then matches).
        if (differs) {
            if (profile::ReadsBackAsIs(codec, w.value))
                ++report.systemRewrite;
            else
                ++report.exactReadBack;
        }
        DeleteFileA(ourPath.c_str());
        DeleteFileA(systemPath.c_str());
    }

    std::string dir_;
    int serial_ = 0;
};

}  // namespace

AgreementReport RunProfileAgreement(const std::string& dir) {
    const Corpus corpus = Generate();
    Runner runner(dir);
    for (const Case& c : corpus.cases) runner.Run(c);
    return runner.report;
}

}  // namespace orvan::win32test
