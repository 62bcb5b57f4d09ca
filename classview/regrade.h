// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A record graded again by the pupil's program's own rules, and what in it
// does not agree with that grading.
//
// The record is rebuilt as a test session (session/session.h): each row's
// task found among the generator's own by the operands' texts, the boxes as
// the pupil typed them, filled as «Готово!» fills them unless the clock ran
// out; the session then grades and diagnoses it as the window did. There is
// no second copy here of the grade scale, of the filling rule or of how a
// typed answer is read.
//
// A record does not agree («не сходится») when a stored verdict, the counts
// or the grade differ from this grading, when a task or its answer is not
// one the generator makes, or when its times are impossible: finished
// before started, or more time used than allowed with a minute's grace.

#include "results/result_record.h"
#include "fraction/diagnosis.h"

#include <QString>
#include <QStringList>

#include <array>

struct RowCheck {
    // The row's task, operation and answer are ones the generator makes.
    bool taskValid = false;
    Fraction a{0, 1, 0};
    Fraction b{0, 1, 0};
    Operation operation = Operation::Multiply;
    // The answer as the window writes it ("-1 1/2"); empty without a valid task.
    QString answer;
    // The boxes as the pupil typed them, on one line.
    QString typed;
    bool right = false;
    Mistake mistake = Mistake::Other;
    QString explanation;
    QString solution;
};

struct Regrade {
    std::array<RowCheck, RowCount> rows;
    bool graded = false;
    int right = 0;
    // 2..5 when graded, 0 when unfinished.
    int grade = 0;
    // Why the record does not agree, one Russian line each; empty when it does.
    QStringList problems;
};

Regrade regradeRecord(const ResultRecord &record);
