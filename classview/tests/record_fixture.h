// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support: results records written by the pupil's program's own code,
// for the class window's tests, its benchmark and its screenshots. A test
// session draws its tasks from fixed random values, its boxes hold the
// right answers' texts or what the fixture says was typed, it is graded as
// «Готово!» or the clock grades it (or left unfinished), and the record is
// made from it and written as the program writes it.

#include "fraction/task_generator.h"
#include "fraction/written_form.h"
#include "results/practice_record.h"
#include "results/result_record.h"
#include "results/session_record.h"
#include "runtime/tests/scripted_random_source.h"
#include "session/practice.h"
#include "session/session.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUuid>

#include <array>
#include <chrono>
#include <optional>
#include <random>

struct FixtureTest {
    QString name = QStringLiteral("Иванова Анна");
    QString group = QStringLiteral("6Б");
    QDateTime started = QDateTime(QDate(2026, 12, 9), QTime(10, 15), QTimeZone(3 * 3600));
    int secondsUsed = 420;
    // Seconds the program stood stopped (SIGSTOP) during the test: they pass
    // on the clocks but the countdown does not count them.
    int secondsStopped = 0;
    bool timeRanOut = false;
    // «Готово!» pressed after the clock ran out.
    bool doneAfterTimeout = false;
    bool unfinished = false;
    // Written at the start, nothing graded (the record's `finished` is then
    // secondsUsed after the start).
    bool running = false;
    // The eleven values the generator draws, in [0, 1).
    std::array<double, 11> draws{};
    // Whole part, numerator, denominator as typed; nullopt: the right answer.
    std::array<std::optional<std::array<QString, 3>>, RowCount> typed{};
    QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
};

// The test's record as the program writes it, parsed back into JSON.
inline QJsonObject fixtureRecord(const FixtureTest &t)
{
    using Clock = TestSession::Clock;
    const Clock::time_point started{std::chrono::milliseconds(t.started.toMSecsSinceEpoch())};
    const Clock::time_point finished = started + std::chrono::seconds(t.secondsUsed + t.secondsStopped);
    const TestSession::Steady::time_point steadyStart{};
    const TestSession::Steady::time_point steadyEnd = steadyStart + std::chrono::seconds(t.secondsUsed + t.secondsStopped);
    TestSession session(TestSeconds);
    ScriptedRandomSource random(std::vector<double>(t.draws.begin(), t.draws.end()));
    session.start(random, started, steadyStart);
    for (int r = 0; r < RowCount; ++r) {
        const WrittenForm &answer = session.row(r).answer;
        const auto &typed = t.typed[size_t(r)];
        session.setBoxes(r, typed ? BoxTexts{(*typed)[0].toStdString(), (*typed)[1].toStdString(), (*typed)[2].toStdString()}
                                  : BoxTexts{answer.wholeShown ? answer.whole : std::string(),
                                             answer.numShown ? answer.num : std::string(),
                                             answer.denShown ? answer.den : std::string()});
    }
    session.setSecondsLeft(int16_t(t.timeRanOut ? 0 : TestSeconds - t.secondsUsed));
    if (!t.unfinished && !t.running) {
        if (!t.timeRanOut)
            session.fillEmptyBoxes();
        session.grade(finished, steadyEnd);
        if (t.timeRanOut && t.doneAfterTimeout) {
            session.fillEmptyBoxes();
            session.grade(finished, steadyEnd);
        }
    }
    ResultRecord record = recordFromSession(session, {t.name, t.group, QStringLiteral("pupil"), QStringLiteral("class-pc")},
                                            t.id,
                                            t.running      ? ResultStatus::Running
                                            : t.unfinished ? ResultStatus::Unfinished
                                                           : ResultStatus::Graded,
                                            finished, steadyEnd);
    // The times as the pupil's computer writes them, in its own zone, not this one's.
    record.started = record.started.toOffsetFromUtc(t.started.offsetFromUtc());
    record.finished = record.finished.toOffsetFromUtc(t.started.offsetFromUtc());
    return QJsonDocument::fromJson(resultJson(record, QStringLiteral("1.0.0"))).object();
}

// The pupil `t`'s practice on one kind of mistake, as the program writes
// its record: each of `answers` typed, 'R' the right answer and 'W' the
// kind's own mistake, then the practice closed. `test` is the test's id,
// empty for `drobi --practice`.
inline QJsonObject fixturePractice(const FixtureTest &t, const QString &test, Mistake kind, const QString &answers,
                                   const QDateTime &started)
{
    Practice practice({{0, kind}});
    ScriptedRandomSource random({0.3, 0.7, 0.1, 0.9, 0.5, 0.2, 0.8, 0.4, 0.6, 0.05, 0.95, 0.35});
    practice.beginNextSet(random);
    for (const QChar answer : answers) {
        const PracticeTask *task = practice.nextTask(random);
        if (task == nullptr)
            break;
        const WrittenForm &a = task->answer;
        practice.check(answer == QLatin1Char('R')
                           ? BoxTexts{a.wholeShown ? a.whole : "", a.numShown ? a.num : "", a.denShown ? a.den : ""}
                           : MistakenAnswer(task->task, kind).value_or(BoxTexts{}));
    }
    practice.close();
    PracticeRecord record = practiceRecord(practice, {t.name, t.group, QStringLiteral("pupil"), QStringLiteral("class-pc")},
                                           test, started);
    record.finished = started.addSecs(300);
    return QJsonDocument::fromJson(practiceJson(record, QStringLiteral("1.0.0"))).object();
}

// Writes the record as <id>.drobi.json (a practice's as
// <id>.drobi-practice.json) into `folder`, under a hidden name first and
// renamed, as delivery does; returns the file's path.
inline QString writeFixture(const QString &folder, const QJsonObject &record)
{
    const QString id = record.value(QStringLiteral("id")).toString();
    const bool practice = record.value(QStringLiteral("format")).toString() == QLatin1String(PracticeFormat);
    const QString path = folder + QLatin1Char('/') + (practice ? practiceFileName(id) : resultFileName(id));
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
