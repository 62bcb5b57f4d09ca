// SPDX-License-Identifier: GPL-3.0-or-later
// «Работа над ошибками» as data: the queue a graded test gives, a set worked
// to mastery or to its end, a new kind joining, the short check, and the
// tasks the chooser finds for every kind of the diagnosis.

#include "runtime/tests/scripted_random_source.h"
#include "session/practice.h"

#include <QTest>

#include <set>

namespace {

// The boxes as a pupil types the window's answer.
BoxTexts typedAnswer(const PracticeTask &task)
{
    const WrittenForm &a = task.answer;
    return {a.wholeShown ? a.whole : "", a.numShown ? a.num : "", a.denShown ? a.den : ""};
}

// What a topic is called in the tables below: a kind by its name, a row's
// set by the row.
QString topicName(const PracticeTopic &topic)
{
    return topic.isRow() ? QStringLiteral("row %1").arg(topic.row) : QString::fromUtf8(MistakeName(topic.mistake));
}

QStringList queue(const Practice &practice)
{
    QStringList names;
    for (const PracticeSet &set : practice.sets())
        names << topicName(set.topic);
    return names;
}

// The kind a stable name stands for.
std::optional<Mistake> mistakeNamed(const std::string &name)
{
    for (int kind = 0; kind <= int(Mistake::Other); ++kind) {
        if (MistakeName(Mistake(kind)) == name)
            return Mistake(kind);
    }
    return std::nullopt;
}

// The boxes that give `name`: empty for "no-answer", junk for "other", else
// the answer the kind gives for the task.
BoxTexts typedFor(const QString &name, const RowTask &task)
{
    if (name == "no-answer")
        return {};
    if (name == "other")
        return {"", "777", "1000"};
    return MistakenAnswer(task, *mistakeNamed(name.toStdString())).value_or(BoxTexts{"", "1", "1"});
}

} // namespace

class TestPractice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowTasks_data();
    void rowTasks();
    void queueFromTest_data();
    void queueFromTest();
    void workedSet_data();
    void workedSet();
    void joining_data();
    void joining();
    void shortCheck();
    void chooser_data();
    void chooser();
};

void TestPractice::rowTasks_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("count");
    const int counts[RowCount] = {8, 8, 8, 6, 7, 8, 8, 8, 5, 98 * 98};
    for (int r = 0; r < RowCount; ++r)
        QTest::addRow("row %d", r) << r << counts[r];
    QTest::newRow("past the rows") << RowCount << 0;
}

// The practice's tasks are the test's: each one is the task the generator
// makes from the same written operands.
void TestPractice::rowTasks()
{
    QFETCH(int, row);
    QFETCH(int, count);
    const std::vector<RowTask> tasks = RowTasks(row);
    QCOMPARE(int(tasks.size()), count);
    for (const RowTask &made : tasks) {
        const auto found = FindWrittenTask(row, WriteFraction(made.task.a).text(), WriteFraction(made.task.b).text());
        QVERIFY(found && found->a == made.task.a && found->b == made.task.b && found->d == made.task.d);
    }
}

void TestPractice::queueFromTest_data()
{
    QTest::addColumn<QStringList>("wrong"); // row:kind, the other rows right
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("most frequent first") << QStringList{"9:not-reduced", "0:wrong-sign", "3:wrong-sign"}
                                         << QStringList{"wrong-sign", "not-reduced"};
    // NoAnswer comes first among the diagnosis's kinds, Other last.
    QTest::newRow("ties in the diagnosis's order")
        << QStringList{"3:swapped", "1:wrong-sign", "7:other", "5:no-answer", "9:not-reduced"}
        << QStringList{"row 5", "not-reduced", "wrong-sign", "swapped", "row 7"};
    QTest::newRow("each row its own set") << QStringList{"4:other", "2:other"} << QStringList{"row 2", "row 4"};
    QTest::newRow("all right") << QStringList{} << QStringList{};
}

// The kinds typed into a real test are diagnosed there as named, and the
// graded test gives the queue.
void TestPractice::queueFromTest()
{
    QFETCH(QStringList, wrong);
    QFETCH(QStringList, expected);

    TestSession session;
    ScriptedRandomSource random({0.0});
    session.start(random, TestSession::Clock::time_point());
    QMap<int, QString> made;
    for (const QString &entry : wrong)
        made.insert(entry.section(':', 0, 0).toInt(), entry.section(':', 1));
    for (int r = 0; r < RowCount; ++r) {
        const SessionRow &row = session.row(r);
        const RowTask task{r, 0, 0, *FindWrittenTask(r, row.aShown.text(), row.bShown.text())};
        session.setBoxes(r, made.contains(r) ? typedFor(made[r], task)
                                             : BoxTexts{row.answer.whole, row.answer.num, row.answer.den});
    }
    session.fillEmptyBoxes();
    session.grade(TestSession::Clock::time_point());
    for (auto it = made.cbegin(); it != made.cend(); ++it)
        QCOMPARE(QString::fromUtf8(MistakeName(session.row(it.key()).diagnosis.mistake)), it.value());

    const Practice practice(WrongRows(session));
    QCOMPARE(queue(practice), expected);
    QCOMPARE(practice.finished(), expected.isEmpty());
}

void TestPractice::workedSet_data()
{
    QTest::addColumn<QString>("topic"); // a kind's name, or a row
    QTest::addColumn<QString>("answers"); // R right, W the topic's mistake, C the practice closed
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("progress");

    QTest::newRow("mastered after 3 in a row") << "wrong-sign" << "RRR" << "освоено"
                                               << "Верно подряд: 3 из 3 · задание 3 из 10";
    QTest::newRow("run broken by a wrong answer") << "not-reduced" << "RRWR" << ""
                                                  << "Верно подряд: 1 из 3 · задание 4 из 10";
    QTest::newRow("mastered after the break") << "swapped" << "WRRWRRR" << "освоено"
                                              << "Верно подряд: 3 из 3 · задание 7 из 10";
    QTest::newRow("not yet after 10") << "sign-twice" << "RRWRRWRRWR" << "ещё не освоено"
                                      << "Верно подряд: 1 из 3 · задание 10 из 10";
    QTest::newRow("three in a row at the tenth") << "slip" << "WWWWWWWRRR" << "освоено"
                                                 << "Верно подряд: 3 из 3 · задание 10 из 10";
    QTest::newRow("closed mid-way") << "multiplied-instead" << "RWC" << "не закончено"
                                    << "Верно подряд: 0 из 3 · задание 2 из 10";
    // Row 8's template makes five tasks, one of them the example.
    QTest::newRow("a row's set ends with its tasks") << "8" << "WRRW" << "ещё не освоено"
                                                     << "Верно подряд: 0 из 3 · задание 4 из 4";
}

void TestPractice::workedSet()
{
    QFETCH(QString, topic);
    QFETCH(QString, answers);
    QFETCH(QString, state);
    QFETCH(QString, progress);

    bool isRow = false;
    const int row = topic.toInt(&isRow);
    const Mistake kind = isRow ? Mistake::Other : *mistakeNamed(topic.toStdString());
    Practice practice({{isRow ? row : 0, kind}});
    ScriptedRandomSource random({0.9, 0.3, 0.6, 0.1});
    QVERIFY(practice.beginNextSet(random));
    std::set<std::string> lines{practice.current()->example.line};
    if (!isRow)
        QCOMPARE(practice.current()->example.wrongDiagnosis.mistake, kind);
    for (const QChar answer : answers) {
        if (answer == 'C') {
            practice.close();
            break;
        }
        const PracticeTask *task = practice.nextTask(random);
        QVERIFY(task);
        QVERIFY2(lines.insert(task->line).second, "a task given twice in one set");
        const BoxTexts typed = answer == 'R' ? typedAnswer(*task) : typedFor(isRow ? "other" : topic, task->task);
        QCOMPARE(practice.check(typed)->right, answer == 'R');
    }
    const PracticeSet &set = practice.sets().front();
    QCOMPARE(QString::fromUtf8(StateWord(set.state)), state);
    QCOMPARE(QString::fromStdString(ProgressLine(set)), progress);
    QCOMPARE(set.rightCount(), int(answers.count('R')));
    // An ended set gives no more tasks, and with it the practice is over.
    QCOMPARE(practice.nextTask(random) == nullptr, set.ended());
    QCOMPARE(practice.finished(), set.ended());
    QVERIFY(!practice.beginNextSet(random));
}

void TestPractice::joining_data()
{
    QTest::addColumn<QString>("typed"); // the mistake made in the wrong-sign set
    QTest::addColumn<int>("times");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("another kind twice joins") << "swapped" << 2 << QStringList{"wrong-sign", "swapped"};
    QTest::newRow("made once does not") << "swapped" << 1 << QStringList{"wrong-sign"};
    QTest::newRow("three times joins once") << "swapped" << 3 << QStringList{"wrong-sign", "swapped"};
    QTest::newRow("empty twice brings the row's set") << "no-answer" << 2 << QStringList{"wrong-sign", "row 0"};
    QTest::newRow("the set's own kind stays one") << "wrong-sign" << 3 << QStringList{"wrong-sign"};
}

void TestPractice::joining()
{
    QFETCH(QString, typed);
    QFETCH(int, times);
    QFETCH(QStringList, expected);

    // Drawn at the lowest, the tasks are row 0's: −1/2 · 1/3 and the next.
    Practice practice({{0, Mistake::WrongSign}});
    ScriptedRandomSource random({0.0});
    QVERIFY(practice.beginNextSet(random));
    for (int i = 0; i < times; ++i) {
        const PracticeTask *task = practice.nextTask(random);
        QCOMPARE(task->task.row, 0);
        QCOMPARE(QString::fromUtf8(MistakeName(practice.check(typedFor(typed, task->task))->diagnosis.mistake)),
                 typed);
    }
    QCOMPARE(queue(practice), expected);
    // The joined set waits its turn.
    QCOMPARE(practice.sets().back().state, expected.size() == 1 ? PracticeState::Working : PracticeState::Waiting);
}

// One task of each row, each checked at once; the practice follows on
// what it found.
void TestPractice::shortCheck()
{
    ScriptedRandomSource random({0.0});
    PracticeCheck check(random);
    QCOMPARE(random.drawn(), RowCount);
    QCOMPARE(QString::fromStdString(check.tasks()[6].line), QStringLiteral("1\u00A01/2 : 1\u00A01/3"));
    while (!check.finished()) {
        const PracticeTask &task = check.tasks()[size_t(check.currentRow())];
        const int row = check.currentRow();
        const BoxTexts typed = row == 1 ? *MistakenAnswer(task.task, Mistake::MultipliedInstead)
                               : row == 4 ? BoxTexts{}
                                          : typedAnswer(task);
        QCOMPARE(check.check(typed)->right, row != 1 && row != 4);
    }
    QVERIFY(!check.check({}));
    QCOMPARE(check.wrongRows(),
             (std::vector<RowMistake>{{1, Mistake::MultipliedInstead}, {4, Mistake::NoAnswer}}));
    QCOMPARE(queue(Practice(check.wrongRows())), QStringList({"row 4", "multiplied-instead"}));
}

void TestPractice::chooser_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("fewest"); // distinct tasks at least; 0: not practised
    QTest::addColumn<QString>("why"); // why fewer than ten

    for (int k = 0; k <= int(Mistake::Other); ++k) {
        const Mistake kind = Mistake(k);
        const char *name = kind == Mistake::Right ? "right" : MistakeName(kind).data();
        if (kind == Mistake::Right)
            QTest::newRow(name) << k << 0 << "no mistake";
        else if (kind == Mistake::NoAnswer || kind == Mistake::Other)
            QTest::newRow(name) << k << 0 << "says nothing of how it went wrong: the row's own tasks are practised";
        else if (kind == Mistake::PartsDividedSeparately)
            QTest::newRow(name) << k << 8 << "only row 6 divides a mixed number";
        else
            QTest::newRow(name) << k << TasksPerSet << "";
    }
}

// Each kind of the diagnosis is practised on distinct tasks in which the
// diagnosis itself names it; the table gives how many, in all and by row.
void TestPractice::chooser()
{
    QFETCH(int, kind);
    QFETCH(int, fewest);
    QFETCH(QString, why);

    const Mistake mistake = Mistake(kind);
    const std::vector<RowTask> tasks = PracticeTasks({mistake, -1});
    QCOMPARE(IsPractisable(mistake), fewest > 0);
    std::set<std::string> distinct;
    std::array<int, RowCount> byRow{};
    for (const RowTask &task : tasks) {
        distinct.insert(TaskLine(task));
        ++byRow[size_t(task.row)];
    }
    QString rows;
    for (int r = 0; r < RowCount; ++r)
        rows += QStringLiteral(" %1").arg(byRow[size_t(r)], 4);
    qInfo("%-28s %5zu |%s  %s", QTest::currentDataTag(), distinct.size(), qPrintable(rows), qPrintable(why));
    QCOMPARE(distinct.size(), tasks.size());
    QVERIFY(int(distinct.size()) >= fewest);
    QCOMPARE(tasks.empty(), fewest == 0);
}

QTEST_APPLESS_MAIN(TestPractice)
#include "tst_practice.moc"
