// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader says about the window beyond the controls' captions.
//
// A label that reports a result (the clock, a row's verdict, the counts, the
// grade) has a spoken role; its accessible name is "<role>: <caption>" and
// follows the caption whenever the logic writes it through setCaption(); an
// empty one says nothing. Answer boxes are named for their task and part in
// the design; once the tasks exist, describeTasks() reads each row's task
// from the session into its boxes' descriptions and into the name of the
// row's "=", since the operator dots and the operands' figures say nothing
// to a screen reader.

#include <QString>

namespace Ui {
class Form1;
}
class TestSession;
class QLabel;

void setSpokenRole(QLabel *label, const QString &role);
void setCaption(QLabel *label, const QString &text);
void describeTasks(const Ui::Form1 &ui, const TestSession &session);
