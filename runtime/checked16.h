// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Signed 16-bit arithmetic that refuses to wrap.
//
// The whole program computes in 16-bit integers. A sum, difference, product,
// absolute value or real-to-integer conversion whose result leaves
// -32768..32767 raises OverflowError instead of wrapping silently, so that a
// wrong number can never reach the screen. Negation is the one operation that
// does not check: the negation of -32768 is -32768.
//
// Standard C++ only; no toolkit.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// A result outside the signed 16-bit range.
class OverflowError : public std::overflow_error {
public:
    OverflowError() : std::overflow_error("Overflow") {}
};

int16_t add16(int16_t a, int16_t b);
int16_t sub16(int16_t a, int16_t b);
int16_t mul16(int16_t a, int16_t b);
int16_t abs16(int16_t a);
// Unchecked: -(-32768) stays -32768.
int16_t neg16(int16_t a);

// Rounds half to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); nullopt when the
// rounded value is outside the range or x is not a number.
std::optional<int16_t> roundToInt16(double x);
// The same, raising OverflowError instead of returning nullopt.
int16_t toInt16(double x);

// Int(x): the largest integer not above x.
double intPart(double x);

// Decimal text with a leading "-" for negatives and no leading blank.
std::string toText(int value);
