// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support for the fraction engine's tests: the exact value of a record
// in rational arithmetic on 64-bit integers, written apart from the engine so
// that it can judge it, and a record written out for failure messages.

#include "fraction/fraction.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace exact {

// num/den; equal values compare equal however they are written, and no value
// with den 0 equals anything.
struct Rational {
    int64_t num;
    int64_t den;
    bool operator==(const Rational &r) const { return den != 0 && r.den != 0 && num * r.den == r.num * den; }
    Rational operator*(const Rational &r) const { return {num * r.num, den * r.den}; }
    Rational operator/(const Rational &r) const { return {num * r.den, den * r.num}; }
};

// |Whole| + |Num|/|Den|, negative when an odd number of fields is negative.
inline Rational valueOf(const Fraction &f)
{
    const int64_t n = std::abs(f.Num), d = std::abs(f.Den), w = std::abs(f.Whole);
    const bool negative = ((f.Num < 0) + (f.Den < 0) + (f.Whole < 0)) % 2 == 1;
    return {negative ? -(w * d + n) : w * d + n, d};
}

} // namespace exact

// "{Num, Den, Whole}".
inline QString text(const Fraction &f)
{
    return QStringLiteral("{%1, %2, %3}").arg(f.Num).arg(f.Den).arg(f.Whole);
}
