// SPDX-License-Identifier: GPL-3.0-or-later
// CheckAllAnswers through the real boxes of a running test: typed texts
// reaching the grading, the verdicts and their colours, the counts and the
// grade, and boxes holding numbers beyond 16 bits.

#include "test_support.h"

#include <QtTest>

class TestAnswerCheck : public QObject {
    Q_OBJECT

private slots:
    void typedAnswer_data();
    void typedAnswer();
    void grading_data();
    void grading();
    void outOfRangeBox_data();
    void outOfRangeBox();
    void verdictFollowsLatestCheck();
};

namespace {

QLineEdit *box(Form1 &form, const QString &name, int r)
{
    if (name == QLatin1String("Cw"))
        return form.ui().Cw(r);
    if (name == QLatin1String("Ct"))
        return form.ui().Ct(r);
    return form.ui().Cz(r);
}

} // namespace

void TestAnswerCheck::typedAnswer_data()
{
    // A handful of rows that show the boxes reach the grading (whose rules
    // are tested in the engine's own tests), checked as they are, without
    // the finish button's filling. With the lowest parameters row 0's answer
    // is -1/6, row 2's -8, row 3's 5/8 and row 6's 1 1/8.
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("typed"); // Cw, Ct, Cz
    QTest::addColumn<bool>("right");

    QTest::newRow("5/8 as shown") << 3 << QStringList{"", "5", "8"} << true;
    QTest::newRow("5/8 unreduced") << 3 << QStringList{"", "10", "16"} << false;
    QTest::newRow("-1/6 lone minus") << 0 << QStringList{"-", "1", "6"} << true;
    QTest::newRow("-1/6 minus on the numerator") << 0 << QStringList{"", "-1", "6"} << true;
    QTest::newRow("-8 whole part alone") << 2 << QStringList{"-8", "", ""} << true;
    QTest::newRow("-8 over an empty denominator") << 2 << QStringList{"-8", "0", ""} << false;
    QTest::newRow("1 1/8 as shown") << 6 << QStringList{"1", "1", "8"} << true;
    QTest::newRow("1 1/8 pasted junk after digits") << 6 << QStringList{"1", "1abc", "8"} << true;
}

void TestAnswerCheck::typedAnswer()
{
    QFETCH(int, row);
    QFETCH(QStringList, typed);
    QFETCH(bool, right);

    Form1 form;
    startTest(form);
    enter(form.ui().Cw(row), typed[0]);
    enter(form.ui().Ct(row), typed[1]);
    enter(form.ui().Cz(row), typed[2]);

    form.CheckAllAnswers();

    QCOMPARE(form.session().row(row).right, right);
    QCOMPARE(form.ui().Result(row)->text(), right ? QStringLiteral("Ответ верный.") : QStringLiteral("Ответ неверный."));
    QCOMPARE(foreColor(form.ui().Result(row)), right ? DarkGreen : DarkRed);
    QCOMPARE(form.ui().RA->text(), right ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(form.ui().NR->text(), right ? QStringLiteral("9") : QStringLiteral("10"));
}

void TestAnswerCheck::grading_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<double>>("script");
    QTest::addColumn<QString>("grade");

    const QString five = QStringLiteral("5. Отличная работа");
    const QString two = QStringLiteral("2. Вам нужно повторить тему");
    QTest::newRow("ten right, lowest parameters") << 10 << QList<double>{0.0} << five;
    QTest::newRow("ten right, highest parameters") << 10 << QList<double>{0.999} << five;
    // a = 50, b = 5: row 9's answer is the whole number -1
    QTest::newRow("ten right, row 9 whole") << 10 << QList<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5, 0.045} << five;
    QTest::newRow("nine right") << 9 << QList<double>{0.5} << QStringLiteral("4. Неплохо");
    QTest::newRow("eight right") << 8 << QList<double>{0.3} << QStringLiteral("3. Старайтесь быть повнимательнее");
    QTest::newRow("seven right") << 7 << QList<double>{0.7} << two;
    QTest::newRow("one right") << 1 << QList<double>{0.0} << two;
    QTest::newRow("none") << 0 << QList<double>{0.0} << two;
}

void TestAnswerCheck::grading()
{
    QFETCH(int, count);
    QFETCH(QList<double>, script);
    QFETCH(QString, grade);

    Form1 form;
    startTest(form, std::vector<double>(script.begin(), script.end()));
    // Whole-number answers keep "0" and "1" in hidden labels; typing them counts.
    typeRightAnswers(form, count);
    if (QTest::currentTestFailed())
        return;

    form.CheckAllAnswers();

    QCOMPARE(form.GradeText(), grade);
    QCOMPARE(form.ui().RA->text(), QString::number(count));
    QCOMPARE(form.ui().NR->text(), QString::number(10 - count));
    QCOMPARE(form.ui().Mrk->text(), grade.left(1));
    for (const QLabel *shown : {form.ui().Mrk, form.ui().RA, form.ui().NR, form.ui().Label5, form.ui().Label6})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (int r = 0; r <= 9; ++r) {
        const bool right = rowIsRight(r, count);
        QCOMPARE(form.ui().Result(r)->text(), right ? QStringLiteral("Ответ верный.") : QStringLiteral("Ответ неверный."));
        QCOMPARE(foreColor(form.ui().Result(r)), right ? DarkGreen : DarkRed);
        QVERIFY(!form.ui().Cw(r)->isEnabled() && !form.ui().Ct(r)->isEnabled() && !form.ui().Cz(r)->isEnabled());
    }
}

void TestAnswerCheck::outOfRangeBox_data()
{
    // A number beyond 16 bits makes only its own row wrong.
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");

    QTest::newRow("40000 denominator") << "Cz" << "40000";
    QTest::newRow("40 digits whole part") << "Cw" << QString(40, QLatin1Char('9'));
    QTest::newRow("-40000 numerator") << "Ct" << "-40000";
    QTest::newRow("32768 numerator") << "Ct" << "32768";
    QTest::newRow("32767.5 rounds to 32768") << "Cz" << "32767.5";
    QTest::newRow("-32769 numerator") << "Ct" << "-32769";
}

void TestAnswerCheck::outOfRangeBox()
{
    QFETCH(QString, boxName);
    QFETCH(QString, text);

    Form1 form;
    startTest(form);
    typeRightAnswers(form, 10);
    enter(box(form, boxName, 3), text);
    if (QTest::currentTestFailed())
        return;

    form.CheckAllAnswers();

    QCOMPARE(form.ui().Result(3)->text(), QStringLiteral("Ответ неверный."));
    QCOMPARE(form.ui().RA->text(), QStringLiteral("9"));
    QCOMPARE(form.GradeText(), QStringLiteral("4. Неплохо"));
    QCOMPARE(form.ui().Result(4)->text(), QStringLiteral("Ответ верный."));
}

void TestAnswerCheck::verdictFollowsLatestCheck()
{
    Form1 form;
    startTest(form); // row 3: 5/8
    enter(form.ui().Ct(3), QStringLiteral("5"));
    enter(form.ui().Cz(3), QStringLiteral("9"));
    form.CheckAllAnswers();
    QCOMPARE(form.ui().Result(3)->text(), QStringLiteral("Ответ неверный."));
    QCOMPARE(foreColor(form.ui().Result(3)), DarkRed);

    // The boxes are disabled now, but their texts are still read.
    form.ui().Cz(3)->setText(QStringLiteral("8"));
    form.CheckAllAnswers();
    QCOMPARE(form.ui().Result(3)->text(), QStringLiteral("Ответ верный."));
    QCOMPARE(foreColor(form.ui().Result(3)), DarkGreen);
    QCOMPARE(form.ui().RA->text(), QStringLiteral("1"));

    form.ui().Cz(3)->setText(QStringLiteral("9"));
    form.CheckAllAnswers();
    QCOMPARE(form.ui().Result(3)->text(), QStringLiteral("Ответ неверный."));
    QCOMPARE(foreColor(form.ui().Result(3)), DarkRed);
    QCOMPARE(form.ui().RA->text(), QStringLiteral("0"));
    QCOMPARE(form.GradeText(), QStringLiteral("2. Вам нужно повторить тему"));
}

QTEST_MAIN(TestAnswerCheck)
#include "tst_answer_check.moc"
