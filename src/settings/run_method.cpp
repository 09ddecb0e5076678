#include "settings/run_method.h"

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

}  // namespace

std::optional<std::int16_t> ToRunMethod(std::string_view text) {
    std::optional<Decimal> d = ParseDecimal(TrimBlanks(text));
    if (!d) return std::nullopt;
    std::optional<std::int32_t> value = RoundHalfEven(*d);
    if (!value || *value < -32768 || *value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::string RunMethodToText(std::int16_t value) { return std::to_string(value); }

}  // namespace orvan::settings
