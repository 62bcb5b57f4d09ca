// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/diagnosis.h"

#include "fraction/written_form.h"

#include "fraction/typeset.h"

#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Every text the pupil reads. {1}, {2}, {3} are replaced by numbers printed
// as typeset.h prints them.
namespace Text {
constexpr std::string_view Right = "Всё сделано верно.";
constexpr std::string_view RightSignTwiceNegative = "Ответ верный. Только минус пишут один раз, в клетке целой части.";
constexpr std::string_view RightSignTwicePositive =
    "Ответ верный. Только у положительного числа знак не пишут: два минуса здесь лишние.";
constexpr std::string_view NoAnswer = "Ответ не записан. Вот как решается этот пример.";

constexpr std::string_view SignTwiceNegative =
    "Ответ найден верно, но минус записан дважды: его пишут один раз, в клетке целой части.";
constexpr std::string_view SignTwicePositive =
    "Ответ найден верно, но минус записан дважды: у положительного числа знак не пишут.";
constexpr std::string_view SignTwiceOther =
    "Минус записан дважды: его пишут один раз, в клетке целой части. Сравните своё решение с образцом.";
constexpr std::string_view MinusZero =
    "Ответ найден верно, но в клетке целой части пишут только знак минус, без нуля и пробелов.";
constexpr std::string_view MinusOnDenominator =
    "Ответ найден верно, но минус записан в знаменателе: знак числа пишут в клетке целой части.";
constexpr std::string_view MinusOnNumerator =
    "Ответ найден верно, но минус записан в числителе: у смешанного числа знак пишут перед целой частью.";
// Added to another explanation when the sign was also written in a way the
// check does not read as meant.
constexpr std::string_view NoteSignTwice = " Минус пишут один раз, в клетке целой части.";
constexpr std::string_view NoteMinusZero = " В клетке целой части пишут только знак минус, без нуля и пробелов.";
constexpr std::string_view NoteMinusOnDenominator = " Минус пишут в клетке целой части, а не в знаменателе.";
constexpr std::string_view NoteMinusOnNumerator = " У смешанного числа минус пишут перед целой частью.";

constexpr std::string_view NotReduced = "Ответ найден верно, но дробь не сокращена. Сократите её на {1}: {2} = {3}.";
constexpr std::string_view ZeroFraction = "Ответ найден верно, но дробная часть равна нулю: запишите целое число {1}.";
constexpr std::string_view WholeNumber = "Ответ найден верно, но запишите ответ целым числом: {1} = {2}.";
constexpr std::string_view WholeNotTakenOut =
    "Ответ найден верно, но дробь неправильная, выделите целую часть: {1} = {2}.";
constexpr std::string_view WholeNotTakenOutNorReduced =
    "Ответ найден верно, но дробь неправильная и не сокращена, сократите её и выделите целую часть: {1} = {2}.";
constexpr std::string_view WholeNotTakenOutFully =
    "Ответ найден верно, но целая часть выделена не полностью: дробь {1} неправильная. Должно быть: {2} = {3}.";

constexpr std::string_view ProductPositive = "Ошибка в знаке: множители одного знака, поэтому произведение положительное.";
constexpr std::string_view ProductNegative = "Ошибка в знаке: множители разных знаков, поэтому произведение отрицательное.";
constexpr std::string_view QuotientPositive =
    "Ошибка в знаке: делимое и делитель одного знака, поэтому частное положительное.";
constexpr std::string_view QuotientNegative =
    "Ошибка в знаке: делимое и делитель разных знаков, поэтому частное отрицательное.";

constexpr std::string_view MultipliedInstead =
    "Здесь деление, а выполнено умножение. Чтобы разделить, делимое умножают на {1}.";
constexpr std::string_view ReciprocalNumber = "число, обратное делителю";
constexpr std::string_view ReciprocalFraction = "дробь, обратную делителю";
constexpr std::string_view DividendWholeTurnedOver =
    "Перевёрнуто не то число: обратным числом заменяют делитель, а делимое оставляют как есть.";
constexpr std::string_view DividendTurnedOver =
    "Перевёрнута не та дробь: обратной дробью заменяют делитель, а делимое оставляют как есть.";
constexpr std::string_view BothTurnedOver =
    "Перевёрнуты и делимое, и делитель: обратным числом заменяют только делитель, а делимое оставляют как есть.";
constexpr std::string_view OppositeForReciprocal =
    "Вместо числа, обратного делителю, взято противоположное: число, обратное {1}, равно {2}.";
constexpr std::string_view Swapped = "Числитель и знаменатель поменялись местами: записано число, обратное ответу.";
constexpr std::string_view DividedInstead =
    "Здесь умножение, а выполнено деление. Чтобы умножить дроби, числитель умножают на числитель, а знаменатель — на "
    "знаменатель.";
constexpr std::string_view CommonDenominator =
    "При умножении дробей общий знаменатель не нужен: числитель умножают на числитель, а знаменатель — на "
    "знаменатель.";
constexpr std::string_view DenominatorKept =
    "Знаменатели тоже перемножают: делимое умножают на число, обратное делителю, — числитель на числитель, а "
    "знаменатель на знаменатель.";
constexpr std::string_view AddedBoth =
    "Здесь умножение, а числители и знаменатели сложены. Чтобы умножить дроби, числитель умножают на числитель, а "
    "знаменатель — на знаменатель.";
constexpr std::string_view AddedDenominators =
    "Знаменатели сложены, а их перемножают: чтобы умножить дроби, числитель умножают на числитель, а знаменатель — "
    "на знаменатель.";
constexpr std::string_view WholeInFractionBoxes =
    "Ответ — целое число {1}: его пишут только в клетке целой части, а клетки дроби оставляют пустыми.";
constexpr std::string_view FractionOfOne = " Дробь {1} равна 1, поэтому записано число {2}.";
constexpr std::string_view PartsMultipliedOne =
    "Целую и дробную части смешанного числа нельзя умножать по отдельности. Сначала запишите смешанное число в виде "
    "неправильной дроби.";
constexpr std::string_view PartsMultipliedBoth =
    "Целые и дробные части нельзя умножать по отдельности. Сначала запишите смешанные числа в виде неправильных "
    "дробей.";
constexpr std::string_view PartsDividedOne =
    "Целую и дробную части смешанного числа нельзя делить по отдельности. Сначала запишите смешанное число в виде "
    "неправильной дроби.";
constexpr std::string_view PartsDividedBoth =
    "Целые и дробные части нельзя делить по отдельности. Сначала запишите смешанные числа в виде неправильных дробей.";
constexpr std::string_view MixedToImproperOne = "Смешанное число переведено в неправильную дробь неверно: {1}.";
constexpr std::string_view MixedToImproperBoth = "Смешанные числа переведены в неправильные дроби неверно: {1}.";
constexpr std::string_view WholePartLost = "Потеряна целая часть: записана только дробная часть числа {1}.";
constexpr std::string_view WrongWholePart = "Целая часть выделена неверно: {1} = {2}.";
constexpr std::string_view WrongRemainder =
    "Целая часть выделена неверно: в числителе дробной части пишут остаток от деления {1} на {2}, а знаменатель "
    "оставляют прежним: {3} = {4}.";
constexpr std::string_view OnlyWholePart = "Записана только целая часть, а дробная потеряна: {1} = {2}.";
constexpr std::string_view ReducedWrongly =
    "Дробь сокращена неверно: числитель и знаменатель делят на одно и то же число, здесь на {1}: {2} = {3}.";
constexpr std::string_view SlipNumerators =
    "Ход решения верный, но в вычислениях ошибка: проверьте произведение числителей {1}.";
// The whole part and the denominator right, the numerator not: the product
// or the remainder.
constexpr std::string_view SlipNumeratorsOrRemainder =
    "Ход решения верный, но в вычислениях ошибка: проверьте произведение числителей {1} и остаток от деления {2} на "
    "{3}.";
constexpr std::string_view SlipDenominators =
    "Ход решения верный, но в вычислениях ошибка: проверьте произведение знаменателей {1}.";
constexpr std::string_view SlipProduct = "Ход решения верный, но в вычислениях ошибка: проверьте произведение {1}.";
constexpr std::string_view Other = "Сравните своё решение с образцом.";
} // namespace Text

constexpr std::string_view DivideSign = " : ";
constexpr std::string_view MultiplySign = " \u00B7 ";

std::string fill(std::string_view pattern, std::initializer_list<std::string> values)
{
    std::string text(pattern);
    char key[] = "{1}";
    for (const std::string &value : values) {
        if (const size_t at = text.find(key); at != std::string::npos)
            text.replace(at, 3, value);
        ++key[1];
    }
    return text;
}

std::string times(int64_t x, int64_t y) { return std::to_string(x) + std::string(MultiplySign) + std::to_string(y); }

// A second factor or divisor below zero is set off in parentheses.
std::string secondOperand(const std::string &text, const Rational &x) { return x.sign() < 0 ? "(" + text + ")" : text; }

bool isMixedNumber(const Rational &x) { return x.wholeOfMagnitude() != 0 && x.fractionOfMagnitude() != 0; }
bool isWhole(const Rational &x) { return x.den() == 1; }

// One task: its operands, its exact result, and the two products the
// textbook writes before cancelling: numerators over denominators of the
// first operand and of the factor (the second operand, or its reciprocal in
// a division).
struct Task {
    Rational a, b;
    bool divides = false;
    Rational factor, exact;
    int64_t productNum = 0, productDen = 1;

    Task(const Rational &first, const Rational &second, Operation operation)
        : a(first), b(second), divides(operation == Operation::Divide), factor(divides ? b.reciprocal() : b),
          exact(a * factor), productNum(std::abs(a.num() * factor.num())), productDen(a.den() * factor.den())
    {
    }
    std::optional<Rational> apply(const Rational &x, const Rational &y) const
    {
        if (divides && y == 0)
            return std::nullopt;
        return divides ? x / y : x * y;
    }
};

// How the pupil wrote the sign, where it differs from the window's way.
enum class SignWriting { AsTheWindow, Twice, MinusZero, OnDenominator, OnNumeratorBesideWhole };

// The pupil's boxes: magnitudes as typed, the value meant and how the sign
// was written. Two minuses with one of them in the whole-part box mean a
// negative answer, though the check reads them as a positive one.
struct Typed {
    int64_t whole = 0, num = 0, den = 1;
    Rational read, meant;
    SignWriting sign = SignWriting::AsTheWindow;
};

std::optional<Typed> readTyped(const AnswerTexts &texts)
{
    const auto record = ReadRecord(texts.num, texts.den, texts.whole);
    if (!record || record->Den == 0)
        return std::nullopt;
    const int16_t numField = *ReadField(texts.num);
    const size_t first = texts.whole.find_first_not_of(' ');
    const bool wholeMinus = first != std::string_view::npos && texts.whole[first] == '-';
    const bool numMinus = numField < 0, denMinus = record->Den < 0;

    Typed t;
    t.whole = std::abs(int64_t(record->Whole));
    t.num = std::abs(int64_t(numField));
    t.den = std::abs(int64_t(record->Den));
    const Rational magnitude(t.whole * t.den + t.num, t.den);
    t.read = *Rational::of(*record);
    t.meant = t.read;
    if (wholeMinus && (numMinus || denMinus)) {
        t.sign = SignWriting::Twice;
        t.meant = -magnitude;
    } else if (numMinus && denMinus) {
        t.sign = SignWriting::Twice;
    } else if (wholeMinus && texts.whole != "-" && record->Whole == 0) {
        t.sign = SignWriting::MinusZero;
        t.meant = -magnitude;
    } else if (denMinus) {
        t.sign = SignWriting::OnDenominator;
    } else if (numMinus && record->Whole != 0) {
        t.sign = SignWriting::OnNumeratorBesideWhole;
    }
    return t;
}

struct Found {
    Mistake mistake;
    std::string explanation;
};

std::string_view signNote(SignWriting sign)
{
    switch (sign) {
    case SignWriting::AsTheWindow: return {};
    case SignWriting::Twice: return Text::NoteSignTwice;
    case SignWriting::MinusZero: return Text::NoteMinusZero;
    case SignWriting::OnDenominator: return Text::NoteMinusOnDenominator;
    case SignWriting::OnNumeratorBesideWhole: return Text::NoteMinusOnNumerator;
    }
    return {};
}

// The typed magnitudes as one line: "1 4/3", "9/6", "3 0/5".
std::string typedText(const Typed &t, int sign)
{
    std::string text = sign < 0 ? std::string(MinusSign) : std::string();
    if (t.whole != 0)
        text += std::to_string(t.whole) + std::string(NoBreakSpace);
    return text + std::to_string(t.num) + "/" + std::to_string(t.den);
}

// The right value, written in a form the grading does not accept.
Found formMistake(const Typed &t, const Rational &exact)
{
    const Rational fraction = exact.fractionOfMagnitude();
    if (t.whole == exact.wholeOfMagnitude() && t.num == fraction.num() && t.den == fraction.den()) {
        switch (t.sign) {
        case SignWriting::Twice:
            return {Mistake::SignTwice,
                    std::string(exact.sign() < 0 ? Text::SignTwiceNegative : Text::SignTwicePositive)};
        case SignWriting::MinusZero: return {Mistake::SignMisplaced, std::string(Text::MinusZero)};
        case SignWriting::OnDenominator: return {Mistake::SignMisplaced, std::string(Text::MinusOnDenominator)};
        case SignWriting::OnNumeratorBesideWhole:
            return {Mistake::SignMisplaced, std::string(Text::MinusOnNumerator)};
        case SignWriting::AsTheWindow: break;
        }
        return {Mistake::Other, std::string(Text::Other)};
    }
    const std::string typed = typedText(t, exact.sign()), answer = printedValue(exact);
    const int64_t common = std::gcd(t.num, t.den);
    Found found{Mistake::Other, std::string(Text::Other)};
    if (t.num == 0)
        found = {Mistake::NotReduced, fill(Text::ZeroFraction, {answer})};
    else if (t.num >= t.den && t.whole != 0)
        found = {Mistake::WholeTakenOutWrongly,
                 fill(Text::WholeNotTakenOutFully, {printedFraction(t.num, t.den), typed, answer})};
    else if (t.num >= t.den && isWhole(exact))
        found = {Mistake::WholeNotTakenOut, fill(Text::WholeNumber, {typed, answer})};
    else if (t.num >= t.den)
        found = {Mistake::WholeNotTakenOut,
                 fill(common > 1 ? Text::WholeNotTakenOutNorReduced : Text::WholeNotTakenOut, {typed, answer})};
    else if (common > 1)
        found = {Mistake::NotReduced, fill(Text::NotReduced, {std::to_string(common), printedFraction(t.num, t.den),
                                                              printedFraction(t.num / common, t.den / common)})};
    found.explanation += signNote(t.sign);
    return found;
}

} // namespace

// The wrong ways of making a mixed number improper: (w + n)/d, w·n/d, the
// whole part left out, the minus taken for the whole part only (−1 2/5 as
// −1 + 2/5). Nothing for a number that is not mixed.
std::optional<Rational> MixedConvertedWrongly(const Rational &x, int way)
{
    if (!isMixedNumber(x))
        return std::nullopt;
    const int64_t w = x.wholeOfMagnitude();
    const Rational f = x.fractionOfMagnitude();
    const int s = x.sign();
    switch (way) {
    case 0: return Rational(s * (w + f.num()), f.den());
    case 1: return Rational(s * w * f.num(), f.den());
    case 2: return f * s;
    case 3: return s < 0 ? std::optional<Rational>(Rational(-w) + f) : std::nullopt;
    }
    return std::nullopt;
}

namespace {

// "−1 2/5 = −(1 · 5 + 2)/5 = −7/5".
std::string conversion(const Rational &x)
{
    const Rational f = x.fractionOfMagnitude();
    const std::string sign = x.sign() < 0 ? std::string(MinusSign) : std::string();
    return printedValue(x) + " = " + sign + "(" + times(x.wholeOfMagnitude(), f.den()) + " + " +
           std::to_string(f.num()) + ")/" + std::to_string(f.den()) + " = " + printedImproper(x);
}

// A pupil who makes mixed numbers improper the wrong way does it so with
// every mixed operand.
std::optional<Found> mixedConvertedWrongly(const Task &task, const Typed &t)
{
    for (int way = 0; way < MixedWrongConversions; ++way) {
        const auto a = MixedConvertedWrongly(task.a, way), b = MixedConvertedWrongly(task.b, way);
        if (!a && !b)
            continue;
        const auto result = task.apply(a.value_or(task.a), b.value_or(task.b));
        if (!result || *result != t.meant)
            continue;
        std::string conversions = a ? conversion(task.a) : std::string();
        if (b)
            conversions += (a ? ", " : "") + conversion(task.b);
        return Found{Mistake::MixedToImproper,
                     fill(a && b ? Text::MixedToImproperBoth : Text::MixedToImproperOne, {conversions})};
    }
    return std::nullopt;
}

// Whole parts multiplied (or divided) together and fractional parts
// together, as a pupil does who skips the improper fractions. An operand
// without whole part leaves the other's whole part as it is. The sign is the
// result's.
std::optional<Rational> partsSeparately(const Task &task)
{
    const Rational &a = task.a, &b = task.b;
    const Rational fa = a.fractionOfMagnitude(), fb = b.fractionOfMagnitude();
    if (fa == 0 || fb == 0 || (!isMixedNumber(a) && !isMixedNumber(b)) || (task.divides && !isMixedNumber(a)))
        return std::nullopt;
    const Rational wa = a.wholeOfMagnitude(), wb = b.wholeOfMagnitude();
    const Rational wholes = wa == 0 ? wb : wb == 0 ? wa : task.divides ? wa / wb : wa * wb;
    const Rational magnitude = wholes + (task.divides ? fa / fb : fa * fb);
    return task.exact.sign() < 0 ? -magnitude : magnitude;
}

std::optional<Found> partsApart(const Task &task, const Typed &t)
{
    if (t.meant != partsSeparately(task))
        return std::nullopt;
    const bool both = isMixedNumber(task.a) && isMixedNumber(task.b);
    return Found{task.divides ? Mistake::PartsDividedSeparately : Mistake::PartsMultipliedSeparately,
                 std::string(task.divides ? (both ? Text::PartsDividedBoth : Text::PartsDividedOne)
                                          : (both ? Text::PartsMultipliedBoth : Text::PartsMultipliedOne))};
}

// Habits of adding fractions in a multiplication: a common denominator found
// first and the numerators multiplied over it, or the numerators multiplied
// over one of the denominators or over the common one. In a division, the
// numerators of the dividend and of the divisor's reciprocal multiplied over
// one of their denominators.
std::optional<Found> commonDenominatorHabit(const Task &task, const Typed &t)
{
    const int64_t numerators = task.a.num() * task.factor.num();
    if (task.divides) {
        for (const Rational &kept : {Rational(numerators, task.a.den()), Rational(numerators, task.factor.den())}) {
            if (kept != task.exact && kept == t.meant)
                return Found{Mistake::CommonDenominator, std::string(Text::DenominatorKept)};
        }
        return std::nullopt;
    }
    const int64_t da = task.a.den(), db = task.b.den(), common = std::lcm(da, db);
    for (const Rational &candidate :
         {Rational(task.a.num() * (common / da) * task.b.num() * (common / db), common), Rational(numerators, da),
          Rational(numerators, db), Rational(numerators, common)}) {
        if (candidate != task.exact && candidate == t.meant)
            return Found{Mistake::CommonDenominator, std::string(Text::CommonDenominator)};
    }
    return std::nullopt;
}

// A multiplication done as an addition: numerators and denominators added,
// or the denominators added under the product of the numerators.
std::optional<Found> addedInstead(const Task &task, const Typed &t)
{
    if (task.divides)
        return std::nullopt;
    const int64_t x = std::abs(task.a.num()), y = std::abs(task.b.num()), dens = task.a.den() + task.b.den();
    const int s = task.exact.sign();
    if (const Rational both(s * (x + y), dens); both != task.exact && both == t.meant)
        return Found{Mistake::AddedInstead, std::string(Text::AddedBoth)};
    if (const Rational denominators(s * x * y, dens); denominators != task.exact && denominators == t.meant)
        return Found{Mistake::AddedInstead, std::string(Text::AddedDenominators)};
    return std::nullopt;
}

// The numerator and the denominator of the product divided by different
// common divisors, or only one of them divided; where the answer is not
// whole, also one of them by a common divisor and the other by another
// number (12/15 as 6/5: 12 by 2, 15 by 3).
std::optional<Found> reducedWrongly(const Task &task, int64_t p, int64_t q)
{
    const int64_t n = task.productNum, d = task.productDen, common = std::gcd(n, d);
    if (common == 1 || p == 0 || n % p != 0 || d % q != 0)
        return std::nullopt;
    const int64_t byNum = n / p, byDen = d / q;
    if (byNum == byDen || (common % byNum != 0 && common % byDen != 0)
        || ((common % byNum != 0 || common % byDen != 0) && isWhole(task.exact)))
        return std::nullopt;
    const int s = task.exact.sign();
    return Found{Mistake::ReducedWrongly, fill(Text::ReducedWrongly, {std::to_string(common), printedFraction(s * n, d),
                                                                      printedFraction(s * n / common, d / common)})};
}

// A product x · y worked out as `typed`: off by a little (at most 2, or a
// fifth), or one factor taken one or two too many or too few (7 · 5 for 7 · 4).
bool slipped(int64_t typed, int64_t x, int64_t y)
{
    const int64_t right = x * y, off = std::abs(typed - right);
    if (typed <= 0 || off == 0)
        return false;
    return off <= std::max<int64_t>(2, right / 5) || (x > 1 && off % x == 0 && off <= 2 * x)
           || (y > 1 && off % y == 0 && off <= 2 * y);
}

// The factors the products are made of: numerators x · y over denominators
// u · w, as written before cancelling, or after cancelling crosswise.
struct Factors {
    int64_t x, y, u, w;
};

// Which product of `f` the value v (a magnitude) gets wrong while it keeps
// the other: 1 the numerators, 2 the denominators, 0 neither.
int slippedProduct(const Factors &f, const Rational &v)
{
    const int64_t n = f.x * f.y, d = f.u * f.w;
    if ((v.num() * d) % v.den() == 0 && slipped(v.num() * d / v.den(), f.x, f.y))
        return 1;
    if (d != 1 && (n * v.den()) % v.num() == 0 && slipped(n * v.den() / v.num(), f.u, f.w))
        return 2;
    return 0;
}

// One product miscalculated, the other right: before or after cancelling.
std::optional<Found> slip(const Task &task, const Typed &t)
{
    const Factors before{std::abs(task.a.num()), std::abs(task.factor.num()), task.a.den(), task.factor.den()};
    const int64_t g1 = std::gcd(before.x, before.w), g2 = std::gcd(before.y, before.u);
    const Factors after{before.x / g1, before.y / g2, before.u / g2, before.w / g1};
    const Rational v = t.meant.abs();
    int which = slippedProduct(before, v);
    if (which == 0)
        which = slippedProduct(after, v);
    const Rational &e = task.exact;
    if (which == 1 && isMixedNumber(e) && t.whole == e.wholeOfMagnitude() && t.den == e.den())
        return Found{Mistake::Slip, fill(Text::SlipNumeratorsOrRemainder, {times(before.x, before.y),
                                                                          std::to_string(e.abs().num()),
                                                                          std::to_string(e.den())})};
    if (which == 1)
        return Found{Mistake::Slip, fill(task.productDen == 1 ? Text::SlipProduct : Text::SlipNumerators,
                                         {times(before.x, before.y)})};
    if (which == 2)
        return Found{Mistake::Slip, fill(Text::SlipDenominators, {times(before.u, before.w)})};
    return std::nullopt;
}

// The products cancelled wrongly or miscalculated, in a value of the right sign.
std::optional<Found> productMistake(const Task &task, const Typed &t)
{
    if (t.meant.sign() != task.exact.sign() || task.exact == 0)
        return std::nullopt;
    if (auto found = reducedWrongly(task, t.whole * t.den + t.num, t.den))
        return found;
    return slip(task, t);
}

std::string_view reciprocalWords(const Rational &divisor)
{
    return isWhole(divisor) || isMixedNumber(divisor) ? Text::ReciprocalNumber : Text::ReciprocalFraction;
}

std::optional<Found> wrongSign(const Task &task, const Typed &t)
{
    if (t.meant != -task.exact)
        return std::nullopt;
    const bool positive = task.exact.sign() > 0;
    return Found{Mistake::WrongSign,
                 std::string(task.divides ? (positive ? Text::QuotientPositive : Text::QuotientNegative)
                                          : (positive ? Text::ProductPositive : Text::ProductNegative))};
}

// A division done wrongly: multiplied instead, or the wrong number turned over.
std::optional<Found> divisionMistake(const Task &task, const Typed &t)
{
    const Rational &v = t.meant, &a = task.a, &b = task.b;
    if (v == a * b)
        return Found{Mistake::MultipliedInstead, fill(Text::MultipliedInstead, {std::string(reciprocalWords(b))})};
    if (a != 0 && v == b / a)
        return Found{Mistake::WrongFractionTurnedOver,
                     std::string(isWhole(a) ? Text::DividendWholeTurnedOver : Text::DividendTurnedOver)};
    if (a != 0 && v == (a * b).reciprocal())
        return Found{Mistake::BothTurnedOver, std::string(Text::BothTurnedOver)};
    if (v == a * -b)
        return Found{Mistake::OppositeForReciprocal,
                     fill(Text::OppositeForReciprocal, {printedValue(b), printedValue(b.reciprocal())})};
    return std::nullopt;
}

// The other operation done: a division multiplied out in a wrong way, or a
// multiplication divided.
std::optional<Found> wrongOperation(const Task &task, const Typed &t)
{
    if (task.divides)
        return divisionMistake(task, t);
    if (task.b != 0 && t.meant == task.a / task.b)
        return Found{Mistake::DividedInstead, std::string(Text::DividedInstead)};
    return std::nullopt;
}

std::optional<Found> swapped(const Task &task, const Typed &t)
{
    if (task.exact == 0 || t.meant != task.exact.reciprocal())
        return std::nullopt;
    return Found{Mistake::Swapped, std::string(Text::Swapped)};
}

// A mixed result with its whole part lost, taken out wrongly, or alone.
std::optional<Found> wholePartMistake(const Task &task, const Typed &t)
{
    const Rational &v = t.meant, &e = task.exact;
    if (!isMixedNumber(e))
        return std::nullopt;
    const Rational fraction = e.fractionOfMagnitude();
    const int64_t whole = e.wholeOfMagnitude();
    const bool sameSign = v.sign() == e.sign();
    if (v.abs() == fraction)
        return Found{Mistake::WholePartLost, fill(Text::WholePartLost, {printedValue(e)})};
    if (sameSign && t.num != 0 && t.whole != 0 && t.whole != whole && Rational(t.num, t.den) == fraction)
        return Found{Mistake::WholeTakenOutWrongly, fill(Text::WrongWholePart, {printedImproper(e), printedValue(e)})};
    if (sameSign && t.num == 0 && t.whole == whole)
        return Found{Mistake::WholeTakenOutWrongly, fill(Text::OnlyWholePart, {printedImproper(e), printedValue(e)})};
    // The right whole part beside the numerator as it was (1 9/8 for 9/8), the
    // remainder over the numerator (1 1/8) or under the denominator (1 8/1).
    const int64_t n = e.abs().num(), d = e.den(), r = fraction.num();
    if (sameSign && t.whole == whole
        && (Rational(t.num, t.den) == e.abs() || (t.num == r && t.den == n) || (t.num == d && t.den == r)))
        return Found{Mistake::WholeTakenOutWrongly,
                     fill(Text::WrongRemainder,
                          {std::to_string(n), std::to_string(d), printedImproper(e), printedValue(e)})};
    return std::nullopt;
}

// The kinds of wrong value, tried in this order: the first that explains the
// value the pupil meant names the mistake.
using ValueCheck = std::optional<Found> (*)(const Task &, const Typed &);
constexpr ValueCheck ValueChecks[] = {
    wrongSign,        wrongOperation,   swapped,        partsApart, mixedConvertedWrongly, commonDenominatorHabit,
    addedInstead,     wholePartMistake, productMistake,
};

Found valueMistake(const Task &task, const Typed &t)
{
    for (const ValueCheck check : ValueChecks) {
        if (auto found = check(task, t))
            return *found;
    }
    return {Mistake::Other, std::string(Text::Other)};
}

// A whole answer with its whole part right and something in the fraction
// boxes as though they had to be filled: 1/1, n/n, 0/0.
std::optional<Found> wholeInFractionBoxes(const Task &task, const AnswerTexts &typed)
{
    const auto whole = ReadField(typed.whole), num = ReadField(typed.num), den = ReadField(typed.den);
    if (!isWhole(task.exact) || !whole || !num || !den || *whole != task.exact.num() || *num != *den || *num < 0)
        return std::nullopt;
    std::string explanation = fill(Text::WholeInFractionBoxes, {printedValue(task.exact)});
    if (*num != 0)
        explanation += fill(Text::FractionOfOne, {printedFraction(*num, *den),
                                                  printedValue(task.exact + task.exact.sign())});
    return Found{Mistake::WholeInFractionBoxes, std::move(explanation)};
}

Found classify(const Task &task, const AnswerTexts &typed)
{
    if (auto found = wholeInFractionBoxes(task, typed))
        return *found;
    const auto t = readTyped(typed);
    if (!t)
        return {Mistake::Other, std::string(Text::Other)};
    if (t->meant == task.exact)
        return formMistake(*t, task.exact);
    Found found = valueMistake(task, *t);
    if (t->sign != SignWriting::Twice)
        return found;
    if (found.mistake == Mistake::Other)
        return {Mistake::SignTwice, std::string(Text::SignTwiceOther)};
    found.explanation += Text::NoteSignTwice;
    return found;
}

} // namespace

std::string WorkedSolution(const Fraction &a, const Fraction &b, Operation operation)
{
    const auto va = Rational::of(a), vb = Rational::of(b);
    const bool divides = operation == Operation::Divide;
    if (!va || !vb || (divides && *vb == 0))
        return {};
    const Task task(*va, *vb, operation);
    const std::string sign(divides ? DivideSign : MultiplySign), times(MultiplySign);

    std::vector<std::string> terms;
    const auto add = [&terms](std::string term) {
        if (terms.empty() || terms.back() != term)
            terms.push_back(std::move(term));
    };
    // The task, then its mixed numbers made improper, then a division turned
    // into a multiplication by the divisor's reciprocal.
    add(printedValue(*va) + sign + secondOperand(printedValue(*vb), *vb));
    add(printedImproper(*va) + sign + secondOperand(printedImproper(*vb), *vb));
    add(printedImproper(*va) + times + secondOperand(printedImproper(task.factor), task.factor));
    // The sign is decided first: two negative factors give a positive product.
    if (va->sign() < 0 && task.factor.sign() < 0)
        add(printedImproper(va->abs()) + times + printedImproper(task.factor.abs()));
    // Products written out, not multiplied, when they cancel.
    const int64_t da = va->den(), df = task.factor.den();
    if (std::gcd(task.productNum, task.productDen) > 1 && task.productDen != 1) {
        const std::string num = "(" + std::to_string(std::abs(va->num())) + times +
                                std::to_string(std::abs(task.factor.num())) + ")";
        const std::string den = da != 1 && df != 1 ? "(" + std::to_string(da) + times + std::to_string(df) + ")"
                                                   : std::to_string(da * df);
        add((task.exact.sign() < 0 ? std::string(MinusSign) : std::string()) + num + "/" + den);
    }
    add(printedImproper(task.exact));
    add(printedValue(task.exact));

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
        // Two minuses the check happened to read as meant.
        const auto t = readTyped(typed);
        if (t && t->sign == SignWriting::Twice)
            diagnosis.explanation = t->read.sign() < 0 ? Text::RightSignTwiceNegative : Text::RightSignTwicePositive;
    } else if (boxesWereEmpty) {
        diagnosis.mistake = Mistake::NoAnswer;
        diagnosis.explanation = Text::NoAnswer;
    } else if (diagnosis.solution.empty()) {
        diagnosis.mistake = Mistake::Other;
        diagnosis.explanation = Text::Other;
    } else {
        Found found = classify(Task(*Rational::of(a), *Rational::of(b), operation), typed);
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
    {Mistake::SignTwice, "sign-twice", "Минус записан дважды"},
    {Mistake::SignMisplaced, "sign-misplaced", "Минус записан не в той клетке"},
    {Mistake::Slip, "slip", "Ошибка в вычислениях"},
    {Mistake::MixedToImproper, "mixed-to-improper", "Смешанное число переведено в дробь неверно"},
    {Mistake::WholeTakenOutWrongly, "whole-taken-out-wrongly", "Целая часть выделена неверно"},
    {Mistake::ReducedWrongly, "reduced-wrongly", "Дробь сокращена неверно"},
    {Mistake::PartsDividedSeparately, "parts-divided-separately", "Целые и дробные части разделены отдельно"},
    {Mistake::BothTurnedOver, "both-turned-over", "Перевёрнуты делимое и делитель"},
    {Mistake::OppositeForReciprocal, "opposite-for-reciprocal", "Противоположное число вместо обратного"},
    {Mistake::CommonDenominator, "common-denominator", "Общий знаменатель при умножении"},
    {Mistake::DividedInstead, "divided-instead", "Деление вместо умножения"},
    {Mistake::WholeInFractionBoxes, "whole-in-fraction-boxes", "Целое число записано в клетках дроби"},
    {Mistake::AddedInstead, "added-instead", "Сложение вместо умножения"},
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

std::string_view MistakeTitle(Mistake mistake)
{
    return infoOf(mistake).title;
}
