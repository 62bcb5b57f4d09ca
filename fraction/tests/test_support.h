// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support for the fraction engine's tests: the exact value of a record
// in rational arithmetic on 64-bit integers, written apart from the engine so
// that it can judge it, and a record written out for failure messages.

#include "fraction/fraction.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

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

// Counts and first values of the generator's eleven parameters in drawing
// order: one per row 0..8, then a and b of row 9.
inline constexpr int kCount[11] = {8, 8, 8, 6, 7, 8, 8, 8, 5, 98, 98};
inline constexpr int kFirst[11] = {2, 2, 2, 4, 3, 2, 2, 2, 5, 1, 1};

// A Rnd value in the middle of the interval that gives parameter index j of k.
inline double pick(int j, int k) { return (j + 0.5) / k; }

// Every task the generator can make, in 98 x 98 scripts: script `pair` draws
// row 9's a and b as pair / 98 and pair % 98, while rows 0..8 cycle through
// every value of their parameters (all of them in the first pairs). `index`
// receives the parameter index drawn for each of the eleven parameters.
inline constexpr int kEveryTaskScripts = 98 * 98;
inline std::vector<double> everyTaskScript(int pair, std::array<int, 11> &index)
{
    std::vector<double> script(11);
    for (int i = 0; i < 11; ++i) {
        index[size_t(i)] = i < 9 ? (pair + i) % kCount[i] : i == 9 ? pair / 98 : pair % 98;
        script[size_t(i)] = pick(index[size_t(i)], kCount[i]);
    }
    return script;
}

// "{Num, Den, Whole}".
inline QString text(const Fraction &f)
{
    return QStringLiteral("{%1, %2, %3}").arg(f.Num).arg(f.Den).arg(f.Whole);
}
