// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/pupil_rows.h"

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

} // namespace

QList<ShownTest> pupilRows(const QList<ShownTest> &tests, AttemptChoice choice)
{
    QList<ShownTest> rows;
    QHash<QString, qsizetype> at;
    for (const ShownTest &t : tests) {
        const ResultRecord &r = t.entry->record;
        const QString pupil = r.pupil.name.simplified().toCaseFolded() + QLatin1Char('\n') + r.pupil.className
                              + QLatin1Char('\n') + t.entry->date().toString(Qt::ISODate);
        const auto known = at.constFind(pupil);
        if (choice == AttemptChoice::All || known == at.constEnd()) {
            at.insert(pupil, rows.size());
            rows << t;
        } else if (chosenOver(t, rows[*known], choice)) {
            rows[*known] = t;
        }
    }
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
