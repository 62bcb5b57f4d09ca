// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_roster.h"

#include <QHash>

#include <algorithm>

namespace {


QString rosterState(const EntryPtr &entry, const QDateTime &now)
{
    if (!entry)
        return QStringLiteral("не начинал");
    switch (entry->record.status) {
    case ResultStatus::Running: return runningText(entry->record, now);
    case ResultStatus::Unfinished: return QStringLiteral("не закончил");
    case ResultStatus::Graded: break;
    }
    return QStringLiteral("сдал");
}

} // namespace

QString runningText(const ResultRecord &record, const QDateTime &now)
{
    if (record.status != ResultStatus::Running)
        return QString();
    const qint64 seconds = record.started.secsTo(now);
    if (seconds > qint64(record.secondsAllowed) + LostGraceSeconds)
        return QStringLiteral("связь потеряна");
    return QStringLiteral("пишет тест, %1 мин").arg(std::max<qint64>(seconds, 0) / 60);
}

QList<RosterRow> classRoster(const ClassList &list, const QString &className, const QList<ShownTest> &tests,
                             const QDateTime &now)
{
    QHash<QString, EntryPtr> last;
    for (const ShownTest &t : tests) {
        EntryPtr &slot = last[pupilNameKey(t.entry->record.pupil.name)];
        if (!slot || slot->record.started <= t.entry->record.started)
            slot = t.entry;
    }
    QList<RosterRow> rows;
    for (const QString &name : list.namesIn(normalClassName(className))) {
        const EntryPtr entry = last.value(pupilNameKey(name));
        rows << RosterRow{name, rosterState(entry, now), entry};
    }
    return rows;
}
