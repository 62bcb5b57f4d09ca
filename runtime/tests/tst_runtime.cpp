// SPDX-License-Identifier: GPL-3.0-or-later
// Checked 16-bit arithmetic, rounding, Val, number to text, control array
// bounds and the random source.

#include "runtime/checked16.h"
#include "runtime/control_array.h"
#include "runtime/random_source.h"
#include "runtime/tests/scripted_random_source.h"
#include "runtime/val.h"

#include <QtTest>

#include <array>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<double> draws(RandomSource &source, int count)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i)
        values.push_back(source.Rnd());
    return values;
}

} // namespace

class TestRuntime : public QObject {
    Q_OBJECT

private slots:
    void checkedArithmetic_data()
    {
        QTest::addColumn<char>("op");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("overflows");
        QTest::addColumn<int>("expected");

        // near the limits
        QTest::newRow("32766+1") << '+' << 32766 << 1 << false << 32767;
        QTest::newRow("-32767-1") << '-' << -32767 << 1 << false << -32768;
        QTest::newRow("181*181") << '*' << 181 << 181 << false << 32761;
        QTest::newRow("-256*128") << '*' << -256 << 128 << false << -32768;
        QTest::newRow("abs -32767") << 'a' << -32767 << 0 << false << 32767;
        QTest::newRow("neg -32768 stays, unchecked") << 'n' << -32768 << 0 << false << -32768;
        // past the limits
        QTest::newRow("32767+1 overflows") << '+' << 32767 << 1 << true << 0;
        QTest::newRow("-32768+-1 overflows") << '+' << -32768 << -1 << true << 0;
        QTest::newRow("-32768-1 overflows") << '-' << -32768 << 1 << true << 0;
        QTest::newRow("0-(-32768) overflows") << '-' << 0 << -32768 << true << 0;
        QTest::newRow("181*182 overflows") << '*' << 181 << 182 << true << 0;
        QTest::newRow("256*128 overflows") << '*' << 256 << 128 << true << 0;
        QTest::newRow("-1*-32768 overflows") << '*' << -1 << -32768 << true << 0;
        QTest::newRow("abs -32768 overflows") << 'a' << -32768 << 0 << true << 0;
    }

    void checkedArithmetic()
    {
        QFETCH(char, op);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, overflows);
        QFETCH(int, expected);
        const auto run = [&, x = int16_t(a), y = int16_t(b)]() -> int16_t {
            switch (op) {
            case '+': return add16(x, y);
            case '-': return sub16(x, y);
            case '*': return mul16(x, y);
            case 'a': return abs16(x);
            default: return neg16(x);
            }
        };
        if (overflows) {
            QVERIFY_THROWS_EXCEPTION(OverflowError, run());
            QVERIFY_THROWS_EXCEPTION(std::overflow_error, run());
        } else {
            QCOMPARE(int(run()), expected);
        }
    }

    void rounding_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("expected");

        // halves go to the even neighbour
        QTest::newRow("1.5->2") << 1.5 << true << 2;
        QTest::newRow("2.5->2") << 2.5 << true << 2;
        QTest::newRow("3.5->4") << 3.5 << true << 4;
        QTest::newRow("-2.5->-2") << -2.5 << true << -2;
        QTest::newRow("3.4->3") << 3.4 << true << 3;
        // near the limits
        QTest::newRow("32766.5->32766") << 32766.5 << true << 32766;
        QTest::newRow("-32768.5->-32768") << -32768.5 << true << -32768;
        // past the limits
        QTest::newRow("32767.5 overflows") << 32767.5 << false << 0;
        QTest::newRow("32768 overflows") << 32768.0 << false << 0;
        QTest::newRow("-32768.51 overflows") << -32768.51 << false << 0;
        QTest::newRow("-32769 overflows") << -32769.0 << false << 0;
        QTest::newRow("inf overflows") << kInf << false << 0;
        QTest::newRow("NaN overflows") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    }

    void rounding()
    {
        QFETCH(double, x);
        QFETCH(bool, fits);
        QFETCH(int, expected);
        const auto rounded = roundToInt16(x);
        QCOMPARE(rounded.has_value(), fits);
        if (fits) {
            QCOMPARE(int(*rounded), expected);
            QCOMPARE(int(toInt16(x)), expected);
        } else {
            QVERIFY_THROWS_EXCEPTION(OverflowError, toInt16(x));
        }
    }

    void val_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");

        // no number at all
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("lone minus") << QByteArray("-") << 0.0;
        QTest::newRow("blank then minus") << QByteArray(" -") << 0.0;
        QTest::newRow("double minus") << QByteArray("--3") << 0.0;
        QTest::newRow("nan is not a number here") << QByteArray("nan") << 0.0;
        QTest::newRow("inf is not a number here") << QByteArray("inf") << 0.0;
        // the longest numeric prefix
        QTest::newRow("3abc") << QByteArray("3abc") << 3.0;
        QTest::newRow("3.4") << QByteArray("3.4") << 3.4;
        QTest::newRow("comma is not a point") << QByteArray("3,4") << 3.0;
        QTest::newRow("-0") << QByteArray("-0") << 0.0;
        QTest::newRow(".5") << QByteArray(".5") << 0.5;
        QTest::newRow("5.") << QByteArray("5.") << 5.0;
        QTest::newRow("+7") << QByteArray("+7") << 7.0;
        QTest::newRow("blanks then -12") << QByteArray("  -12") << -12.0;
        QTest::newRow("tab and blank") << QByteArray("\t 5") << 5.0;
        // an exponent counts only with a digit after it
        QTest::newRow("1e3") << QByteArray("1e3") << 1000.0;
        QTest::newRow("2.5E-1") << QByteArray("2.5E-1") << 0.25;
        QTest::newRow("1e") << QByteArray("1e") << 1.0;
        // beyond 16 bits and beyond a double
        QTest::newRow("40000") << QByteArray("40000") << 40000.0;
        QTest::newRow("400 digits") << QByteArray(400, '9') << kInf;
        QTest::newRow("-1e400") << QByteArray("-1e400") << -kInf;
        // too small for a double reads 0, however it is written
        QTest::newRow("1e-400") << QByteArray("1e-400") << 0.0;
        QTest::newRow("0.(400 zeros)1") << ("0." + QByteArray(400, '0') + "1") << 0.0;
        QTest::newRow("-0.(400 zeros)1e5") << ("-0." + QByteArray(400, '0') + "1e5") << 0.0;
        QTest::newRow("huge exponent") << QByteArray("5e99999999999999999999") << kInf;
    }

    void val()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        QCOMPARE(Val(std::string_view(text.constData(), size_t(text.size()))), expected);
    }

    void valIgnoresLocale()
    {
        const std::string saved = std::setlocale(LC_ALL, nullptr);
        bool commaLocale = false;
        for (const char *name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU", "de_DE.UTF-8", "de_DE.utf8"}) {
            commaLocale = std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",";
            if (commaLocale)
                break;
        }
        const double point = Val("3.4");
        const double comma = Val("3,4");
        std::setlocale(LC_ALL, saved.c_str());
        if (!commaLocale)
            QSKIP("no locale with a decimal comma installed");
        QCOMPARE(point, 3.4);
        QCOMPARE(comma, 3.0);
    }

    void numberToText()
    {
        QCOMPARE(toText(0), std::string("0"));
        QCOMPARE(toText(10), std::string("10"));
        QCOMPARE(toText(-5), std::string("-5"));
        QCOMPARE(toText(-32768), std::string("-32768"));
    }

    void controlArrayBounds()
    {
        QObject control;
        ControlArray<QObject> rows(9);
        rows.set(9, &control);
        QCOMPARE(rows(9), &control);
        QCOMPARE(rows(0), nullptr);
        QVERIFY_THROWS_EXCEPTION(SubscriptError, rows(-1));
        QVERIFY_THROWS_EXCEPTION(SubscriptError, rows(10));
        QVERIFY_THROWS_EXCEPTION(SubscriptError, rows.set(10, &control));
    }

    void stdRandomInRangeAndSpread()
    {
        constexpr int kDraws = 80000;
        constexpr int kBuckets = 8;
        StdRandomSource source;
        source.Randomize(45000.0);
        std::array<int, kBuckets> count{};
        for (int i = 0; i < kDraws; ++i) {
            const double x = source.Rnd();
            if (!(x >= 0.0 && x < 1.0))
                QFAIL(qPrintable(QString::number(x, 'g', 17)));
            ++count[size_t(intPart(x * kBuckets))];
        }
        // 10000 expected per bucket with a standard deviation near 94.
        for (int n : count)
            QVERIFY2(std::abs(n - kDraws / kBuckets) < 500, qPrintable(QString::number(n)));
    }

    void stdRandomSameSeedSameSequence()
    {
        StdRandomSource first;
        StdRandomSource second;
        first.Randomize(45000.0);
        second.Randomize(45000.0);
        const auto sequence = draws(first, 20);
        QCOMPARE(draws(second, 20), sequence);
        first.Randomize(45000.0);
        QCOMPARE(draws(first, 20), sequence);
    }

    void stdRandomSeedsApart()
    {
        // Times of day 20 ms apart start different sequences.
        for (const double seed : {0.0, 1.0, 45000.0, 86399.96}) {
            StdRandomSource first;
            StdRandomSource second;
            first.Randomize(seed);
            second.Randomize(seed + 0.02);
            QVERIFY2(draws(first, 10) != draws(second, 10), qPrintable(QString::number(seed)));
        }
    }

    void scriptedPlayback()
    {
        ScriptedRandomSource source({0.1, 0.7, 0.3});
        QCOMPARE(source.Rnd(), 0.1);
        source.Randomize(123.0); // does not restart the script
        QCOMPARE(source.Rnd(), 0.7);
        QCOMPARE(source.Rnd(), 0.3);
        QCOMPARE(source.Rnd(), 0.3); // the last value repeats
        QCOMPARE(source.drawn(), 4);
        QCOMPARE(ScriptedRandomSource({}).Rnd(), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
