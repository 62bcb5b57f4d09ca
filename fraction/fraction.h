// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mixed-number record and its arithmetic.
//
// A record {Num, Den, Whole} with Den != 0 stands for |Whole| + |Num|/|Den|,
// negative when an odd number of the three fields is negative. The sign stays
// on the field where it sits: MakeFraction(7, -3) keeps the minus on Den.
// Every sum, difference, product and absolute value is checked 16-bit
// arithmetic, so a result outside -32768..32767 raises OverflowError rather
// than a wrong fraction.
//
// ToMixed, ToImproper and ReduceFraction take a target and a source. Given
// the same record twice they rewrite it in place; given two records they read
// the source, leave it unchanged, and write the result into the target.
//
// Standard C++ and the runtime only: no toolkit.

#include <cstdint>

struct Fraction {
    int16_t Num;
    int16_t Den;
    int16_t Whole;
};

// All three fields become 0.
void ClearFraction(Fraction &f);
// f becomes the reduced normal form of num/den; f.Whole is kept as it was
// and folded in (callers pass a cleared record).
void MakeFraction(Fraction &f, int16_t num, int16_t den);
// Mixed normal form (|Num| < |Den|), without reducing. A record with Den 0
// is left as it is.
void ToMixed(Fraction &target, const Fraction &source);
// Improper form: Whole becomes 0 and its value moves into Num over the same Den.
void ToImproper(Fraction &target, const Fraction &source);
// Reduced normal form: mixed, with no common divisor of |Num| and |Den| above 1.
void ReduceFraction(Fraction &target, const Fraction &source);
// result.Num and result.Den receive a * b, improper and unreduced;
// result.Whole is not touched. Operands with a whole part are turned into
// improper form in place.
void MulFraction(Fraction &result, Fraction &a, Fraction &b);
// result receives a / b the same way; a zero divisor gives 0/0.
void DivFraction(Fraction &result, Fraction &a, Fraction &b);

inline bool operator==(const Fraction &a, const Fraction &b)
{
    return a.Num == b.Num && a.Den == b.Den && a.Whole == b.Whole;
}
