// SPDX-License-Identifier: GPL-3.0-or-later
// The countdown clock: ToTime's text, the tick's count and blink, the
// timeout with its grade box, and ticks arriving while a box is open. Ticks
// are handed to the window directly; no test waits for the real timer.

#include "test_support.h"

#include <QAccessible>
#include <QtTest>

class TestClock : public QObject {
    Q_OBJECT

private slots:
    void toTime_data();
    void toTime();
    void timerEventTicks();
    void blink();
    void spokenWarnings();
    void timeout_data();
    void timeout();
    void finishAfterTimeout();
    void tickWhileFinishBoxOpen();
    void tickWhileMenuBoxOpen();
};

namespace {

// The tick that brings SecondsLeft from `from` to from - 1.
void tickFrom(Form1 &form, int16_t from)
{
    form.setSecondsLeft(from);
    form.Timer1_Timer();
}

const QString Caption = QStringLiteral("Тест для 6 класса на тему \"Умноженния и деление обыкновенных дробей\"");

} // namespace

void TestClock::toTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");

    // ordinary counts
    QTest::newRow("600") << 600 << "00:10:00";
    QTest::newRow("599") << 599 << "00:09:59";
    QTest::newRow("60") << 60 << "00:01:00";
    QTest::newRow("59") << 59 << "00:00:59";
    QTest::newRow("10") << 10 << "00:00:10";
    QTest::newRow("9") << 9 << "00:00:09";
    QTest::newRow("0") << 0 << "00:00:00";
    // hours
    QTest::newRow("3599") << 3599 << "00:59:59";
    QTest::newRow("3600") << 3600 << "01:00:00";
    QTest::newRow("3661") << 3661 << "01:01:01";
    QTest::newRow("32767") << 32767 << "09:06:07";
    // negative counts are not carried
    QTest::newRow("-1") << -1 << "00:00:-1";
    QTest::newRow("-9") << -9 << "00:00:-9";
    QTest::newRow("-10") << -10 << "00:00:0-10";
    QTest::newRow("-32768") << -32768 << "00:00:0-32768";
}

void TestClock::toTime()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);

    const Form1 form;
    QCOMPARE(form.ToTime(int16_t(seconds)), text);
}

void TestClock::timerEventTicks()
{
    Form1 form;
    startTest(form);
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:10:00"));
    QCOMPARE(form.ui().Timer1->interval(), 1000);
    QVERIFY(form.ui().Timer1->isActive());

    // A tick as the running timer delivers it.
    QTimerEvent tick(form.ui().Timer1->timerId());
    QCoreApplication::sendEvent(form.ui().Timer1, &tick);

    QCOMPARE(form.SecondsLeft(), int16_t(599));
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:09:59"));
}

void TestClock::blink()
{
    Form1 form;
    startTest(form);
    const QColor design = foreColor(form.ui().TL);

    // Above 30 seconds the tick leaves the design colour alone.
    tickFrom(form, 32);
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:00:31"));
    QCOMPARE(foreColor(form.ui().TL), design);
    QVERIFY(!form.ui().TL->testAttribute(Qt::WA_SetPalette));

    // From 30 down: red on even counts, black on odd ones.
    for (int16_t left = 30; left >= 1; --left) {
        form.Timer1_Timer();
        QCOMPARE(form.SecondsLeft(), left);
        QCOMPARE(form.ui().TL->text(), QStringLiteral("00:00:%1").arg(left, 2, 10, QLatin1Char('0')));
        QVERIFY2(foreColor(form.ui().TL) == (left % 2 == 0 ? BlinkRed : Black), qPrintable(QString::number(left)));
    }
    QVERIFY(form.ui().Timer1->isActive());
}

// Screen readers hear a notice at one minute and at half a minute left.
void TestClock::spokenWarnings()
{
    Form1 form;
    startTest(form);
    QStringList heard;
    tickFrom(form, 62);
    while (form.SecondsLeft() > 29) {
        form.Timer1_Timer();
        auto *notice = form.findChild<QWidget *>(QStringLiteral("screenReaderNotice"));
        if (notice && notice->isVisible()) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(notice);
            QCOMPARE(iface->role(), QAccessible::Notification);
            heard << QStringLiteral("%1 %2").arg(form.SecondsLeft()).arg(iface->text(QAccessible::Name));
            notice->hide();
        }
    }
    QCOMPARE(heard, QStringList({QStringLiteral("60 Осталась одна минута"), QStringLiteral("30 Осталось 30 секунд")}));
}

void TestClock::timeout_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("seven right") << 7 << QStringLiteral("Время вышло. Ваша оценка 2. Вам нужно повторить тему");
    QTest::newRow("ten right") << 10 << QStringLiteral("Время вышло. Ваша оценка 5. Отличная работа");
}

void TestClock::timeout()
{
    QFETCH(int, count);
    QFETCH(QString, text);

    Form1 form;
    startTest(form);
    typeRightAnswers(form, count);
    tickFrom(form, 2);
    QCOMPARE(foreColor(form.ui().TL), Black);

    QString captionWhileOpen;
    QColor colorWhileOpen;
    bool runningWhileOpen = false;
    QString gradeWhileOpen;
    BoxCloser closer([&] {
        captionWhileOpen = form.ui().TL->text();
        colorWhileOpen = foreColor(form.ui().TL);
        runningWhileOpen = form.ui().Timer1->isActive();
        gradeWhileOpen = form.ui().RA->text();
        // A tick handed over while the box is open changes nothing.
        form.Timer1_Timer();
        form.Timer1_Timer();
    });
    form.Timer1_Timer();

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, text);
    QCOMPARE(closer.seen[0].icon, QMessageBox::NoIcon);
    QCOMPARE(closer.seen[0].title, Caption);
    QCOMPARE(closer.seen[0].title, form.windowTitle());
    QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(captionWhileOpen, QStringLiteral("00:00:01"));
    QCOMPARE(colorWhileOpen, Black);
    QVERIFY(runningWhileOpen);
    QCOMPARE(gradeWhileOpen, QString::number(count));

    QCOMPARE(form.SecondsLeft(), int16_t(0));
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:00:00"));
    QCOMPARE(foreColor(form.ui().TL), BlinkRed);
    QCOMPARE(form.ui().Timer1->interval(), 0);
    QVERIFY(!form.ui().Timer1->isActive());
    QVERIFY(!form.ui().Frame2->isVisible());
    QVERIFY(form.ui().Command2->isVisible() && form.ui().Command2->isEnabled());
    QVERIFY(!form.ui().Cz(0)->isEnabled());
}

void TestClock::finishAfterTimeout()
{
    Form1 form;
    startTest(form); // row 4: 6
    enter(form.ui().Cw(4), QStringLiteral("6"));
    enter(form.ui().Ct(4), QStringLiteral("0"));

    BoxCloser closer;
    tickFrom(form, 1);
    // Checked as they are: the empty denominator reads 0.
    QCOMPARE(form.ui().Result(4)->text(), QStringLiteral("Ответ неверный."));
    QCOMPARE(form.ui().RA->text(), QStringLiteral("0"));
    QCOMPARE(form.ui().Cz(4)->text(), QString());

    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 2);
    QCOMPARE(closer.seen[1].text, QStringLiteral("Ваша оценка 2. Вам нужно повторить тему"));
    QCOMPARE(closer.seen[1].title, QStringLiteral("Результат теста"));
    QCOMPARE(form.ui().Ct(4)->text(), QStringLiteral("0"));
    QCOMPARE(form.ui().Cz(4)->text(), QStringLiteral("1"));
    QCOMPARE(form.ui().Result(4)->text(), QStringLiteral("Ответ верный."));
    QCOMPARE(foreColor(form.ui().Result(4)), DarkGreen);
    QCOMPARE(form.ui().RA->text(), QStringLiteral("1"));
    QVERIFY(form.ui().Frame2->isVisible());
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:00:00"));
}

void TestClock::tickWhileFinishBoxOpen()
{
    Form1 form;
    startTest(form);
    tickFrom(form, 2);

    // One second left: a tick that got through would time the test out.
    int16_t leftWhileOpen = -100;
    BoxCloser closer([&] {
        form.Timer1_Timer();
        leftWhileOpen = form.SecondsLeft();
    });
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(leftWhileOpen, int16_t(1));
    QCOMPARE(form.SecondsLeft(), int16_t(1));
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:00:01"));
    QVERIFY(!form.ui().Timer1->isActive());
}

void TestClock::tickWhileMenuBoxOpen()
{
    Form1 form;
    startTest(form);

    int16_t leftWhileOpen = 0;
    BoxCloser closer([&] {
        form.Timer1_Timer();
        form.Timer1_Timer();
        leftWhileOpen = form.SecondsLeft();
    });
    form.ui().Autmn->trigger();

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].title, QStringLiteral("Автор"));
    QCOMPARE(leftWhileOpen, int16_t(598));
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:09:58"));
    QVERIFY(form.ui().Timer1->isActive());
}

QTEST_MAIN(TestClock)
#include "tst_clock.moc"
