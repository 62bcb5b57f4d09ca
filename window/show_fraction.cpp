// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/show_fraction.h"

#include "runtime/checked16.h"
#include "runtime/control_props.h"
#include "window/form1.h"

#include <QLabel>

namespace {

struct Column {
    QLabel *whole;
    QLabel *num;
    QLabel *den;
    LineControl *bar;
    int wholeNumberLeft; // twips
};

Column columnOf(Form1 &form, int16_t row, uint8_t column)
{
    switch (column) {
    case 1:
        return {form.Aw(row), form.At(row), form.Az(row), form.Line1(add16(row, 1)), 480};
    case 2:
        return {form.Bw(row), form.Bt(row), form.Bz(row), form.Line1(add16(row, 11)), 2040};
    default:
        // The answer column: 480 as in column A, not its own halfway point.
        return {form.Dw(row), form.Dt(row), form.Dz(row), form.Line1(add16(row, 21)), 480};
    }
}

QString text(int16_t value) { return QString::fromStdString(toText(value)); }

} // namespace

void ShowFraction(Form1 &form, int16_t row, Fraction &fraction, uint8_t column)
{
    const Column c = columnOf(form, row, column);

    ReduceFraction(fraction, fraction);
    ToMixed(fraction, fraction);

    // In mixed normal form a fractional value carries its sign on Num or Den
    // and a whole number carries it on Whole, which step 6 writes as it is.
    const bool negative = (fraction.Num < 0 && fraction.Den >= 0) || (fraction.Num >= 0 && fraction.Den < 0);
    if (negative)
        c.whole->setText(fraction.Whole == 0 ? QStringLiteral("-") : QStringLiteral("-") + text(fraction.Whole));

    fraction.Num = abs16(fraction.Num);
    fraction.Den = abs16(fraction.Den);

    c.num->setText(text(fraction.Num));
    c.num->setVisible(fraction.Num != 0);
    c.den->setText(text(fraction.Den));
    c.den->setVisible(fraction.Den != 1);

    if (fraction.Whole != 0 && c.whole->text().isEmpty())
        c.whole->setText(text(fraction.Whole));
    c.whole->setVisible(!c.whole->text().isEmpty());

    if (fraction.Den == 1 && fraction.Num == 0) {
        setLeftTwips(c.whole, c.wholeNumberLeft);
        c.bar->setVisible(false);
    }
}
