#include "settings/profile.h"

namespace orvan::settings::profile {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string_view TrimRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1])) --n;
    return text.substr(0, n);
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

// ASCII only: bytes of the ANSI code page above 0x7F compare as they are.
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::size_t BomLength(std::string_view contents) {
    return contents.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
}

// One line of the file, as offsets into the contents.
struct Line {
    std::size_t begin = 0;  // first byte of the text
    std::size_t end = 0;    // one past the text, where the line break starts
    std::size_t next = 0;   // first byte after the line break
};

// Walks the lines once, front to back.
class LineCursor {
public:
    explicit LineCursor(std::string_view contents)
        : text_(contents), pos_(BomLength(contents)) {}

    bool Next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line.begin = pos_;
        std::size_t brk = text_.find_first_of(kNewLine, pos_);
        if (brk == std::string_view::npos) {
            line.end = line.next = text_.size();
        } else {
            line.end = brk;
            bool crlf = text_[brk] == '\r' && brk + 1 < text_.size() && text_[brk + 1] == '\n';
            line.next = brk + (crlf ? 2 : 1);
        }
        pos_ = line.next;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_;
};

enum class Kind { Blank, Header, Entry, Other };

struct LineInfo {
    Kind kind = Kind::Other;
    bool comment = false;    // first non-blank character is ';'
    std::string_view name;   // header name (trimmed) or key text (leading blanks dropped)
    std::size_t equals = 0;  // offset of the entry's '=' in the contents
};

LineInfo Inspect(std::string_view contents, const Line& line) {
    std::string_view text = contents.substr(line.begin, line.end - line.begin);
    std::string_view t = TrimLeft(text);
    LineInfo info;
    if (t.empty()) {
        info.kind = Kind::Blank;
        return info;
    }
    if (t.front() == '[') {
        std::size_t close = t.find(']');
        if (close != std::string_view::npos) {
            info.kind = Kind::Header;
            info.name = Trim(t.substr(1, close - 1));
        }
        return info;
    }
    info.comment = t.front() == ';';
    std::size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
        info.kind = Kind::Entry;
        info.name = t.substr(0, eq);
        info.equals = line.end - (t.size() - eq);
    }
    return info;
}

enum class Match { None, Loose, Exact };

// key has its leading blanks dropped already, as has stored.
Match MatchKey(std::string_view stored, std::string_view key) {
    if (EqualsNoCase(stored, key)) return Match::Exact;
    bool keyHasTrailingBlank = !key.empty() && IsBlank(key.back());
    if (!keyHasTrailingBlank && EqualsNoCase(TrimRight(stored), key)) return Match::Loose;
    return Match::None;
}

// What one pass over the file learns about a section and a key in it.
struct Scan {
    bool sectionFound = false;
    bool keyFound = false;
    Line entry;                     // the matching entry's line
    std::size_t equals = 0;         // its '='
    std::size_t insertAt = 0;       // where a new entry of the section goes
    bool insertNeedsBreak = false;  // the line before insertAt has no break
};

Scan ScanFor(std::string_view contents, std::string_view section, std::string_view key,
             bool commentsAreEntries) {
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = TrimLeft(key);
    Scan scan;
    bool inSection = false;
    bool haveLoose = false;
    LineCursor cursor(contents);
    Line line;
    while (cursor.Next(line)) {
        LineInfo info = Inspect(contents, line);
        if (info.kind == Kind::Header) {
            if (inSection) break;  // only the first matching section counts
            if (!scan.sectionFound && EqualsNoCase(info.name, wantedSection)) {
                scan.sectionFound = inSection = true;
                scan.insertAt = line.next;
                scan.insertNeedsBreak = line.next == line.end;
            }
            continue;
        }
        if (!inSection || info.kind == Kind::Blank) continue;
        scan.insertAt = line.next;
        scan.insertNeedsBreak = line.next == line.end;
        if (info.kind != Kind::Entry || (info.comment && !commentsAreEntries)) continue;
        Match m = MatchKey(info.name, wantedKey);
        if (m == Match::Exact || (m == Match::Loose && !haveLoose)) {
            scan.keyFound = true;
            scan.entry = line;
            scan.equals = info.equals;
            if (m == Match::Exact) return scan;
            haveLoose = true;
        }
    }
    return scan;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of(kNewLine) != std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view contents, std::string_view section,
                                          std::string_view key) {
    Scan scan = ScanFor(contents, section, key, false);
    if (!scan.keyFound) return std::nullopt;
    std::size_t from = scan.equals + 1;
    return Unquote(Trim(contents.substr(from, scan.entry.end - from)));
}

std::string GetString(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view fallback, std::size_t size) {
    if (size == 0) return {};
    std::optional<std::string_view> value = FindValue(contents, section, key);
    return std::string((value ? *value : fallback).substr(0, size - 1));
}

bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos) return false;
    std::string_view k = TrimLeft(key);
    return k.empty() || k.front() != '[';
}

std::optional<std::string> SetString(std::string_view contents, std::string_view section,
                                     std::string_view key, std::string_view value) {
    if (!IsWritable(section, key, value)) return std::nullopt;
    const std::string_view k = TrimLeft(key);
    Scan scan = ScanFor(contents, section, key, true);
    std::string out;
    if (scan.keyFound) {
        std::size_t from = scan.equals + 1;
        out.reserve(contents.size() + value.size());
        out.append(contents.substr(0, from)).append(value).append(contents.substr(scan.entry.end));
        return out;
    }
    if (scan.sectionFound) {
        out.reserve(contents.size() + k.size() + value.size() + 5);
        out.append(contents.substr(0, scan.insertAt));
        if (scan.insertNeedsBreak) out.append(kNewLine);
        out.append(k).append("=").append(value).append(kNewLine);
        out.append(contents.substr(scan.insertAt));
        return out;
    }
    out.reserve(contents.size() + section.size() + k.size() + value.size() + 9);
    out.append(contents);
    bool endsInBreak = contents.empty() || contents.back() == '\r' || contents.back() == '\n';
    if (!endsInBreak && contents.size() > BomLength(contents)) out.append(kNewLine);
    out.append("[").append(section).append("]").append(kNewLine);
    out.append(k).append("=").append(value).append(kNewLine);
    return out;
}

}  // namespace orvan::settings::profile
