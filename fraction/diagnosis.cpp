// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/diagnosis.h"

#include <cstdlib>
#include <iterator>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Every text the pupil reads. {1} and {2} are replaced by numbers written as
// the window writes them.
namespace Text {
constexpr std::string_view Right = "Всё сделано верно.";
constexpr std::string_view NoAnswer = "Ответ не записан. Вот как решается этот пример.";
constexpr std::string_view NotReduced = "Значение верное, но дробь не сокращена: сократите {1} на {2}.";
constexpr std::string_view WholeNotTakenOut =
    "Значение верное, но в ответе неправильная дробь: выделите целую часть, {1} = {2}.";
constexpr std::string_view WholeNotTakenOutNorReduced =
    "Значение верное, но в ответе неправильная дробь: сократите её и выделите целую часть, {1} = {2}.";
constexpr std::string_view WrongSignSameSigns = "Ошибка в знаке: у чисел одинаковые знаки, поэтому ответ положительный.";
constexpr std::string_view WrongSignDifferentSigns = "Ошибка в знаке: у чисел разные знаки, поэтому ответ отрицательный.";
constexpr std::string_view MultipliedInstead =
    "Вы умножили, а нужно было разделить. Чтобы разделить на дробь, умножьте делимое на дробь, обратную делителю.";
constexpr std::string_view WrongFractionTurnedOver =
    "Перевёрнута не та дробь: обратной дробью заменяют делитель, а делимое оставляют как есть.";
constexpr std::string_view Swapped = "Числитель и знаменатель поменялись местами: записана обратная дробь.";
constexpr std::string_view PartsMultipliedSeparately =
    "Целые и дробные части нельзя умножать по отдельности. Сначала запишите смешанные числа в виде неправильных дробей.";
constexpr std::string_view WholePartLost = "Потеряна целая часть: записана только дробная часть смешанного числа {1}.";
constexpr std::string_view Other = "Сравните своё решение с образцом.";
} // namespace Text

constexpr std::string_view DivideSign = " : ";
constexpr std::string_view MultiplySign = " · ";

std::string fill(std::string_view pattern, const std::string &first, const std::string &second = {})
{
    std::string text(pattern);
    if (const size_t at = text.find("{1}"); at != std::string::npos)
        text.replace(at, 3, first);
    if (const size_t at = text.find("{2}"); at != std::string::npos)
        text.replace(at, 3, second);
    return text;
}

// num/den as it stands, unreduced, the sign in front: "-9/2", "3/1".
std::string fractionText(int64_t num, int64_t den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return std::to_string(num) + "/" + std::to_string(den);
}

std::string improperText(const Rational &x) { return fractionText(x.num(), x.den()); }

// A second factor or divisor below zero is set off in parentheses.
std::string secondOperand(std::string text, const Rational &x) { return x.sign() < 0 ? "(" + text + ")" : text; }

// The pupil's record written with magnitudes as typed and the sign of its
// value: "1 4/3", "-14/6".
std::string typedText(const Fraction &f, const Rational &value)
{
    const int64_t whole = std::abs(int64_t(f.Whole));
    std::string text = value.sign() < 0 ? "-" : "";
    if (whole != 0)
        text += std::to_string(whole) + " ";
    return text + fractionText(std::abs(int64_t(f.Num)), std::abs(int64_t(f.Den)));
}

bool isMixedNumber(const Rational &x) { return x.wholeOfMagnitude() != 0 && x.fractionOfMagnitude() != 0; }

// Whole parts multiplied together and fractional parts together, as a pupil
// does it who skips the improper fractions. Nothing when it does not apply.
std::optional<Rational> partsMultipliedSeparately(const Rational &a, const Rational &b)
{
    if (a.fractionOfMagnitude() == 0 || b.fractionOfMagnitude() == 0 || (!isMixedNumber(a) && !isMixedNumber(b)))
        return std::nullopt;
    const int64_t wa = a.wholeOfMagnitude(), wb = b.wholeOfMagnitude();
    const int64_t wholes = wa == 0 ? wb : wb == 0 ? wa : wa * wb;
    const Rational magnitude = Rational(wholes) + a.fractionOfMagnitude() * b.fractionOfMagnitude();
    return a.sign() * b.sign() < 0 ? -magnitude : magnitude;
}

struct Found {
    Mistake mistake;
    std::string explanation;
};

// The right value written in a form the grading does not accept.
Found formMistake(const Fraction &record, const Rational &exact)
{
    const int64_t n = std::abs(int64_t(record.Num)), d = std::abs(int64_t(record.Den));
    const int64_t common = std::gcd(n, d);
    if (n < d && common > 1)
        return {Mistake::NotReduced, fill(Text::NotReduced, fractionText(n, d), std::to_string(common))};
    if (n >= d)
        return {Mistake::WholeNotTakenOut, fill(common > 1 ? Text::WholeNotTakenOutNorReduced : Text::WholeNotTakenOut,
                                                typedText(record, exact), WrittenValue(exact))};
    return {Mistake::Other, std::string(Text::Other)};
}

Found classify(const Rational &a, const Rational &b, Operation operation, const Rational &exact,
               const AnswerTexts &typed)
{
    const auto record = ReadRecord(typed.num, typed.den, typed.whole);
    const auto value = record ? Rational::of(*record) : std::nullopt;
    if (!value)
        return {Mistake::Other, std::string(Text::Other)};
    const Rational &v = *value;
    if (v == exact)
        return formMistake(*record, exact);
    if (v == -exact)
        return {Mistake::WrongSign,
                std::string(a.sign() * b.sign() > 0 ? Text::WrongSignSameSigns : Text::WrongSignDifferentSigns)};
    if (operation == Operation::Divide) {
        if (v == a * b)
            return {Mistake::MultipliedInstead, std::string(Text::MultipliedInstead)};
        if (a != 0 && v == b / a)
            return {Mistake::WrongFractionTurnedOver, std::string(Text::WrongFractionTurnedOver)};
    }
    if (exact != 0 && v == exact.reciprocal())
        return {Mistake::Swapped, std::string(Text::Swapped)};
    if (operation == Operation::Multiply && v == partsMultipliedSeparately(a, b))
        return {Mistake::PartsMultipliedSeparately, std::string(Text::PartsMultipliedSeparately)};
    if (isMixedNumber(exact) && v.abs() == exact.fractionOfMagnitude())
        return {Mistake::WholePartLost, fill(Text::WholePartLost, WrittenValue(exact))};
    return {Mistake::Other, std::string(Text::Other)};
}

} // namespace

std::string WrittenValue(const Rational &x)
{
    const int64_t whole = x.wholeOfMagnitude();
    const Rational fraction = x.fractionOfMagnitude();
    std::string text = x.sign() < 0 ? "-" : "";
    if (whole != 0 || fraction == 0)
        text += std::to_string(whole);
    if (fraction != 0)
        text += (whole != 0 ? " " : "") + improperText(fraction);
    return text;
}

std::string WorkedSolution(const Fraction &a, const Fraction &b, Operation operation)
{
    const auto va = Rational::of(a), vb = Rational::of(b);
    const bool divides = operation == Operation::Divide;
    if (!va || !vb || (divides && *vb == 0))
        return {};
    const Rational factor = divides ? vb->reciprocal() : *vb;

    std::vector<std::string> terms;
    const auto add = [&terms](std::string term) {
        if (terms.empty() || terms.back() != term)
            terms.push_back(std::move(term));
    };
    add(WrittenValue(*va) + std::string(divides ? DivideSign : MultiplySign) + secondOperand(WrittenValue(*vb), *vb));
    add(improperText(*va) + std::string(MultiplySign) + secondOperand(improperText(factor), factor));
    // The operands are in lowest terms, so their products fit easily.
    const int64_t num = va->num() * factor.num(), den = va->den() * factor.den();
    add(fractionText(num, den));
    const Rational result = *va * factor;
    if (result.den() != 1)
        add(improperText(result));
    add(WrittenValue(result));

    std::string text;
    for (const std::string &term : terms)
        text += (text.empty() ? "" : " = ") + term;
    return text;
}

Diagnosis DiagnoseAnswer(const Fraction &a, const Fraction &b, Operation operation, const AnswerTexts &typed,
                         bool boxesWereEmpty, bool gradedRight)
{
    Diagnosis diagnosis;
    diagnosis.solution = WorkedSolution(a, b, operation);
    if (gradedRight) {
        diagnosis.mistake = Mistake::Right;
        diagnosis.explanation = Text::Right;
    } else if (boxesWereEmpty) {
        diagnosis.mistake = Mistake::NoAnswer;
        diagnosis.explanation = Text::NoAnswer;
    } else if (diagnosis.solution.empty()) {
        diagnosis.mistake = Mistake::Other;
        diagnosis.explanation = Text::Other;
    } else {
        const Rational va = *Rational::of(a), vb = *Rational::of(b);
        const Rational exact = operation == Operation::Divide ? va / vb : va * vb;
        Found found = classify(va, vb, operation, exact, typed);
        diagnosis.mistake = found.mistake;
        diagnosis.explanation = std::move(found.explanation);
    }
    return diagnosis;
}

namespace {

struct MistakeInfo {
    Mistake mistake;
    std::string_view name;
    std::string_view title;
};

constexpr MistakeInfo Mistakes[] = {
    {Mistake::Right, "", "Верно"},
    {Mistake::NoAnswer, "no-answer", "Ответ не записан"},
    {Mistake::NotReduced, "not-reduced", "Дробь не сокращена"},
    {Mistake::WholeNotTakenOut, "whole-not-taken-out", "Не выделена целая часть"},
    {Mistake::WrongSign, "wrong-sign", "Ошибка в знаке"},
    {Mistake::MultipliedInstead, "multiplied-instead", "Умножение вместо деления"},
    {Mistake::WrongFractionTurnedOver, "wrong-fraction-turned-over", "Перевёрнута не та дробь"},
    {Mistake::Swapped, "swapped", "Записана обратная дробь"},
    {Mistake::PartsMultipliedSeparately, "parts-multiplied-separately", "Целые и дробные части умножены отдельно"},
    {Mistake::WholePartLost, "whole-part-lost", "Потеряна целая часть"},
    {Mistake::Other, "other", "Другая ошибка"},
};

const MistakeInfo &infoOf(Mistake mistake)
{
    for (const MistakeInfo &info : Mistakes) {
        if (info.mistake == mistake)
            return info;
    }
    return Mistakes[std::size(Mistakes) - 1];
}

} // namespace

std::string_view MistakeName(Mistake mistake)
{
    return infoOf(mistake).name;
}

std::optional<Mistake> MistakeFromName(std::string_view name)
{
    for (const MistakeInfo &info : Mistakes) {
        if (info.name == name)
            return info.mistake;
    }
    return std::nullopt;
}

std::string_view MistakeTitle(Mistake mistake)
{
    return infoOf(mistake).title;
}
