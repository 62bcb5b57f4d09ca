// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/show_fraction.h"

#include "runtime/checked16.h"
#include "runtime/control_props.h"
#include "window/form1_ui.h"
#include "window/messages.h"

#include <QLabel>

namespace {

// Where a whole number's whole-part label moves to, in twips: towards the
// fraction's place in columns A and B; the answer column uses column A's
// value, not its own halfway point.
int wholeNumberLeft(uint8_t column)
{
    return column == 2 ? 2040 : 480;
}

} // namespace

void ShowFraction(const Ui::Form1 &ui, int16_t row, Fraction &fraction, uint8_t column)
{
    const FractionColumn c = ui.column(row, column);

    ReduceFraction(fraction, fraction);
    ToMixed(fraction, fraction);

    // In mixed normal form a fractional value carries its sign on Num or Den
    // and a whole number carries it on Whole, which step 6 writes as it is.
    const bool negative = (fraction.Num < 0 && fraction.Den >= 0) || (fraction.Num >= 0 && fraction.Den < 0);
    if (negative)
        c.whole->setText(fraction.Whole == 0 ? QStringLiteral("-") : QStringLiteral("-") + Messages::number(fraction.Whole));

    fraction.Num = abs16(fraction.Num);
    fraction.Den = abs16(fraction.Den);

    c.num->setText(Messages::number(fraction.Num));
    c.num->setVisible(fraction.Num != 0);
    c.den->setText(Messages::number(fraction.Den));
    c.den->setVisible(fraction.Den != 1);

    if (fraction.Whole != 0 && c.whole->text().isEmpty())
        c.whole->setText(Messages::number(fraction.Whole));
    c.whole->setVisible(!c.whole->text().isEmpty());

    if (fraction.Den == 1 && fraction.Num == 0) {
        setLeftTwips(c.whole, wholeNumberLeft(column));
        c.bar->setVisible(false);
    }
}
