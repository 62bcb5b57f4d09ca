// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_journal.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {


QString groupOf(const ShownTest &test)
{
    return normalClassName(test.entry->record.pupil.className);
}

// "5А" < "6Б" < "10А".
QStringList sortedClasses(QStringList classes)
{
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setNumericMode(true);
    classes.removeDuplicates();
    std::sort(classes.begin(), classes.end(), collator);
    return classes;
}

// The pupils who wrote, class by class, each class in the tests' order.
QList<JournalRow> writtenRows(const QList<ShownTest> &tests)
{
    QStringList classes;
    for (const ShownTest &t : tests)
        classes << groupOf(t);
    QList<JournalRow> rows;
    for (const QString &group : sortedClasses(classes)) {
        for (const ShownTest &t : tests) {
            if (groupOf(t) == group)
                rows << JournalRow{group, t.name, t, false};
        }
    }
    return rows;
}

// One class as its list gives it, then those of the class it does not hold.
void listedClass(const QString &group, const QList<ShownTest> &tests, const ClassList &list, QList<JournalRow> &rows)
{
    QHash<QString, QList<ShownTest>> byName;
    for (const ShownTest &t : tests) {
        if (groupOf(t) == group)
            byName[pupilNameKey(t.entry->record.pupil.name)] << t;
    }
    QSet<QString> listed;
    for (const QString &name : list.namesIn(group)) {
        const QString key = pupilNameKey(name);
        listed.insert(key);
        const QList<ShownTest> own = byName.value(key);
        if (own.isEmpty())
            rows << JournalRow{group, name, std::nullopt, false};
        for (const ShownTest &t : own)
            rows << JournalRow{group, name, t, false};
    }
    for (const ShownTest &t : tests) {
        if (groupOf(t) == group && !listed.contains(pupilNameKey(t.entry->record.pupil.name)))
            rows << JournalRow{group, t.name, t, true};
    }
}

} // namespace

QList<JournalRow> journalRows(const QList<ShownTest> &tests, const ClassList &list, const QString &group)
{
    const bool projector = std::any_of(tests.cbegin(), tests.cend(), [](const ShownTest &t) { return t.projector; });
    if (list.isEmpty() || projector)
        return writtenRows(tests);
    QStringList classes;
    if (!group.isEmpty())
        classes << normalClassName(group);
    else
        for (const ShownTest &t : tests)
            classes << groupOf(t);
    QList<JournalRow> rows;
    for (const QString &c : sortedClasses(classes))
        listedClass(c, tests, list, rows);
    return rows;
}

QStringList journalHeader()
{
    return {QStringLiteral("Класс"), QStringLiteral("Ученик"), QStringLiteral("Дата"), QStringLiteral("Оценка"),
            QStringLiteral("Примечание")};
}

SummaryCell journalGrade(const JournalRow &row)
{
    if (!row.test)
        return {QStringLiteral("не писал"), std::nullopt};
    const Regrade &check = row.test->entry->check;
    if (check.graded)
        return {QString::number(check.grade), double(check.grade)};
    return {stateText(*row.test), std::nullopt};
}

QString journalNote(const JournalRow &row)
{
    return row.unlisted ? QStringLiteral("нет в списке класса") : QString();
}
