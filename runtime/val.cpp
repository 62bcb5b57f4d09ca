// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/val.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

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

} // namespace

double Val(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;

    // Copy the numeric prefix into a plain form that from_chars reads:
    // no "+" sign, "e" for the exponent marker.
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;

    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '-' || text[j] == '+'))
            exponent += text[j++];
        const size_t firstDigit = j;
        while (j < text.size() && isDigit(text[j]))
            exponent += text[j++];
        if (j > firstDigit)
            number += exponent;
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Beyond a double: too small reads 0, too large reads as infinity
        // with its sign (which no 16-bit field can hold).
        if (decimalOrder(number) < 0)
            return 0.0;
        return number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}
