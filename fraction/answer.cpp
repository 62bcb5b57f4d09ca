// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/answer.h"

#include "runtime/checked16.h"
#include "runtime/val.h"

std::optional<int16_t> ReadField(std::string_view text)
{
    return roundToInt16(Val(text));
}

std::optional<Fraction> ReadRecord(std::string_view numText, std::string_view denText,
                                   std::string_view wholeText)
{
    const auto num = ReadField(numText);
    const auto den = ReadField(denText);
    if (!num || !den)
        return std::nullopt;
    Fraction f{*num, *den, 0};
    if (wholeText == "-") {
        f.Num = neg16(f.Num);
        return f;
    }
    const auto whole = ReadField(wholeText);
    if (!whole)
        return std::nullopt;
    f.Whole = *whole;
    return f;
}

bool AnswerIsRight(const AnswerTexts &typed, const AnswerTexts &correct)
{
    const auto answer = ReadRecord(correct.num, correct.den, correct.whole);
    if (!answer)
        throw OverflowError();
    const auto pupil = ReadRecord(typed.num, typed.den, typed.whole);
    return pupil && *pupil == *answer;
}
