// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which tasks practise what. Practice works on a topic: a kind of mistake the
// pupil made, or, for a row left empty or wrong in no named way, that row's
// own kind of task. Its tasks are the generator's own: every task a row's
// template makes (so every operand keeps the test's 16-bit limits), and for
// a mistake kind only those in which the mistake can be made. Whether it can
// is not guessed from the task's shape: the answer that mistake gives is
// built and the diagnosis must name that very kind for it.
//
// Answers are checked as the test checks a row after «Готово!» (the empty
// boxes filled, AnswerIsRight, DiagnoseAnswer), so practice and test never
// disagree.
//
// Standard C++ and the engine only: no toolkit.

#include "fraction/diagnosis.h"
#include "fraction/task_generator.h"
#include "runtime/random_source.h"
#include "session/session.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a set of practice works on: a mistake kind (row -1), or the tasks of
// one row's template (row 0..9), which a row left empty (NoAnswer) or wrong
// in no named way (Other) brings. For a row's set, `mistake` is the one that
// brought it; the row alone tells two rows' sets apart.
struct PracticeTopic {
    Mistake mistake = Mistake::Other;
    int row = -1;

    bool isRow() const { return row >= 0; }
    friend bool operator==(const PracticeTopic &x, const PracticeTopic &y)
    {
        return x.row == y.row && (x.row >= 0 || x.mistake == y.mistake);
    }
};

// Whether practice works on this kind itself: every named mistake. Right is
// no mistake; NoAnswer and Other say nothing of how the pupil went wrong, so
// they send the pupil back to the row's own kind of task instead.
bool IsPractisable(Mistake mistake);
// The topic a wrong answer to a task of row `row` gives.
PracticeTopic TopicOf(Mistake mistake, int row);

// The heading of a set: the kind's title (MistakeTitle), or the row's kind
// of task by its operation and operands: «Деление смешанных чисел».
std::string_view TopicTitle(const PracticeTopic &topic);
// The rule to keep, in one sentence.
std::string_view TopicRule(const PracticeTopic &topic);

// A task's answer checked as the test checks it.
struct CheckedAnswer {
    bool right = false;
    Diagnosis diagnosis;
};
CheckedAnswer CheckAnswer(const RowTask &task, const BoxTexts &typed);

// The boxes a pupil who makes `mistake` types for the task, as the pupil
// types them (a hidden part left empty); nullopt when the mistake cannot be
// made in it, or when the answer it gives is diagnosed as another kind.
std::optional<BoxTexts> MistakenAnswer(const RowTask &task, Mistake mistake);

// Every task in which the topic can be practised: for a kind, the tasks of
// every row's template where MistakenAnswer gives an answer; for a row's set,
// every task of that row's template. Row by row, in the templates' order.
std::vector<RowTask> PracticeTasks(const PracticeTopic &topic);

// The task as one line, as its worked solution begins: "−1 1/2 · 1/3",
// "1/2 : (−1/3)".
std::string TaskLine(const RowTask &task);
// Typed boxes as one line, printed as the explanations print numbers (the
// minus U+2212, a no-break space after the whole part): "1 4/3", "−10/100",
// "1/−6"; "0" for none.
std::string BoxesLine(const BoxTexts &boxes);

// The tasks a set has left to give, each at most once.
class TaskPool {
public:
    explicit TaskPool(const std::vector<RowTask> &tasks = {});

    int size() const;
    // Draws a task not drawn before: a row uniformly among the rows with
    // tasks left, then one of that row's tasks uniformly, so that row 9's
    // thousands of tasks do not crowd out the other rows. nullopt when
    // none is left.
    std::optional<RowTask> draw(RandomSource &random);

private:
    std::array<std::vector<RowTask>, RowCount> m_rows;
};
