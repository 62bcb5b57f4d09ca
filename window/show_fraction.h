// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws one fraction into one column of a task row of the window.
//
// The texts come from the value's written form (fraction/written_form.h). A
// negative value shows "-" in the whole-part label ("-" alone for a proper
// fraction, "-2" for -2 1/3). Captions are written even into labels that end
// up hidden: a whole number leaves "0" over "1". A whole number also moves
// its whole-part label towards the fraction's place and hides the column's
// bar.

#include "fraction/fraction.h"
#include "fraction/written_form.h"
#include "window/form1_ui.h"

#include <cstdint>

// Draws a written form into row `row`'s column.
void ShowWritten(const Ui::Form1 &ui, int16_t row, const WrittenForm &form, Column column);

// The column code is a byte: 1 operand A, 2 operand B, any other value the
// answer column. The record is brought into reduced mixed form and comes back
// in its displayed form: Num and Den without sign, Whole as normalisation
// left it.
void ShowFraction(const Ui::Form1 &ui, int16_t row, Fraction &fraction, uint8_t column);
