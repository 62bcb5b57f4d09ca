// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a value is written: the whole-part, numerator and denominator texts of
// one fraction of a task row, and which of them are shown. The window's
// labels, what a screen reader hears, the answer check, the diagnosis and the
// results record all take a value's texts from here, so they cannot disagree.
//
// The record is brought to reduced mixed form first. A negative value writes
// its minus in the whole part: "-" alone before a proper fraction, "-4"
// before the fractional part of -4 1/2. The numerator is hidden when it is 0
// and the denominator when it is 1, so a whole number shows its whole part
// alone; the hidden texts are still written ("0" and "1"), as the answer
// check reads them.
//
// Standard C++ and the runtime only: no toolkit.

#include "fraction/fraction.h"
#include "fraction/rational.h"

#include <string>

struct WrittenForm {
    std::string whole;
    std::string num;
    std::string den;
    bool wholeShown = false;
    bool numShown = false;
    bool denShown = false;

    // A whole number: its whole part stands alone, with no fraction bar.
    bool isWholeNumber() const { return !numShown && !denShown; }
    // One line as it reads on screen: "-1 1/4", "-1/20", "3/8", "12"; "0"
    // when nothing is shown.
    std::string text() const;
};

// The written form of an exact value, of any size: the one place that
// decides where the minus goes and which parts are shown.
WrittenForm WriteValue(const Rational &value);

// The written form of a record's value, as the window shows its operands and
// answers. The record is normalised in checked 16-bit arithmetic as the
// window always has (a field outside 16 bits on the way raises
// OverflowError); it must have a value (Den not 0), or std::domain_error.
WrittenForm WriteFraction(Fraction fraction);
