// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading an answer from text and comparing it with the correct one.
//
// A field is read with Val and rounded half to even into 16 bits. A record
// is read from numerator, denominator and whole-part texts; a whole-part text
// of exactly "-" means whole part 0 and a negated numerator. Two records
// match only when all three fields are equal: 2/4 is not 1/2, 7/3 is not
// 2 1/3.
//
// A pupil can type a number outside -32768..32767 ("40000"). Such a field
// cannot equal any correct answer, so it reads as nothing and its row is
// simply wrong; it never ends the program.

#include "fraction/fraction.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Val, then rounding half to even; nullopt outside the 16-bit range.
std::optional<int16_t> ReadField(std::string_view text);

// nullopt when any field is outside the 16-bit range.
std::optional<Fraction> ReadRecord(std::string_view numText, std::string_view denText,
                                   std::string_view wholeText);

struct AnswerTexts {
    std::string_view num;
    std::string_view den;
    std::string_view whole;
};

// True when the typed texts read as exactly the correct answer's three fields.
// The correct answer's texts come from the window's own labels; should one of
// them not fit in 16 bits, that is a fault of the program and raises
// OverflowError.
bool AnswerIsRight(const AnswerTexts &typed, const AnswerTexts &correct);
