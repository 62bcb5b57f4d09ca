// SPDX-License-Identifier: GPL-3.0-or-later
// Naming a pupil's mistake. A catalogue of the errors pupils make, as data,
// is typed into every task the generator can make: each error must be named
// as the catalogue intends, or as another kind whose words are also true of
// the typed answer, or stay «other»; a kind whose words are false for it
// fails the test. The right answer stays right, and every step of the worked
// solution equals the result and the last one is the displayed answer. The
// test prints the table of how each error was named.

#include "fraction/diagnosis.h"
#include "fraction/written_form.h"
#include "runtime/tests/scripted_random_source.h"
#include "test_support.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <numeric>
#include <optional>

namespace {

struct Boxes {
    std::string whole, num, den;
};

std::string_view view(const std::string &s) { return s; }
AnswerTexts textsOf(const Boxes &b) { return {view(b.num), view(b.den), view(b.whole)}; }
std::string str(int64_t x) { return std::to_string(x); }

// p/q (magnitudes) with the whole part taken out but not reduced, the sign
// in the whole-part box: what a pupil types after a slip.
Boxes raw(int sign, int64_t p, int64_t q)
{
    const std::string minus = sign < 0 ? "-" : "";
    const int64_t w = p / q;
    return {w != 0 ? minus + str(w) : sign < 0 ? "-" : "0", str(p % q), str(q)};
}

// A value as the window writes it.
Boxes written(const Rational &x) { return raw(x.sign(), x.abs().num(), x.den()); }

// One task, as the generator made it, with what the catalogue needs of it.
struct Task {
    int row;
    Fraction ra, rb;
    Operation operation;
    Rational a, b, e, factor;
    int64_t n, d; // the textbook's products before cancelling, magnitudes
    Boxes labels;
    bool divides() const { return operation == Operation::Divide; }
    int s() const { return e.sign(); }
    Rational frac() const { return e.fractionOfMagnitude(); }
    int64_t whole() const { return e.wholeOfMagnitude(); }
    bool mixed() const { return whole() != 0 && frac() != 0; }
};

// A typed answer and the value the pupil meant by it.
struct Typed {
    Boxes boxes;
    Rational meant;
};
using Maker = std::function<std::optional<Typed>(const Task &)>;

Typed value(const Rational &x) { return {written(x), x}; }

// The wrong ways of making a mixed number improper, applied to every mixed
// operand: (w + n)/d, w·n/d, the whole part left out, the minus for the whole
// part only.
Maker convertedWrongly(int way)
{
    return [way](const Task &t) -> std::optional<Typed> {
        const auto convert = [way](const Rational &x) {
            const int64_t w = x.wholeOfMagnitude();
            const Rational f = x.fractionOfMagnitude();
            if (w == 0 || f == 0 || (way == 3 && x.sign() > 0))
                return x;
            const Rational m = way == 0   ? Rational(w + f.num(), f.den())
                               : way == 1 ? Rational(w * f.num(), f.den())
                                          : f;
            return way == 3 ? Rational(-w) + f : x.sign() < 0 ? -m : m;
        };
        const Rational a = convert(t.a), b = convert(t.b);
        if ((a == t.a && b == t.b) || (t.divides() && b == 0))
            return std::nullopt;
        return value(t.divides() ? a / b : a * b);
    };
}

struct Error {
    const char *name;
    Mistake intended;
    std::vector<Mistake> alsoTrue; // kinds whose words are also true of this error's answers
    Maker make;
};

int64_t smallestPrime(int64_t x)
{
    for (int64_t p = 2; p * p <= x; ++p)
        if (x % p == 0)
            return p;
    return x;
}

// The catalogue: errors pupils make in these tasks, each with the answer it
// gives; nothing where the error cannot happen in a task.
const std::vector<Error> &catalogue()
{
    using M = Mistake;
    using R = std::optional<Typed>;
    static const std::vector<Error> errors{
        {"right answer", M::Right, {}, [](const Task &t) -> R { return Typed{t.labels, t.e}; }},
        {"not reduced", M::NotReduced, {}, [](const Task &t) -> R {
             return t.frac() == 0
                 ? R() : R(Typed{{t.labels.whole, str(2 * t.frac().num()), str(2 * t.frac().den())}, t.e});
         }},
        {"products not reduced, proper", M::NotReduced, {}, [](const Task &t) -> R {
             return std::gcd(t.n, t.d) == 1 || t.n >= t.d
                 ? R() : R(Typed{{t.s() < 0 ? "-" : "0", str(t.n), str(t.d)}, t.e});
         }},
        {"products not reduced, improper", M::WholeNotTakenOut, {}, [](const Task &t) -> R {
             return std::gcd(t.n, t.d) == 1 || t.n < t.d || t.d == 1
                 ? R() : R(Typed{{t.s() < 0 ? "-" : "0", str(t.n), str(t.d)}, t.e});
         }},
        {"whole part not taken out", M::WholeNotTakenOut, {}, [](const Task &t) -> R {
             return !t.mixed() ? R() : R(Typed{{t.s() < 0 ? "-" : "0", str(t.e.abs().num()), str(t.e.den())}, t.e});
         }},
        {"whole number as n/1", M::WholeNotTakenOut, {}, [](const Task &t) -> R {
             return t.e.den() != 1 ? R() : R(Typed{{t.s() < 0 ? "-" : "0", str(t.e.abs().num()), "1"}, t.e});
         }},
        {"zero fractional part", M::NotReduced, {}, [](const Task &t) -> R {
             return t.e.den() != 1 ? R() : R(Typed{{t.labels.whole, "0", "5"}, t.e});
         }},
        {"improper fraction beside a whole", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             if (!t.mixed() || t.whole() < 2)
                 return {};
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(t.whole() - 1), str(t.frac().num() + t.frac().den()), str(t.frac().den())}, t.e};
         }},
        {"wrong sign", M::WrongSign, {}, [](const Task &t) -> R { return value(-t.e); }},
        {"minus twice", M::SignTwice, {}, [](const Task &t) -> R {
             return t.s() > 0 || t.frac() == 0
                 ? R() : R(Typed{{t.labels.whole, "-" + t.labels.num, t.labels.den}, t.e});
         }},
        {"minus twice, once in the denominator", M::SignTwice, {}, [](const Task &t) -> R {
             return t.s() > 0 || t.frac() == 0
                 ? R() : R(Typed{{t.labels.whole, t.labels.num, "-" + t.labels.den}, t.e});
         }},
        {"minus twice, as -0 and -n", M::Right, {}, [](const Task &t) -> R {
             return t.s() > 0 || t.whole() != 0 ? R() : R(Typed{{"-0", "-" + t.labels.num, t.labels.den}, t.e});
         }},
        {"minus twice on a positive fraction", M::Right, {}, [](const Task &t) -> R {
             return t.s() < 0 || t.whole() != 0 ? R() : R(Typed{{"-", "-" + t.labels.num, t.labels.den}, t.e});
         }},
        {"minus twice on a positive mixed number", M::WrongSign, {}, [](const Task &t) -> R {
             return t.s() < 0 || !t.mixed()
                 ? R() : R(Typed{{"-" + t.labels.whole, "-" + t.labels.num, t.labels.den}, -t.e});
         }},
        {"minus in the denominator", M::SignMisplaced, {}, [](const Task &t) -> R {
             return t.s() > 0 || t.frac() == 0
                 ? R() : R(Typed{{t.whole() != 0 ? str(t.whole()) : "0", t.labels.num, "-" + t.labels.den}, t.e});
         }},
        {"minus in the numerator of a mixed number", M::SignMisplaced, {}, [](const Task &t) -> R {
             return t.s() > 0 || !t.mixed() ? R() : R(Typed{{str(t.whole()), "-" + t.labels.num, t.labels.den}, t.e});
         }},
        {"minus written -0", M::SignMisplaced, {}, [](const Task &t) -> R {
             return t.s() > 0 || t.whole() != 0 ? R() : R(Typed{{"-0", t.labels.num, t.labels.den}, t.e});
         }},
        // Where the numerator and the denominator are the products' divided
        // by different numbers, one of them a common divisor, they were also
        // reduced wrongly: 10/100 -> 2/10 for 1/10, 5/20 -> 1/5 for 1/4.
        {"slip: numerator off by 1", M::Slip, {M::ReducedWrongly}, [](const Task &t) -> R {
             return t.e.den() == 1 || (t.e.abs().num() + 1) % t.e.den() == 0
                 ? R()
                 : R(Typed{raw(t.s(), t.e.abs().num() + 1, t.e.den()),
                           Rational(t.s() * (t.e.abs().num() + 1), t.e.den())});
         }},
        {"slip: denominator off by 1", M::Slip, {M::ReducedWrongly}, [](const Task &t) -> R {
             return t.e.den() == 1 || t.e.abs().num() % (t.e.den() + 1) == 0
                 ? R()
                 : R(Typed{raw(t.s(), t.e.abs().num(), t.e.den() + 1),
                           Rational(t.s() * t.e.abs().num(), t.e.den() + 1)});
         }},
        {"slip: products' numerator off by 1", M::Slip, {}, [](const Task &t) -> R {
             return std::gcd(t.n, t.d) == 1 || t.d == 1
                 ? R() : R(Typed{raw(t.s(), t.n + 1, t.d), Rational(t.s() * (t.n + 1), t.d)});
         }},
        {"slip: whole product off by 2", M::Slip, {}, [](const Task &t) -> R {
             return t.e.den() != 1 || t.e.abs().num() < 6 ? R() : value(Rational(t.s() * (t.e.abs().num() - 2)));
         }},
        {"mixed number: (w + n)/d", M::MixedToImproper, {}, convertedWrongly(0)},
        {"mixed number: w·n/d", M::MixedToImproper, {}, convertedWrongly(1)},
        {"mixed number: whole part ignored", M::MixedToImproper, {}, convertedWrongly(2)},
        {"mixed number: minus on the whole part only", M::MixedToImproper, {}, convertedWrongly(3)},
        {"whole part one too many", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             if (!t.mixed())
                 return {};
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(t.whole() + 1), t.labels.num, t.labels.den},
                          (Rational(t.whole() + 1) + t.frac()) * t.s()};
         }},
        {"whole part alone", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             return !t.mixed() ? R() : value(Rational(t.s() * t.whole()));
         }},
        {"numerator reduced, denominator not", M::ReducedWrongly, {}, [](const Task &t) -> R {
             const int64_t g = std::gcd(t.n, t.d);
             if (g == 1)
                 return {};
             return Typed{raw(t.s(), t.n / g, t.d), Rational(t.s() * t.n / g, t.d)};
         }},
        {"reduced by different numbers", M::ReducedWrongly, {}, [](const Task &t) -> R {
             const int64_t g = std::gcd(t.n, t.d), p = smallestPrime(g);
             if (g == 1 || p == g)
                 return {};
             return Typed{raw(t.s(), t.n / g, t.d / p), Rational(t.s() * t.n / g, t.d / p)};
         }},
        {"parts multiplied separately", M::PartsMultipliedSeparately, {}, [](const Task &t) -> R {
             const Rational fa = t.a.fractionOfMagnitude(), fb = t.b.fractionOfMagnitude();
             const int64_t wa = t.a.wholeOfMagnitude(), wb = t.b.wholeOfMagnitude();
             if (t.divides() || fa == 0 || fb == 0 || wa + wb == 0)
                 return {};
             // Written as the pupil multiplies: the wholes, then the
             // numerators over the denominators, unreduced.
             const int64_t wholes = wa != 0 && wb != 0 ? wa * wb : wa + wb;
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(wholes), str(fa.num() * fb.num()), str(fa.den() * fb.den())},
                          (Rational(wholes) + fa * fb) * t.s()};
         }},
        {"parts divided separately", M::PartsDividedSeparately, {}, [](const Task &t) -> R {
             const Rational fa = t.a.fractionOfMagnitude(), fb = t.b.fractionOfMagnitude();
             const int64_t wa = t.a.wholeOfMagnitude(), wb = t.b.wholeOfMagnitude();
             if (!t.divides() || wa == 0 || wb == 0 || fa == 0 || fb == 0)
                 return {};
             return value((Rational(wa, wb) + fa / fb) * t.s());
         }},
        {"both turned over", M::BothTurnedOver, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(t.a.reciprocal() * t.b.reciprocal());
         }},
        {"opposite taken for the reciprocal", M::OppositeForReciprocal, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(t.a * -t.b);
         }},
        {"common denominator first", M::CommonDenominator, {}, [](const Task &t) -> R {
             if (t.divides())
                 return {};
             const int64_t l = std::lcm(t.a.den(), t.b.den());
             return value(Rational(t.a.num() * (l / t.a.den()) * t.b.num() * (l / t.b.den()), l));
         }},
        {"first denominator kept", M::CommonDenominator, {}, [](const Task &t) -> R {
             return t.divides() ? R() : value(Rational(t.a.num() * t.b.num(), t.a.den()));
         }},
        {"second denominator kept", M::CommonDenominator, {}, [](const Task &t) -> R {
             return t.divides() ? R() : value(Rational(t.a.num() * t.b.num(), t.b.den()));
         }},
        {"divided instead of multiplied", M::DividedInstead, {}, [](const Task &t) -> R {
             return t.divides() ? R() : value(t.a / t.b);
         }},
        {"multiplied instead of divided", M::MultipliedInstead, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(t.a * t.b);
         }},
        {"dividend turned over", M::WrongFractionTurnedOver, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(t.b / t.a);
         }},
        {"answer turned over", M::Swapped, {}, [](const Task &t) -> R { return value(t.e.reciprocal()); }},
        {"whole part lost", M::WholePartLost, {}, [](const Task &t) -> R {
             return !t.mixed() ? R() : value(t.frac());
         }},
        {"whole part lost, minus kept", M::WholePartLost, {}, [](const Task &t) -> R {
             return !t.mixed() || t.s() > 0 ? R() : R(Typed{{"-", t.labels.num, t.labels.den}, -t.frac()});
         }},
        // The families a diagnosis by value alone used to leave «other»; a
        // numerator off by a factor can also be reduced wrongly, as above
        // (60/63 -> 10/21 for 20/21), and a wrong reduction can leave the
        // right fraction beside a wrong whole part (20/15 -> 10/3 = 3 1/3).
        {"slip: a numerator factor off by one", M::Slip, {M::ReducedWrongly}, [](const Task &t) -> R {
             return t.d == 1 ? R() : value(Rational(t.s() * (std::abs(t.a.num()) + 1) * std::abs(t.factor.num()), t.d));
         }},
        {"slip: a factor off by one after cancelling", M::Slip, {M::ReducedWrongly}, [](const Task &t) -> R {
             // The second numerator, cancelled against the first denominator.
             const int64_t y = std::abs(t.factor.num()) / std::gcd(t.factor.num(), t.a.den());
             const int64_t x = std::abs(t.a.num()) / std::gcd(t.a.num(), t.factor.den());
             return t.e.den() == 1 || y < 2 ? R() : value(Rational(t.s() * x * (y - 1), t.e.den()));
         }},
        {"division: first denominator kept", M::CommonDenominator, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(Rational(t.s() * t.n, t.a.den()));
         }},
        {"division: second denominator kept", M::CommonDenominator, {}, [](const Task &t) -> R {
             return !t.divides() ? R() : value(Rational(t.s() * t.n, t.factor.den()));
         }},
        {"numerator reduced by a number the denominator was not", M::ReducedWrongly, {M::WholeTakenOutWrongly}, [](const Task &t) -> R {
             const int64_t g = std::gcd(t.n, t.d), p = smallestPrime(t.n);
             if (g == 1 || g % p == 0 || t.e.den() == 1)
                 return {};
             return Typed{raw(t.s(), t.n / p, t.d / g), Rational(t.s() * t.n / p, t.d / g)};
         }},
        {"whole part beside the numerator as it was", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             if (!t.mixed())
                 return {};
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(t.whole()), str(t.e.abs().num()), str(t.e.den())},
                          (Rational(t.whole()) + t.e.abs()) * t.s()};
         }},
        {"remainder over the numerator", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             if (!t.mixed())
                 return {};
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(t.whole()), t.labels.num, str(t.e.abs().num())},
                          (Rational(t.whole()) + Rational(t.frac().num(), t.e.abs().num())) * t.s()};
         }},
        {"remainder and denominator swapped", M::WholeTakenOutWrongly, {}, [](const Task &t) -> R {
             if (!t.mixed())
                 return {};
             const std::string minus = t.s() < 0 ? "-" : "";
             return Typed{{minus + str(t.whole()), t.labels.den, t.labels.num},
                          (Rational(t.whole()) + t.frac().reciprocal()) * t.s()};
         }},
        {"whole number with 1/1", M::WholeInFractionBoxes, {}, [](const Task &t) -> R {
             return t.e.den() != 1 ? R() : R(Typed{{t.labels.whole, "1", "1"}, t.e + t.s()});
         }},
        {"whole number with n/n", M::WholeInFractionBoxes, {}, [](const Task &t) -> R {
             const std::string n = str(t.e.abs().num());
             return t.e.den() != 1 ? R() : R(Typed{{t.labels.whole, n, n}, t.e + t.s()});
         }},
        {"whole number with 0/0", M::WholeInFractionBoxes, {}, [](const Task &t) -> R {
             return t.e.den() != 1 ? R() : R(Typed{{t.labels.whole, "0", "0"}, t.e});
         }},
        {"numerators and denominators added", M::AddedInstead, {}, [](const Task &t) -> R {
             return t.divides() ? R()
                                : value(Rational(t.s() * (std::abs(t.a.num()) + std::abs(t.b.num())),
                                                 t.a.den() + t.b.den()));
         }},
        {"denominators added", M::AddedInstead, {}, [](const Task &t) -> R {
             return t.divides() ? R() : value(Rational(t.s() * t.n, t.a.den() + t.b.den()));
         }},
    };
    return errors;
}

// Every task the generator can make: rows 0..8 with each parameter, row 9
// with each pair.
std::vector<Task> everyTask()
{
    std::vector<Task> tasks;
    for (int pair = 0; pair < kEveryTaskScripts; ++pair) {
        std::array<int, 11> index{};
        ScriptedRandomSource random(everyTaskScript(pair, index));
        std::array<std::array<Fraction, 3>, 10> rows{};
        GenerateTasks(random, [&](int16_t row, Fraction &f, uint8_t column) { rows[size_t(row)][column - 1] = f; });
        for (int row = 0; row < 10; ++row) {
            if (row < 9 && pair >= kCount[row])
                continue;
            Task t{row, rows[size_t(row)][0], rows[size_t(row)][1], RowOperation[size_t(row)],
                   {}, {}, {}, {}, 0, 1, {}};
            t.a = *Rational::of(t.ra);
            t.b = *Rational::of(t.rb);
            t.factor = t.divides() ? t.b.reciprocal() : t.b;
            t.e = t.a * t.factor;
            t.n = std::abs(t.a.num() * t.factor.num());
            t.d = t.a.den() * t.factor.den();
            const WrittenForm form = WriteFraction(rows[size_t(row)][2]);
            t.labels = {form.whole, form.num, form.den};
            tasks.push_back(t);
        }
    }
    return tasks;
}

// The pupil's typography read back as the window writes: U+2212 as "-", a
// no-break space as a space.
std::string plain(std::string text)
{
    for (const auto &[from, to] : {std::pair<std::string, std::string>{"\u2212", "-"}, {"\u00A0", " "}}) {
        for (size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, from.size(), to);
    }
    return text;
}

// Evaluates one term of a worked solution: whole numbers, "n/d", mixed
// numbers "w n/d" (no-break space), "·" and ":", a leading "−" and
// parentheses; "/" binds tighter than "·" and ":". Notes the largest number.
class Term {
public:
    explicit Term(std::string_view text) : m_text(text) {}
    std::optional<Rational> value()
    {
        try {
            const Rational x = expression();
            if (m_at == m_text.size())
                return x;
        } catch (const std::exception &) {
        }
        return std::nullopt;
    }
    int64_t largest() const { return m_largest; }

private:
    bool eat(std::string_view token)
    {
        while (m_at < m_text.size() && m_text[m_at] == ' ')
            ++m_at;
        if (m_text.substr(m_at, token.size()) != token)
            return false;
        m_at += token.size();
        return true;
    }
    Rational expression()
    {
        Rational x = unary();
        for (;;) {
            if (eat("\u00B7"))
                x = x * unary();
            else if (eat(":"))
                x = x / unary();
            else
                return x;
        }
    }
    Rational unary()
    {
        if (eat("\u2212"))
            return -unary();
        const Rational x = primary();
        return eat("/") ? x / primary() : x;
    }
    Rational primary()
    {
        if (eat("(")) {
            const Rational x = expression();
            if (!eat(")"))
                throw std::invalid_argument("no )");
            return x;
        }
        const int64_t whole = number();
        if (m_text.substr(m_at, 2) == "\u00A0") {
            m_at += 2;
            const int64_t num = number();
            if (!eat("/"))
                throw std::invalid_argument("no /");
            return Rational(whole) + Rational(num, number());
        }
        return whole;
    }
    int64_t number()
    {
        const size_t from = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9')
            ++m_at;
        if (from == m_at)
            throw std::invalid_argument("no number");
        const int64_t x = std::stoll(std::string(m_text.substr(from, m_at - from)));
        m_largest = std::max(m_largest, x);
        return x;
    }

    std::string_view m_text;
    size_t m_at = 0;
    int64_t m_largest = 0;
};

std::vector<std::string> termsOf(const std::string &solution)
{
    std::vector<std::string> terms;
    size_t from = 0;
    for (size_t at; (at = solution.find(" = ", from)) != std::string::npos; from = at + 3)
        terms.push_back(solution.substr(from, at - from));
    terms.push_back(solution.substr(from));
    return terms;
}

// The kinds whose words speak of the value alone, not of how it is written.
bool speaksOfValue(Mistake m)
{
    using M = Mistake;
    for (M kind : {M::WrongSign, M::MultipliedInstead, M::WrongFractionTurnedOver, M::Swapped,
                   M::PartsMultipliedSeparately, M::WholePartLost, M::MixedToImproper, M::PartsDividedSeparately,
                   M::BothTurnedOver, M::OppositeForReciprocal, M::CommonDenominator, M::DividedInstead,
                   M::AddedInstead})
        if (m == kind)
            return true;
    return false;
}

QString describe(const Task &t, const Boxes &b)
{
    return QStringLiteral("row %1: %2 %3 %4, typed (%5, %6, %7)")
        .arg(t.row)
        .arg(QString::fromStdString(plain(WriteValue(t.a).text())), t.divides() ? ":" : "·",
             QString::fromStdString(plain(WriteValue(t.b).text())), QString::fromStdString(b.whole),
             QString::fromStdString(b.num), QString::fromStdString(b.den));
}

} // namespace

class TestDiagnosis : public QObject {
    Q_OBJECT

private slots:
    void catalogueOnEveryTask()
    {
        const std::vector<Task> tasks = everyTask();
        QCOMPARE(int(tasks.size()), 66 + 98 * 98);
        const std::vector<Error> &errors = catalogue();
        struct Tally {
            int answers = 0, intended = 0, otherTrue = 0, other = 0, wrong = 0;
            QStringList examples;
        };
        std::vector<Tally> tally(errors.size());
        QStringList falseNamings;

        for (const Task &t : tasks) {
            // The worked solution starts with the task; every step equals
            // the result, no step shows a number larger than the improper
            // fractions of the task and its answer do, and the last step is
            // the answer as displayed.
            const std::string solution = DiagnoseAnswer(t.ra, t.rb, t.operation, {}, true, false).solution;
            const std::vector<std::string> terms = termsOf(solution);
            const QString context = describe(t, t.labels) + ": " + QString::fromStdString(solution);
            QVERIFY2(plain(terms.back()) == WriteFraction(Fraction{int16_t(t.e.num()), int16_t(t.e.den()), 0}).text(),
                     qPrintable(context));
            const std::string b = WriteValue(t.b).text();
            const std::string task =
                WriteValue(t.a).text() + (t.divides() ? " : " : " · ") + (t.b.sign() < 0 ? "(" + b + ")" : b);
            QVERIFY2(plain(terms.front()) == task, qPrintable(context));
            const int64_t bound = std::max({std::abs(t.a.num()), t.a.den(), std::abs(t.b.num()), t.b.den(),
                                            std::abs(t.e.num()), t.e.den()});
            for (const std::string &step : terms) {
                Term term(step);
                QVERIFY2(term.value() == t.e, qPrintable(context + " at " + QString::fromStdString(step)));
                QVERIFY2(term.largest() <= bound, qPrintable(context + " at " + QString::fromStdString(step)));
            }

            // What each error gives here, to tell whether a kind other than
            // the intended one is still true: another error of that kind
            // gives the same value (and, for the kinds that speak of the
            // form, the same boxes).
            std::vector<std::optional<Typed>> made(errors.size());
            for (size_t i = 0; i < errors.size(); ++i)
                made[i] = errors[i].make(t);
            for (size_t i = 0; i < errors.size(); ++i) {
                if (!made[i])
                    continue;
                const Typed &typed = *made[i];
                const bool right = AnswerIsRight(textsOf(typed.boxes), textsOf(t.labels));
                // An error that gives the right answer in this task is none.
                if (errors[i].intended == Mistake::Right)
                    QVERIFY2(right, qPrintable(describe(t, typed.boxes)));
                else if (right)
                    continue;
                const Diagnosis d = DiagnoseAnswer(t.ra, t.rb, t.operation, textsOf(typed.boxes), false, right);
                QCOMPARE(d.solution, solution);
                const auto sameAnswer = [&](size_t j) {
                    if (!made[j] || made[j]->meant != typed.meant)
                        return false;
                    const Boxes &x = made[j]->boxes, &y = typed.boxes;
                    return speaksOfValue(errors[j].intended)
                           || (x.whole == y.whole && x.num == y.num && x.den == y.den);
                };
                Tally &count = tally[i];
                ++count.answers;
                const std::string_view name = MistakeName(d.mistake);
                const QString named = QString::fromUtf8(name.data(), int(name.size()));
                // Two examples, from different rows where there are.
                if (count.examples.size() < 2
                    && (count.examples.isEmpty() || !count.examples[0].startsWith(QStringLiteral("row %1").arg(t.row))))
                    count.examples << describe(t, typed.boxes) + " → " + (named.isEmpty() ? "right" : named);
                const auto &also = errors[i].alsoTrue;
                bool otherTrue = std::find(also.begin(), also.end(), d.mistake) != also.end();
                for (size_t j = 0; j < errors.size() && !otherTrue; ++j)
                    otherTrue = errors[j].intended == d.mistake && sameAnswer(j);
                if (d.mistake == errors[i].intended)
                    ++count.intended;
                else if (otherTrue)
                    ++count.otherTrue;
                else if (d.mistake == Mistake::Other)
                    ++count.other;
                else {
                    ++count.wrong;
                    if (falseNamings.size() < 10)
                        falseNamings << QString::fromUtf8(errors[i].name) + ": " + describe(t, typed.boxes) + " named "
                                            + named + ": " + QString::fromStdString(d.explanation);
                }
            }
        }

        // The table of the closing note.
        qInfo("| Error | Intended kind | Answers | As intended | Another true kind | «other» | False | Examples |");
        qInfo("|---|---|---|---|---|---|---|---|");
        const auto share = [](int part, int whole) { return QString::number(100.0 * part / whole, 'f', 1) + " %"; };
        for (size_t i = 0; i < errors.size(); ++i) {
            const Tally &c = tally[i];
            const std::string_view intended = MistakeName(errors[i].intended);
            qInfo("| %s | %s | %d | %s | %s | %s | %d | %s |", errors[i].name,
                  intended.empty() ? "(right)" : std::string(intended).c_str(), c.answers,
                  qPrintable(share(c.intended, c.answers)), qPrintable(share(c.otherTrue, c.answers)),
                  qPrintable(share(c.other, c.answers)), c.wrong, qPrintable(c.examples.join("; ")));
        }
        QVERIFY2(falseNamings.isEmpty(), qPrintable(falseNamings.join('\n')));
        for (size_t i = 0; i < errors.size(); ++i)
            QVERIFY2(tally[i].intended > 0, errors[i].name);
    }

    // What the catalogue cannot make, and the words themselves.
    void handMade_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("wasEmpty");
        QTest::addColumn<QString>("mistake");
        QTest::addColumn<QString>("says");
        const auto add = [](const char *name, int row, int j, QStringList boxes, bool wasEmpty, const char *mistake,
                            const char *says) {
            QTest::newRow(name) << row << j << boxes << wasEmpty << QString::fromUtf8(mistake)
                                << QString::fromUtf8(says);
        };
        // Row 1, m = 2: 1/2 : (-1/3) = -1 1/2; row 9 parameter i + 98 j gives
        // a = (i + 1)/100, b = -(j + 1)/10.
        add("box beyond 16 bits", 1, 0, {"-1", "40000", "2"}, false, "other", "образцом");
        add("whole beyond 16 bits", 1, 0, {"-40000", "1", "2"}, false, "other", "образцом");
        add("denominator 0", 1, 0, {"-1", "1", "0"}, false, "other", "образцом");
        add("empty at the end", 1, 0, {"0", "0", "1"}, true, "no-answer", "не записан");
        add("two minuses, value wrong", 1, 0, {"-", "-5", "7"}, false, "sign-twice", "Минус записан дважды");
        add("right, two minuses", 5, 0, {"-", "-1", "2"}, false, "", "Ответ верный. Только у положительного числа");
        add("unreduced improper", 1, 0, {"-", "9", "6"}, false, "whole-not-taken-out",
            "сократите её и выделите целую часть: −9/6 = −1\u00A01/2.");
        add("whole number as n/1", 4, 3, {"", "30", "1"}, false, "whole-not-taken-out",
            "запишите ответ целым числом: 30/1 = 30.");
        add("zero fractional part", 4, 0, {"6", "0", "4"}, false, "not-reduced",
            "дробная часть равна нулю: запишите целое число 6.");
        add("sign rule in a quotient", 1, 0, {"1", "1", "2"}, false, "wrong-sign",
            "делимое и делитель разных знаков, поэтому частное отрицательное.");
        add("reciprocal of a whole divisor", 5, 2, {"", "3", "4"}, false, "multiplied-instead",
            "делимое умножают на число, обратное делителю.");
        add("whole dividend turned over", 2, 0, {"-", "1", "8"}, false, "wrong-fraction-turned-over",
            "обратным числом заменяют делитель");
        // The worked solutions of listed tasks, each answered right.
        add("sign first", 3, 0, {"", "5", "8"}, false, "", "−1\u00A01/4 · (−1/2) = −5/4 · (−1/2) = 5/4 · 1/2 = 5/8");
        add("mixed divisor in two steps", 6, 0, {"1", "1", "8"}, false, "",
            "1\u00A01/2 : 1\u00A01/3 = 3/2 : 4/3 = 3/2 · 3/4 = 9/8 = 1\u00A01/8");
        add("whole numbers without /1", 2, 0, {"-8", "0", "1"}, false, "", "4 : (−1/2) = 4 · (−2) = −8");
        add("products cancel", 9, 97, {"-9", "4", "5"}, false, "",
            "49/50 : (−1/10) = 49/50 · (−10) = −(49 · 10)/50 = −49/5 = −9\u00A04/5");
        // Named, no longer «other» nor a slip that blames a right product.
        add("7 · 5 for 7 · 4", 8, 0, {"-2", "1", "3"}, false, "slip", "проверьте произведение числителей 7 · 4.");
        add("12 · 6 for 11 · 6, cancelled", 8, 4, {"-1", "3", "5"}, false, "slip", "числителей 11 · 6.");
        add("60/63 as 10/21", 3, 5, {"", "10", "21"}, false, "reduced-wrongly", "здесь на 3: 60/63 = 20/21.");
        add("division, first denominator kept", 6, 0, {"4", "1", "2"}, false, "common-denominator",
            "Знаменатели тоже перемножают");
        add("division, second denominator kept", 6, 0, {"2", "1", "4"}, false, "common-denominator",
            "Знаменатели тоже перемножают");
        add("division, hundredths kept", 9, 2 + 98 * 6, {"-", "30", "100"}, false, "common-denominator",
            "Знаменатели тоже перемножают");
        add("12/15 as 6/5", 3, 1, {"1", "1", "5"}, false, "reduced-wrongly", "здесь на 3: 12/15 = 4/5.");
        add("15/20 as 1/4", 9, 14 + 98, {"-", "1", "4"}, false, "reduced-wrongly", "здесь на 5: −15/20 = −3/4.");
        add("numerator left beside the whole", 6, 0, {"1", "9", "8"}, false, "whole-taken-out-wrongly",
            "остаток от деления 9 на 8, а знаменатель оставляют прежним: 9/8 = 1\u00A01/8.");
        add("numerator 28 left", 8, 0, {"-1", "28", "15"}, false, "whole-taken-out-wrongly", "от деления 28 на 15");
        add("numerator 43 left", 9, 42 + 98, {"-2", "43", "20"}, false, "whole-taken-out-wrongly", "от деления 43");
        add("numerator 3 left", 9, 29 + 98, {"-1", "3", "2"}, false, "whole-taken-out-wrongly", "от деления 3 на 2");
        add("remainder over the numerator", 1, 5, {"-1", "1", "8"}, false, "whole-taken-out-wrongly", "−8/7 =");
        add("remainder over 43", 9, 42 + 98, {"-2", "3", "43"}, false, "whole-taken-out-wrongly", "−43/20 =");
        add("remainder under 20", 9, 42 + 98, {"-2", "20", "3"}, false, "whole-taken-out-wrongly", "−43/20 =");
        add("remainder wrong", 9, 42 + 98, {"-2", "1", "20"}, false, "slip", "и остаток от деления 43 на 20.");
        add("6 as 6 1/1", 4, 0, {"6", "1", "1"}, false, "whole-in-fraction-boxes",
            "Ответ — целое число 6: его пишут только в клетке целой части, а клетки дроби оставляют пустыми. Дробь "
            "1/1 равна 1, поэтому записано число 7.");
        add("6 as 6 0/0", 4, 0, {"6", "0", "0"}, false, "whole-in-fraction-boxes", "оставляют пустыми.");
        add("6 as 6 6/6", 4, 0, {"6", "6", "6"}, false, "whole-in-fraction-boxes", "Дробь 6/6 равна 1");
        // «Готово!» fills an empty denominator with 1.
        add("-1 as -1 1/", 7, 0, {"-1", "1", "1"}, false, "whole-in-fraction-boxes", "записано число −2.");
        add("numerators and denominators added", 0, 0, {"-", "2", "5"}, false, "added-instead",
            "числители и знаменатели сложены");
        add("denominators added", 0, 0, {"-", "1", "5"}, false, "added-instead", "Знаменатели сложены");
    }

    void handMade()
    {
        QFETCH(int, row);
        QFETCH(int, parameter);
        QFETCH(QStringList, boxes);
        QFETCH(bool, wasEmpty);
        QFETCH(QString, mistake);
        QFETCH(QString, says);
        std::vector<double> script(11, 0.0);
        script[size_t(row)] = pick(row == 9 ? parameter % 98 : parameter, kCount[row]);
        if (row == 9)
            script[10] = pick(parameter / 98, kCount[10]);
        ScriptedRandomSource random(script);
        std::array<Fraction, 3> task{};
        GenerateTasks(random, [&](int16_t r, Fraction &f, uint8_t column) {
            if (r == row)
                task[column - 1] = f;
        });
        const Boxes typed{boxes[0].toStdString(), boxes[1].toStdString(), boxes[2].toStdString()};
        const WrittenForm labels = WriteFraction(task[2]);
        const bool right = AnswerIsRight(textsOf(typed), {labels.num, labels.den, labels.whole});
        const Diagnosis d = DiagnoseAnswer(task[0], task[1], RowOperation[size_t(row)], textsOf(typed), wasEmpty, right);
        QCOMPARE(QString::fromUtf8(MistakeName(d.mistake).data(), int(MistakeName(d.mistake).size())), mistake);
        // Either a part of the explanation or the whole solution.
        const QString explanation = QString::fromStdString(d.explanation), solution = QString::fromStdString(d.solution);
        QVERIFY2(explanation.contains(says) || solution == says, qPrintable(explanation + " | " + solution));
    }
};

QTEST_APPLESS_MAIN(TestDiagnosis)
#include "tst_diagnosis.moc"
