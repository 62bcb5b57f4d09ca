// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/session_record.h"

#include <QTimeZone>
#include <algorithm>

namespace {

// The local time with its offset from UTC, as the record writes it.
QDateTime localTime(TestSession::Clock::time_point time)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms);
    return local.toOffsetFromUtc(local.offsetFromUtc());
}

QString mistakeName(Mistake mistake)
{
    const std::string_view name = MistakeName(mistake);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

} // namespace

ResultRecord recordFromSession(const TestSession &session, const PupilIdentity &pupil, const QString &id,
                               ResultStatus status, TestSession::Clock::time_point now,
                               TestSession::Steady::time_point steadyNow)
{
    const bool graded = status == ResultStatus::Graded;
    ResultRecord record;
    record.id = id;
    record.pupil = pupil;
    record.started = localTime(session.started());
    record.finished = localTime(graded ? session.finished() : now);
    record.secondsAllowed = session.secondsAllowed();
    record.secondsUsed = std::clamp(session.secondsAllowed() - session.secondsLeft(), 0, int(session.secondsAllowed()));
    record.elapsedSeconds = session.elapsedSeconds(steadyNow);
    record.gradeScale = session.gradeScale();
    record.timeRanOut = session.timeRanOut();
    record.status = status;
    for (int r = 0; r < RowCount; ++r) {
        const SessionRow &row = session.row(r);
        ResultRow &out = record.rows[size_t(r)];
        out.operation = row.operation;
        out.a = QString::fromStdString(row.aShown.text());
        out.b = QString::fromStdString(row.bShown.text());
        // The record written at the start stays on the pupil's computer and
        // in their own file while they write: it holds no answer key.
        if (status != ResultStatus::Running)
            out.answer = QString::fromStdString(row.answer.text());
        out.typedWhole = QString::fromStdString(row.typed.whole);
        out.typedNumerator = QString::fromStdString(row.typed.num);
        out.typedDenominator = QString::fromStdString(row.typed.den);
        if (graded) {
            out.right = row.right;
            out.mistake = row.right ? QString() : mistakeName(row.diagnosis.mistake);
            out.explanation = QString::fromStdString(row.diagnosis.explanation);
        }
    }
    if (graded) {
        record.right = session.rightCount();
        record.wrong = session.wrongCount();
        record.grade = session.gradeValue();
    }
    return record;
}
