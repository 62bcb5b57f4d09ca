// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every pupil of a class, from the school's class list, with how far each
// got on the day shown: not started, writing, handed in, not finished.
//
// Who of the class is writing now: a test whose record says "running" was
// started and not yet ended. Such a record is shown with the minutes since
// its start; one older than its time allowed and LostGraceSeconds more is
// no longer written by a running program (the computer was switched off,
// the program killed or the share lost), and says so.
//
// QtCore only: no widgets.

#include "classview/class_model.h"
#include "results/class_list.h"
#include "results/result_record.h"

#include <QDateTime>
#include <QString>

// A running test older than its time allowed by more than this is lost.
inline constexpr int LostGraceSeconds = 5 * 60;

// «пишет тест, N мин» (whole minutes since the start), or «связь потеряна»;
// empty for a record that is not running.
QString runningText(const ResultRecord &record, const QDateTime &now);

struct RosterRow {
    // As the class list writes it.
    QString name;
    // «не начинал», «пишет тест, N мин», «связь потеряна», «сдал» or «не закончил».
    QString state;
    // The pupil's last test started among those given; null when none.
    EntryPtr entry;
};

// The pupils of `className` in the list's order, each with the last of the
// `tests` (one class and day, as selectTests chose them) that bears the
// pupil's name, whatever its case and spacing.
QList<RosterRow> classRoster(const ClassList &list, const QString &className, const QList<ShownTest> &tests,
                             const QDateTime &now);
