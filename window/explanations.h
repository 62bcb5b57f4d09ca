// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// After «Готово!» has revealed the answers, each row's verdict explains
// itself: what went wrong (or that all is right) and the worked solution, as
// the verdict's tooltip and accessible description. The verdicts then also
// take Tab focus, so a keyboard or screen-reader pupil can walk the rows and
// hear each one; a verdict that gets the focus shows its tooltip.
//
// Nothing is written before the reveal: the running test and the timeout
// give no answer away.

#include "fraction/fraction.h"

#include <array>

namespace Ui {
class Form1;
}

// A row's operands as the generator made them.
struct RowTask {
    Fraction a{0, 0, 0};
    Fraction b{0, 0, 0};
};

// Explains every row from its task, the pupil's boxes as they are now, whether
// all three boxes were empty before «Готово!» filled them, and the row's
// verdict. May be called again; it rewrites the same texts.
void explainRows(const Ui::Form1 &ui, const std::array<RowTask, 10> &tasks, const std::array<bool, 10> &boxesWereEmpty);
