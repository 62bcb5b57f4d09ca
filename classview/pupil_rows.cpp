// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/pupil_rows.h"

#include "results/class_list.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <utility>

namespace {

// Whether `a` is a better attempt than `b`.
bool better(const ShownTest &a, const ShownTest &b)
{
    const Regrade &x = a.entry->check, &y = b.entry->check;
    if (x.graded != y.graded)
        return x.graded;
    if (x.grade != y.grade)
        return x.grade > y.grade;
    if (x.right != y.right)
        return x.right > y.right;
    return a.attempt > b.attempt;
}

// Whether `candidate` replaces `kept` as the pupil's chosen attempt.
bool chosenOver(const ShownTest &candidate, const ShownTest &kept, AttemptChoice choice)
{
    switch (choice) {
    case AttemptChoice::First: return candidate.attempt < kept.attempt;
    case AttemptChoice::Best: return better(candidate, kept);
    case AttemptChoice::Last:
    case AttemptChoice::All: break;
    }
    return candidate.attempt > kept.attempt;
}

// The surname (the name's first word), then the rest of the name.
std::pair<QString, QString> surnameFirst(const QString &name)
{
    const QString simple = name.simplified();
    const qsizetype space = simple.indexOf(QLatin1Char(' '));
    return space < 0 ? std::pair(simple, QString()) : std::pair(simple.left(space), simple.mid(space + 1));
}

// The row chosen for the pupil's day stands for all of that day's attempts:
// the others are kept with it, and their practices are shown with it, so a
// practice after an earlier attempt is not lost when a later one is shown.
void standForDay(ShownTest &row, const QList<EntryPtr> &day)
{
    QList<PracticePtr> practices;
    for (const EntryPtr &e : day) {
        if (e != row.entry)
            row.others << e;
        practices << e->practices;
    }
    if (practices.size() == row.entry->practices.size())
        return;
    std::stable_sort(practices.begin(), practices.end(),
                     [](const PracticePtr &a, const PracticePtr &b) { return a->record.started < b->record.started; });
    auto entry = std::make_shared<TestEntry>(*row.entry);
    entry->practices = std::move(practices);
    row.entry = std::move(entry);
}

} // namespace

QList<ShownTest> pupilRows(const QList<ShownTest> &tests, AttemptChoice choice)
{
    QList<ShownTest> rows;
    QHash<QString, qsizetype> at;
    // Each row's attempts of the day, by the row's place.
    QList<QList<EntryPtr>> days;
    for (const ShownTest &t : tests) {
        const ResultRecord &r = t.entry->record;
        const QString pupil = pupilNameKey(r.pupil.name) + QLatin1Char('\n') + r.pupil.className
                              + QLatin1Char('\n') + t.entry->date().toString(Qt::ISODate);
        const auto known = at.constFind(pupil);
        if (choice == AttemptChoice::All || known == at.constEnd()) {
            at.insert(pupil, rows.size());
            rows << t;
            days << QList<EntryPtr>{t.entry};
            continue;
        }
        days[*known] << t.entry;
        if (chosenOver(t, rows[*known], choice))
            rows[*known] = t;
    }
    for (qsizetype i = 0; i < rows.size(); ++i)
        standForDay(rows[i], days[i]);
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(rows.begin(), rows.end(), [&](const ShownTest &a, const ShownTest &b) {
        const auto [surnameA, restA] = surnameFirst(a.name);
        const auto [surnameB, restB] = surnameFirst(b.name);
        const int bySurname = collator.compare(surnameA, surnameB);
        return bySurname != 0 ? bySurname < 0 : collator.compare(restA, restB) < 0;
    });
    return rows;
}
