// libFuzzer harness for the settings file: the reader and writer, the
// run-method conversion, and the save's whole copy and its recovery.
//
// Input: a flags byte, three bytes giving the lengths of section, key and
// value, those texts, then the rest. Flags:
//   bit 0     the ANSI code page is a double-byte one (FakeDbcsCodec), not
//             Windows-1252 (FakeCodec)
//   bits 1-2  what lies beside the settings file as its whole copy: nothing,
//             the rest's second half as it is, a sealed copy of it, or that
//             sealed copy cut short
//   bits 3-4  how the system answers the save's atomic replacement
//   bit 5     the save's write in place breaks off part way
//   bit 6     the whole copy cannot be deleted
// The rest (its first half when a copy is made of the second) is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/fake_dbcs_codec.h"
#include "fakes/fake_platform.h"
#include "settings/durable_save.h"
#include "settings/modIni.h"
#include "settings/profile.h"
#include "settings/run_method.h"

namespace {

namespace profile = orvan::settings::profile;
using orvan::platform::ReplaceOutcome;

const orvan::testing::FakeCodec ansiCodec;
const orvan::testing::FakeDbcsCodec dbcsCodec;

constexpr const char* kPath = "C:\\Windows\\Orvan97.ini";
constexpr const char* kMissing = "\x01missing";

// The fake system, with the code page the input chose.
class FakeSystem : public orvan::testing::FakePlatform {
public:
    explicit FakeSystem(const orvan::platform::TextCodec& text) : text_(text) {}
    const orvan::platform::TextCodec& Text() override { return text_; }

private:
    const orvan::platform::TextCodec& text_;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string_view Take(std::string_view& rest, std::size_t n) {
    n = n < rest.size() ? n : rest.size();
    std::string_view part = rest.substr(0, n);
    rest.remove_prefix(n);
    return part;
}

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string_view TrimLeft(std::string_view t) {
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    return t;
}

// Keys beginning with ';' are written as they are and keys ending in blanks
// are distinct only to the writer: neither reads back as written.
bool ReadsBackByKey(std::string_view key) {
    const std::string_view k = TrimLeft(key);
    return k.empty() || (k.front() != ';' && !IsBlank(k.back()));
}

// Text the code page holds: its way to UTF-16 and back gives the same bytes.
bool InCodePage(const orvan::platform::TextCodec& codec, std::string_view text) {
    return codec.WideToAnsi(codec.AnsiToWide(text)) == text;
}

void CheckRunMethod(std::string_view text) {
    std::optional<std::int16_t> value = orvan::settings::ToRunMethod(text);
    if (value) Check(orvan::settings::ToRunMethod(orvan::settings::RunMethodToText(*value)) == value);
}

void CheckProfile(const orvan::platform::TextCodec& codec, std::string_view file, std::string_view section,
                  std::string_view key, std::string_view value) {
    Check(profile::GetString(codec, file, section, key, "default", 256).size() <= 255);

    std::optional<std::string> once = profile::SetString(codec, file, section, key, value);
    Check(once.has_value() == profile::IsWritable(section, key, value));
    if (!once) return;
    Check(profile::SetString(codec, *once, section, key, value) == once);    // idempotent
    Check(profile::DetectEncoding(*once) == profile::DetectEncoding(file));  // the file keeps its encoding

    // Every value written reads back exactly, and keeps reading back after a
    // write of another key in the same section.
    if (!ReadsBackByKey(key) || !InCodePage(codec, section) || !InCodePage(codec, key) || !InCodePage(codec, value))
        return;
    const std::optional<std::string> expected{std::string(value)};
    Check(profile::FindValue(codec, *once, section, key) == expected);
    if (value.size() < 255) Check(profile::GetString(codec, *once, section, key, "", 256) == value);
    std::string otherKey = std::string(key) + "x";
    std::optional<std::string> twice = profile::SetString(codec, *once, section, otherKey, "y");
    Check(twice.has_value());
    Check(profile::FindValue(codec, *twice, section, key) == expected);
}

void CheckWholeCopy(std::string_view bytes) {
    const std::string copy = orvan::settings::WholeCopyOf(bytes);
    Check(orvan::settings::FromWholeCopy(copy) == std::string(bytes));
    Check(!orvan::settings::FromWholeCopy(copy.substr(0, copy.size() - 1)));  // cut in its seal
}

// A save over whatever the last save left beside the file, with the system
// refusing as the flags say: what reads give is the old value or the new one,
// never anything else; a write that succeeded reads back; and the next save
// on a willing system mends the file and leaves what reads give as it was.
void CheckSave(const orvan::platform::TextCodec& codec, std::uint8_t flags, std::string_view rest,
               std::string_view section, std::string_view key, std::string_view value) {
    FakeSystem sys(codec);
    const std::string copyPath = std::string(kPath) + ".new";
    std::string_view file = rest;
    const int copyKind = (flags >> 1) & 3;
    if (copyKind != 0) {
        file = rest.substr(0, rest.size() / 2);
        const std::string_view second = rest.substr(rest.size() / 2);
        const std::string sealed = orvan::settings::WholeCopyOf(second);
        if (copyKind == 1) sys.files[copyPath] = std::string(second);
        if (copyKind == 2) sys.files[copyPath] = sealed;
        if (copyKind == 3) sys.files[copyPath] = sealed.substr(0, second.size() % sealed.size());
    }
    sys.files[kPath] = std::string(file);
    orvan::settings::modIni ini(sys);

    const bool checkable = ReadsBackByKey(key) && profile::IsWritable(section, key, value) && !value.empty() &&
                           value.size() < 255 && InCodePage(codec, section) && InCodePage(codec, key) &&
                           InCodePage(codec, value);
    const std::string before = ini.ReadIni(section, key, kMissing, kPath);
    sys.replaceOutcome = static_cast<ReplaceOutcome>((flags >> 3) & 3);
    if (flags & 0x20) sys.overwriteBreaksAfter[kPath] = file.size() / 2;
    if (flags & 0x40) sys.undeletable.insert(copyPath);
    const bool written = ini.WriteIni(section, key, value, kPath);
    const std::string after = ini.ReadIni(section, key, kMissing, kPath);
    if (checkable) {
        Check(after == before || after == value);
        if (written) Check(after == value);
    }

    // A willing system: the next save mends what the last one left. (The
    // section's name is longer than the input's can be.)
    sys.replaceOutcome = ReplaceOutcome::Replaced;
    sys.overwriteBreaksAfter.clear();
    sys.undeletable.clear();
    Check(ini.WriteIni("Orvan Fuzz Mending", "Mended", "yes", kPath));
    Check(ini.ReadIni(section, key, kMissing, kPath) == after);
    const auto copy = sys.files.find(copyPath);
    Check(copy == sys.files.end() || !orvan::settings::FromWholeCopy(copy->second));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::string_view section = Take(rest, data[1] % 16);
    const std::string_view key = Take(rest, data[2] % 16);
    const std::string_view value = Take(rest, data[3] % 32);
    const orvan::platform::TextCodec& codec =
        (flags & 1) ? static_cast<const orvan::platform::TextCodec&>(dbcsCodec) : ansiCodec;

    CheckRunMethod(value);
    CheckProfile(codec, rest, section, key, value);
    CheckWholeCopy(rest);
    CheckSave(codec, flags, rest, section, key, value);
    return 0;
}
