// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/regrade.h"

#include "session/session.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

namespace {

std::string utf8(const QString &s)
{
    return s.toStdString();
}

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

// The boxes as typed, on one line: "-2 1/3", "3/4", "_/_" for empty fraction
// boxes, «пусто» when nothing was typed.
QString typedLine(const ResultRow &row)
{
    if (row.typedWhole.isEmpty() && row.typedNumerator.isEmpty() && row.typedDenominator.isEmpty())
        return QStringLiteral("(пусто)");
    const auto box = [](const QString &s) { return s.isEmpty() ? QStringLiteral("_") : s; };
    QString line = row.typedWhole;
    if (!row.typedNumerator.isEmpty() || !row.typedDenominator.isEmpty()) {
        if (!line.isEmpty() && line != QLatin1String("-"))
            line += QLatin1Char(' ');
        line += box(row.typedNumerator) + QLatin1Char('/') + box(row.typedDenominator);
    }
    return line;
}

// Wrong verdicts, counts or grade in the record compared with the grading.
void compareStored(const ResultRecord &record, Regrade &g)
{
    if (!g.graded) {
        if (record.grade != 0)
            g.problems << QStringLiteral("у незаконченного теста оценка %1").arg(record.grade);
        return;
    }
    QStringList rows;
    for (int i = 0; i < RowCount; ++i) {
        if (record.rows[size_t(i)].right != g.rows[size_t(i)].right)
            rows << QString::number(i + 1);
    }
    if (!rows.isEmpty())
        g.problems << QStringLiteral("отметка «верно/неверно» в заданиях %1").arg(rows.join(QStringLiteral(", ")));
    if (record.right != g.right || record.wrong != RowCount - g.right)
        g.problems << QStringLiteral("записано верных %1, неверных %2; на деле верных %3")
                          .arg(record.right)
                          .arg(record.wrong)
                          .arg(g.right);
    if (record.grade != g.grade)
        g.problems << QStringLiteral("записана оценка %1, на деле %2").arg(record.grade).arg(g.grade);
}

// Times a test of the program cannot have. The countdown counts the ticks
// the program handled, so a program stopped for a while (SIGSTOP) shows less
// time used than passed: the time from start to end, by the times of day and
// by the steady clock, is held to the time allowed too.
void checkTimes(const ResultRecord &record, Regrade &g)
{
    constexpr int graceSeconds = 60;
    const qint64 limit = record.secondsAllowed + graceSeconds;
    const qint64 elapsed = record.started.secsTo(record.finished);
    if (elapsed < 0)
        g.problems << QStringLiteral("окончен раньше, чем начат");
    if (record.secondsUsed > limit)
        g.problems << QStringLiteral("затрачено %1 с при %2 с на тест").arg(record.secondsUsed).arg(record.secondsAllowed);
    else if (elapsed >= 0 && record.secondsUsed > elapsed + graceSeconds)
        g.problems << QStringLiteral("затрачено %1 с, а от начала до конца прошло %2 с")
                          .arg(record.secondsUsed)
                          .arg(elapsed);
    if (elapsed > limit)
        g.problems << QStringLiteral("от начала до конца прошло %1 с при %2 с на тест").arg(elapsed).arg(record.secondsAllowed);
    if (record.elapsedSeconds && *record.elapsedSeconds > limit)
        g.problems << QStringLiteral("по часам компьютера тест шёл %1 с при %2 с на тест")
                          .arg(*record.elapsedSeconds)
                          .arg(record.secondsAllowed);
}

} // namespace

namespace {

// What the record keeps of its rows, as a session rebuilds them.
std::array<KeptRow, RowCount> keptRows(const ResultRecord &record)
{
    std::array<KeptRow, RowCount> kept;
    for (int i = 0; i < RowCount; ++i) {
        const ResultRow &row = record.rows[size_t(i)];
        kept[size_t(i)] = {utf8(row.a), utf8(row.b),
                           BoxTexts{utf8(row.typedWhole), utf8(row.typedNumerator), utf8(row.typedDenominator)}};
    }
    return kept;
}

// Row i as the session graded it; a task counts as valid only when the
// record's operation and answer are the generator's too (a running record
// writes no answers).
RowCheck rowCheck(const ResultRecord &record, const TestSession &session, int i)
{
    const ResultRow &stored = record.rows[size_t(i)];
    const SessionRow &graded = session.row(i);
    RowCheck row;
    row.operation = graded.operation;
    row.typed = typedLine(stored);
    row.taskValid = graded.hasTask && stored.operation == graded.operation
                    && (stored.answer == qs(graded.answer.text())
                        || (record.status == ResultStatus::Running && stored.answer.isEmpty()));
    if (!graded.hasTask)
        return row;
    row.a = graded.a;
    row.b = graded.b;
    row.answer = qs(graded.answer.text());
    row.right = row.taskValid && graded.right;
    row.mistake = graded.diagnosis.mistake;
    row.explanation = qs(graded.diagnosis.explanation);
    row.solution = qs(graded.diagnosis.solution);
    return row;
}

// The record's test rebuilt and graded by the session, with «Готово!»
// pressed or not; nullopt when grading fails on the way (an overflow: no
// task the generator makes does that).
std::optional<TestSession> gradedSession(const ResultRecord &record, bool donePressed)
{
    TestSession session(int16_t(record.secondsAllowed), record.gradeScale.value_or(GradeScale()));
    const int secondsLeft = record.timeRanOut ? 0 : std::max(1, record.secondsAllowed - record.secondsUsed);
    session.restore(keptRows(record), int16_t(secondsLeft), donePressed);
    try {
        session.grade(TestSession::Clock::now());
    } catch (const std::exception &) {
        return std::nullopt;
    }
    return session;
}

// Whether the record's verdicts and named mistakes are the session's.
bool sameVerdicts(const ResultRecord &record, const TestSession &session)
{
    for (int i = 0; i < RowCount; ++i) {
        const ResultRow &stored = record.rows[size_t(i)];
        const SessionRow &graded = session.row(i);
        if (stored.right != graded.right
            || (!stored.right && stored.mistake.toStdString() != MistakeName(graded.diagnosis.mistake)))
            return false;
    }
    return true;
}

// How the test ended, as far as grading goes: «Готово!» before the clock ran
// out fills the empty boxes; the clock running out grades them as they are,
// and «Готово!» may still be pressed after it, filling them then. Of those
// two, the one the record's verdicts and mistakes agree with.
std::optional<TestSession> sessionOf(const ResultRecord &record)
{
    const bool graded = record.status == ResultStatus::Graded;
    std::optional<TestSession> session = gradedSession(record, graded && !record.timeRanOut);
    if (graded && record.timeRanOut && session && !sameVerdicts(record, *session)) {
        std::optional<TestSession> afterDone = gradedSession(record, true);
        if (afterDone && sameVerdicts(record, *afterDone))
            session = std::move(afterDone);
    }
    return session;
}

} // namespace

Regrade regradeRecord(const ResultRecord &record)
{
    Regrade g;
    g.graded = record.status == ResultStatus::Graded;
    const std::optional<TestSession> session = sessionOf(record);
    if (!session) {
        g.problems << QStringLiteral("задания не удалось проверить");
        return g;
    }
    QStringList badTasks;
    for (int i = 0; i < RowCount; ++i) {
        RowCheck &row = g.rows[size_t(i)] = rowCheck(record, *session, i);
        if (!row.taskValid)
            badTasks << QString::number(i + 1);
        if (g.graded && row.right)
            ++g.right;
    }
    g.grade = g.graded ? GradeFor(g.right, session->gradeScale()) : 0;
    if (!badTasks.isEmpty())
        g.problems << QStringLiteral("задания %1 не те, что даёт программа (условие или ответ)").arg(badTasks.join(QStringLiteral(", ")));
    compareStored(record, g);
    checkTimes(record, g);
    return g;
}
