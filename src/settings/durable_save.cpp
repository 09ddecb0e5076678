#include "settings/durable_save.h"

#include <algorithm>

#include "settings/profile.h"

namespace orvan::settings {
namespace {

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

std::optional<std::string> ReadLastSave(platform::Services& sys, const std::string& file) {
    if (std::optional<std::string> copy = sys.ReadFile(CopyPathOf(file)))
        if (std::optional<std::string> whole = FromWholeCopy(*copy)) return whole;
    return sys.ReadFile(file);
}

namespace {

bool RetireCopy(platform::Services& sys, const std::string& copy) {
    if (sys.RemoveFile(copy)) return true;
    // A copy that cannot be deleted must at least stop reading as whole.
    return sys.OverwriteFile(copy, "") == platform::OverwriteOutcome::Written;
}

}  // namespace

bool RecoverLastSave(platform::Services& sys, const std::string& file) {
    const std::string copy = CopyPathOf(file);
    std::optional<std::string> bytes = sys.ReadFile(copy);
    if (!bytes) return true;
    std::optional<std::string> whole = FromWholeCopy(*bytes);
    // A copy cut short was never followed by a write to the file: the file is whole.
    if (!whole) return RetireCopy(sys, copy);
    // The copy is the newest whole version; it stays until the file matches it.
    const bool repaired = sys.ReplaceFile(file, *whole) == platform::ReplaceOutcome::Replaced ||
                          sys.OverwriteFile(file, *whole) == platform::OverwriteOutcome::Written;
    return repaired && RetireCopy(sys, copy);
}

bool SaveDurably(platform::Services& sys, const std::string& file, const std::optional<std::string>& old,
                 const std::string& bytes) {
    using platform::OverwriteOutcome;
    if (sys.ReplaceFile(file, bytes) == platform::ReplaceOutcome::Replaced) return true;
    // The system refused the atomic way: its protection, another program
    // holding the file, or a full disk. Write in place, with the whole new
    // version waiting beside the file until the file is whole.
    const std::string copy = CopyPathOf(file);
    if (sys.OverwriteFile(copy, WholeCopyOf(bytes)) == OverwriteOutcome::Written) {
        switch (sys.OverwriteFile(file, bytes)) {
        case OverwriteOutcome::Written:
            RetireCopy(sys, copy);  // should it stay, it holds these very bytes
            return true;
        case OverwriteOutcome::Untouched:
            RetireCopy(sys, copy);
            return false;
        case OverwriteOutcome::Broken:
            return false;  // the copy stays: reads and the next write take it
        }
        return false;
    }
    RetireCopy(sys, copy);
    // No copy either: a folder that takes no new file, or a disk without
    // room for one. The system's writer still writes the file in place, so
    // do as it does, writing only what changes, and only over the very bytes
    // just read.
    if (!old) return false;
    return sys.EditInPlace(file, PlanInPlaceEdit(*old, bytes)) == OverwriteOutcome::Written;
}

}  // namespace orvan::settings
