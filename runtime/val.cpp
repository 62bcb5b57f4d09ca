// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/val.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace {

// The power of ten of a number's leading digit, read from its text
// ("-0.004e2" gives -1). Only its sign matters: it tells a number too large
// for a double from one too small. A zero mantissa gives a very low order.
long long decimalOrder(const std::string &number)
{
    constexpr long long Far = 1'000'000'000'000LL;
    const size_t e = number.find('e');
    const std::string_view mantissa = std::string_view(number).substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char *first = number.data() + e + 1;
        const char *last = number.data() + number.size();
        const bool negative = *first == '-';
        if (*first == '+' || *first == '-')
            ++first;
        if (std::from_chars(first, last, exponent).ec != std::errc())
            exponent = Far;
        exponent = std::min(exponent, Far);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const size_t integerEnd = point == std::string_view::npos ? mantissa.size() : point;
    size_t k = mantissa.find_first_of("123456789");
    if (k == std::string_view::npos)
        return -2 * Far;
    const long long order = k < integerEnd ? (long long)(integerEnd - k - 1) : -(long long)(k - integerEnd);
    return order + exponent;
}

// A read position in a text.
struct Cursor {
    std::string_view text;
    size_t at = 0;

    // True when the next character is one of `chars`.
    bool nextIsOneOf(std::string_view chars) const
    {
        return at < text.size() && chars.find(text[at]) != std::string_view::npos;
    }
};

constexpr std::string_view Digits = "0123456789";

// Appends the digits at the cursor to `out`; returns how many there were.
size_t copyDigits(Cursor &in, std::string &out)
{
    const size_t first = in.at;
    while (in.nextIsOneOf(Digits))
        out += in.text[in.at++];
    return in.at - first;
}

// Appends the mantissa (a sign, digits, a point and more digits, each
// optional) in the form from_chars reads, without a "+" sign; returns the
// number of its digits.
size_t copyMantissa(Cursor &in, std::string &out)
{
    if (in.nextIsOneOf("+-")) {
        if (in.text[in.at] == '-')
            out += '-';
        ++in.at;
    }
    size_t digits = copyDigits(in, out);
    if (in.nextIsOneOf(".")) {
        out += in.text[in.at++];
        digits += copyDigits(in, out);
    }
    return digits;
}

// Appends an exponent as "e" with its sign and digits. A marker (e, E, d or
// D) counts only when at least one digit follows it.
void copyExponent(Cursor &in, std::string &out)
{
    if (!in.nextIsOneOf("eEdD"))
        return;
    Cursor ahead{in.text, in.at + 1};
    std::string exponent = "e";
    if (ahead.nextIsOneOf("+-"))
        exponent += ahead.text[ahead.at++];
    if (copyDigits(ahead, exponent) == 0)
        return;
    out += exponent;
    in = ahead;
}

// The value of a number in from_chars' form. Beyond a double, too small
// reads 0 and too large reads as infinity with its sign (which no 16-bit
// field can hold).
double valueOf(const std::string &number)
{
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc::result_out_of_range)
        return value;
    if (decimalOrder(number) < 0)
        return 0.0;
    return number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
}

} // namespace

double Val(std::string_view text)
{
    Cursor in{text};
    while (in.nextIsOneOf(" \t\n\r"))
        ++in.at;
    std::string number;
    if (copyMantissa(in, number) == 0)
        return 0.0;
    copyExponent(in, number);
    return valueOf(number);
}
