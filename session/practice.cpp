// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/practice.h"

#include <algorithm>
#include <utility>

namespace {

PracticeTask givenTask(const RowTask &task)
{
    PracticeTask given;
    given.task = task;
    given.line = TaskLine(task);
    given.answer = WriteFraction(task.task.d);
    return given;
}

void checkTask(PracticeTask &given, const BoxTexts &typed)
{
    const CheckedAnswer checked = CheckAnswer(given.task, typed);
    given.typed = typed;
    given.checked = true;
    given.right = checked.right;
    given.diagnosis = checked.diagnosis;
}

PracticeExample exampleOf(const PracticeTopic &topic, const RowTask &task)
{
    PracticeExample example;
    example.task = task;
    example.line = TaskLine(task);
    example.solution = WorkedSolution(task.task.a, task.task.b, RowOperation[size_t(task.row)]);
    if (topic.isRow())
        return example;
    // Every task of a kind's set gives the mistaken answer: it was chosen so.
    if (const auto wrong = MistakenAnswer(task, topic.mistake)) {
        example.wrong = *wrong;
        example.wrongLine = BoxesLine(*wrong);
        example.wrongDiagnosis = CheckAnswer(task, *wrong).diagnosis;
    }
    return example;
}

// The order of the queue: the most frequent first, then the diagnosis's
// order of its kinds, then the rows'.
bool comesBefore(const PracticeSet &x, const PracticeSet &y)
{
    if (x.made != y.made)
        return x.made > y.made;
    if (x.topic.mistake != y.topic.mistake)
        return x.topic.mistake < y.topic.mistake;
    return x.topic.row < y.topic.row;
}

} // namespace

std::vector<RowMistake> WrongRows(const TestSession &session)
{
    std::vector<RowMistake> wrong;
    for (int r = 0; r < RowCount; ++r) {
        if (!session.row(r).right)
            wrong.push_back({r, session.row(r).diagnosis.mistake});
    }
    return wrong;
}

std::string_view StateWord(PracticeState state)
{
    switch (state) {
    case PracticeState::Mastered: return "освоено";
    case PracticeState::NotYet: return "ещё не освоено";
    case PracticeState::Unfinished: return "не закончено";
    case PracticeState::Waiting:
    case PracticeState::Working: break;
    }
    return {};
}

std::string_view StateName(PracticeState state)
{
    switch (state) {
    case PracticeState::Waiting: return "waiting";
    case PracticeState::Working: return "working";
    case PracticeState::Mastered: return "mastered";
    case PracticeState::NotYet: return "not-yet";
    case PracticeState::Unfinished: return "unfinished";
    }
    return {};
}

int PracticeSet::rightCount() const
{
    return int(std::count_if(tasks.begin(), tasks.end(), [](const PracticeTask &t) { return t.right; }));
}

bool PracticeSet::ended() const
{
    return state == PracticeState::Mastered || state == PracticeState::NotYet || state == PracticeState::Unfinished;
}

PracticeState StateAfter(int run, int given, int limit)
{
    if (run >= RunToMaster)
        return PracticeState::Mastered;
    return given >= limit ? PracticeState::NotYet : PracticeState::Working;
}

int SetLimit(int topicTasks)
{
    return std::clamp(topicTasks - 1, 0, TasksPerSet);
}

std::string ProgressLine(const PracticeSet &set)
{
    return "Верно подряд: " + std::to_string(set.run) + " из " + std::to_string(RunToMaster) + " \u00B7 задание " +
           std::to_string(set.tasks.size()) + " из " + std::to_string(set.limit);
}

Practice::Practice(const std::vector<RowMistake> &made)
{
    for (const RowMistake &wrong : made) {
        if (wrong.mistake == Mistake::Right || wrong.row < 0 || wrong.row >= RowCount)
            continue;
        const PracticeTopic topic = TopicOf(wrong.mistake, wrong.row);
        const auto found = std::find_if(m_sets.begin(), m_sets.end(),
                                        [&topic](const PracticeSet &set) { return set.topic == topic; });
        if (found != m_sets.end()) {
            ++found->made;
        } else {
            PracticeSet set;
            set.topic = topic;
            set.made = 1;
            m_sets.push_back(std::move(set));
        }
    }
    std::stable_sort(m_sets.begin(), m_sets.end(), comesBefore);
}

const PracticeSet *Practice::current() const
{
    return m_current >= 0 ? &m_sets[size_t(m_current)] : nullptr;
}

PracticeSet *Practice::working()
{
    if (m_current < 0 || m_sets[size_t(m_current)].state != PracticeState::Working)
        return nullptr;
    return &m_sets[size_t(m_current)];
}

bool Practice::finished() const
{
    return std::all_of(m_sets.begin(), m_sets.end(), [](const PracticeSet &set) { return set.ended(); });
}

bool Practice::beginNextSet(RandomSource &random)
{
    if (working() != nullptr)
        return false;
    for (size_t i = 0; i < m_sets.size(); ++i) {
        PracticeSet &set = m_sets[i];
        if (set.state != PracticeState::Waiting)
            continue;
        m_pool = TaskPool(PracticeTasks(set.topic));
        set.limit = SetLimit(m_pool.size());
        const std::optional<RowTask> example = m_pool.draw(random);
        if (!example || set.limit == 0) {
            // No task to practise it on: it cannot be mastered here.
            set.limit = 0;
            set.state = PracticeState::NotYet;
            continue;
        }
        set.example = exampleOf(set.topic, *example);
        set.state = PracticeState::Working;
        m_current = int(i);
        return true;
    }
    return false;
}

const PracticeTask *Practice::nextTask(RandomSource &random)
{
    PracticeSet *const worked = working();
    if (worked == nullptr)
        return nullptr;
    PracticeSet &set = *worked;
    if (!set.tasks.empty() && !set.tasks.back().checked)
        return &set.tasks.back();
    if (int(set.tasks.size()) >= set.limit)
        return nullptr;
    const std::optional<RowTask> task = m_pool.draw(random);
    if (!task)
        return nullptr;
    set.tasks.push_back(givenTask(*task));
    return &set.tasks.back();
}

const PracticeTask *Practice::check(const BoxTexts &typed)
{
    PracticeSet *const worked = working();
    if (worked == nullptr || worked->tasks.empty() || worked->tasks.back().checked)
        return nullptr;
    PracticeSet &set = *worked;
    PracticeTask &given = set.tasks.back();
    checkTask(given, typed);
    set.run = given.right ? set.run + 1 : 0;
    set.state = StateAfter(set.run, int(set.tasks.size()), set.limit);
    if (!given.right) {
        const PracticeTopic topic = TopicOf(given.diagnosis.mistake, given.task.row);
        if (topic != set.topic)
            countOtherTopic(topic);
    }
    // The queue may have grown, and moved the sets: the task is looked up again.
    return &m_sets[size_t(m_current)].tasks.back();
}

void Practice::countOtherTopic(const PracticeTopic &topic)
{
    auto counted = std::find_if(m_madeMeanwhile.begin(), m_madeMeanwhile.end(),
                                [&topic](const auto &entry) { return entry.first == topic; });
    if (counted == m_madeMeanwhile.end())
        counted = m_madeMeanwhile.insert(m_madeMeanwhile.end(), {topic, 0});
    ++counted->second;
    const bool queued = std::any_of(m_sets.begin(), m_sets.end(),
                                    [&topic](const PracticeSet &set) { return set.topic == topic; });
    if (counted->second >= 2 && !queued) {
        PracticeSet set;
        set.topic = topic;
        set.made = counted->second;
        m_sets.push_back(std::move(set));
    }
}

void Practice::close()
{
    for (PracticeSet &set : m_sets) {
        if (!set.ended())
            set.state = PracticeState::Unfinished;
    }
}

PracticeCheck::PracticeCheck(RandomSource &random)
{
    for (int row = 0; row < RowCount; ++row) {
        const std::vector<RowTask> tasks = RowTasks(row);
        const size_t pick = std::min(tasks.size() - 1, size_t(random.Rnd() * double(tasks.size())));
        m_tasks[size_t(row)] = givenTask(tasks[pick]);
    }
}

const PracticeTask *PracticeCheck::check(const BoxTexts &typed)
{
    if (finished())
        return nullptr;
    PracticeTask &given = m_tasks[size_t(m_current++)];
    checkTask(given, typed);
    return &given;
}

std::vector<RowMistake> PracticeCheck::wrongRows() const
{
    std::vector<RowMistake> wrong;
    for (const PracticeTask &given : m_tasks) {
        if (given.checked && !given.right)
            wrong.push_back({given.task.row, given.diagnosis.mistake});
    }
    return wrong;
}
