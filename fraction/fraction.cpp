// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/fraction.h"

#include "runtime/checked16.h"

#include <algorithm>

namespace {

// The algorithms below work on one record in place.

void toMixedInPlace(Fraction &r)
{
    const bool numNegative = r.Num < 0;
    const bool denNegative = r.Den < 0;
    int16_t n = abs16(r.Num);
    int16_t d = abs16(r.Den);
    if (d == 0)
        return;
    // The whole part grows one step at a time from its value on entry, so a
    // whole part that would pass 32767 overflows instead of wrapping.
    while (n >= d) {
        n = sub16(n, d);
        r.Whole = add16(r.Whole, 1);
    }
    if (n == 0)
        d = 1;
    if (!numNegative) {
        r.Num = n;
    } else if (n != 0) {
        r.Num = neg16(n);
    } else {
        // A negative whole number carries its sign on Whole.
        r.Num = 0;
        r.Whole = neg16(r.Whole);
    }
    r.Den = denNegative ? neg16(d) : d;
}

void toImproperInPlace(Fraction &r)
{
    const int16_t m = add16(mul16(abs16(r.Whole), abs16(r.Den)), abs16(r.Num));
    const bool oneNegative = (r.Num < 0) != (r.Whole < 0);
    r.Num = oneNegative ? neg16(m) : m;
    r.Whole = 0;
}

void reduceInPlace(Fraction &r)
{
    // Only a positive whole part is folded in; a negative one occurs only in
    // a whole number, whose Num is 0.
    if (r.Whole > 0)
        toImproperInPlace(r);

    const bool numNegative = r.Num < 0;
    const bool denNegative = r.Den < 0;
    const bool wholeNegative = r.Whole < 0;
    r.Num = abs16(r.Num);
    r.Den = abs16(r.Den);
    r.Whole = abs16(r.Whole);

    // Trial division up to the smaller of the two, restarting at 2 after
    // every division. The divisor is counted in a wider integer, so a limit of
    // 32767 (both fields 32767) ends normally instead of overflowing.
    const int limit = std::min(r.Num, r.Den);
    int i = 2;
    while (i <= limit) {
        if (r.Num % i == 0 && r.Den % i == 0) {
            r.Num = int16_t(r.Num / i);
            r.Den = int16_t(r.Den / i);
            i = 2;
        } else {
            ++i;
        }
    }

    if (numNegative)
        r.Num = neg16(r.Num);
    if (denNegative)
        r.Den = neg16(r.Den);
    if (wholeNegative)
        r.Whole = neg16(r.Whole);
    toMixedInPlace(r);
}

// Runs an in-place step on a copy of the source and writes the target, so
// that the source is untouched when the two are different records.
template <class Step>
void apply(Fraction &target, const Fraction &source, Step step)
{
    Fraction r = source;
    step(r);
    target = r;
}

} // namespace

void ClearFraction(Fraction &f)
{
    f.Num = 0;
    f.Den = 0;
    f.Whole = 0;
}

void MakeFraction(Fraction &f, int16_t num, int16_t den)
{
    f.Num = num;
    f.Den = den;
    ToMixed(f, f);
    ReduceFraction(f, f);
}

void ToMixed(Fraction &target, const Fraction &source) { apply(target, source, toMixedInPlace); }
void ToImproper(Fraction &target, const Fraction &source) { apply(target, source, toImproperInPlace); }
void ReduceFraction(Fraction &target, const Fraction &source) { apply(target, source, reduceInPlace); }

void MulFraction(Fraction &result, Fraction &a, Fraction &b)
{
    if (abs16(a.Whole) > 0)
        ToImproper(a, a);
    if (abs16(b.Whole) > 0)
        ToImproper(b, b);
    // Neither reduced nor moved: the signs stay where the operands had them.
    const int16_t num = mul16(a.Num, b.Num);
    const int16_t den = mul16(a.Den, b.Den);
    result.Num = num;
    result.Den = den;
}

void DivFraction(Fraction &result, Fraction &a, Fraction &b)
{
    if (abs16(b.Whole) > 0)
        ToImproper(b, b);
    if (abs16(a.Whole) > 0)
        ToImproper(a, a);
    // Multiply by the reciprocal. A zero divisor has none: it becomes 0/0,
    // which no later step divides or reports.
    Fraction reciprocal{b.Den, b.Num, b.Whole};
    if (b.Num == 0)
        reciprocal.Num = 0;
    MulFraction(result, a, reciprocal);
}
