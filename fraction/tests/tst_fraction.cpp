// SPDX-License-Identifier: GPL-3.0-or-later
// The Fraction record: normal forms, signs, reduction, products and quotients,
// overflow, and every small fraction against exact rational arithmetic.

#include "fraction/fraction.h"
#include "runtime/checked16.h"
#include "test_support.h"

#include <QtTest>

#include <cstdlib>
#include <set>
#include <tuple>
#include <utility>

Q_DECLARE_METATYPE(Fraction)

char *toString(const Fraction &f) { return qstrdup(text(f).toUtf8().constData()); }

namespace {

using exact::Rational;
using exact::valueOf;

int64_t gcd64(int64_t a, int64_t b)
{
    a = std::llabs(a);
    b = std::llabs(b);
    while (b != 0)
        a = std::exchange(b, a % b);
    return a;
}

// Reduced normal form: mixed, reduced, whole numbers as {0, +-1, W}, and a
// whole part beside a fraction never negative.
bool isReducedNormal(const Fraction &f)
{
    if (f.Den == 0 || std::abs(f.Num) >= std::abs(f.Den))
        return false;
    return f.Num == 0 ? std::abs(f.Den) == 1 : gcd64(f.Num, f.Den) == 1 && f.Whole >= 0;
}

enum Step : char { Mixed = 'm', Improper = 'i', Reduce = 'r', Mul = '*', Div = '/' };

void runStep(char step, Fraction &target, Fraction &source)
{
    switch (step) {
    case Mixed: ToMixed(target, source); break;
    case Improper: ToImproper(target, source); break;
    default: ReduceFraction(target, source); break;
    }
}

// a op b is the exact value in improper form, the operands keep their values
// in improper form, and reduction gives the reduced normal form of the value.
bool mulDivIsExact(char op, Fraction a, Fraction b)
{
    const Rational va = valueOf(a), vb = valueOf(b);
    Fraction r{0, 0, 0};
    if (op == Mul)
        MulFraction(r, a, b);
    else
        DivFraction(r, a, b);
    if (a.Whole != 0 || b.Whole != 0 || !(valueOf(a) == va) || !(valueOf(b) == vb))
        return false;
    if (op == Div && vb.num == 0)
        return r == Fraction{0, 0, 0};
    const Rational exact = op == Mul ? va * vb : va / vb;
    if (r.Whole != 0 || !(valueOf(r) == exact))
        return false;
    ReduceFraction(r, r);
    return isReducedNormal(r) && valueOf(r) == exact;
}

} // namespace

class TestFraction : public QObject {
    Q_OBJECT

private slots:
    void makeFraction_data()
    {
        QTest::addColumn<int>("num");
        QTest::addColumn<int>("den");
        QTest::addColumn<Fraction>("expected");
        const auto add = [](const char *name, int num, int den, Fraction expected) {
            QTest::newRow(name) << num << den << expected;
        };

        // every sign placement of 7/3
        add("7/3", 7, 3, {1, 3, 2});
        add("-7/3 sign on Num", -7, 3, {-1, 3, 2});
        add("7/-3 sign on Den", 7, -3, {1, -3, 2});
        add("-7/-3 positive", -7, -3, {-1, -3, 2});
        // reduced after the whole part is taken out
        add("12/8", 12, 8, {1, 2, 1});
        add("-12/8", -12, 8, {-1, 2, 1});
        add("6/-4", 6, -4, {1, -2, 1});
        add("30/42", 30, 42, {5, 7, 0});
        add("1/-2", 1, -2, {1, -2, 0});
        // whole numbers
        add("-6/3 sign on Whole", -6, 3, {0, 1, -2});
        add("6/-3 sign on Den", 6, -3, {0, -1, 2});
        add("0/5", 0, 5, {0, 1, 0});
        add("32767/1", 32767, 1, {0, 1, 32767});
        // no value
        add("5/0 untouched", 5, 0, {5, 0, 0});
        add("0/0", 0, 0, {0, 0, 0});
    }

    void makeFraction()
    {
        QFETCH(int, num);
        QFETCH(int, den);
        QFETCH(Fraction, expected);
        Fraction f{0, 0, 0};
        MakeFraction(f, int16_t(num), int16_t(den));
        QCOMPARE(f, expected);
    }

    void singleRecord_data()
    {
        QTest::addColumn<char>("step");
        QTest::addColumn<Fraction>("source");
        QTest::addColumn<Fraction>("expected");
        const auto add = [](const char *name, Step step, Fraction source, Fraction expected) {
            QTest::newRow(name) << char(step) << source << expected;
        };

        // ToMixed keeps each sign where it sits and does not reduce
        add("mixed 6/-4", Mixed, {6, -4, 0}, {2, -4, 1});
        add("mixed -6/-3", Mixed, {-6, -3, 0}, {0, -1, -2});
        add("mixed 4/6 not reduced", Mixed, {4, 6, 0}, {4, 6, 0});
        add("mixed -2 1/3 unchanged", Mixed, {-1, 3, 2}, {-1, 3, 2});
        add("mixed -2 unchanged", Mixed, {0, 1, -2}, {0, 1, -2});
        add("mixed 5/0 unchanged", Mixed, {5, 0, 3}, {5, 0, 3});
        // ToImproper folds the whole part into Num over the same Den
        add("improper 2 1/3", Improper, {1, 3, 2}, {7, 3, 0});
        add("improper -1,3,2", Improper, {-1, 3, 2}, {-7, 3, 0});
        add("improper 1,3,-2", Improper, {1, 3, -2}, {-7, 3, 0});
        add("improper -1,3,-2 positive", Improper, {-1, 3, -2}, {7, 3, 0});
        add("improper 1,-3,2 sign stays on Den", Improper, {1, -3, 2}, {7, -3, 0});
        add("improper whole -2", Improper, {0, 1, -2}, {-2, 1, 0});
        // ReduceFraction keeps each field's own sign
        add("reduce 4/-6", Reduce, {4, -6, 0}, {2, -3, 0});
        add("reduce -4/-6", Reduce, {-4, -6, 0}, {-2, -3, 0});
        add("reduce 1 2/4", Reduce, {2, 4, 1}, {1, 2, 1});
        add("reduce 98/100", Reduce, {98, 100, 0}, {49, 50, 0});
        add("reduce 0/6", Reduce, {0, 6, 0}, {0, 1, 0});
        add("reduce -2 unchanged", Reduce, {0, 1, -2}, {0, 1, -2});
        add("reduce -3 4/6", Reduce, {-4, 6, 3}, {-2, 3, 3});
        add("reduce -28/15 to mixed", Reduce, {-28, 15, 0}, {-13, 15, 1});
        add("reduce 10/-9700", Reduce, {10, -9700, 0}, {1, -970, 0});
        add("reduce 0/0 unchanged", Reduce, {0, 0, 0}, {0, 0, 0});
        add("reduce 5,0,3 folds Whole only", Reduce, {5, 0, 3}, {5, 0, 0});
        // both fields 32767: the trial divisor reaches the top of the range
        add("reduce 32767/32767", Reduce, {32767, 32767, 0}, {0, 1, 1});
        add("reduce -32767/32767", Reduce, {-32767, 32767, 0}, {0, 1, -1});
    }

    void singleRecord()
    {
        QFETCH(char, step);
        QFETCH(Fraction, source);
        QFETCH(Fraction, expected);

        // The same record twice, as the program calls it.
        Fraction inPlace = source;
        runStep(step, inPlace, inPlace);
        QCOMPARE(inPlace, expected);

        // Two records: the source is only read, the target is overwritten.
        Fraction from = source;
        Fraction to{9, 9, 9};
        runStep(step, to, from);
        QCOMPARE(to, expected);
        QCOMPARE(from, source);
    }

    void mulDiv_data()
    {
        QTest::addColumn<char>("op");
        QTest::addColumn<Fraction>("a");
        QTest::addColumn<Fraction>("b");
        QTest::addColumn<Fraction>("resultBefore");
        QTest::addColumn<Fraction>("result");
        QTest::addColumn<Fraction>("aAfter");
        QTest::addColumn<Fraction>("bAfter");
        const auto add = [](const char *name, Step op, Fraction a, Fraction b, Fraction before, Fraction result,
                            Fraction aAfter, Fraction bAfter) {
            QTest::newRow(name) << char(op) << a << b << before << result << aAfter << bAfter;
        };
        const Fraction zero{0, 0, 0};

        // products: unreduced, signs where the operands had them
        add("1 1/2 * -1/3", Mul, {1, 2, 1}, {-1, 3, 0}, zero, {-3, 6, 0}, {3, 2, 0}, {-1, 3, 0});
        add("result Whole 5 stays", Mul, {1, 2, 1}, {-1, 3, 0}, {0, 0, 5}, {-3, 6, 5}, {3, 2, 0}, {-1, 3, 0});
        add("b -2 1/3 converted", Mul, {1, 2, 0}, {1, 3, -2}, zero, {-7, 6, 0}, {1, 2, 0}, {-7, 3, 0});
        add("sign on Den kept", Mul, {1, -2, 0}, {3, 4, 0}, zero, {3, -8, 0}, {1, -2, 0}, {3, 4, 0});
        add("whole numbers 2 * -3", Mul, {0, -1, 2}, {0, 1, -3}, zero, {-6, -1, 0}, {2, -1, 0}, {-3, 1, 0});
        // quotients: a times b upside down
        add("2 1/3 / 1 1/2", Div, {1, 3, 2}, {1, 2, 1}, zero, {14, 9, 0}, {7, 3, 0}, {3, 2, 0});
        add("quotient Whole 5 stays", Div, {1, 3, 2}, {1, 2, 1}, {0, 0, 5}, {14, 9, 5}, {7, 3, 0}, {3, 2, 0});
        add("1/2 / -1/3 sign to Den", Div, {1, 2, 0}, {-1, 3, 0}, zero, {3, -2, 0}, {1, 2, 0}, {-1, 3, 0});
        add("1/2 / whole -2", Div, {1, 2, 0}, {0, -1, 2}, zero, {-1, 4, 0}, {1, 2, 0}, {2, -1, 0});
        // a zero divisor gives 0/0, operands still converted
        add("3/4 / 0/5", Div, {3, 4, 0}, {0, 5, 0}, zero, zero, {3, 4, 0}, {0, 5, 0});
        add("1 1/2 / 0", Div, {1, 2, 1}, {0, 1, 0}, zero, zero, {3, 2, 0}, {0, 1, 0});
        add("1/2 / 0/0", Div, {1, 2, 0}, zero, zero, zero, {1, 2, 0}, zero);
    }

    void mulDiv()
    {
        QFETCH(char, op);
        QFETCH(Fraction, a);
        QFETCH(Fraction, b);
        QFETCH(Fraction, resultBefore);
        QFETCH(Fraction, result);
        QFETCH(Fraction, aAfter);
        QFETCH(Fraction, bAfter);

        Fraction r = resultBefore;
        if (op == Mul)
            MulFraction(r, a, b);
        else
            DivFraction(r, a, b);
        QCOMPARE(r, result);
        QCOMPARE(a, aAfter);
        QCOMPARE(b, bAfter);

        // A quotient by zero stays 0/0 through reduction and mixing.
        if (r == Fraction{0, 0, 0}) {
            ReduceFraction(r, r);
            ToMixed(r, r);
            QCOMPARE(r, (Fraction{0, 0, 0}));
        }
    }

    void overflow_data()
    {
        QTest::addColumn<char>("step");
        QTest::addColumn<Fraction>("a");
        QTest::addColumn<Fraction>("b");
        const auto add = [](const char *name, Step step, Fraction a, Fraction b = {0, 0, 0}) {
            QTest::newRow(name) << char(step) << a << b;
        };

        // absolute value of -32768
        add("mixed Num -32768", Mixed, {-32768, 1, 0});
        add("mixed Den -32768", Mixed, {1, -32768, 0});
        add("reduce Num -32768", Reduce, {-32768, 2, 0});
        add("reduce Whole -32768", Reduce, {0, 1, -32768});
        add("mul Whole -32768", Mul, {0, 1, -32768}, {1, 1, 0});
        // whole part counting past 32767
        add("mixed 32767,1,1", Mixed, {32767, 1, 1});
        // |Whole| * |Den| + |Num| above 32767
        add("improper 200 1/200", Improper, {1, 200, 200});
        add("improper 1 32767/1", Improper, {32767, 1, 1});
        // products out of range
        add("mul 200*200", Mul, {200, 1, 0}, {200, 1, 0});
        add("mul Den 200*200", Mul, {1, 200, 0}, {1, 200, 0});
        add("div 200 / 1/200", Div, {200, 1, 0}, {1, 200, 0});
        add("div 1/200 / 200", Div, {1, 200, 0}, {200, 1, 0});
        add("div by 200 1/200", Div, {1, 2, 0}, {1, 200, 200});
    }

    void overflow()
    {
        QFETCH(char, step);
        QFETCH(Fraction, a);
        QFETCH(Fraction, b);
        Fraction r{0, 0, 0};
        const auto run = [&] {
            if (step == Mul)
                MulFraction(r, a, b);
            else if (step == Div)
                DivFraction(r, a, b);
            else
                runStep(step, a, a);
        };
        QVERIFY_THROWS_EXCEPTION(OverflowError, run());
    }

    void makeFractionMatchesExactValues()
    {
        for (int num = -200; num <= 200; ++num) {
            for (int den = -200; den <= 200; ++den) {
                if (den == 0)
                    continue;
                Fraction f{0, 0, 0};
                MakeFraction(f, int16_t(num), int16_t(den));
                // Den keeps the denominator's sign; the numerator's sign goes
                // to Num, or to Whole in a whole number.
                const bool signKept = (f.Den < 0) == (den < 0)
                    && (f.Num != 0 ? (f.Num < 0) == (num < 0) : (f.Whole < 0) == (num < 0));
                if (!isReducedNormal(f) || !(valueOf(f) == Rational{num, den}) || !signKept)
                    QFAIL(qPrintable(QStringLiteral("MakeFraction(%1, %2) = %3").arg(num).arg(den).arg(text(f))));
            }
        }
    }

    void mulDivMatchExactValues()
    {
        // Every distinct operand MakeFraction makes from -60..60 over -60..60.
        std::vector<Fraction> operands;
        std::set<std::tuple<int, int, int>> seen;
        for (int num = -60; num <= 60; ++num) {
            for (int den = -60; den <= 60; ++den) {
                Fraction f{0, 0, 0};
                MakeFraction(f, int16_t(num), int16_t(den));
                if (den != 0 && seen.insert({f.Num, f.Den, f.Whole}).second)
                    operands.push_back(f);
            }
        }
        // The full cross product is too slow: each operand meets every 53rd
        // other one, the offset shifting with the first operand.
        constexpr size_t kStride = 53;
        for (size_t i = 0; i < operands.size(); ++i) {
            for (size_t j = (i * 11) % kStride; j < operands.size(); j += kStride) {
                for (const char op : {char(Mul), char(Div)}) {
                    if (!mulDivIsExact(op, operands[i], operands[j]))
                        QFAIL(qPrintable(text(operands[i]) + ' ' + op + ' ' + text(operands[j])));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestFraction)
#include "tst_fraction.moc"
