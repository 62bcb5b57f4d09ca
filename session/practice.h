// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// «Работа над ошибками» as data, with no widgets: after a test (or after the
// short check of `drobi --practice`) the pupil works on each mistake kind
// made, one set of tasks per kind, until three answers in a row are right.
//
// The queue holds one set per topic (practice_tasks.h): each named mistake
// kind the pupil made, and each row left empty or wrong in no named way.
// The most frequent come first; ties keep the order in which the diagnosis
// lists its kinds (NoAnswer first, Other last), then the row's order.
//
// A set begins with its example: a task where the mistake can be made, the
// answer the mistake gives with its explanation, and the worked solution.
// Then one task at a time, each new within the set, checked at once as the
// test checks a row. Three right in a row master the kind; ten tasks without
// that end it «ещё не освоено». A topic with fewer tasks (a row's template
// makes 5 to 8; a mixed number is divided only in row 6) gives as many as it
// has, less the example's: a task is never given twice in a set. A topic of
// another set, made twice during practice, joins the queue once.
// Closing the practice leaves every set not ended «не закончено».
//
// Standard C++ and the engine only: no toolkit.

#include "session/practice_tasks.h"
#include "session/session.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Right answers in a row that master a kind, and the tasks a set gives
// without that before it ends.
inline constexpr int RunToMaster = 3;
inline constexpr int TasksPerSet = 10;

// A row answered wrong, and what the diagnosis named.
struct RowMistake {
    int row = 0;
    Mistake mistake = Mistake::Other;
    friend bool operator==(const RowMistake &, const RowMistake &) = default;
};

// The rows of a graded test answered wrong.
std::vector<RowMistake> WrongRows(const TestSession &session);

enum class PracticeState : uint8_t {
    Waiting,    // in the queue, not begun
    Working,    // its example or its tasks on screen
    Mastered,   // three right in a row
    NotYet,     // its tasks given without that
    Unfinished, // the practice closed before it ended
};

// What the window says when a set ends and in «Итог»: «освоено»,
// «ещё не освоено», «не закончено»; empty while it waits or is worked on.
std::string_view StateWord(PracticeState state);
// The state as records name it: "mastered", "not-yet", "unfinished";
// "waiting" and "working" while the practice runs.
std::string_view StateName(PracticeState state);

// One task given, and the pupil's answer once it is checked.
struct PracticeTask {
    RowTask task;
    // The task on one line (TaskLine), for a screen reader.
    std::string line;
    // The correct answer as the window writes it.
    WrittenForm answer;
    // The boxes as the pupil typed them, before they were filled for the check.
    BoxTexts typed;
    bool checked = false;
    bool right = false;
    Diagnosis diagnosis;
};

// How a set begins: the wrong way («Как ошибаются») beside the right one
// («Как правильно»).
struct PracticeExample {
    RowTask task;
    std::string line;
    // The answer the mistake gives, as the pupil types it and on one line,
    // and the diagnosis of it; empty for a row's set, whose example shows
    // only how its task is solved.
    BoxTexts wrong;
    std::string wrongLine;
    Diagnosis wrongDiagnosis;
    // The worked solution (WorkedSolution).
    std::string solution;

    bool showsMistake() const { return !wrongLine.empty(); }
};

struct PracticeSet {
    PracticeTopic topic;
    // How often the topic was made in the test, or during practice when it
    // joined the queue.
    int made = 0;
    PracticeState state = PracticeState::Waiting;
    PracticeExample example;
    std::vector<PracticeTask> tasks;
    // Right answers in a row, up to the last task checked.
    int run = 0;
    // The most tasks the set gives: TasksPerSet, or fewer where the topic's
    // tasks run out.
    int limit = TasksPerSet;

    int rightCount() const;
    bool ended() const;
};

// The rule that ends a set, for the practice and for whoever checks its
// record: mastered once `run` answers in a row are right, not yet once
// `given` tasks reach the set's `limit` without that, worked on before.
PracticeState StateAfter(int run, int given, int limit);
// The most tasks a set gives when its topic has `topicTasks` tasks: one of
// them goes to the example, and a set gives at most TasksPerSet.
int SetLimit(int topicTasks);

// «Верно подряд: N из 3 · задание K из 10», K the tasks given so far and
// 10 the set's limit.
std::string ProgressLine(const PracticeSet &set);

class Practice {
public:
    // The queue from the wrong answers of a test or of the check.
    explicit Practice(const std::vector<RowMistake> &made);

    const std::vector<PracticeSet> &sets() const { return m_sets; }
    // The set begun last, worked on or just ended (the window says how it
    // ended before the next one begins); -1 and null before the first.
    int currentIndex() const { return m_current; }
    const PracticeSet *current() const;
    // No set waits or is worked on.
    bool finished() const;

    // Begins the next set in the queue and draws its example; false while
    // the current set is worked on, or when no set waits.
    bool beginNextSet(RandomSource &random);
    // The current set's task awaiting an answer: the one given and not yet
    // checked, else a new one drawn. Null when no set is worked on.
    const PracticeTask *nextTask(RandomSource &random);
    // Checks the typed boxes as the answer to the task awaiting one, and
    // ends the set when it is mastered or its tasks are all given. Null when
    // no task awaits an answer.
    const PracticeTask *check(const BoxTexts &typed);
    // The practice closes: each set not ended becomes unfinished.
    void close();

private:
    // The set worked on, or null.
    PracticeSet *working();
    void countOtherTopic(const PracticeTopic &topic);

    std::vector<PracticeSet> m_sets;
    int m_current = -1;
    TaskPool m_pool;
    // Wrong answers during practice by topic, other than the set's own.
    std::vector<std::pair<PracticeTopic, int>> m_madeMeanwhile;
};

// The short check of `drobi --practice`: one task of each row's template,
// drawn like the test's, asked one at a time and checked at once.
class PracticeCheck {
public:
    explicit PracticeCheck(RandomSource &random);

    const std::array<PracticeTask, RowCount> &tasks() const { return m_tasks; }
    // The row asked now; RowCount once every row is answered.
    int currentRow() const { return m_current; }
    bool finished() const { return m_current >= RowCount; }
    // Checks the typed boxes as the answer to the current row and moves to
    // the next; null once every row is answered.
    const PracticeTask *check(const BoxTexts &typed);
    // The rows answered wrong: what the practice works on.
    std::vector<RowMistake> wrongRows() const;

private:
    std::array<PracticeTask, RowCount> m_tasks{};
    int m_current = 0;
};
