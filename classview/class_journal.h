// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The register's view of the tests, the XLSX sheet «Журнал»: one row per
// pupil with the grade of the attempt chosen, to be copied into the
// school's register. With the school's class lists, every pupil of each
// class the export covers (the class chosen, or every class that wrote), in
// the list's order, «не писал» where the pupil has no test, and after them,
// marked, whoever wrote under a name the list does not hold, so that no
// grade is lost to a typing slip. Without the lists, and on the projector
// (whose names must stay hidden), the pupils who wrote, by surname. The
// classes come one block after another, by number, then letter.
//
// QtCore only.

#include "classview/class_model.h"
#include "classview/class_summary.h"
#include "results/class_list.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct JournalRow {
    QString group;
    QString name;
    // The pupil's test; none: the pupil did not write.
    std::optional<ShownTest> test;
    // Wrote, under a name the class list does not hold.
    bool unlisted = false;
};

// `tests` as pupilRows gave them; `group` the class chosen, empty for every
// class. A pupil with several tests (several days, or every attempt) has a
// row for each.
QList<JournalRow> journalRows(const QList<ShownTest> &tests, const ClassList &list, const QString &group);

// The sheet's columns.
QStringList journalHeader();
enum class JournalColumn { Group, Pupil, Date, Grade, Note };
// The grade as a number, or the words standing for it: «не писал», or the
// state of a test not graded («не закончен», «пишет тест, 7 мин»).
SummaryCell journalGrade(const JournalRow &row);
// «нет в списке класса» for a pupil the list does not hold.
QString journalNote(const JournalRow &row);
