// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One test as data: its ten tasks, what the pupil typed, the verdicts, the
// grade and the clock, with no widgets. The window draws from it; the results
// record is written from it; grading is a function of it alone.
//
// The course of a test: Ready -> Running (start) -> Graded (grade). Nothing
// leads back, but a graded test may be graded again: «Готово!» after the
// timeout fills the empty boxes and grades once more.
//
// The session keeps two sets of box texts per row: what the boxes hold now,
// which grading reads, and what the pupil typed, which stops following the
// boxes once «Готово!» has filled the empty ones, so that the record keeps
// the texts as the pupil left them.
//
// Standard C++ and the engine only: no toolkit.

#include "fraction/answer.h"
#include "fraction/diagnosis.h"
#include "fraction/fraction.h"
#include "fraction/task_generator.h"
#include "fraction/written_form.h"
#include "runtime/random_source.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// The length of a test in seconds, unless a school sets another.
inline constexpr int16_t TestSeconds = 600;

enum class Stage : uint8_t { Ready, Running, Graded };

// The fewest right answers out of ten for a 5, a 4 and a 3; fewer earn a 2.
// 10, 9 and 8 unless a school sets its own.
struct GradeScale {
    int five = 10;
    int four = 9;
    int three = 8;

    // Each grade needs at least as many right answers as the one below it,
    // within 0..10.
    bool isValid() const { return 0 <= three && three <= four && four <= five && five <= 10; }
    friend bool operator==(const GradeScale &, const GradeScale &) = default;
};

// The grade for a number of right answers out of ten.
int GradeFor(int rightAnswers, const GradeScale &scale = GradeScale());

// A row's three answer boxes: whole part, numerator, denominator.
struct BoxTexts {
    std::string whole;
    std::string num;
    std::string den;

    bool allEmpty() const { return whole.empty() && num.empty() && den.empty(); }
    // As the answer check reads them.
    AnswerTexts view() const { return {num, den, whole}; }
    friend bool operator==(const BoxTexts &, const BoxTexts &) = default;
};

// What «Готово!» writes into empty boxes: an untouched row reads 0 over 1,
// and a whole part typed alone reads as that whole number.
BoxTexts FilledBoxes(const BoxTexts &typed);
// How grading reads a row's boxes when the clock runs out: as they stand,
// except that a whole number typed in the whole-part box with both fraction
// boxes empty reads as that whole number, as «Готово!» would read it, and
// not as a fraction over 0. Nothing is written into the boxes.
BoxTexts TimeoutReading(const BoxTexts &boxes);

// What a results record keeps of one row: the operands as the window wrote
// them and the boxes as the pupil left them.
struct KeptRow {
    std::string a;
    std::string b;
    BoxTexts typed;
};

struct SessionRow {
    Operation operation = Operation::Multiply;
    // The operands as the generator made them.
    Fraction a{0, 0, 0};
    Fraction b{0, 0, 0};
    // The operands and the correct answer as the window writes them.
    WrittenForm aShown;
    WrittenForm bShown;
    WrittenForm answer;
    // What the boxes hold now: what grading reads.
    BoxTexts boxes;
    // The boxes as the pupil left them, before «Готово!» filled empty ones.
    BoxTexts typed;
    // Whether all three boxes were empty when «Готово!» was pressed.
    bool boxesWereEmpty = false;
    // False for a row rebuilt from a record whose task is not one the
    // generator makes: it has no answer to compare with and grades wrong.
    bool hasTask = true;
    // Set by grading.
    bool right = false;
    Diagnosis diagnosis;
};

class TestSession {
public:
    // The time of day, as the record writes the start and the end.
    using Clock = std::chrono::system_clock;
    // The time that passed, which nothing the pupil does to the clock of
    // the day or to the program (stopping it) holds back.
    using Steady = std::chrono::steady_clock;

    explicit TestSession(int16_t secondsAllowed = TestSeconds, GradeScale scale = GradeScale());

    Stage stage() const { return m_stage; }
    int16_t secondsAllowed() const { return m_secondsAllowed; }
    const GradeScale &gradeScale() const { return m_scale; }
    int16_t secondsLeft() const { return m_secondsLeft; }
    const SessionRow &row(int r) const { return m_rows.at(size_t(r)); }
    Clock::time_point started() const { return m_started; }
    Clock::time_point finished() const { return m_finished; }

    // Draws the ten tasks and starts the clock's count.
    void start(RandomSource &random, Clock::time_point now, Steady::time_point steadyNow = Steady::now());
    // Rebuilds a test from what its results record keeps, as it stood when
    // it was last graded: the tasks found among those the generator makes
    // (a row whose operands are not is left without a task), the boxes as
    // typed, filled as «Готово!» fills them when `donePressed`, and the
    // seconds left. grade() then grades it as the pupil's program did.
    void restore(const std::array<KeptRow, RowCount> &rows, int16_t secondsLeft, bool donePressed);
    // The clock's count, as the window's clock keeps it.
    void setSecondsLeft(int16_t seconds) { m_secondsLeft = seconds; }
    // What row r's boxes hold now.
    void setBoxes(int r, BoxTexts texts);

    // «Готово!»: notes the rows left empty and fills every empty box.
    void fillEmptyBoxes();
    bool boxesFilled() const { return m_filled; }

    // Marks every row, counts and grades, and diagnoses each row. The first
    // grading sets the time the test finished.
    void grade(Clock::time_point now, Steady::time_point steadyNow = Steady::now());
    // Whole seconds that passed from the start to the first grading, or to
    // `now` while the test is not graded; counted by the steady clock, so a
    // program stopped for a while (SIGSTOP) shows the time it stood still,
    // which the countdown's handled ticks do not.
    int64_t elapsedSeconds(Steady::time_point now = Steady::now()) const;

    int rightCount() const { return m_right; }
    int wrongCount() const { return RowCount - m_right; }
    // The grade the scale gives the right answers (10, 9 and 8 right for a
    // 5, 4 and 3 by default); 0 until graded.
    int gradeValue() const;
    // The clock ran out before the test was graded for the last time.
    bool timeRanOut() const { return m_secondsLeft <= 0; }

private:
    int16_t m_secondsAllowed;
    GradeScale m_scale;
    int16_t m_secondsLeft;
    Stage m_stage = Stage::Ready;
    bool m_filled = false;
    int m_right = 0;
    std::array<SessionRow, RowCount> m_rows{};
    Clock::time_point m_started{};
    Clock::time_point m_finished{};
    Steady::time_point m_startedSteady{};
    Steady::time_point m_finishedSteady{};
};

