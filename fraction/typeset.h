// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the explanations and worked solutions print numbers: the minus sign
// U+2212 and a no-break space between the whole part and the fraction of a
// mixed number ("−1 1/2"), so that a line break never splits a number and a
// screen reader says «минус» (speech-dispatcher's Russian symbol table reads
// U+2212 so; a lone hyphen-minus it reads «дефис»). The boxes, the answer
// column and everything the grading reads keep the hyphen-minus.
//
// Standard C++ only: no toolkit.

#include "fraction/rational.h"
#include "fraction/written_form.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view MinusSign = "\u2212";
inline constexpr std::string_view NoBreakSpace = "\u00A0";

// n/d with the sign in front, as it stands: "−9/6", "3/1".
inline std::string printedFraction(int64_t num, int64_t den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::string text = num < 0 ? std::string(MinusSign) : std::string();
    return text + std::to_string(num < 0 ? -num : num) + "/" + std::to_string(den);
}

// Improper form, a whole number without "/1": "−3/2", "−8".
inline std::string printedImproper(const Rational &x)
{
    if (x.den() == 1)
        return (x.sign() < 0 ? std::string(MinusSign) : std::string()) + std::to_string(x.abs().num());
    return printedFraction(x.num(), x.den());
}

// Reduced, the whole part taken out, as the window writes it but with the
// minus sign and a no-break space: "−1 1/2", "−1/20", "6".
inline std::string printedValue(const Rational &x)
{
    const std::string written = WriteValue(x).text();
    std::string text;
    for (const char c : written) {
        if (c == '-')
            text += MinusSign;
        else if (c == ' ')
            text += NoBreakSpace;
        else
            text += c;
    }
    return text;
}
