// SPDX-License-Identifier: GPL-3.0-or-later
// ShowFraction read back from the window: the captions and visibility of a
// column's three labels, where the whole part stands, the bar, the record the
// caller gets back, and rows outside the arrays.

#include "runtime/checked16.h"
#include "window/form1.h"
#include "window/form1_ui.h"
#include "window/show_fraction.h"

#include <QLabel>
#include <QtTest>

namespace {

// A label's caption as the test sees it: a hidden label in brackets.
QString seen(const QLabel *label)
{
    return label->isHidden() ? QLatin1Char('[') + label->text() + QLatin1Char(']') : label->text();
}

struct ColumnView {
    QLabel *whole, *num, *den;
    LineControl *bar;
};

// Columns A, B and D of a row.
ColumnView columnView(const Form1 &form, int row, int index)
{
    switch (index) {
    case 0:
        return {form.ui().Aw(row), form.ui().At(row), form.ui().Az(row), form.ui().Line1(row + 1)};
    case 1:
        return {form.ui().Bw(row), form.ui().Bt(row), form.ui().Bz(row), form.ui().Line1(row + 11)};
    default:
        return {form.ui().Dw(row), form.ui().Dt(row), form.ui().Dz(row), form.ui().Line1(row + 21)};
    }
}

} // namespace

class TestShowFraction : public QObject {
    Q_OBJECT

private slots:
    void render_data();
    void render();
    void rowOutOfRange_data();
    void rowOutOfRange();
};

void TestShowFraction::render_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("num");
    QTest::addColumn<int>("den");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::addColumn<QString>("after"); // Num,Den,Whole

    struct Example {
        int num, den;
        const char *whole, *numerator, *denominator, *after;
    };
    const Example examples[] = {
        // Proper fractions: "-" alone for a negative one, sign on Num or Den.
        {2, 3, "[]", "2", "3", "2,3,0"},
        {-2, 3, "-", "2", "3", "2,3,0"},
        {1, -2, "-", "1", "2", "1,2,0"},
        {-1, -2, "[]", "1", "2", "1,2,0"},
        // Mixed numbers, reduced.
        {7, 3, "2", "1", "3", "1,3,2"},
        {-7, 3, "-2", "1", "3", "1,3,2"},
        {6, 4, "1", "1", "2", "1,2,1"},
        // Whole numbers: "0" over "1" stays written but hidden.
        {4, 1, "4", "[0]", "[1]", "0,1,4"},
        {-4, 1, "-4", "[0]", "[1]", "0,1,-4"},
        {8, -1, "-8", "[0]", "[1]", "0,1,8"},
        {0, 1, "[]", "[0]", "[1]", "0,1,0"},
    };
    // Every column code; 3 and any other code draw into the answer column.
    const struct {
        int column, row;
    } places[] = {{1, 0}, {2, 9}, {3, 4}, {7, 9}};

    for (const auto &p : places) {
        for (const Example &e : examples) {
            QTest::addRow("%d/%d code %d row %d", e.num, e.den, p.column, p.row)
                << p.row << p.column << e.num << e.den << e.whole << e.numerator << e.denominator << e.after;
        }
    }
}

void TestShowFraction::render()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, num);
    QFETCH(int, den);
    QFETCH(QString, whole);
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, after);

    Form1 form;
    Fraction f{int16_t(num), int16_t(den), 0};
    ShowFraction(form.ui(), int16_t(row), f, uint8_t(column));

    QCOMPARE(QStringLiteral("%1,%2,%3").arg(f.Num).arg(f.Den).arg(f.Whole), after);

    // Positions are compared with a window as designed, not with numbers.
    const Form1 designed;
    const bool wholeNumber = after.startsWith(QLatin1String("0,1,"));
    const int target = column == 1 ? 0 : column == 2 ? 1 : 2;
    for (int c = 0; c < 3; ++c) {
        const ColumnView v = columnView(form, row, c);
        const ColumnView d = columnView(designed, row, c);
        QCOMPARE(v.whole->y(), d.whole->y());
        if (c != target) {
            // The other two columns are left exactly as designed.
            QCOMPARE(v.whole->text() + v.num->text() + v.den->text(), QString());
            QCOMPARE(v.whole->pos(), d.whole->pos());
            QVERIFY(!v.bar->isHidden());
            continue;
        }
        QCOMPARE(seen(v.whole), whole);
        QCOMPARE(seen(v.num), numerator);
        QCOMPARE(seen(v.den), denominator);
        // A whole number stands where the fraction would: its whole part
        // moves right, into the fraction's column.
        if (wholeNumber)
            QVERIFY(v.whole->x() > d.whole->x() && v.whole->geometry().right() > d.num->x());
        else
            QCOMPARE(v.whole->x(), d.whole->x());
        QCOMPARE(v.bar->isHidden(), wholeNumber);
    }
}

void TestShowFraction::rowOutOfRange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("row 10 column A") << 10 << 1;
    QTest::newRow("row -1 column B") << -1 << 2;
    QTest::newRow("row 10 column D") << 10 << 3;
    QTest::newRow("row -1 code 7") << -1 << 7;
    QTest::newRow("row -32768 column A") << -32768 << 1;
}

void TestShowFraction::rowOutOfRange()
{
    QFETCH(int, row);
    QFETCH(int, column);

    Form1 form;
    Fraction f{1, 2, 0};
    QVERIFY_THROWS_EXCEPTION(SubscriptError, ShowFraction(form.ui(), int16_t(row), f, uint8_t(column)));
}

QTEST_MAIN(TestShowFraction)
#include "tst_show_fraction.moc"
