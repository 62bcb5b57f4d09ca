// SPDX-License-Identifier: GPL-3.0-or-later
// The test as data: what the answer column holds, how typed boxes are graded
// as they stand or as «Готово!» fills them, and what the record keeps.

#include "runtime/tests/scripted_random_source.h"
#include "session/session.h"

#include <QTest>

namespace {

// Task parameters all at their lowest.
TestSession startedSession()
{
    TestSession session;
    ScriptedRandomSource random({0.0});
    session.start(random, TestSession::Clock::time_point(std::chrono::seconds(1000)));
    return session;
}

} // namespace

class TestTestSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answersAsShown();
    void grading_data();
    void grading();
    void typedIsFrozenOnceFilled();
};

void TestTestSession::answersAsShown()
{
    const TestSession session = startedSession();
    QCOMPARE(session.stage(), Stage::Running);
    QStringList shown;
    for (int r = 0; r < RowCount; ++r) {
        const SessionRow &row = session.row(r);
        shown << QString::fromStdString(row.aShown.text() + (row.operation == Operation::Multiply ? " * " : " : ")
                                        + row.bShown.text() + " = " + row.answer.text());
    }
    QCOMPARE(shown, QStringList({"-1/2 * 1/3 = -1/6", "1/2 : -1/3 = -1 1/2", "4 : -1/2 = -8", "-1 1/4 * -1/2 = 5/8",
                                 "-3 : -1/2 = 6", "-1/2 : -1 = 1/2", "1 1/2 : 1 1/3 = 1 1/8",
                                 "-2 1/2 * 2/5 = -1", "-1 2/5 * 1 1/3 = -1 13/15", "1/100 : -1/10 = -1/10"}));
}

void TestTestSession::grading_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("typed"); // whole, numerator, denominator
    QTest::addColumn<bool>("rightAtTimeout");
    QTest::addColumn<bool>("rightAfterDone");
    QTest::addColumn<QString>("mistake"); // after «Готово!»

    // Row 0's answer is -1/6, row 2's -8, row 4's 6, row 6's 1 1/8.
    QTest::newRow("lone minus negates the numerator") << 0 << QStringList{"-", "1", "6"} << true << true << "";
    QTest::newRow("minus on the numerator") << 0 << QStringList{"", "-1", "6"} << true << true << "";
    QTest::newRow("minus twice reads positive") << 0 << QStringList{"-", "-1", "6"} << false << false << "sign-twice";
    QTest::newRow("minus in whole and denominator") << 0 << QStringList{"-", "1", "-6"} << false << false << "sign-twice";
    QTest::newRow("unreduced") << 0 << QStringList{"-", "2", "12"} << false << false << "not-reduced";
    // A whole number typed alone, as the instructions ask, is that number
    // however the test ends; a fraction box typed beside it is not.
    QTest::newRow("whole alone") << 2 << QStringList{"-8", "", ""} << true << true << "";
    QTest::newRow("positive whole alone") << 4 << QStringList{"6", "", ""} << true << true << "";
    QTest::newRow("whole with a numerator alone") << 4 << QStringList{"6", "0", ""} << false << true << "";
    QTest::newRow("lone minus alone") << 2 << QStringList{"-", "", ""} << false << false << "other";
    QTest::newRow("whole number over one") << 4 << QStringList{"6", "0", "1"} << true << true << "";
    QTest::newRow("improper") << 6 << QStringList{"", "9", "8"} << false << false << "whole-not-taken-out";
    QTest::newRow("empty row") << 6 << QStringList{"", "", ""} << false << false << "no-answer";
    QTest::newRow("beyond 16 bits") << 4 << QStringList{"40000", "", ""} << false << false << "other";
}

// Each row graded twice: as the clock grades it, then by «Готово!».
void TestTestSession::grading()
{
    QFETCH(int, row);
    QFETCH(QStringList, typed);
    QFETCH(bool, rightAtTimeout);
    QFETCH(bool, rightAfterDone);
    QFETCH(QString, mistake);

    TestSession session = startedSession();
    const BoxTexts boxes{typed[0].toStdString(), typed[1].toStdString(), typed[2].toStdString()};
    session.setBoxes(row, boxes);
    session.setSecondsLeft(0);
    session.grade(TestSession::Clock::time_point(std::chrono::seconds(1600)));
    QCOMPARE(session.stage(), Stage::Graded);
    QCOMPARE(session.row(row).right, rightAtTimeout);
    QCOMPARE(session.rightCount(), rightAtTimeout ? 1 : 0);
    // The timeout writes nothing into the boxes.
    QCOMPARE(session.row(row).boxes, boxes);

    session.fillEmptyBoxes();
    session.grade(TestSession::Clock::time_point(std::chrono::seconds(1700)));
    QCOMPARE(session.row(row).right, rightAfterDone);
    QCOMPARE(QString::fromUtf8(MistakeName(session.row(row).diagnosis.mistake)), mistake);
    QCOMPARE(session.rightCount(), rightAfterDone ? 1 : 0);
    QCOMPARE(session.wrongCount(), rightAfterDone ? 9 : 10);
    QCOMPARE(session.gradeValue(), 2);
}

void TestTestSession::typedIsFrozenOnceFilled()
{
    TestSession session = startedSession();
    for (int r = 0; r < RowCount; ++r)
        session.setBoxes(r, {session.row(r).answer.whole, session.row(r).answer.num, session.row(r).answer.den});
    session.setBoxes(9, {"", "", ""});
    session.fillEmptyBoxes();
    QCOMPARE(session.row(9).boxes, (BoxTexts{"0", "0", "1"}));
    // The window reads back the boxes it filled: the pupil's texts stay.
    session.setBoxes(9, session.row(9).boxes);
    QCOMPARE(session.row(9).typed, (BoxTexts{"", "", ""}));
    session.grade(TestSession::Clock::time_point(std::chrono::seconds(1300)));
    QCOMPARE(session.rightCount(), 9);
    QCOMPARE(session.gradeValue(), 4);
    QVERIFY(!session.timeRanOut());
    QCOMPARE(session.finished() - session.started(), std::chrono::seconds(300));
    // Graded again later, the test still ended when it was first graded.
    session.grade(TestSession::Clock::time_point(std::chrono::seconds(1900)));
    QCOMPARE(session.finished() - session.started(), std::chrono::seconds(300));
}

QTEST_APPLESS_MAIN(TestTestSession)
#include "tst_session.moc"
