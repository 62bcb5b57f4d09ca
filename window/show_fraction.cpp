// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/show_fraction.h"

#include "runtime/checked16.h"
#include "runtime/control_props.h"

#include <QLabel>

namespace {

// Where a whole number's whole-part label moves to, in twips: towards the
// fraction's place in columns A and B; the answer column uses column A's
// value, not its own halfway point.
int wholeNumberLeft(Column column)
{
    return column == Column::B ? 2040 : 480;
}

Column columnOf(uint8_t code)
{
    switch (code) {
    case 1:
        return Column::A;
    case 2:
        return Column::B;
    default:
        return Column::Answer;
    }
}

} // namespace

void ShowWritten(const Ui::Form1 &ui, int16_t row, const WrittenForm &form, Column column)
{
    const FractionColumn c = ui.column(row, column);

    // A minus is always written; a positive whole part only into an empty
    // label, so a label is never cleared by a value without a whole part.
    const bool negative = form.whole.starts_with('-');
    if (negative || (form.wholeShown && c.whole->text().isEmpty()))
        c.whole->setText(QString::fromStdString(form.whole));

    c.num->setText(QString::fromStdString(form.num));
    c.num->setVisible(form.numShown);
    c.den->setText(QString::fromStdString(form.den));
    c.den->setVisible(form.denShown);
    c.whole->setVisible(!c.whole->text().isEmpty());

    if (form.isWholeNumber()) {
        setLeftTwips(c.whole, wholeNumberLeft(column));
        c.bar->setVisible(false);
    }
}

void ShowFraction(const Ui::Form1 &ui, int16_t row, Fraction &fraction, uint8_t column)
{
    ShowWritten(ui, row, WriteFraction(fraction), columnOf(column));
    ReduceFraction(fraction, fraction);
    ToMixed(fraction, fraction);
    fraction.Num = abs16(fraction.Num);
    fraction.Den = abs16(fraction.Den);
}
