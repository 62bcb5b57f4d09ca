// SPDX-License-Identifier: GPL-3.0-or-later
// The finish button "Готово!": filling empty boxes, the grade box, stopping
// the clock and revealing the correct answers, and pressing it again.

#include "test_support.h"

#include <QtTest>

class TestTestFinish : public QObject {
    Q_OBJECT

private slots:
    void emptyBoxesFilled();
    void message_data();
    void message();
    void wholePartAloneIsRight();
    void pressedAgain();
};

namespace {

const QString Fail = QStringLiteral("Ваша оценка 2. Вам нужно повторить тему");

} // namespace

void TestTestFinish::emptyBoxesFilled()
{
    Form1 form;
    startTest(form);
    // Blanks are not "empty": kept as they are, and they read 0.
    form.ui().Cw(2)->setText(QStringLiteral("  "));
    form.ui().Ct(5)->setText(QStringLiteral(" "));
    form.ui().Cz(7)->setText(QStringLiteral("   "));

    bool runningWhileOpen = false;
    bool answersHiddenWhileOpen = false;
    BoxCloser closer([&] {
        runningWhileOpen = form.ui().Timer1->isActive() && form.ui().Timer1->interval() == 1000;
        answersHiddenWhileOpen = !form.ui().Frame2->isVisible();
    });
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, Fail);
    QCOMPARE(closer.seen[0].icon, QMessageBox::Information);
    QCOMPARE(closer.seen[0].title, QStringLiteral("Результат теста"));
    QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The clock is stopped and the answers shown only once the box is closed.
    QVERIFY(runningWhileOpen);
    QVERIFY(answersHiddenWhileOpen);
    QCOMPARE(form.ui().Timer1->interval(), 0);
    QVERIFY(!form.ui().Timer1->isActive());
    QVERIFY(form.ui().Frame2->isVisible());

    for (int r = 0; r <= 9; ++r) {
        QCOMPARE(form.ui().Cw(r)->text(), r == 2 ? QStringLiteral("  ") : QStringLiteral("0"));
        QCOMPARE(form.ui().Ct(r)->text(), r == 5 ? QStringLiteral(" ") : QStringLiteral("0"));
        QCOMPARE(form.ui().Cz(r)->text(), r == 7 ? QStringLiteral("   ") : QStringLiteral("1"));
        QCOMPARE(form.ui().Result(r)->text(), QStringLiteral("Ответ неверный."));
        QVERIFY(!form.ui().Cw(r)->isEnabled() && !form.ui().Ct(r)->isEnabled() && !form.ui().Cz(r)->isEnabled());
    }
    QCOMPARE(form.ui().RA->text(), QStringLiteral("0"));
    QCOMPARE(form.ui().NR->text(), QStringLiteral("10"));
    QVERIFY(form.ui().Command2->isVisible() && form.ui().Command2->isEnabled());
}

void TestTestFinish::message_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("ten right") << 10 << QStringLiteral("Ваша оценка 5. Отличная работа");
    QTest::newRow("nine right") << 9 << QStringLiteral("Ваша оценка 4. Неплохо");
    QTest::newRow("eight right") << 8 << QStringLiteral("Ваша оценка 3. Старайтесь быть повнимательнее");
    QTest::newRow("seven right") << 7 << Fail;
}

void TestTestFinish::message()
{
    QFETCH(int, count);
    QFETCH(QString, text);

    Form1 form;
    startTest(form, {0.999});
    // Typed as a pupil would: a whole number in its whole-part box alone, a
    // proper fraction without a whole part.
    typeRightAnswers(form, count, true);

    BoxCloser closer;
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, text);
    QCOMPARE(form.ui().Mrk->text(), text.mid(12, 1));
    QCOMPARE(form.ui().RA->text(), QString::number(count));
}

void TestTestFinish::wholePartAloneIsRight()
{
    Form1 form;
    startTest(form); // row 2: -8, row 4: 6, row 7: -1
    enter(form.ui().Cw(2), QStringLiteral("-8"));
    enter(form.ui().Cw(4), QStringLiteral("6"));
    enter(form.ui().Cw(7), QStringLiteral("-1"));
    enter(form.ui().Cz(7), QStringLiteral("1"));

    BoxCloser closer;
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    for (int r : {2, 4, 7}) {
        QCOMPARE(form.ui().Ct(r)->text(), QStringLiteral("0"));
        QCOMPARE(form.ui().Cz(r)->text(), QStringLiteral("1"));
        QCOMPARE(form.ui().Result(r)->text(), QStringLiteral("Ответ верный."));
        QCOMPARE(foreColor(form.ui().Result(r)), DarkGreen);
    }
    QCOMPARE(form.ui().RA->text(), QStringLiteral("3"));
}

void TestTestFinish::pressedAgain()
{
    Form1 form;
    startTest(form);
    typeRightAnswers(form, 8, true);

    BoxCloser closer;
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);
    const auto snapshot = [&form] {
        QStringList state{form.GradeText(), form.ui().RA->text(), form.ui().NR->text(), form.ui().Mrk->text(), form.ui().TL->text()};
        for (int r = 0; r <= 9; ++r)
            state << form.ui().Cw(r)->text() << form.ui().Ct(r)->text() << form.ui().Cz(r)->text() << form.ui().Result(r)->text();
        return state;
    };
    const QStringList first = snapshot();

    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 2);
    QCOMPARE(closer.seen[1].text, QStringLiteral("Ваша оценка 3. Старайтесь быть повнимательнее"));
    QCOMPARE(closer.seen[1].title, closer.seen[0].title);
    QCOMPARE(closer.seen[1].icon, QMessageBox::Information);
    QCOMPARE(snapshot(), first);
    QVERIFY(!form.ui().Timer1->isActive());
    QVERIFY(form.ui().Frame2->isVisible());
}

QTEST_MAIN(TestTestFinish)
#include "tst_test_finish.moc"
