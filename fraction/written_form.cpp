// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/written_form.h"

#include "runtime/checked16.h"

std::string WrittenForm::text() const
{
    std::string line = wholeShown ? whole : std::string();
    if (numShown) {
        if (!line.empty() && line != "-")
            line += ' ';
        line += num;
        if (denShown)
            line += '/' + den;
    }
    return line.empty() ? std::string("0") : line;
}

WrittenForm WriteFraction(Fraction fraction)
{
    ReduceFraction(fraction, fraction);
    ToMixed(fraction, fraction);

    WrittenForm form;
    // In mixed normal form a fractional value carries its sign on Num or Den
    // and a whole number carries it on Whole, which is written as it is.
    const bool negative = (fraction.Num < 0 && fraction.Den >= 0) || (fraction.Num >= 0 && fraction.Den < 0);
    if (negative)
        form.whole = fraction.Whole == 0 ? std::string("-") : "-" + toText(fraction.Whole);

    const int16_t num = abs16(fraction.Num);
    const int16_t den = abs16(fraction.Den);
    form.num = toText(num);
    form.numShown = num != 0;
    form.den = toText(den);
    form.denShown = den != 1;

    if (fraction.Whole != 0 && form.whole.empty())
        form.whole = toText(fraction.Whole);
    form.wholeShown = !form.whole.empty();
    return form;
}
