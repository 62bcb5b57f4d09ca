// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A practice record («Работа над ошибками») checked again by the pupil's
// program's own practice, as regrade.h checks a test: each task found among
// the generator's own by its row and the operands' texts, and among the
// tasks its kind is practised on (session/practice_tasks.h); each answer
// checked as the practice checks it (CheckAnswer: the empty boxes filled,
// the answer check, the diagnosis); each kind's state followed from its
// verdicts by the practice's own rule (StateAfter, SetLimit). There is no
// second copy here of any of them.
//
// A record does not agree («не сходится») when a stored verdict or mistake
// differs from that check, when a task is not one the practice gives for
// its kind or repeats one given before in it, when a state does not follow
// from the tasks (mastered without three right in a row at the end, not yet
// before its tasks ran out, tasks given after the set ended), or when it
// finished before it started. Only a task the practice gives, checked
// right and not a repeat, counts towards the three in a row.
//
// QtCore only.

#include "results/practice_record.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct PracticeTaskCheck {
    // A task the practice gives for its kind.
    bool valid = false;
    // The task on one line, as the practice window writes it; the operands
    // as the record holds them when the program makes no such task.
    QString line;
    // The boxes as typed, on one line.
    QString typed;
    bool right = false;
    // The same task (row, operation and operands) as one given before in
    // its kind: a set never gives a task twice, so it does not count.
    bool repeated = false;
};

struct PracticeKindCheck {
    // Its name as recorded: MistakeName, or "row-<r>".
    QString kind;
    // The kind's title as the practice window gives it (TopicTitle), or
    // its name as recorded when no kind has it.
    QString title;
    // As recorded.
    PracticeState state = PracticeState::Unfinished;
    // Where its tasks lead by the practice's rule, what the class window
    // counts whatever the record says; a kind no topic has leads nowhere
    // (not finished).
    PracticeState checked = PracticeState::Unfinished;
    // The mistake practised; none for a row's set or an unknown kind.
    std::optional<Mistake> mistake;
    std::vector<PracticeTaskCheck> tasks;

    // Begun: a task given, or ended without one (no task to give).
    bool begun() const { return !tasks.empty() || checked != PracticeState::Unfinished; }
};

struct PracticeRegrade {
    std::vector<PracticeKindCheck> kinds;
    // Why the record does not agree, one Russian line each; empty when it does.
    QStringList problems;

    int begun() const;
    int mastered() const;
};

PracticeRegrade regradePractice(const PracticeRecord &record);
