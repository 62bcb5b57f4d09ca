// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/practice_tasks.h"

#include "fraction/rational.h"
#include "fraction/typeset.h"
#include "fraction/written_form.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <set>
#include <utility>

namespace {

// Each row's own kind of task: its title and the rule that solves it.
struct RowTopicText {
    std::string_view title;
    std::string_view rule;
};

constexpr std::array<RowTopicText, RowCount> RowTopics{{
    {"Умножение дробей с разными знаками",
     "Перемножьте числители и знаменатели; произведение чисел разных знаков отрицательно."},
    {"Деление дробей с разными знаками",
     "Умножьте делимое на дробь, обратную делителю; частное чисел разных знаков отрицательно."},
    {"Деление целого числа на дробь с разными знаками",
     "Умножьте целое число на число, обратное делителю; частное чисел разных знаков отрицательно."},
    {"Умножение отрицательного смешанного числа на отрицательную дробь",
     "Запишите смешанное число неправильной дробью и перемножьте; произведение двух отрицательных чисел "
     "положительно."},
    {"Деление отрицательного целого числа на отрицательную дробь",
     "Умножьте делимое на число, обратное делителю; частное двух отрицательных чисел положительно."},
    {"Деление отрицательной дроби на отрицательное целое число",
     "Умножьте делимое на число, обратное делителю; частное двух отрицательных чисел положительно."},
    {"Деление смешанных чисел",
     "Запишите смешанные числа неправильными дробями и умножьте делимое на дробь, обратную делителю."},
    {"Умножение отрицательного смешанного числа на дробь",
     "Запишите смешанное число неправильной дробью и перемножьте; произведение чисел разных знаков отрицательно."},
    {"Умножение смешанных чисел с разными знаками",
     "Запишите смешанные числа неправильными дробями и перемножьте; произведение чисел разных знаков "
     "отрицательно."},
    {"Деление сотых на десятые с разными знаками",
     "Умножьте делимое на число, обратное делителю, сократите и выделите целую часть; частное чисел разных знаков "
     "отрицательно."},
}};

// The values of a task, and the two products the textbook writes before
// cancelling (numerators over denominators of the first operand and of the
// factor: the second operand, or its reciprocal in a division).
struct Values {
    Rational a, b;
    bool divides = false;
    Rational factor, exact;
    int64_t productNum = 0, productDen = 1;

    explicit Values(const RowTask &task)
        : a(*Rational::of(task.task.a)), b(*Rational::of(task.task.b)),
          divides(RowOperation[size_t(task.row)] == Operation::Divide), factor(divides ? b.reciprocal() : b),
          exact(a * factor), productNum(std::abs(a.num() * factor.num())), productDen(a.den() * factor.den())
    {
    }
    int sign() const { return exact.sign(); }
};

using Answers = std::vector<BoxTexts>;

bool isMixed(const Rational &x) { return x.wholeOfMagnitude() != 0 && x.fractionOfMagnitude() != 0; }
bool hasFraction(const Rational &x) { return x.den() != 1; }

// A value as the window writes it, typed with the hidden parts left empty.
BoxTexts typedValue(const Rational &v)
{
    const WrittenForm form = WriteValue(v);
    return {form.wholeShown ? form.whole : std::string(), form.numShown ? form.num : std::string(),
            form.denShown ? form.den : std::string()};
}

std::string withSign(int sign, const std::string &text) { return sign < 0 ? "-" + text : text; }

// The magnitude p/q with its whole part taken out but not reduced: "1 2/4".
BoxTexts typedMixed(int sign, int64_t p, int64_t q)
{
    const int64_t whole = p / q, rest = p % q;
    if (rest == 0)
        return {withSign(sign, std::to_string(whole)), {}, {}};
    return {whole != 0 ? withSign(sign, std::to_string(whole)) : withSign(sign, {}), std::to_string(rest),
            std::to_string(q)};
}

// The magnitude p/q as it stands, without a whole part: "7/3", "-8/1".
BoxTexts typedImproper(int sign, int64_t p, int64_t q)
{
    return {withSign(sign, {}), std::to_string(p), std::to_string(q)};
}

// The right value, its fractional part written with a second minus or with
// the minus in the wrong box. Only a negative value that is not whole.
Answers signWritten(const Values &v, bool twice)
{
    if (v.sign() >= 0 || !hasFraction(v.exact))
        return {};
    const std::string whole = std::to_string(v.exact.wholeOfMagnitude());
    const Rational f = v.exact.fractionOfMagnitude();
    const std::string num = std::to_string(f.num()), den = std::to_string(f.den());
    const bool mixed = v.exact.wholeOfMagnitude() != 0;
    if (twice)
        return {{mixed ? "-" + whole : "-", "-" + num, den}};
    // The minus in the denominator; then "-0" before a proper fraction, or
    // the minus in the numerator beside a whole part.
    if (mixed)
        return {{whole, num, "-" + den}, {whole, "-" + num, den}};
    return {{{}, num, "-" + den}, {"-0", num, den}};
}

Answers notReduced(const Values &v)
{
    if (std::gcd(v.productNum, v.productDen) == 1 || v.productNum % v.productDen == 0)
        return {};
    return {typedMixed(v.sign(), v.productNum, v.productDen)};
}

Answers wholeNotTakenOut(const Values &v)
{
    if (v.exact.wholeOfMagnitude() == 0)
        return {};
    if (hasFraction(v.exact))
        return {typedImproper(v.sign(), v.exact.abs().num(), v.exact.den())};
    return {typedImproper(v.sign(), v.productNum, v.productDen)};
}

Answers wrongSign(const Values &v) { return {typedValue(-v.exact)}; }
// In a division 1/E is B/A, which the diagnosis names the dividend turned
// over: the proof leaves Swapped to the multiplications.
Answers swapped(const Values &v) { return {typedValue(v.exact.reciprocal())}; }
Answers multipliedInstead(const Values &v) { return v.divides ? Answers{typedValue(v.a * v.b)} : Answers{}; }
Answers dividedInstead(const Values &v) { return v.divides ? Answers{} : Answers{typedValue(v.a / v.b)}; }
Answers dividendTurnedOver(const Values &v) { return v.divides ? Answers{typedValue(v.b / v.a)} : Answers{}; }
Answers bothTurnedOver(const Values &v)
{
    return v.divides ? Answers{typedValue((v.a * v.b).reciprocal())} : Answers{};
}
Answers oppositeForReciprocal(const Values &v) { return v.divides ? Answers{typedValue(v.a * -v.b)} : Answers{}; }
Answers signTwice(const Values &v) { return signWritten(v, true); }
Answers signMisplaced(const Values &v) { return signWritten(v, false); }

Answers wholePartLost(const Values &v)
{
    return isMixed(v.exact) ? Answers{typedValue(v.exact.fractionOfMagnitude() * v.sign())} : Answers{};
}

// A wrong whole part beside the right fraction, the whole part alone, and
// one whole too few taken out: 2 1/8 or 1 for 1 1/8, 1 4/3 for 2 1/3.
Answers wholeTakenOutWrongly(const Values &v)
{
    if (!isMixed(v.exact))
        return {};
    const int64_t w = v.exact.wholeOfMagnitude();
    const Rational f = v.exact.fractionOfMagnitude();
    Answers answers{typedValue((f + w + 1) * v.sign()), typedValue(Rational(w * v.sign()))};
    if (w >= 2)
        answers.push_back({withSign(v.sign(), std::to_string(w - 1)), std::to_string(f.num() + f.den()),
                           std::to_string(f.den())});
    return answers;
}

// Whole parts multiplied (divided) together and fractional parts together;
// an operand without whole part leaves the other's whole part as it is.
Answers partsSeparately(const Values &v, bool divided)
{
    const Rational fa = v.a.fractionOfMagnitude(), fb = v.b.fractionOfMagnitude();
    if (v.divides != divided || fa == 0 || fb == 0 || !(isMixed(v.a) || isMixed(v.b)) || (divided && !isMixed(v.a)))
        return {};
    const Rational wa = v.a.wholeOfMagnitude(), wb = v.b.wholeOfMagnitude();
    const Rational wholes = wa == 0 ? wb : wb == 0 ? wa : divided ? wa / wb : wa * wb;
    return {typedValue((wholes + (divided ? fa / fb : fa * fb)) * v.sign())};
}
Answers partsMultiplied(const Values &v) { return partsSeparately(v, false); }
Answers partsDivided(const Values &v) { return partsSeparately(v, true); }

// Every mixed operand made improper the same wrong way.
Answers mixedToImproper(const Values &v)
{
    Answers answers;
    for (int way = 0; way < MixedWrongConversions; ++way) {
        const auto a = MixedConvertedWrongly(v.a, way), b = MixedConvertedWrongly(v.b, way);
        const Rational x = a.value_or(v.a), y = b.value_or(v.b);
        if ((a || b) && !(v.divides && y == 0))
            answers.push_back(typedValue(v.divides ? x / y : x * y));
    }
    return answers;
}

// One product off by one, after or before cancelling.
Answers slip(const Values &v)
{
    const int64_t p = v.exact.abs().num(), q = v.exact.den();
    Answers answers;
    const std::pair<int64_t, int64_t> slips[] = {{p, q + 1}, {p, q - 1}, {p + 1, q}, {p - 1, q},
                                                 {v.productNum, v.productDen + 1}, {v.productNum + 1, v.productDen}};
    for (const auto &[num, den] : slips) {
        if (num > 0 && den > 0)
            answers.push_back(typedMixed(v.sign(), num, den));
    }
    return answers;
}

// The products' numerator and denominator divided by different divisors of
// their greatest common divisor: only the numerator, only the denominator,
// then any other two.
Answers reducedWrongly(const Values &v)
{
    const int64_t common = std::gcd(v.productNum, v.productDen);
    Answers answers;
    if (common == 1)
        return answers;
    std::vector<int64_t> divisors{common, 1};
    for (int64_t k = 2; k < common; ++k) {
        if (common % k == 0)
            divisors.push_back(k);
    }
    for (const int64_t byNum : divisors) {
        for (const int64_t byDen : divisors) {
            if (byNum != byDen)
                answers.push_back(typedMixed(v.sign(), v.productNum / byNum, v.productDen / byDen));
        }
    }
    return answers;
}

// Habits of adding fractions: a common denominator found first, or the
// product of the numerators kept over one denominator or the common one.
Answers commonDenominator(const Values &v)
{
    if (v.divides)
        return {};
    const int64_t da = v.a.den(), db = v.b.den(), common = std::lcm(da, db);
    const int64_t numerators = v.a.num() * v.b.num();
    return {typedValue(Rational(v.a.num() * (common / da) * v.b.num() * (common / db), common)),
            typedValue(Rational(numerators, da)), typedValue(Rational(numerators, db)),
            typedValue(Rational(numerators, common))};
}

// A whole answer with its fraction boxes filled: 1/1, n/n, 0/0.
Answers wholeInFractionBoxes(const Values &v)
{
    if (hasFraction(v.exact))
        return {};
    const std::string n = std::to_string(v.exact.abs().num()), whole = withSign(v.sign(), n);
    return {{whole, "1", "1"}, {whole, n, n}, {whole, "0", "0"}};
}

// A multiplication done as an addition: numerators and denominators added,
// or the denominators added under the product of the numerators.
Answers addedInstead(const Values &v)
{
    if (v.divides)
        return {};
    const int64_t x = std::abs(v.a.num()), y = std::abs(v.b.num()), dens = v.a.den() + v.b.den();
    return {typedValue(Rational(v.sign() * (x + y), dens)), typedValue(Rational(v.sign() * x * y, dens))};
}

struct KindAnswers {
    Mistake mistake;
    Answers (*answers)(const Values &);
};

constexpr KindAnswers Kinds[] = {
    {Mistake::NotReduced, notReduced},
    {Mistake::WholeNotTakenOut, wholeNotTakenOut},
    {Mistake::WrongSign, wrongSign},
    {Mistake::MultipliedInstead, multipliedInstead},
    {Mistake::WrongFractionTurnedOver, dividendTurnedOver},
    {Mistake::Swapped, swapped},
    {Mistake::PartsMultipliedSeparately, partsMultiplied},
    {Mistake::WholePartLost, wholePartLost},
    {Mistake::SignTwice, signTwice},
    {Mistake::SignMisplaced, signMisplaced},
    {Mistake::Slip, slip},
    {Mistake::MixedToImproper, mixedToImproper},
    {Mistake::WholeTakenOutWrongly, wholeTakenOutWrongly},
    {Mistake::ReducedWrongly, reducedWrongly},
    {Mistake::PartsDividedSeparately, partsDivided},
    {Mistake::BothTurnedOver, bothTurnedOver},
    {Mistake::OppositeForReciprocal, oppositeForReciprocal},
    {Mistake::CommonDenominator, commonDenominator},
    {Mistake::DividedInstead, dividedInstead},
    {Mistake::WholeInFractionBoxes, wholeInFractionBoxes},
    {Mistake::AddedInstead, addedInstead},
};

const KindAnswers *kindAnswers(Mistake mistake)
{
    const auto found = std::find_if(std::begin(Kinds), std::end(Kinds),
                                    [mistake](const KindAnswers &kind) { return kind.mistake == mistake; });
    return found == std::end(Kinds) ? nullptr : found;
}

// Each rule names what to do, true of every task the kind is practised on.
struct KindRule {
    Mistake mistake;
    std::string_view rule;
};

constexpr KindRule Rules[] = {
    {Mistake::NotReduced, "Сократите дробь: разделите числитель и знаменатель на их наибольший общий делитель."},
    {Mistake::WholeNotTakenOut, "Если числитель не меньше знаменателя, выделите целую часть: разделите числитель на "
                                "знаменатель, частное — целая часть, остаток — числитель дробной части."},
    {Mistake::WrongSign, "Произведение и частное чисел одного знака положительны, а чисел разных знаков — "
                         "отрицательны."},
    {Mistake::MultipliedInstead, "Чтобы разделить на число, делимое умножают на число, обратное делителю."},
    {Mistake::WrongFractionTurnedOver, "Обратным числом заменяют только делитель, а делимое оставляют как есть."},
    {Mistake::Swapped, "Над чертой пишут произведение числителей, под чертой — произведение знаменателей, а не "
                       "наоборот."},
    {Mistake::PartsMultipliedSeparately, "Перед умножением запишите смешанные числа неправильными дробями: целые и "
                                         "дробные части по отдельности не умножают."},
    {Mistake::WholePartLost, "Выделив целую часть, запишите в ответ и её, и дробную часть."},
    {Mistake::SignTwice, "Минус пишут один раз, в клетке целой части, а у положительного числа знак не пишут."},
    {Mistake::SignMisplaced, "Минус пишут в клетке целой части: без нуля, не в знаменателе и не в числителе "
                             "смешанного числа."},
    {Mistake::Slip, "Перемножая числители и знаменатели, проверяйте каждое произведение."},
    {Mistake::MixedToImproper, "Чтобы записать смешанное число неправильной дробью, умножьте целую часть на "
                               "знаменатель и прибавьте числитель, а знак оставьте перед всей дробью."},
    {Mistake::WholeTakenOutWrongly, "Целая часть — это неполное частное числителя и знаменателя, а остаток, меньший "
                                    "знаменателя, — числитель дробной части."},
    {Mistake::ReducedWrongly, "Числитель и знаменатель сокращают на одно и то же число."},
    {Mistake::PartsDividedSeparately, "Перед делением запишите смешанные числа неправильными дробями: целые и "
                                      "дробные части по отдельности не делят."},
    {Mistake::BothTurnedOver, "При делении переворачивают только делитель: делимое умножают на число, обратное "
                              "делителю."},
    {Mistake::OppositeForReciprocal, "Обратное число получают, поменяв местами числитель и знаменатель, а знак "
                                     "числа не меняется."},
    {Mistake::CommonDenominator, "При умножении дробей общий знаменатель не нужен: числитель умножают на "
                                 "числитель, а знаменатель — на знаменатель."},
    {Mistake::DividedInstead, "Чтобы умножить дроби, числитель умножают на числитель, а знаменатель — на "
                              "знаменатель, ничего не переворачивая."},
    {Mistake::WholeInFractionBoxes, "Целое число пишут только в клетке целой части, а клетки числителя и "
                                    "знаменателя оставляют пустыми."},
    {Mistake::AddedInstead, "Чтобы умножить дроби, числитель умножают на числитель, а знаменатель — на знаменатель, "
                            "ничего не складывая."},
};

std::string printed(const std::string &text)
{
    std::string line;
    for (const char c : text)
        line += c == '-' ? std::string(MinusSign) : std::string(1, c);
    return line;
}

} // namespace

bool IsPractisable(Mistake mistake)
{
    return kindAnswers(mistake) != nullptr;
}

PracticeTopic TopicOf(Mistake mistake, int row)
{
    return {mistake, IsPractisable(mistake) ? -1 : row};
}

std::string_view TopicTitle(const PracticeTopic &topic)
{
    if (topic.row >= 0 && topic.row < RowCount)
        return RowTopics[size_t(topic.row)].title;
    return MistakeTitle(topic.mistake);
}

std::string_view TopicRule(const PracticeTopic &topic)
{
    if (topic.row >= 0 && topic.row < RowCount)
        return RowTopics[size_t(topic.row)].rule;
    for (const KindRule &rule : Rules) {
        if (rule.mistake == topic.mistake)
            return rule.rule;
    }
    return {};
}

CheckedAnswer CheckAnswer(const RowTask &task, const BoxTexts &typed)
{
    const BoxTexts filled = FilledBoxes(typed);
    const WrittenForm answer = WriteFraction(task.task.d);
    CheckedAnswer checked;
    checked.right = AnswerIsRight(filled.view(), {answer.num, answer.den, answer.whole});
    checked.diagnosis = DiagnoseAnswer(task.task.a, task.task.b, RowOperation[size_t(task.row)], filled.view(),
                                       typed.allEmpty(), checked.right);
    return checked;
}

std::optional<BoxTexts> MistakenAnswer(const RowTask &task, Mistake mistake)
{
    const KindAnswers *kind = kindAnswers(mistake);
    if (kind == nullptr)
        return std::nullopt;
    for (BoxTexts &typed : kind->answers(Values(task))) {
        if (CheckAnswer(task, typed).diagnosis.mistake == mistake)
            return std::move(typed);
    }
    return std::nullopt;
}

std::vector<RowTask> PracticeTasks(const PracticeTopic &topic)
{
    if (topic.isRow())
        return RowTasks(topic.row);
    std::vector<RowTask> tasks;
    if (!IsPractisable(topic.mistake))
        return tasks;
    // Two rows can make the same task (row 1's 1/4 : (−1/5) is row 9's
    // 25/100 : (−2/10)): it is listed once, under the first row.
    std::set<std::string> seen;
    for (int row = 0; row < RowCount; ++row) {
        for (const RowTask &task : RowTasks(row)) {
            const bool divides = RowOperation[size_t(row)] == Operation::Divide;
            const std::string written =
                WriteFraction(task.task.a).text() + (divides ? " : " : " * ") + WriteFraction(task.task.b).text();
            if (MistakenAnswer(task, topic.mistake) && seen.insert(written).second)
                tasks.push_back(task);
        }
    }
    return tasks;
}

std::string TaskLine(const RowTask &task)
{
    const std::string solution = WorkedSolution(task.task.a, task.task.b, RowOperation[size_t(task.row)]);
    return solution.substr(0, solution.find(" = "));
}

std::string BoxesLine(const BoxTexts &boxes)
{
    std::string line = printed(boxes.whole);
    if (!boxes.num.empty() || !boxes.den.empty()) {
        // A lone minus stands close to its fraction, as the window writes it.
        if (!line.empty() && (boxes.whole != "-" || boxes.num.starts_with('-')))
            line += NoBreakSpace;
        line += printed(boxes.num) + "/" + printed(boxes.den);
    }
    return line.empty() ? std::string("0") : line;
}

TaskPool::TaskPool(const std::vector<RowTask> &tasks)
{
    for (const RowTask &task : tasks) {
        if (task.row >= 0 && task.row < RowCount)
            m_rows[size_t(task.row)].push_back(task);
    }
}

int TaskPool::size() const
{
    size_t count = 0;
    for (const std::vector<RowTask> &row : m_rows)
        count += row.size();
    return int(count);
}

std::optional<RowTask> TaskPool::draw(RandomSource &random)
{
    // Int(Rnd * count), kept below count should rounding reach it.
    const auto pick = [&random](size_t count) { return std::min(count - 1, size_t(random.Rnd() * double(count))); };
    std::vector<size_t> rows;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (!m_rows[r].empty())
            rows.push_back(r);
    }
    if (rows.empty())
        return std::nullopt;
    std::vector<RowTask> &tasks = m_rows[rows[pick(rows.size())]];
    const auto chosen = tasks.begin() + std::ptrdiff_t(pick(tasks.size()));
    RowTask task = *chosen;
    tasks.erase(chosen);
    return task;
}
