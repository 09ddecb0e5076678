// libFuzzer harness for the settings file reader and writer and the run-method
// conversion. The first three bytes give the lengths of section, key and
// value; the next bytes are those texts and the rest is the file. Windows-1252
// stands in for the system's ANSI code page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/fake_codec.h"
#include "settings/modIni.h"
#include "settings/profile.h"

namespace {

namespace profile = orvan::settings::profile;

const orvan::testing::FakeCodec codec;

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

void CheckRunMethod(std::string_view text) {
    std::optional<std::int16_t> value = orvan::settings::ToRunMethod(text);
    if (value) Check(orvan::settings::ToRunMethod(orvan::settings::RunMethodToText(*value)) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::string_view section = Take(rest, data[0] % 16);
    const std::string_view key = Take(rest, data[1] % 16);
    const std::string_view value = Take(rest, data[2] % 32);
    const std::string_view file = rest;

    CheckRunMethod(value);
    Check(profile::GetString(codec, file, section, key, "default", 256).size() <= 255);

    std::optional<std::string> once = profile::SetString(codec, file, section, key, value);
    Check(once.has_value() == profile::IsWritable(section, key, value));
    if (!once) return 0;
    Check(profile::SetString(codec, *once, section, key, value) == once);    // idempotent
    Check(profile::DetectEncoding(*once) == profile::DetectEncoding(file));  // the file keeps its encoding

    // Every value written reads back exactly, and keeps reading back after a
    // write of another key in the same section. The exceptions are the note
    // lines: keys beginning with ';' are written as they are, and keys ending
    // in blanks are distinct only to the writer.
    const std::string_view k = TrimLeft(key);
    if (!k.empty() && (k.front() == ';' || IsBlank(k.back()))) return 0;
    const std::optional<std::string> expected{std::string(value)};
    Check(profile::FindValue(codec, *once, section, key) == expected);
    if (value.size() < 255) Check(profile::GetString(codec, *once, section, key, "", 256) == value);
    std::string otherKey = std::string(key) + "x";
    std::optional<std::string> twice = profile::SetString(codec, *once, section, otherKey, "y");
    Check(twice.has_value());
    Check(profile::FindValue(codec, *twice, section, key) == expected);
    return 0;
}
