// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exact rational number, for comparing a pupil's answer with the exact
// result of a task and with the results of typical mistakes.
//
// The value is kept in lowest terms with a positive denominator, so two
// equal values have equal fields. Fields are 64-bit and every sum, product
// and quotient is formed in 128 bits before it is reduced: values built from
// 16-bit fields (at most about 2^31 in numerator and denominator) and their
// products never come near the limit. A result that still would not fit in
// 64 bits raises OverflowError, like the 16-bit arithmetic of the engine;
// a zero denominator or divisor is a fault of the caller (std::domain_error).
//
// Standard C++ and the runtime only: no toolkit.

#include "fraction/fraction.h"
#include "runtime/checked16.h"

#include <cstdint>
#include <optional>
#include <stdexcept>

class Rational {
public:
    constexpr Rational() = default;
    constexpr Rational(int64_t integer) : m_num(integer) {}
    // num/den in lowest terms; den must not be 0.
    Rational(int64_t num, int64_t den) { *this = fromWide(num, den); }

    int64_t num() const { return m_num; }
    int64_t den() const { return m_den; }
    int sign() const { return (m_num > 0) - (m_num < 0); }
    Rational abs() const { return m_num < 0 ? -*this : *this; }
    // Integer part of the magnitude and the rest of it: |x| = whole + fraction.
    int64_t wholeOfMagnitude() const { return (m_num < 0 ? -m_num : m_num) / m_den; }
    Rational fractionOfMagnitude() const { return fromWide(__int128((m_num < 0 ? -m_num : m_num) % m_den), m_den); }
    Rational reciprocal() const { return fromWide(m_den, m_num); }

    friend bool operator==(const Rational &, const Rational &) = default;
    friend Rational operator-(const Rational &x) { return fromWide(-__int128(x.m_num), x.m_den); }
    friend Rational operator+(const Rational &x, const Rational &y)
    {
        return fromWide(__int128(x.m_num) * y.m_den + __int128(y.m_num) * x.m_den, __int128(x.m_den) * y.m_den);
    }
    friend Rational operator*(const Rational &x, const Rational &y)
    {
        return fromWide(__int128(x.m_num) * y.m_num, __int128(x.m_den) * y.m_den);
    }
    // y must not be 0.
    friend Rational operator/(const Rational &x, const Rational &y)
    {
        return fromWide(__int128(x.m_num) * y.m_den, __int128(x.m_den) * y.m_num);
    }

    // The value of a record: |Whole| + |Num|/|Den|, negative when an odd
    // number of the three fields is negative; nothing when Den is 0.
    static std::optional<Rational> of(const Fraction &f)
    {
        if (f.Den == 0)
            return std::nullopt;
        const int64_t n = f.Num < 0 ? -int64_t(f.Num) : f.Num;
        const int64_t d = f.Den < 0 ? -int64_t(f.Den) : f.Den;
        const int64_t w = f.Whole < 0 ? -int64_t(f.Whole) : f.Whole;
        const bool negative = ((f.Num < 0) + (f.Den < 0) + (f.Whole < 0)) % 2 == 1;
        const int64_t m = w * d + n;
        return Rational(negative ? -m : m, d);
    }

private:
    static __int128 gcd(__int128 a, __int128 b)
    {
        if (a < 0)
            a = -a;
        if (b < 0)
            b = -b;
        while (b != 0) {
            const __int128 r = a % b;
            a = b;
            b = r;
        }
        return a;
    }

    static Rational fromWide(__int128 num, __int128 den)
    {
        if (den == 0)
            throw std::domain_error("zero denominator");
        if (den < 0) {
            num = -num;
            den = -den;
        }
        const __int128 g = gcd(num, den);
        num /= g;
        den /= g;
        if (num > INT64_MAX || num < -INT64_MAX || den > INT64_MAX)
            throw OverflowError();
        Rational r;
        r.m_num = int64_t(num);
        r.m_den = int64_t(den);
        return r;
    }

    int64_t m_num = 0;
    int64_t m_den = 1;
};
