// libFuzzer harness for the settings file reader and writer and the run-method
// conversion. The first three bytes give the lengths of section, key and
// value; the next bytes are those texts and the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/modIni.h"
#include "settings/profile.h"

namespace {

namespace profile = orvan::settings::profile;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string_view Take(std::string_view& rest, std::size_t n) {
    n = n < rest.size() ? n : rest.size();
    std::string_view part = rest.substr(0, n);
    rest.remove_prefix(n);
    return part;
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
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
    Check(profile::GetString(file, section, key, "default", 256).size() <= 255);

    std::optional<std::string> once = profile::SetString(file, section, key, value);
    Check(once.has_value() == profile::IsWritable(section, key, value));
    if (!once) return 0;
    Check(profile::SetString(*once, section, key, value) == once);  // idempotent

    // Comment keys (the note lines) are never read; everything else reads back,
    // and keeps reading back after a write of another key in the same section.
    std::string_view k = Trim(key);
    if (!k.empty() && k.front() == ';') return 0;
    const std::string_view expected = Unquote(Trim(value));
    Check(profile::FindValue(*once, section, key) == expected);
    std::string otherKey = std::string(key) + "x";
    std::optional<std::string> twice = profile::SetString(*once, section, otherKey, "y");
    Check(twice.has_value());
    Check(profile::FindValue(*twice, section, key) == expected);
    return 0;
}
