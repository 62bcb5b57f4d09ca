// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session.h"

#include <algorithm>

BoxTexts FilledBoxes(const BoxTexts &typed)
{
    BoxTexts filled = typed;
    if (filled.num.empty())
        filled.num = "0";
    if (filled.den.empty())
        filled.den = "1";
    if (filled.whole.empty())
        filled.whole = "0";
    return filled;
}

BoxTexts TimeoutReading(const BoxTexts &boxes)
{
    const bool wholeNumber = std::any_of(boxes.whole.begin(), boxes.whole.end(),
                                         [](char c) { return c >= '0' && c <= '9'; });
    if (wholeNumber && boxes.num.empty() && boxes.den.empty())
        return FilledBoxes(boxes);
    return boxes;
}

int GradeFor(int rightAnswers, const GradeScale &scale)
{
    if (rightAnswers >= scale.five)
        return 5;
    if (rightAnswers >= scale.four)
        return 4;
    if (rightAnswers >= scale.three)
        return 3;
    return 2;
}

TestSession::TestSession(int16_t secondsAllowed, GradeScale scale)
    : m_secondsAllowed(secondsAllowed), m_scale(scale), m_secondsLeft(secondsAllowed)
{
}

void TestSession::start(RandomSource &random, Clock::time_point now, Steady::time_point steadyNow)
{
    // The start screen's button is gone once a test runs; should a test be
    // started again all the same, it starts afresh.
    *this = TestSession(m_secondsAllowed, m_scale);
    GenerateTasks(random, [this](int16_t r, Fraction &fraction, uint8_t column) {
        SessionRow &row = m_rows.at(size_t(r));
        row.operation = RowOperation[size_t(r)];
        // The generator passes A, B, then the answer (columns 1, 2, 3).
        if (column == 1) {
            row.a = fraction;
            row.aShown = WriteFraction(fraction);
        } else if (column == 2) {
            row.b = fraction;
            row.bShown = WriteFraction(fraction);
        } else {
            row.answer = WriteFraction(fraction);
        }
    });
    m_started = now;
    m_startedSteady = steadyNow;
    m_stage = Stage::Running;
}

void TestSession::restore(const std::array<KeptRow, RowCount> &rows, int16_t secondsLeft, bool donePressed)
{
    *this = TestSession(m_secondsAllowed, m_scale);
    for (int r = 0; r < RowCount; ++r) {
        const KeptRow &kept = rows[size_t(r)];
        SessionRow &row = m_rows[size_t(r)];
        row.operation = RowOperation[size_t(r)];
        const std::optional<GeneratedTask> task = FindWrittenTask(r, kept.a, kept.b);
        row.hasTask = task.has_value();
        if (task) {
            // The operands as the generator built them: where a minus sits
            // (on a numerator or a denominator) is part of how the answer
            // is written.
            row.a = task->a;
            row.b = task->b;
            row.aShown = WriteFraction(task->a);
            row.bShown = WriteFraction(task->b);
            row.answer = WriteFraction(task->d);
        }
        setBoxes(r, kept.typed);
    }
    m_secondsLeft = secondsLeft;
    m_stage = Stage::Running;
    if (donePressed)
        fillEmptyBoxes();
}

void TestSession::setBoxes(int r, BoxTexts texts)
{
    SessionRow &row = m_rows.at(size_t(r));
    if (!m_filled)
        row.typed = texts;
    row.boxes = std::move(texts);
}

void TestSession::fillEmptyBoxes()
{
    for (SessionRow &row : m_rows) {
        // Latched: a second press finds the boxes the first one filled.
        row.boxesWereEmpty = row.boxesWereEmpty || row.boxes.allEmpty();
        row.boxes = FilledBoxes(row.boxes);
    }
    m_filled = true;
}

void TestSession::grade(Clock::time_point now, Steady::time_point steadyNow)
{
    m_right = 0;
    for (SessionRow &row : m_rows) {
        const BoxTexts read = m_filled ? row.boxes : TimeoutReading(row.boxes);
        const AnswerTexts boxes = read.view();
        row.right = row.hasTask && AnswerIsRight(boxes, {row.answer.num, row.answer.den, row.answer.whole});
        if (row.right)
            ++m_right;
        // Graded as they stand (the clock ran out), empty boxes are no answer too.
        const bool noAnswer = row.boxesWereEmpty || (!m_filled && row.boxes.allEmpty());
        row.diagnosis = row.hasTask ? DiagnoseAnswer(row.a, row.b, row.operation, boxes, noAnswer, row.right)
                                    : Diagnosis{};
    }
    // The test ended when it was first graded: «Готово!» pressed again after
    // the timeout, or twice, does not move its end.
    if (m_stage != Stage::Graded) {
        m_finished = now;
        m_finishedSteady = steadyNow;
    }
    m_stage = Stage::Graded;
}

int TestSession::gradeValue() const
{
    return m_stage == Stage::Graded ? GradeFor(m_right, m_scale) : 0;
}

int64_t TestSession::elapsedSeconds(Steady::time_point now) const
{
    const Steady::time_point end = m_stage == Stage::Graded ? m_finishedSteady : now;
    return std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::seconds>(end - m_startedSteady).count());
}
