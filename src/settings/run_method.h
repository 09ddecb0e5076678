// The run method as the settings file holds it: decimal text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvan::settings {

// The run method a text stands for: surrounding blanks ignored, a decimal
// number with optional sign, fraction and exponent, rounded to the nearest
// whole number with halves to the even one. Nothing when the text is not such
// a number or the rounded value lies outside -32768..32767.
std::optional<std::int16_t> ToRunMethod(std::string_view text);

// Decimal text, no blanks, '-' for a negative value.
std::string RunMethodToText(std::int16_t value);

}  // namespace orvan::settings
