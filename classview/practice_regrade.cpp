// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/practice_regrade.h"

#include "session/practice_tasks.h"

#include <QSet>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The most tasks a set on the topic gives. Finding a kind's tasks tries its
// mistake on every task the generator makes, so each topic's is found once
// per run, whichever reading thread asks first.
int topicLimit(const PracticeTopic &topic)
{
    static std::mutex mutex;
    static std::map<std::pair<int, int>, int> limits;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_pair(topic.row, topic.isRow() ? 0 : int(topic.mistake));
    auto found = limits.find(key);
    if (found == limits.end())
        found = limits.emplace(key, SetLimit(int(PracticeTasks(topic).size()))).first;
    return found->second;
}

// One task checked; `sameAsStored` false when its verdict or mistake differ.
PracticeTaskCheck taskCheck(const PracticeTopic *topic, const PracticeRecordTask &stored, bool &sameAsStored)
{
    PracticeTaskCheck check;
    const BoxTexts typed{stored.typedWhole.toStdString(), stored.typedNumerator.toStdString(),
                         stored.typedDenominator.toStdString()};
    check.typed = qs(BoxesLine(typed));
    check.right = stored.right;
    sameAsStored = true;
    const std::optional<GeneratedTask> found = FindWrittenTask(stored.row, stored.a.toStdString(), stored.b.toStdString());
    const RowTask task{stored.row, 0, 0, found.value_or(GeneratedTask{{0, 1, 0}, {0, 1, 0}, {0, 1, 0}})};
    check.valid = found && topic
                  && (topic->isRow() ? stored.row == topic->row : MistakenAnswer(task, topic->mistake).has_value());
    if (!check.valid) {
        check.line = writtenTask(stored.operation, stored.a, stored.b);
        return check;
    }
    check.line = qs(TaskLine(task));
    const CheckedAnswer checked = CheckAnswer(task, typed);
    check.right = checked.right;
    sameAsStored = checked.right == stored.right && (checked.right || qs(MistakeName(checked.diagnosis.mistake)) == stored.mistake);
    return check;
}

QString stateWord(PracticeState state)
{
    return qs(StateWord(state == PracticeState::Working ? PracticeState::Unfinished : state));
}

// Where the kind's verdicts lead by the practice's rule (kind.checked), and
// whether the state recorded is that.
void checkState(const PracticeTopic &topic, PracticeKindCheck &kind, QStringList &problems)
{
    const int limit = topicLimit(topic);
    const int given = int(kind.tasks.size());
    int run = 0;
    PracticeState state = StateAfter(0, 0, limit);
    for (int i = 0; i < given; ++i) {
        if (state != PracticeState::Working) {
            problems << QStringLiteral("«%1»: задания после того, как работа над ним закончилась").arg(kind.title);
            kind.checked = state;
            return;
        }
        const PracticeTaskCheck &task = kind.tasks[size_t(i)];
        run = task.valid && task.right && !task.repeated ? run + 1 : 0;
        state = StateAfter(run, i + 1, limit);
    }
    // A set closed before its first task, or one with no task to give.
    if (given == 0 && kind.state == PracticeState::Unfinished)
        return;
    kind.checked = state == PracticeState::Working ? PracticeState::Unfinished : state;
    if (kind.checked != kind.state)
        problems << QStringLiteral("«%1»: записано «%2», а по заданиям «%3»")
                        .arg(kind.title, stateWord(kind.state), stateWord(state));
}

// Marks each task that repeats one given before in the kind (the same row,
// operation and operands): a set gives each task once.
void findRepeats(const PracticeRecordKind &stored, PracticeKindCheck &kind, QStringList &problems)
{
    QSet<QString> given;
    for (size_t i = 0; i < stored.tasks.size(); ++i) {
        const PracticeRecordTask &task = stored.tasks[i];
        const QString key = QStringLiteral("%1 %2 %3 %4").arg(task.row).arg(int(task.operation)).arg(task.a, task.b);
        if (given.contains(key)) {
            kind.tasks[i].repeated = true;
            problems << QStringLiteral("«%1»: задание %2 повторяется").arg(kind.title).arg(i + 1);
        }
        given.insert(key);
    }
}

PracticeKindCheck kindCheck(const PracticeRecordKind &stored, QStringList &problems)
{
    PracticeKindCheck kind;
    kind.state = stored.state;
    const std::optional<PracticeTopic> topic = practiceTopicNamed(stored.kind);
    const bool known = topic && (topic->isRow() || IsPractisable(topic->mistake));
    kind.title = known ? qs(TopicTitle(*topic)) : stored.kind;
    kind.kind = stored.kind;
    if (known && !topic->isRow())
        kind.mistake = topic->mistake;
    if (!known)
        problems << QStringLiteral("вида «%1» программа не даёт").arg(stored.kind);
    QStringList bad, differ;
    for (const PracticeRecordTask &task : stored.tasks) {
        bool same = true;
        kind.tasks.push_back(taskCheck(known ? &*topic : nullptr, task, same));
        const QString number = QString::number(kind.tasks.size());
        if (!kind.tasks.back().valid)
            bad << number;
        else if (!same)
            differ << number;
    }
    if (known && !bad.isEmpty())
        problems << QStringLiteral("«%1»: задания %2 не те, что даёт программа").arg(kind.title, bad.join(QStringLiteral(", ")));
    if (!differ.isEmpty())
        problems << QStringLiteral("«%1»: отметка «верно/неверно» или ошибка в заданиях %2")
                        .arg(kind.title, differ.join(QStringLiteral(", ")));
    findRepeats(stored, kind, problems);
    if (known)
        checkState(*topic, kind, problems);
    return kind;
}

} // namespace

int PracticeRegrade::begun() const
{
    return int(std::count_if(kinds.begin(), kinds.end(), [](const PracticeKindCheck &k) { return k.begun(); }));
}

int PracticeRegrade::mastered() const
{
    return int(std::count_if(kinds.begin(), kinds.end(),
                             [](const PracticeKindCheck &k) { return k.checked == PracticeState::Mastered; }));
}

PracticeRegrade regradePractice(const PracticeRecord &record)
{
    PracticeRegrade g;
    for (const PracticeRecordKind &kind : record.kinds)
        g.kinds.push_back(kindCheck(kind, g.problems));
    if (record.started.secsTo(record.finished) < 0)
        g.problems << QStringLiteral("окончена раньше, чем начата");
    return g;
}
