// SPDX-License-Identifier: GPL-3.0-or-later
// Naming a pupil's mistake: for every task the generator can make, each
// typical mistake typed on purpose is named as that mistake and not an
// earlier one, the right answer is named right, and the worked solution ends
// in the answer as the window displays it. A few hand-made rows for what the
// catalogue cannot make.

#include "fraction/diagnosis.h"
#include "runtime/tests/scripted_random_source.h"
#include "test_support.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {


struct Task {
    Fraction a, b, d;
};

// Every row's records as the generator hands them to the display.
std::array<Task, 10> generate(const std::vector<double> &script)
{
    ScriptedRandomSource random(script);
    std::array<Task, 10> tasks{};
    GenerateTasks(random, [&](int16_t row, Fraction &f, uint8_t column) {
        Task &t = tasks[size_t(row)];
        (column == 1 ? t.a : column == 2 ? t.b : t.d) = f;
    });
    return tasks;
}

struct Boxes {
    std::string whole, num, den;
};

// The captions the display writes into the answer column for record d:
// reduced and mixed, the sign in the whole-part label.
Boxes labelsOf(Fraction f)
{
    ReduceFraction(f, f);
    ToMixed(f, f);
    Boxes b;
    if ((f.Num < 0) != (f.Den < 0))
        b.whole = f.Whole == 0 ? "-" : "-" + std::to_string(f.Whole);
    b.num = std::to_string(std::abs(f.Num));
    b.den = std::to_string(std::abs(f.Den));
    if (f.Whole != 0 && b.whole.empty())
        b.whole = std::to_string(f.Whole);
    return b;
}

// What the pupil reads in those labels: "-4 1/2", "-1/20", "6".
std::string seen(const Boxes &b)
{
    if (b.num == "0")
        return b.whole;
    return b.whole + (b.whole.empty() || b.whole == "-" ? "" : " ") + b.num + "/" + b.den;
}

// A value typed in the window's form, the empty boxes filled by «Готово!».
Boxes typed(const Rational &x)
{
    const int64_t w = x.wholeOfMagnitude();
    const Rational f = x.fractionOfMagnitude();
    const std::string sign = x.sign() < 0 ? "-" : "";
    return {w != 0 ? sign + std::to_string(w) : x.sign() < 0 ? "-" : "0", std::to_string(f.num()),
            std::to_string(f.den())};
}

struct Attempt {
    Mistake mistake;
    Boxes boxes;
};

// Each mistake this task admits, in the order of the catalogue.
std::vector<Attempt> attempts(const Rational &a, const Rational &b, Operation operation, const Boxes &labels)
{
    const bool divides = operation == Operation::Divide;
    const Rational e = divides ? a / b : a * b;
    const int64_t w = e.wholeOfMagnitude();
    const Rational f = e.fractionOfMagnitude();
    const std::string sign = e.sign() < 0 ? "-" : "";
    std::vector<Attempt> list{{Mistake::Right, labels}};
    if (f != 0)
        list.push_back({Mistake::NotReduced, {labels.whole, std::to_string(2 * f.num()), std::to_string(2 * f.den())}});
    if (w != 0) {
        const std::string n = std::to_string(std::abs(e.num())), d = std::to_string(e.den());
        list.push_back({Mistake::WholeNotTakenOut, {sign, n, d}});
        list.push_back({Mistake::WholeNotTakenOut, {sign, n + "0", d + "0"}});
    }
    list.push_back({Mistake::WrongSign, typed(-e)});
    if (divides) {
        list.push_back({Mistake::MultipliedInstead, typed(a * b)});
        list.push_back({Mistake::WrongFractionTurnedOver, typed(b / a)});
    }
    list.push_back({Mistake::Swapped, typed(e.reciprocal())});
    const Rational fa = a.fractionOfMagnitude(), fb = b.fractionOfMagnitude();
    const int64_t wa = a.wholeOfMagnitude(), wb = b.wholeOfMagnitude();
    if (!divides && fa != 0 && fb != 0 && wa + wb != 0) {
        // Written as the pupil multiplies: the wholes, then the numerators
        // over the denominators, unreduced.
        const int64_t wholes = wa != 0 && wb != 0 ? wa * wb : wa + wb;
        list.push_back({Mistake::PartsMultipliedSeparately,
                        {sign + std::to_string(wholes), std::to_string(fa.num() * fb.num()),
                         std::to_string(fa.den() * fb.den())}});
    }
    if (w != 0 && f != 0) {
        // With the whole-part box left empty, or only the minus kept in it.
        list.push_back({Mistake::WholePartLost, typed(f)});
        list.push_back({Mistake::WholePartLost, {"-", std::to_string(f.num()), std::to_string(f.den())}});
    }
    return list;
}

std::string_view view(const std::string &s) { return s; }

AnswerTexts textsOf(const Boxes &b) { return {view(b.num), view(b.den), view(b.whole)}; }

} // namespace

class TestDiagnosis : public QObject {
    Q_OBJECT

private slots:
    void everyTaskEveryMistake()
    {
        std::array<int, 11> named{};
        int checked = 0, indistinct = 0, tasks = 0;
        for (int pair = 0; pair < kEveryTaskScripts; ++pair) {
            std::array<int, 11> index{};
            const std::array<Task, 10> all = generate(everyTaskScript(pair, index));
            for (int row = 0; row < 10; ++row) {
                // Rows 0..8 go through all their parameters in the first pairs.
                if (row < 9 && pair >= kCount[row])
                    continue;
                ++tasks;
                const Task &t = all[size_t(row)];
                const Operation operation = RowOperation[size_t(row)];
                const Boxes labels = labelsOf(t.d);
                const Rational a = *Rational::of(t.a), b = *Rational::of(t.b);
                const Rational e = *Rational::of(t.d);
                const auto context = [&](const Boxes &x) {
                    return QStringLiteral("row %1 pair %2, answer %3, typed (%4, %5, %6)")
                        .arg(row).arg(pair).arg(QString::fromStdString(seen(labels)))
                        .arg(QString::fromStdString(x.whole), QString::fromStdString(x.num),
                             QString::fromStdString(x.den));
                };

                // No answer: the boxes as «Готово!» filled them.
                const Boxes filled{"0", "0", "1"};
                const Diagnosis none = DiagnoseAnswer(t.a, t.b, operation, textsOf(filled), true,
                                                      AnswerIsRight(textsOf(filled), textsOf(labels)));
                QVERIFY2(none.mistake == Mistake::NoAnswer, qPrintable(context(filled)));
                ++named[size_t(Mistake::NoAnswer)];
                // The solution ends in the displayed answer.
                const std::string last = none.solution.substr(none.solution.rfind(" = ") + 3);
                QVERIFY2(last == seen(labels), qPrintable(context(filled) + ": " + QString::fromStdString(none.solution)));

                // A mistake whose value is the value of an earlier one cannot
                // be told apart from it and is not asked for.
                std::vector<Rational> claimed{e};
                for (const Attempt &attempt : attempts(a, b, operation, labels)) {
                    const Rational value = *Rational::of(*ReadRecord(attempt.boxes.num, attempt.boxes.den, attempt.boxes.whole));
                    if (attempt.mistake >= Mistake::WrongSign) {
                        const bool earlier = std::find(claimed.begin(), claimed.end(), value) != claimed.end();
                        claimed.push_back(value);
                        if (earlier) {
                            ++indistinct;
                            continue;
                        }
                    }
                    const bool right = AnswerIsRight(textsOf(attempt.boxes), textsOf(labels));
                    const Diagnosis d = DiagnoseAnswer(t.a, t.b, operation, textsOf(attempt.boxes), false, right);
                    if (d.mistake != attempt.mistake || d.explanation.empty())
                        QFAIL(qPrintable(QStringLiteral("%1: expected kind %2, named %3")
                                             .arg(context(attempt.boxes)).arg(int(attempt.mistake)).arg(int(d.mistake))));
                    ++named[size_t(attempt.mistake)];
                    ++checked;
                }
            }
        }
        qInfo("%d tasks, %d mistakes named, %d not told apart from an earlier one", tasks, checked, indistinct);
        QCOMPARE(tasks, 66 + 98 * 98);
        for (int kind = 0; kind < int(Mistake::Other); ++kind)
            QVERIFY2(named[size_t(kind)] > 0, qPrintable(QStringLiteral("kind %1 never made").arg(kind)));
    }

    void handMade_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("wasEmpty");
        QTest::addColumn<int>("mistake");
        QTest::addColumn<QString>("says");
        const auto add = [](const char *name, int row, int j, QStringList boxes, bool wasEmpty, Mistake m,
                            const char *says) {
            QTest::newRow(name) << row << j << boxes << wasEmpty << int(m) << QString::fromUtf8(says);
        };
        // Row 1, m = 2: 1/2 : (-1/3) = -1 1/2; row 9 parameter j gives a = j + 1, b = 1.
        add("box beyond 16 bits", 1, 0, {"-1", "40000", "2"}, false, Mistake::Other, "образцом");
        add("whole beyond 16 bits", 1, 0, {"-40000", "1", "2"}, false, Mistake::Other, "образцом");
        add("denominator 0", 1, 0, {"-1", "1", "0"}, false, Mistake::Other, "образцом");
        add("minus on the denominator", 1, 0, {"1", "1", "-2"}, false, Mistake::Other, "образцом");
        add("empty at the end", 1, 0, {"0", "0", "1"}, true, Mistake::NoAnswer, "не записан");
        add("unreduced: what to cancel", 1, 0, {"-1", "3", "6"}, false, Mistake::NotReduced, "сократите 3/6 на 3");
        add("unreduced improper", 1, 0, {"-", "9", "6"}, false, Mistake::WholeNotTakenOut, "-9/6 = -1 1/2");
        add("improper part beside a whole", 9, 97, {"-8", "18", "10"}, false, Mistake::WholeNotTakenOut,
            "сократите её и выделите целую часть, -8 18/10 = -9 4/5");
        add("whole number with 0/5", 2, 0, {"-8", "0", "5"}, false, Mistake::NotReduced, "сократите 0/5 на 5");
        add("different signs", 1, 0, {"1", "1", "2"}, false, Mistake::WrongSign, "разные знаки");
        // The worked solutions of listed tasks, each answered right.
        add("row 0 proper fractions", 0, 2, {"-", "1", "20"}, false, Mistake::Right, "-1/4 · 1/5 = -1/20");
        add("row 1 divisor turned over", 1, 0, {"-1", "1", "2"}, false, Mistake::Right,
            "1/2 : (-1/3) = 1/2 · (-3/1) = -3/2 = -1 1/2");
        add("row 4 whole numbers", 4, 0, {"6", "0", "1"}, false, Mistake::Right, "-3 : (-1/2) = -3/1 · (-2/1) = 6/1 = 6");
        add("row 7 reduced to -1", 7, 0, {"-1", "0", "1"}, false, Mistake::Right, "-2 1/2 · 2/5 = -5/2 · 2/5 = -10/10 = -1");
        add("row 9 every step", 9, 97, {"-9", "4", "5"}, false, Mistake::Right,
            "49/50 : (-1/10) = 49/50 · (-10/1) = -490/50 = -49/5 = -9 4/5");
    }

    void handMade()
    {
        QFETCH(int, row);
        QFETCH(int, parameter);
        QFETCH(QStringList, boxes);
        QFETCH(bool, wasEmpty);
        QFETCH(int, mistake);
        QFETCH(QString, says);
        std::vector<double> script(11, 0.0);
        script[size_t(row)] = pick(parameter, kCount[row]);
        const Task t = generate(script)[size_t(row)];
        const Boxes typedBoxes{boxes[0].toStdString(), boxes[1].toStdString(), boxes[2].toStdString()};
        const Boxes labels = labelsOf(t.d);
        const Diagnosis d = DiagnoseAnswer(t.a, t.b, RowOperation[size_t(row)], textsOf(typedBoxes), wasEmpty,
                                           AnswerIsRight(textsOf(typedBoxes), textsOf(labels)));
        QCOMPARE(int(d.mistake), mistake);
        // Either a part of the explanation or the whole solution.
        const QString explanation = QString::fromStdString(d.explanation), solution = QString::fromStdString(d.solution);
        QVERIFY2(explanation.contains(says) || solution == says, qPrintable(explanation + " | " + solution));
    }
};

QTEST_APPLESS_MAIN(TestDiagnosis)
#include "tst_diagnosis.moc"
