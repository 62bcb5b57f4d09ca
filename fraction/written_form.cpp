// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/written_form.h"

#include <stdexcept>

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

WrittenForm WriteValue(const Rational &value)
{
    const int64_t whole = value.wholeOfMagnitude();
    const Rational fraction = value.fractionOfMagnitude();
    WrittenForm form;
    if (value.sign() < 0)
        form.whole = whole == 0 ? std::string("-") : "-" + std::to_string(whole);
    else if (whole != 0)
        form.whole = std::to_string(whole);
    form.wholeShown = !form.whole.empty();
    form.num = std::to_string(fraction.num());
    form.numShown = fraction != 0;
    form.den = std::to_string(fraction.den());
    form.denShown = fraction.den() != 1;
    return form;
}

WrittenForm WriteFraction(Fraction fraction)
{
    ReduceFraction(fraction, fraction);
    ToMixed(fraction, fraction);
    const std::optional<Rational> value = Rational::of(fraction);
    if (!value)
        throw std::domain_error("a fraction without a value has no written form");
    return WriteValue(*value);
}
