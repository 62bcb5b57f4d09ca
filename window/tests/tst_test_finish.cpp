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
    form.Cw(2)->setText(QStringLiteral("  "));
    form.Ct(5)->setText(QStringLiteral(" "));
    form.Cz(7)->setText(QStringLiteral("   "));

    bool runningWhileOpen = false;
    bool answersHiddenWhileOpen = false;
    BoxCloser closer([&] {
        runningWhileOpen = form.Timer1->isActive() && form.Timer1->interval() == 1000;
        answersHiddenWhileOpen = !form.Frame2->isVisible();
    });
    QTest::mouseClick(form.Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, Fail);
    QCOMPARE(closer.seen[0].icon, QMessageBox::Information);
    QCOMPARE(closer.seen[0].title, QStringLiteral("Результат теста"));
    QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The clock is stopped and the answers shown only once the box is closed.
    QVERIFY(runningWhileOpen);
    QVERIFY(answersHiddenWhileOpen);
    QCOMPARE(form.Timer1->interval(), 0);
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(form.Frame2->isVisible());

    for (int r = 0; r <= 9; ++r) {
        QCOMPARE(form.Cw(r)->text(), r == 2 ? QStringLiteral("  ") : QStringLiteral("0"));
        QCOMPARE(form.Ct(r)->text(), r == 5 ? QStringLiteral(" ") : QStringLiteral("0"));
        QCOMPARE(form.Cz(r)->text(), r == 7 ? QStringLiteral("   ") : QStringLiteral("1"));
        QCOMPARE(form.Result(r)->text(), QStringLiteral("Ответ неверный."));
        QVERIFY(!form.Cw(r)->isEnabled() && !form.Ct(r)->isEnabled() && !form.Cz(r)->isEnabled());
    }
    QCOMPARE(form.RA->text(), QStringLiteral("0"));
    QCOMPARE(form.NR->text(), QStringLiteral("10"));
    QVERIFY(form.Command2->isVisible() && form.Command2->isEnabled());
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
    QTest::mouseClick(form.Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, text);
    QCOMPARE(form.Mrk->text(), text.mid(12, 1));
    QCOMPARE(form.RA->text(), QString::number(count));
}

void TestTestFinish::wholePartAloneIsRight()
{
    Form1 form;
    startTest(form); // row 2: -8, row 4: 6, row 7: -1
    enter(form.Cw(2), QStringLiteral("-8"));
    enter(form.Cw(4), QStringLiteral("6"));
    enter(form.Cw(7), QStringLiteral("-1"));
    enter(form.Cz(7), QStringLiteral("1"));

    BoxCloser closer;
    QTest::mouseClick(form.Command2, Qt::LeftButton);

    for (int r : {2, 4, 7}) {
        QCOMPARE(form.Ct(r)->text(), QStringLiteral("0"));
        QCOMPARE(form.Cz(r)->text(), QStringLiteral("1"));
        QCOMPARE(form.Result(r)->text(), QStringLiteral("Ответ верный."));
        QCOMPARE(foreColor(form.Result(r)), DarkGreen);
    }
    QCOMPARE(form.RA->text(), QStringLiteral("3"));
}

void TestTestFinish::pressedAgain()
{
    Form1 form;
    startTest(form);
    typeRightAnswers(form, 8, true);

    BoxCloser closer;
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    const auto snapshot = [&form] {
        QStringList state{form.GradeText, form.RA->text(), form.NR->text(), form.Mrk->text(), form.TL->text()};
        for (int r = 0; r <= 9; ++r)
            state << form.Cw(r)->text() << form.Ct(r)->text() << form.Cz(r)->text() << form.Result(r)->text();
        return state;
    };
    const QStringList first = snapshot();

    QTest::mouseClick(form.Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 2);
    QCOMPARE(closer.seen[1].text, QStringLiteral("Ваша оценка 3. Старайтесь быть повнимательнее"));
    QCOMPARE(closer.seen[1].title, closer.seen[0].title);
    QCOMPARE(closer.seen[1].icon, QMessageBox::Information);
    QCOMPARE(snapshot(), first);
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(form.Frame2->isVisible());
}

QTEST_MAIN(TestTestFinish)
#include "tst_test_finish.moc"
