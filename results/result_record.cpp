// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/result_record.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUuid>
#include <pwd.h>
#include <unistd.h>

namespace {

// ISO 8601 with the UTC offset written out, whatever the time spec: a
// teacher's summary compares times of computers in one school.
QString isoTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonObject rowJson(const ResultRow &row)
{
    return QJsonObject{
        {QStringLiteral("operation"), row.operation == Operation::Multiply ? QStringLiteral("*") : QStringLiteral(":")},
        {QStringLiteral("a"), row.a},
        {QStringLiteral("b"), row.b},
        {QStringLiteral("answer"), row.answer},
        {QStringLiteral("typed"), QJsonObject{{QStringLiteral("whole"), row.typedWhole},
                                              {QStringLiteral("numerator"), row.typedNumerator},
                                              {QStringLiteral("denominator"), row.typedDenominator}}},
        {QStringLiteral("right"), row.right},
        {QStringLiteral("mistake"), row.right ? QString() : row.mistake},
        {QStringLiteral("explanation"), row.explanation},
    };
}

const passwd *currentAccount()
{
    return getpwuid(geteuid());
}

} // namespace

QString newResultId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

bool isResultId(const QString &id)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return pattern.match(id).hasMatch();
}

QString resultFileName(const QString &id)
{
    return id + QStringLiteral(".drobi.json");
}

QByteArray resultJson(const ResultRecord &record, const QString &version)
{
    QJsonArray rows;
    for (const ResultRow &row : record.rows)
        rows.append(rowJson(row));
    const QJsonObject json{
        {QStringLiteral("format"), QLatin1String(ResultFormat)},
        {QStringLiteral("program"), QJsonObject{{QStringLiteral("name"), QStringLiteral("drobi")},
                                                {QStringLiteral("version"), version}}},
        {QStringLiteral("id"), record.id},
        {QStringLiteral("pupil"), QJsonObject{{QStringLiteral("name"), cleanPupilText(record.pupil.name)},
                                              {QStringLiteral("class"), cleanPupilText(record.pupil.className)},
                                              {QStringLiteral("login"), record.pupil.login},
                                              {QStringLiteral("host"), record.pupil.host}}},
        {QStringLiteral("started"), isoTime(record.started)},
        {QStringLiteral("finished"), isoTime(record.finished)},
        {QStringLiteral("secondsAllowed"), record.secondsAllowed},
        {QStringLiteral("secondsUsed"), record.secondsUsed},
        {QStringLiteral("timeRanOut"), record.timeRanOut},
        {QStringLiteral("status"), record.status == ResultStatus::Graded ? QStringLiteral("graded") : QStringLiteral("unfinished")},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("right"), record.right},
        {QStringLiteral("wrong"), record.wrong},
        {QStringLiteral("grade"), record.status == ResultStatus::Graded ? record.grade : 0},
    };
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

QString cleanPupilText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        // Control characters (tabs, line breaks) and the direction
        // overrides would break a line of the teacher's list or let a name
        // show itself reversed; every other character stays.
        const QChar::Category category = c.category();
        const char16_t u = c.unicode();
        if (category == QChar::Other_Control || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            continue;
        kept.append(category == QChar::Separator_Line || category == QChar::Separator_Paragraph ? QChar(u' ') : c);
    }
    kept = kept.simplified();
    // Counted in characters, not UTF-16 units; a pair is never split.
    int units = 0;
    for (int characters = 0; units < kept.size() && characters < MaxPupilTextLength; ++characters)
        units += kept.at(units).isHighSurrogate() && units + 1 < kept.size() ? 2 : 1;
    return kept.left(units).trimmed();
}

QString currentLogin()
{
    if (const passwd *account = currentAccount())
        return QString::fromLocal8Bit(account->pw_name);
    return QString::number(geteuid());
}

QString currentHost()
{
    return QSysInfo::machineHostName();
}

QString currentFullName()
{
    if (const passwd *account = currentAccount()) {
        const QString gecos = QString::fromLocal8Bit(account->pw_gecos ? account->pw_gecos : "");
        const QString name = cleanPupilText(gecos.section(QLatin1Char(','), 0, 0));
        if (!name.isEmpty())
            return name;
    }
    return currentLogin();
}
