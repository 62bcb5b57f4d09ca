// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A record graded again by the program's own rules, and what in it does not
// agree with that grading.
//
// Each row's operands are read from their texts, the exact answer is
// computed again with the fraction arithmetic and written as the window
// writes it, and the typed boxes are checked against it with the window's
// answer check: after «Готово!» the empty boxes are filled as «Готово!»
// fills them (numerator "0", denominator "1", whole part "0"); at a timeout
// they are read as they are. The diagnosis and worked solution are those
// the pupil saw.
//
// A record does not agree («не сходится») when a stored verdict, the counts
// or the grade differ from this grading, when a task or its answer is not
// one the generator makes, or when its times are impossible: finished
// before started, or more time used than allowed with a minute's grace.

#include "classview/record.h"
#include "fraction/diagnosis.h"

#include <QString>
#include <QStringList>

#include <array>

struct RowCheck {
    // The operands read and the task one the generator makes for this row.
    bool taskValid = false;
    Fraction a{0, 1, 0};
    Fraction b{0, 1, 0};
    Operation operation = Operation::Multiply;
    // The answer as the window writes it ("-1 1/2"); empty without a valid task.
    QString answer;
    // The boxes as the check read them (filled after «Готово!»), one line.
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

// The grade for a count of right answers: 5 for 10, 4 for 9, 3 for 8, else 2.
int gradeFor(int right);

// The operand or answer text "W N/D", "N/D" or "W" (ASCII minus first) as a
// record; nullopt when it does not fit in 16 bits or has a denominator of 0.
std::optional<Fraction> parseValue(const QString &text);

Regrade regradeRecord(const TestRecord &record);
