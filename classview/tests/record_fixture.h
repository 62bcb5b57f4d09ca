// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support: results records written as the pupil's program writes them,
// for the class window's tests, its benchmark and its screenshots. The tasks
// come from the real generator driven by fixed random values, the answers'
// texts from the window's written form; a row is either answered right (the
// answer's texts typed) or typed as the test says, and stored as wrong.

#include "fraction/task_generator.h"
#include "fraction/written_form.h"
#include "runtime/tests/scripted_random_source.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUuid>

#include <array>
#include <optional>
#include <random>

struct FixtureTest {
    QString name = QStringLiteral("Иванова Анна");
    QString group = QStringLiteral("6Б");
    QDateTime started = QDateTime(QDate(2026, 12, 9), QTime(10, 15), QTimeZone(3 * 3600));
    int secondsUsed = 420;
    bool timeRanOut = false;
    bool unfinished = false;
    // The eleven values the generator draws, in [0, 1).
    std::array<double, 11> draws{};
    // Whole part, numerator, denominator as typed; nullopt: the right answer.
    std::array<std::optional<std::array<QString, 3>>, RowCount> typed{};
    QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
};

inline QJsonObject fixtureRecord(const FixtureTest &t)
{
    std::array<std::array<WrittenForm, 3>, RowCount> shown;
    ScriptedRandomSource random(std::vector<double>(t.draws.begin(), t.draws.end()));
    GenerateTasks(random, [&](int16_t row, Fraction &f, uint8_t column) { shown[size_t(row)][column - 1u] = WriteFraction(f); });
    QJsonArray rows;
    int right = 0;
    for (int r = 0; r < RowCount; ++r) {
        const WrittenForm &answer = shown[size_t(r)][2];
        const auto typed = t.typed[size_t(r)].value_or(std::array<QString, 3>{
            answer.wholeShown ? QString::fromStdString(answer.whole) : QString(),
            answer.numShown ? QString::fromStdString(answer.num) : QString(),
            answer.denShown ? QString::fromStdString(answer.den) : QString()});
        const bool isRight = !t.unfinished && !t.typed[size_t(r)];
        right += isRight;
        rows.append(QJsonObject{
            {QStringLiteral("operation"), RowOperation[size_t(r)] == Operation::Multiply ? QStringLiteral("*") : QStringLiteral(":")},
            {QStringLiteral("a"), QString::fromStdString(shown[size_t(r)][0].text())},
            {QStringLiteral("b"), QString::fromStdString(shown[size_t(r)][1].text())},
            {QStringLiteral("answer"), QString::fromStdString(answer.text())},
            {QStringLiteral("typed"), QJsonObject{{QStringLiteral("whole"), typed[0]},
                                                  {QStringLiteral("numerator"), typed[1]},
                                                  {QStringLiteral("denominator"), typed[2]}}},
            {QStringLiteral("right"), isRight},
            {QStringLiteral("mistake"), isRight || t.unfinished ? QString() : QStringLiteral("other")},
            {QStringLiteral("explanation"), QString()},
        });
    }
    const int grade = t.unfinished ? 0 : right == 10 ? 5 : right == 9 ? 4 : right == 8 ? 3 : 2;
    return QJsonObject{
        {QStringLiteral("format"), QStringLiteral("drobi-result/1")},
        {QStringLiteral("program"), QJsonObject{{QStringLiteral("name"), QStringLiteral("drobi")},
                                                {QStringLiteral("version"), QStringLiteral("1.0.0")}}},
        {QStringLiteral("id"), t.id},
        {QStringLiteral("pupil"), QJsonObject{{QStringLiteral("name"), t.name},
                                              {QStringLiteral("class"), t.group},
                                              {QStringLiteral("login"), QStringLiteral("pupil")},
                                              {QStringLiteral("host"), QStringLiteral("class-pc")}}},
        {QStringLiteral("started"), t.started.toString(Qt::ISODate)},
        {QStringLiteral("finished"), t.started.addSecs(t.secondsUsed).toString(Qt::ISODate)},
        {QStringLiteral("secondsAllowed"), 600},
        {QStringLiteral("secondsUsed"), t.secondsUsed},
        {QStringLiteral("timeRanOut"), t.timeRanOut},
        {QStringLiteral("status"), t.unfinished ? QStringLiteral("unfinished") : QStringLiteral("graded")},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("right"), t.unfinished ? 0 : right},
        {QStringLiteral("wrong"), t.unfinished ? 0 : RowCount - right},
        {QStringLiteral("grade"), grade},
    };
}

// Writes the record as <id>.drobi.json into `folder`, under a hidden name
// first and renamed, as delivery does; returns the file's path.
inline QString writeFixture(const QString &folder, const QJsonObject &record)
{
    const QString id = record.value(QStringLiteral("id")).toString();
    const QString path = folder + QLatin1Char('/') + id + QStringLiteral(".drobi.json");
    const QString partial = folder + QStringLiteral("/.") + id + QStringLiteral(".part");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(QJsonDocument(record).toJson());
    file.close();
    return QFile::rename(partial, path) ? path : QString();
}

// A plausible pupil: each row right with probability `skill`, else one of
// the mistakes pupils make (sign lost, fraction not reduced, whole part not
// taken out, boxes left empty, something else).
inline FixtureTest randomPupil(std::mt19937 &rng, const QString &name, const QString &group, const QDateTime &started,
                               double skill)
{
    FixtureTest t;
    t.name = name;
    t.group = group;
    t.started = started;
    std::uniform_real_distribution<double> unit(0.0, 0.999999);
    for (double &d : t.draws)
        d = unit(rng);
    t.secondsUsed = 240 + int(unit(rng) * 360);
    t.timeRanOut = t.secondsUsed >= 590;
    if (t.timeRanOut)
        t.secondsUsed = 600;
    std::array<std::array<WrittenForm, 3>, RowCount> shown;
    ScriptedRandomSource random(std::vector<double>(t.draws.begin(), t.draws.end()));
    GenerateTasks(random, [&](int16_t row, Fraction &f, uint8_t column) { shown[size_t(row)][column - 1u] = WriteFraction(f); });
    for (int r = 0; r < RowCount; ++r) {
        if (unit(rng) < skill)
            continue;
        const WrittenForm &a = shown[size_t(r)][2];
        const QString whole = QString::fromStdString(a.whole), num = QString::fromStdString(a.num),
                      den = QString::fromStdString(a.den);
        const bool negative = whole.startsWith(QLatin1Char('-'));
        switch (int(unit(rng) * 4)) {
        case 0: // the minus lost
            t.typed[size_t(r)] = std::array<QString, 3>{negative ? whole.mid(1) : QStringLiteral("-") + whole, a.numShown ? num : QString(),
                                                         a.denShown ? den : QString()};
            if ((*t.typed[size_t(r)])[0] == QLatin1String("-") && !a.numShown)
                (*t.typed[size_t(r)])[0] = QStringLiteral("-1");
            break;
        case 1: // not reduced, or the fraction written with a denominator of 1
            t.typed[size_t(r)] = a.numShown ? std::array<QString, 3>{a.wholeShown ? whole : QString(),
                                                                      QString::number(num.toInt() * 2),
                                                                      QString::number(den.toInt() * 2)}
                                            : std::array<QString, 3>{QString(), QString::number(whole.toInt() * 3),
                                                                      QStringLiteral("3")};
            break;
        case 2: // nothing typed
            t.typed[size_t(r)] = std::array<QString, 3>{};
            break;
        default: // something else
            t.typed[size_t(r)] = std::array<QString, 3>{QString(), QStringLiteral("1"), QStringLiteral("7")};
            break;
        }
    }
    return t;
}
