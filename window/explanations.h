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

namespace Ui {
class Form1;
}
class TestSession;

// Writes every row's explanation and worked solution, as the session's
// grading diagnosed it, into the row's verdict. May be called again; it
// rewrites the same texts.
void explainRows(const Ui::Form1 &ui, const TestSession &session);
// Lets Tab reach each verdict right after its row's boxes; called once, when
// the verdicts are first explained.
void makeVerdictsReachable(const Ui::Form1 &ui);
