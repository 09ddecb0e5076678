#include "settings/profile.h"

namespace orvan::settings::profile {
namespace {

using Wide = std::u16string;
using WideView = std::u16string_view;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The system's blanks: tab to CR, ^Z and space.
constexpr bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

WideView TrimLeft(WideView text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

WideView TrimRight(WideView text) {
    std::size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1])) --n;
    return text.substr(0, n);
}

WideView Trim(WideView text) { return TrimRight(TrimLeft(text)); }

// A name or value as the system's C strings hold it.
template <typename View>
View CutAtNul(View text) {
    std::size_t nul = text.find(typename View::value_type{0});
    return nul == View::npos ? text : text.substr(0, nul);
}

// ASCII only: the system folds no other letters.
bool EqualsNoCase(WideView a, WideView b) { return platform::EqualsIgnoringAsciiCase(a, b); }

// The file's bytes as a sequence of code units: bytes for ANSI and UTF-8,
// byte pairs for UTF-16. Line breaks, blanks, brackets, '=' and quotes are
// all ASCII, and no byte or unit of a longer character is one of them, so
// lines can be found without decoding.
class Units {
public:
    Units(const platform::TextCodec& codec, std::string_view contents) : codec_(codec), bytes_(contents) {
        encoding_ = DetectEncoding(contents);
        switch (encoding_) {
        case Encoding::Utf8:
            begin_ = kUtf8Mark.size();
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            begin_ = 2;
            width_ = 2;
            break;
        case Encoding::Ansi:
            break;
        }
        end_ = begin_ + (contents.size() - begin_) / width_ * width_;
    }

    Encoding encoding() const { return encoding_; }
    std::size_t begin() const { return begin_; }  // first byte after the mark
    std::size_t end() const { return end_; }      // one past the last whole unit
    std::size_t width() const { return width_; }
    std::string_view bytes() const { return bytes_; }

    char16_t At(std::size_t offset) const {
        const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes_[i]); };
        switch (encoding_) {
        case Encoding::Utf16Le:
            return static_cast<char16_t>(b(offset) | b(offset + 1) << 8);
        case Encoding::Utf16Be:
            return static_cast<char16_t>(b(offset) << 8 | b(offset + 1));
        default:
            return b(offset);
        }
    }

    // The text of the line's bytes [from, to) as UTF-16, as the system's
    // decoding of the whole file gives it.
    Wide Decode(std::size_t from, std::size_t to) const {
        std::string_view part = bytes_.substr(from, to - from);
        switch (encoding_) {
        case Encoding::Ansi:
            return codec_.AnsiToWide(part);
        case Encoding::Utf8: {
            // A broken sequence at the very end of the text swallows the
            // bytes it still expects, so the decoder must see as many of
            // the bytes after the line as the longest sequence could
            // want; what they decode to is cut off at the line break.
            Wide wide = codec_.Utf8ToWide(bytes_.substr(from, to - from + 3));
            std::size_t brk = wide.find_first_of(u"\r\n");
            if (brk != Wide::npos) wide.resize(brk);
            return wide;
        }
        default:
            break;
        }
        Wide out;
        out.reserve(part.size() / 2);
        for (std::size_t i = from; i + 1 < to; i += 2) out.push_back(At(i));
        return out;
    }

    // ANSI text as the file stores it.
    std::string Encode(std::string_view ansi) const {
        if (encoding_ == Encoding::Ansi) return std::string(ansi);
        Wide wide = codec_.AnsiToWide(ansi);
        if (encoding_ == Encoding::Utf8) return codec_.WideToUtf8(wide);
        std::string out;
        out.reserve(wide.size() * 2);
        for (char16_t c : wide) {
            const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            if (encoding_ == Encoding::Utf16Le)
                out.append({lo, hi});
            else
                out.append({hi, lo});
        }
        return out;
    }

private:
    const platform::TextCodec& codec_;
    std::string_view bytes_;
    Encoding encoding_ = Encoding::Ansi;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::size_t width_ = 1;
};

// One line of the file, as byte offsets into the contents.
struct Line {
    std::size_t begin = 0;  // first byte of the text
    std::size_t end = 0;    // one past the text, where the line break starts
    std::size_t next = 0;   // first byte after the line break
};

// Walks the lines once, front to back.
class LineCursor {
public:
    explicit LineCursor(const Units& units) : units_(units), pos_(units.begin()) {}

    bool Next(Line& line) {
        const std::size_t w = units_.width(), end = units_.end();
        if (pos_ >= end) return false;
        line.begin = pos_;
        std::size_t at = pos_;
        if (w == 1) {
            at = units_.bytes().substr(0, end).find_first_of("\r\n", pos_);
            if (at == std::string_view::npos) at = end;
        } else {
            while (at < end && units_.At(at) != '\r' && units_.At(at) != '\n') at += w;
        }
        line.end = at;
        if (at < end) {
            const bool crlf = units_.At(at) == '\r' && at + w < end && units_.At(at + w) == '\n';
            at += crlf ? 2 * w : w;
        }
        line.next = pos_ = at;
        return true;
    }

private:
    const Units& units_;
    std::size_t pos_;
};

enum class Kind { Blank, Header, Entry };

// What the system makes of one line.
struct LineInfo {
    Kind kind = Kind::Blank;
    Wide name;               // header name or key, blanks trimmed
    Wide written;            // key from its first non-blank character up to '='
    bool hasValue = false;   // the entry holds '='
    Wide value;              // after '=', blanks trimmed
    std::size_t equals = 0;  // byte offset of the entry's '='
};

// The first non-blank unit of the line, or the line's end.
std::size_t FirstNonBlank(const Units& units, const Line& line) {
    std::size_t at = line.begin;
    while (at < line.end && IsBlank(units.At(at))) at += units.width();
    return at;
}

bool IsHeaderStart(const Units& units, const Line& line) {
    std::size_t at = FirstNonBlank(units, line);
    return at < line.end && units.At(at) == '[';
}

LineInfo Inspect(const Units& units, const Line& line) {
    LineInfo info;
    const std::size_t first = FirstNonBlank(units, line);
    if (first == line.end) return info;
    const Wide whole = units.Decode(first, line.end);
    const WideView text = TrimRight(whole);
    if (text.empty()) return info;
    if (text.front() == '[') {
        std::size_t close = text.rfind(u']');
        if (close != WideView::npos && close > 0) {
            info.kind = Kind::Header;
            info.name = Wide(Trim(text.substr(1, close - 1)));
            return info;
        }
    }
    info.kind = Kind::Entry;
    std::size_t eq = text.find(u'=');
    if (eq == WideView::npos) {
        info.name = Wide(text);
        info.written = info.name;
        return info;
    }
    info.written = Wide(text.substr(0, eq));
    info.name = Wide(TrimRight(info.written));
    info.value = Wide(TrimLeft(text.substr(eq + 1)));
    // The first '=' unit of the line is the first '=' character (no code
    // page makes '=' of other bytes; should one, the line has no value).
    std::size_t at = first;
    while (at < line.end && units.At(at) != '=') at += units.width();
    info.hasValue = at < line.end;
    info.equals = at;
    return info;
}

// The names asked for, as the system sees them: C strings in the ANSI code
// page, blanks trimmed.
Wide Wanted(const platform::TextCodec& codec, std::string_view name) {
    return Wide(Trim(codec.AnsiToWide(CutAtNul(name))));
}

// What one pass over the file learns about a section and a key in it.
struct Scan {
    bool sectionFound = false;
    bool keyFound = false;
    Line entry;                     // the matching entry's line
    LineInfo info;                  // and what it holds
    std::size_t insertAt = 0;       // where a new entry of the section goes
    bool insertNeedsBreak = false;  // the line before insertAt has no break
};

// exactKey: the writer's exception, a key matched as written, trailing
// blanks and all; empty for the system's matching.
Scan ScanFor(const Units& units, WideView section, WideView key, WideView exactKey) {
    Scan scan;
    // The lines before the first header are the section "", which always exists.
    bool inSection = section.empty();
    if (inSection) {
        scan.sectionFound = true;
        scan.insertAt = units.begin();
    }
    LineCursor cursor(units);
    Line line;
    while (cursor.Next(line)) {
        const bool headerStart = IsHeaderStart(units, line);
        if (!inSection && !headerStart) continue;  // no need to decode what cannot matter
        LineInfo info = Inspect(units, line);
        if (info.kind == Kind::Header) {
            if (inSection) break;  // only the first matching section counts
            if (!scan.sectionFound && EqualsNoCase(CutAtNul(WideView(info.name)), section)) {
                scan.sectionFound = inSection = true;
                scan.insertAt = line.next;
                scan.insertNeedsBreak = line.next == line.end;
            }
            continue;
        }
        if (!inSection || info.kind == Kind::Blank) continue;
        scan.insertAt = line.next;
        scan.insertNeedsBreak = line.next == line.end;
        const bool match = exactKey.empty() ? EqualsNoCase(CutAtNul(WideView(info.name)), key)
                                            : info.hasValue && EqualsNoCase(info.written, exactKey);
        if (match) {
            scan.keyFound = true;
            scan.entry = line;
            scan.info = std::move(info);
            return scan;
        }
    }
    return scan;
}

// As the system copies a value into a buffer of size characters: one pair
// of matching quotes removed, and when the quoted text just reaches the
// buffer's size one more character lost, as the system loses it.
Wide CopyEntry(WideView value, std::size_t size) {
    char16_t quote = 0;
    if (!value.empty() && (value.front() == '"' || value.front() == '\'') && value.size() >= 2 &&
        value.back() == value.front()) {
        quote = value.front();
        value.remove_prefix(1);
    }
    Wide out(value.substr(0, size - 1));
    if (quote && size >= value.size() && !out.empty()) out.pop_back();
    return out;
}

// The key as the writer writes it, leading blanks dropped, and the scan that
// finds its line the writer's way: a key that ends in blanks only as written.
struct WriterScan {
    std::string_view key;
    Scan scan;
};

WriterScan ScanForWriter(const platform::TextCodec& codec, const Units& units, std::string_view section,
                         std::string_view key) {
    // Blanks are ASCII in every code page, so they can be dropped as bytes.
    std::size_t first = 0;
    while (first < key.size() && IsBlank(static_cast<unsigned char>(key[first]))) ++first;
    const std::string_view k = key.substr(first);
    const bool exact = !k.empty() && IsBlank(static_cast<unsigned char>(k.back()));
    const Wide exactKey = exact ? codec.AnsiToWide(k) : Wide();
    return {k, ScanFor(units, Wanted(codec, section), Wanted(codec, key), exactKey)};
}

bool HasBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

Encoding DetectEncoding(std::string_view contents) {
    if (contents.substr(0, kUtf8Mark.size()) == kUtf8Mark) return Encoding::Utf8;
    if (contents.substr(0, 2) == "\xFF\xFE") return Encoding::Utf16Le;
    if (contents.substr(0, 2) == "\xFE\xFF") return Encoding::Utf16Be;
    return Encoding::Ansi;
}

std::optional<std::string> FindValue(const platform::TextCodec& codec, std::string_view contents,
                                     std::string_view section, std::string_view key) {
    const Units units(codec, contents);
    Scan scan = ScanFor(units, Wanted(codec, section), Wanted(codec, key), {});
    if (!scan.keyFound || !scan.info.hasValue) return std::nullopt;
    WideView value = CutAtNul(WideView(scan.info.value));
    return codec.WideToAnsi(CopyEntry(value, value.size() + 1));
}

std::string GetString(const platform::TextCodec& codec, std::string_view contents, std::string_view section,
                      std::string_view key, std::string_view fallback, std::size_t size) {
    if (size == 0) return {};
    const Units units(codec, contents);
    Scan scan = ScanFor(units, Wanted(codec, section), Wanted(codec, key), {});
    Wide value;
    if (scan.keyFound && scan.info.hasValue) {
        value = Wide(CutAtNul(WideView(scan.info.value)));
    } else {
        value = codec.AnsiToWide(CutAtNul(fallback));
        // Trailing spaces of the default go, but never its first character.
        while (value.size() > 1 && value.back() == ' ') value.pop_back();
    }
    std::string out = codec.WideToAnsi(CopyEntry(value, size));
    if (out.size() > size - 1) out.resize(size - 1);
    return out;
}

bool HasEntry(const platform::TextCodec& codec, std::string_view contents, std::string_view section,
              std::string_view key) {
    // The names as SetString holds them, so the two agree on every file.
    const std::string heldSection = codec.WideToAnsi(codec.AnsiToWide(section));
    const std::string heldKey = codec.WideToAnsi(codec.AnsiToWide(key));
    const Units units(codec, contents);
    return ScanForWriter(codec, units, heldSection, heldKey).scan.keyFound;
}

bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasBreakOrNul(section) || HasBreakOrNul(key) || HasBreakOrNul(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos) return false;
    std::size_t first = 0;
    while (first < key.size() && IsBlank(static_cast<unsigned char>(key[first]))) ++first;
    return first == key.size() || key[first] != '[';
}

bool ReadsBackAsIs(const platform::TextCodec& codec, std::string_view value) {
    const Wide wide = codec.AnsiToWide(value);
    if (wide.empty()) return true;
    if (IsBlank(wide.front()) || IsBlank(wide.back())) return false;
    const bool quoted =
        wide.size() >= 2 && (wide.front() == '"' || wide.front() == '\'') && wide.back() == wide.front();
    return !quoted;
}

std::optional<std::string> SetString(const platform::TextCodec& codec, std::string_view contents,
                                     std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritable(section, key, value)) return std::nullopt;
    // The texts go in as the code page holds them, as the system's writer,
    // which works in UTF-16, puts them: in a double-byte code page a lead
    // byte that ends a text would take the ']', '=' or line break after it
    // for its second byte, so it goes in as the code page's default character.
    const std::string heldSection = codec.WideToAnsi(codec.AnsiToWide(section));
    const std::string heldKey = codec.WideToAnsi(codec.AnsiToWide(key));
    const std::string heldValue = codec.WideToAnsi(codec.AnsiToWide(value));
    section = heldSection;
    key = heldKey;
    value = heldValue;
    const Units units(codec, contents);
    auto [k, scan] = ScanForWriter(codec, units, section, key);

    const bool note = !k.empty() && k.front() == ';';
    std::string text = note || ReadsBackAsIs(codec, value) ? std::string(value) : "\"" + std::string(value) + "\"";
    const std::string newLine = units.Encode("\r\n");
    std::string out;
    out.reserve(contents.size() + 2 * (section.size() + k.size() + text.size()) + 16);
    if (scan.keyFound) {
        if (scan.info.hasValue) {
            const std::size_t from = scan.info.equals + units.width();
            out.append(contents.substr(0, from)).append(units.Encode(text));
        } else {
            out.append(contents.substr(0, scan.entry.end)).append(units.Encode("=" + text));
        }
        out.append(contents.substr(scan.entry.end));
        return out;
    }
    if (scan.sectionFound) {
        const std::string entry = units.Encode(std::string(k) + "=" + text);
        out.append(contents.substr(0, scan.insertAt));
        // An entry at the very start of an ANSI file must not read as a
        // byte-order mark: a blank line before it keeps the file ANSI.
        const bool looksLikeMark = scan.insertAt == 0 && DetectEncoding(entry) != Encoding::Ansi;
        if (scan.insertNeedsBreak || looksLikeMark) out.append(newLine);
        out.append(entry).append(newLine);
        out.append(contents.substr(scan.insertAt));
        return out;
    }
    // At the end of the text: a UTF-16 file's odd last byte stays last.
    const std::size_t end = units.end();
    out.append(contents.substr(0, end));
    const std::size_t w = units.width();
    const bool endsInBreak = end == units.begin() || units.At(end - w) == '\r' || units.At(end - w) == '\n';
    if (!endsInBreak) out.append(newLine);
    out.append(units.Encode("[" + std::string(section) + "]")).append(newLine);
    out.append(units.Encode(std::string(k) + "=" + text)).append(newLine);
    out.append(contents.substr(end));
    return out;
}

}  // namespace orvan::settings::profile
