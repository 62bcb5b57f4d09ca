// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the window tests: closing the window's message boxes,
// starting a test with known tasks, typing answers key by key.

#include "runtime/tests/box_closer.h"
#include "runtime/tests/scripted_random_source.h"
#include "window/form1.h"
#include "window/form1_ui.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

// Where a window is in its test.
inline Stage stageOf(const Form1 &form) { return form.session().stage(); }

// Task parameters all at their lowest: the answers are -1/6, -1 1/2, -8, 5/8,
// 6, 1/2, 1 1/8, -1, -1 13/15 and -1/10.
inline std::vector<double> lowestTasks() { return {0.0}; }

// Shows the window and presses "Начать тест" with tasks drawn from `script`.
inline void startTest(Form1 &form, std::vector<double> script = lowestTasks())
{
    form.setRandomSource(std::make_unique<ScriptedRandomSource>(std::move(script)));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.ui().Command1, Qt::LeftButton);
    QVERIFY(form.ui().Frame1->isVisible());
}

// Puts `text` into a box: key by key when every character is one the key
// filter admits (the keys must all arrive), otherwise as a paste would.
inline void enter(QLineEdit *box, const QString &text)
{
    static const QRegularExpression typeable(QStringLiteral("^[0-9-]*$"));
    if (!typeable.match(text).hasMatch()) {
        box->setText(text);
        return;
    }
    box->clear();
    QTest::keyClicks(box, text);
    QCOMPARE(box->text(), text);
}

// Types row r's correct answer from its answer labels. `asPupil` leaves out
// what the finish button fills in: the whole part of a proper fraction and
// the numerator and denominator of a whole number.
inline void typeRightAnswer(Form1 &form, int r, bool asPupil = false)
{
    const bool whole = form.ui().Dt(r)->text() == QLatin1String("0") && form.ui().Dz(r)->text() == QLatin1String("1");
    enter(form.ui().Cw(r), form.ui().Dw(r)->text());
    enter(form.ui().Ct(r), asPupil && whole ? QString() : form.ui().Dt(r)->text());
    enter(form.ui().Cz(r), asPupil && whole ? QString() : form.ui().Dz(r)->text());
}

// Types right answers into `count` rows spread over the test (row r is right
// when 7r mod 10 < count) and leaves the others empty.
inline void typeRightAnswers(Form1 &form, int count, bool asPupil = false)
{
    for (int r = 0; r <= 9; ++r) {
        if (r * 7 % 10 < count)
            typeRightAnswer(form, r, asPupil);
    }
}

inline bool rowIsRight(int r, int count) { return r * 7 % 10 < count; }

inline QColor foreColor(const QWidget *w) { return w->palette().color(QPalette::WindowText); }

inline const QColor DarkGreen(0, 100, 0);
inline const QColor DarkRed(100, 0, 0);
inline const QColor BlinkRed(250, 0, 0);
inline const QColor Black(0, 0, 0);
