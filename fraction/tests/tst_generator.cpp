// SPDX-License-Identifier: GPL-3.0-or-later
// The task generator driven by scripted random values: every task it can
// make checked against exact arithmetic, and listed tasks as the pupil sees
// them.

#include "fraction/task_generator.h"
#include "fraction/written_form.h"
#include "runtime/tests/scripted_random_source.h"
#include "test_support.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>

Q_DECLARE_METATYPE(Fraction)

namespace {

const double kTop = std::nextafter(1.0, 0.0);

using exact::valueOf;

struct Shown {
    int row;
    int column;
    Fraction record;
};

struct Generation {
    std::vector<Shown> shown;
    int drawn;
    const Fraction &record(int row, int column) const { return shown[size_t(3 * row + column - 1)].record; }
};

// Runs the generator; the show callback records each record and then spoils
// it, since the display may rewrite what it is given.
Generation generate(const std::vector<double> &script)
{
    ScriptedRandomSource random(script);
    Generation g;
    GenerateTasks(random, [&](int16_t row, Fraction &f, uint8_t column) {
        g.shown.push_back({row, column, f});
        f = Fraction{7, 7, 7};
    });
    g.drawn = random.drawn();
    return g;
}

// The value as the pupil reads it: reduced, mixed, one leading "-".
QString displayed(Fraction f)
{
    ReduceFraction(f, f);
    const bool negative = ((f.Num < 0) + (f.Den < 0) + (f.Whole < 0)) % 2 == 1;
    QString text = negative ? QStringLiteral("-") : QString();
    if (f.Whole != 0 || f.Num == 0)
        text += QString::number(std::abs(f.Whole)) + (f.Num != 0 ? QStringLiteral(" ") : QString());
    if (f.Num != 0)
        text += QStringLiteral("%1/%2").arg(std::abs(f.Num)).arg(std::abs(f.Den));
    return text;
}

int largestField(const Fraction &f) { return std::max({std::abs(f.Num), std::abs(f.Den), std::abs(f.Whole)}); }

// Empty when the row holds an exact task, else what is wrong.
QString checkRow(const Generation &g, int row, int &largest)
{
    const Fraction &a = g.record(row, 1), &b = g.record(row, 2), &d = g.record(row, 3);
    const bool multiplies = RowOperation[size_t(row)] == Operation::Multiply;
    if (!(valueOf(d) == (multiplies ? valueOf(a) * valueOf(b) : valueOf(a) / valueOf(b))))
        return QStringLiteral("wrong value");
    // The operation leaves its operands improper and its result improper and
    // unreduced, with the signs where the operands had them.
    if (a.Whole != 0 || b.Whole != 0 || d.Whole != 0)
        return QStringLiteral("a record is not improper");
    const bool plain = multiplies ? d.Num == a.Num * b.Num && d.Den == a.Den * b.Den
                                        : d.Num == a.Num * b.Den && d.Den == a.Den * b.Num;
    if (!plain)
        return QStringLiteral("the answer is not the plain product");
    for (Fraction f : {a, b, d}) {
        largest = std::max(largest, largestField(f));
        ReduceFraction(f, f);
        largest = std::max(largest, largestField(f));
    }
    return largest > 9700 ? QStringLiteral("a magnitude above 9700") : QString();
}

} // namespace

class TestGenerator : public QObject {
    Q_OBJECT

private slots:
    // Every task the generator can make: each Rnd value swept over a grid
    // finer than any parameter's range (row 9's 98 values of a and of b), so
    // that every parameter of every row and every pair of row 9 comes up.
    // Each task is exact and stays within 16 bits; the listed tasks below pin
    // the rows' formulas and ranges.
    void everyTaskIsExact()
    {
        constexpr int grid = 128;
        int largest = 0;
        for (int i = 0; i < grid * grid; ++i) {
            std::vector<double> script(11);
            for (int k = 0; k < 9; ++k)
                script[size_t(k)] = ((i + k) % grid + 0.5) / grid;
            script[9] = (i / grid + 0.5) / grid;
            script[10] = (i % grid + 0.5) / grid;
            const Generation g = generate(script);
            QCOMPARE(g.drawn, 11);
            QCOMPARE(g.shown.size(), size_t(30));
            for (size_t k = 0; k < g.shown.size(); ++k) {
                QCOMPARE(g.shown[k].row, int(k / 3));
                QCOMPARE(g.shown[k].column, int(k % 3) + 1);
            }
            for (int row = 0; row < 10; ++row) {
                const auto found = FindWrittenTask(row, WriteFraction(g.record(row, 1)).text(),
                                                   WriteFraction(g.record(row, 2)).text());
                QVERIFY2(found && found->d == g.record(row, 3), qPrintable(QString::number(row)));
                if (const QString problem = checkRow(g, row, largest); !problem.isEmpty())
                    QFAIL(qPrintable(QStringLiteral("row %1, script %2: %3; A %4 B %5 D %6")
                                         .arg(row).arg(i).arg(problem)
                                         .arg(text(g.record(row, 1)), text(g.record(row, 2)), text(g.record(row, 3)))));
            }
        }
        // The bound is reached: 1/100 divided by -97/10.
        QCOMPARE(largest, 9700);
    }

    void listedTasks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("rnd");
        QTest::addColumn<double>("rndB");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("d");
        const auto add = [](const char *name, int row, double rnd, const char *a, const char *b, const char *d,
                            double rndB = 0.0) { QTest::newRow(name) << row << rnd << rndB << a << b << d; };

        // Rnd 0 gives the first parameter value, the largest double below 1 the last.
        add("row 0 n=4", 0, pick(2, 8), "-1/4", "1/5", "-1/20");
        add("row 1 m=9", 1, kTop, "1/9", "-1/10", "-1 1/9");
        add("row 2 k=2", 2, 0.0, "4", "-1/2", "-8");
        add("row 2 k=9 largest", 2, kTop, "18", "-1/9", "-162");
        add("row 3 p=4", 3, 0.0, "-1 1/4", "-1/2", "5/8");
        add("row 3 p=7", 3, pick(3, 6), "-1 1/7", "-4/5", "32/35");
        add("row 4 q=3 minus on Den", 4, 0.0, "-3", "-1/2", "6");
        add("row 4 q=9", 4, kTop, "-9", "-1/8", "72");
        add("row 5 r=2", 5, 0.0, "-1/2", "-1", "1/2");
        add("row 5 r=9", 5, kTop, "-1/9", "-8", "1/72");
        add("row 6 s=9", 6, kTop, "1 1/9", "1 1/10", "1 1/99");
        add("row 7 t=2", 7, 0.0, "-2 1/2", "2/5", "-1");
        add("row 7 t=9", 7, kTop, "-2 1/9", "9/19", "-1");
        add("row 8 u=5", 8, 0.0, "-1 2/5", "1 1/3", "-1 13/15");
        add("row 8 u=9", 8, kTop, "-1 2/9", "1 1/5", "-1 7/15");
        add("row 9 a=50 b=5", 9, pick(49, 98), "1/2", "-1/2", "-1", pick(4, 98));
        add("row 9 a=98 b=1", 9, kTop, "49/50", "-1/10", "-9 4/5", 0.0);
        add("row 9 a=1 b=98", 9, 0.0, "1/100", "-9 4/5", "-1/980", kTop);
        add("row 9 a=1 b=97", 9, 0.0, "1/100", "-9 7/10", "-1/970", pick(96, 98));
        add("row 9 a=30 b=10", 9, pick(29, 98), "3/10", "-1", "-3/10", pick(9, 98));
    }

    // Tasks a hand-changed record may hold, as texts; every task the
    // generator makes is found in everyParameterAgainstExactValues.
    void findWrittenTask_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("found");
        QTest::newRow("row 0 n=2") << 0 << "-1/2" << "1/3" << true;
        QTest::newRow("row 0 mismatched n") << 0 << "-1/2" << "1/4" << false;
        QTest::newRow("row 0 n=10") << 0 << "-1/10" << "1/11" << false;
        QTest::newRow("row 2 sign dropped") << 2 << "4" << "1/2" << false;
        QTest::newRow("row 4 minus on Den") << 4 << "-3" << "-1/2" << true;
        QTest::newRow("row 6 as written") << 6 << "1 1/2" << "1 1/3" << true;
        QTest::newRow("row 6 unreduced text") << 6 << "6/4" << "4/3" << false;
        QTest::newRow("row 9 a=98 b=98") << 9 << "49/50" << "-9 4/5" << true;
        QTest::newRow("row 9 b=99") << 9 << "1/100" << "-9 9/10" << false;
        QTest::newRow("row 9 task of row 0") << 9 << "-1/2" << "1/3" << false;
        QTest::newRow("row 10") << 10 << "-1/2" << "1/3" << false;
        QTest::newRow("row -1") << -1 << "-1/2" << "1/3" << false;
        QTest::newRow("junk") << 1 << "1/9 " << "-1/10" << false;
    }

    void findWrittenTask()
    {
        QFETCH(int, row);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, found);
        QCOMPARE(FindWrittenTask(row, a.toStdString(), b.toStdString()).has_value(), found);
    }

    void listedTasks()
    {
        QFETCH(int, row);
        QFETCH(double, rnd);
        QFETCH(double, rndB);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, d);
        std::vector<double> script(11, 0.0);
        script[size_t(row)] = rnd;
        if (row == 9)
            script[10] = rndB;
        const Generation g = generate(script);
        QCOMPARE(displayed(g.record(row, 1)), a);
        QCOMPARE(displayed(g.record(row, 2)), b);
        QCOMPARE(displayed(g.record(row, 3)), d);
    }
};

QTEST_APPLESS_MAIN(TestGenerator)
#include "tst_generator.moc"
