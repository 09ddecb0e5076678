#include "settings/modIni.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "settings/profile.h"

namespace orvan::settings {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as written: sign, digits on both sides of the point and a
// power of ten, kept as text so that rounding is exact however long it is.
struct Decimal {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
    std::int64_t exponent = 0;

    std::size_t size() const { return whole.size() + fraction.size(); }
    char digit(std::size_t i) const { return i < whole.size() ? whole[i] : fraction[i - whole.size()]; }
};

std::string_view TakeDigits(std::string_view text, std::size_t& i) {
    std::size_t from = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return text.substr(from, i - from);
}

std::optional<Decimal> ParseDecimal(std::string_view text) {
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    d.whole = TakeDigits(text, i);
    if (i < text.size() && text[i] == '.') d.fraction = TakeDigits(text, ++i);
    if (d.whole.empty() && d.fraction.empty()) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        std::string_view digits = TakeDigits(text, i);
        if (digits.empty()) return std::nullopt;
        // Saturate: anything this large is out of range or zero anyway.
        constexpr std::int64_t kCap = 1'000'000'000'000;
        for (char c : digits) {
            d.exponent = d.exponent * 10 + (c - '0');
            if (d.exponent > kCap) d.exponent = kCap;
        }
        if (negativeExponent) d.exponent = -d.exponent;
    }
    if (i != text.size()) return std::nullopt;
    return d;
}

// Rounds to the nearest whole number, halves to even; nothing when the
// magnitude reaches 100000, far outside any 16-bit value.
std::optional<std::int32_t> RoundHalfEven(const Decimal& d) {
    const std::size_t n = d.size();
    std::size_t first = 0;  // first significant digit
    while (first < n && d.digit(first) == '0') ++first;
    if (first == n) return 0;
    // Digits before the point, counted from the first significant one.
    const std::int64_t point =
        static_cast<std::int64_t>(d.whole.size()) + d.exponent - static_cast<std::int64_t>(first);
    if (point > 5) return std::nullopt;
    std::int32_t magnitude = 0;
    for (std::int64_t k = 0; k < point; ++k) {
        std::size_t at = first + static_cast<std::size_t>(k);
        magnitude = magnitude * 10 + (at < n ? d.digit(at) - '0' : 0);
    }
    bool up = false;
    std::size_t f = first + static_cast<std::size_t>(point < 0 ? 0 : point);
    if (point >= 0 && f < n) {
        char lead = d.digit(f);
        if (lead != '5') {
            up = lead > '5';
        } else {
            bool moreThanHalf = false;
            for (std::size_t i = f + 1; i < n && !moreThanHalf; ++i) moreThanHalf = d.digit(i) != '0';
            up = moreThanHalf || magnitude % 2 == 1;
        }
    }
    if (up) ++magnitude;
    return d.negative ? -magnitude : magnitude;
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return text.substr(b, e - b);
}

// The seal of a whole copy: this, the byte count, a blank, the checksum in
// hex, CR LF. A copy cut short lacks it or fails its count or checksum.
constexpr std::string_view kSeal = "\r\n;whole copy ";

std::uint64_t Checksum(std::string_view bytes) {  // FNV-1a, 64 bits
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

std::string Hex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (std::size_t i = 16; i-- > 0; value >>= 4) text[i] = kDigits[value & 15];
    return text;
}

std::string SealFor(std::string_view bytes) {
    return std::string(kSeal) + std::to_string(bytes.size()) + " " + Hex(Checksum(bytes)) + "\r\n";
}

std::string CopyPathOf(const std::string& file) { return file + std::string(kWholeCopySuffix); }

}  // namespace

std::string WholeCopyOf(std::string_view bytes) { return std::string(bytes) + SealFor(bytes); }

std::optional<std::string> FromWholeCopy(std::string_view copy) {
    const std::size_t at = copy.rfind(kSeal);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view bytes = copy.substr(0, at);
    if (copy.substr(at) != SealFor(bytes)) return std::nullopt;
    return std::string(bytes);
}

std::optional<std::string> BlankFiller(std::string_view before, std::size_t count) {
    using profile::Encoding;
    const Encoding encoding = profile::DetectEncoding(before);
    const bool wide = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
    const std::size_t unit = wide ? 2 : 1;
    if (before.size() % unit != 0 || count % unit != 0) return std::nullopt;
    const auto character = [&](char c) {
        if (!wide) return std::string(1, c);
        return encoding == Encoding::Utf16Le ? std::string{c, '\0'} : std::string{'\0', c};
    };
    const std::string_view last = before.substr(before.size() - std::min(unit, before.size()));
    const bool lineStart = before.empty() || last == character('\n') || last == character('\r');
    std::string filler;
    if (count > 0 && !lineStart) filler = character('\n');  // so the blanks end no line of text
    while (filler.size() < count) filler += character(' ');
    return filler;
}

platform::InPlaceEdit PlanInPlaceEdit(std::string_view old, std::string_view updated) {
    platform::InPlaceEdit edit;
    edit.expected = std::string(old);
    edit.length = updated.size();
    const std::size_t common = std::min(old.size(), updated.size());
    while (edit.offset < common && old[edit.offset] == updated[edit.offset]) ++edit.offset;
    edit.tail = std::string(updated.substr(edit.offset));
    // Without a filler (an odd UTF-16 file) the tail's write grows the file
    // itself, or the old bytes beyond the new end stay until the cut.
    if (updated.size() > old.size()) {
        edit.reserve = BlankFiller(old, updated.size() - old.size()).value_or("");
    } else if (updated.size() < old.size()) {
        edit.tail += BlankFiller(updated, old.size() - updated.size()).value_or("");
    }
    return edit;
}

std::optional<std::int16_t> ToRunMethod(std::string_view text) {
    std::optional<Decimal> d = ParseDecimal(TrimBlanks(text));
    if (!d) return std::nullopt;
    std::optional<std::int32_t> value = RoundHalfEven(*d);
    if (!value || *value < -32768 || *value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::string RunMethodToText(std::int16_t value) { return std::to_string(value); }

modIni::modIni(platform::Services& sys) : sys_(sys) {}

std::optional<std::string> modIni::Read(const std::string& file) {
    try {
        return Load(file);
    } catch (const std::bad_alloc&) {
        // A file too large to hold reads as no file: the defaults.
    } catch (const std::length_error&) {
    }
    return std::nullopt;
}

std::string modIni::ValueIn(const std::optional<std::string>& contents, std::string_view section, std::string_view key,
                            std::string_view defaultValue) {
    try {
        std::string value = profile::GetString(sys_.Text(), contents ? std::string_view(*contents) : "", section, key,
                                               defaultValue, kReadBufferSize);
        if (!value.empty()) return value;
    } catch (const std::bad_alloc&) {
        // A read never fails its caller.
    } catch (const std::length_error&) {
    }
    return std::string(defaultValue);
}

std::string modIni::ReadIni(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string_view file) {
    return ValueIn(Read(std::string(file)), section, key, defaultValue);
}

void modIni::LoadAll() {
    IniPath = std::string(kSettingsPath);
    const std::optional<std::string> contents = Read(IniPath);
    RunMethodText = ValueIn(contents, kOptionsSection, kRunMethodKey, kRunMethodDefault);
    // Text that does not convert leaves the run method as it was.
    if (std::optional<std::int16_t> code = ToRunMethod(RunMethodText)) RunMethod = *code;
    for (std::size_t slot = 0; slot < kSlotCount; ++slot)
        TaskPath[slot] = ValueIn(contents, kUserTasksSection, kSlotLabels[slot], kTaskPathDefault);
    loaded_ = Loaded{RunMethod, TaskPath};
}

std::optional<std::string> modIni::Load(const std::string& file) {
    if (std::optional<std::string> copy = sys_.ReadFile(CopyPathOf(file)))
        if (std::optional<std::string> whole = FromWholeCopy(*copy)) return whole;
    return sys_.ReadFile(file);
}

bool modIni::RetireCopy(const std::string& copy) {
    if (sys_.RemoveFile(copy)) return true;
    // A copy that cannot be deleted must at least stop reading as whole.
    return sys_.OverwriteFile(copy, "") == platform::OverwriteOutcome::Written;
}

bool modIni::Recover(const std::string& file) {
    const std::string copy = CopyPathOf(file);
    std::optional<std::string> bytes = sys_.ReadFile(copy);
    if (!bytes) return true;
    std::optional<std::string> whole = FromWholeCopy(*bytes);
    // A copy cut short was never followed by a write to the file: the file is whole.
    if (!whole) return RetireCopy(copy);
    // The copy is the newest whole version; it stays until the file matches it.
    const bool repaired = sys_.ReplaceFile(file, *whole) == platform::ReplaceOutcome::Replaced ||
                          sys_.OverwriteFile(file, *whole) == platform::OverwriteOutcome::Written;
    return repaired && RetireCopy(copy);
}

bool modIni::Store(const std::string& file, const std::optional<std::string>& old, const std::string& bytes) {
    using platform::OverwriteOutcome;
    if (sys_.ReplaceFile(file, bytes) == platform::ReplaceOutcome::Replaced) return true;
    // The system refused the atomic way: its protection, another program
    // holding the file, or a full disk. Write in place, with the whole new
    // version waiting beside the file until the file is whole.
    const std::string copy = CopyPathOf(file);
    if (sys_.OverwriteFile(copy, WholeCopyOf(bytes)) == OverwriteOutcome::Written) {
        switch (sys_.OverwriteFile(file, bytes)) {
        case OverwriteOutcome::Written:
            RetireCopy(copy);  // should it stay, it holds these very bytes
            return true;
        case OverwriteOutcome::Untouched:
            RetireCopy(copy);
            return false;
        case OverwriteOutcome::Broken:
            return false;  // the copy stays: reads and the next write take it
        }
        return false;
    }
    RetireCopy(copy);
    // No copy either: a folder that takes no new file, or a disk without
    // room for one. The system's writer still writes the file in place, so
    // do as it does, writing only what changes, and only over the very bytes
    // just read.
    if (!old) return false;
    return sys_.EditInPlace(file, PlanInPlaceEdit(*old, bytes)) == OverwriteOutcome::Written;
}

bool modIni::TryWrite(std::string_view section, std::string_view key, std::string_view value, const std::string& file) {
    if (!Recover(file)) return false;
    std::optional<std::string> old = sys_.ReadFile(file);
    // A file that is there but cannot be read must not be replaced by one
    // holding just this entry.
    if (!old && sys_.Classify(file) != platform::PathKind::Missing) return false;
    std::optional<std::string> updated =
        profile::SetString(sys_.Text(), old ? std::string_view(*old) : "", section, key, value);
    return updated && Store(file, old, *updated);
}

bool modIni::WriteIni(std::string_view section, std::string_view key, std::string_view value, std::string_view file) {
    const std::string path(file);
    bool written = false;
    try {
        written = TryWrite(section, key, value, path);
    } catch (const std::bad_alloc&) {
        written = false;  // a file too large to hold: reported like any failed write
    } catch (const std::length_error&) {
        written = false;
    }
    if (!written)
        sys_.ShowMessage(std::string(kWriteErrorText) + path, std::string(kWriteErrorTitle),
                         platform::MessageIcon::Critical);
    return written;
}

void modIni::SaveAll() {
    RunMethodText = RunMethodToText(RunMethod);
    // Which entries the file holds now: none when there is no file; where it
    // cannot be read, no telling, so every write is tried (and refused).
    std::optional<std::string> now = Read(IniPath);
    if (!now && sys_.Classify(IniPath) == platform::PathKind::Missing) now = std::string();
    const auto lacks = [&](std::string_view section, std::string_view key) {
        try {
            return !now || !profile::HasEntry(sys_.Text(), *now, section, key);
        } catch (const std::bad_alloc&) {
            return true;
        }
    };
    if (!loaded_ || RunMethod != loaded_->runMethod || lacks(kOptionsSection, kRunMethodKey))
        WriteIni(kOptionsSection, kRunMethodKey, RunMethodText, IniPath);
    for (std::size_t slot = 0; slot < kSlotCount; ++slot)
        if (!loaded_ || TaskPath[slot] != loaded_->taskPath[slot] || lacks(kUserTasksSection, kSlotLabels[slot]))
            WriteIni(kUserTasksSection, kSlotLabels[slot], TaskPath[slot], IniPath);
    for (const NoteEntry& note : kNoteEntries)
        if (!loaded_ || lacks(kNoteSection, note.key)) WriteIni(kNoteSection, note.key, note.value, IniPath);
}

}  // namespace orvan::settings
