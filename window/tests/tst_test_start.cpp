// SPDX-License-Identifier: GPL-3.0-or-later
// "Начать тест" clicked on a shown window: the running state, the tasks
// generated from known parameters, the first tick of its timer, and the
// tasks drawn from reseeded default random sources.

#include "runtime/tests/scripted_random_source.h"
#include "window/form1.h"
#include "window/form1_ui.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// One column as the pupil reads it: "-1 1/2", "- 1/20", "18", "5/8".
QString shown(const QLabel *whole, const QLabel *num, const QLabel *den)
{
    QStringList parts;
    if (!whole->isHidden())
        parts << whole->text();
    if (!num->isHidden())
        parts << num->text() + (den->isHidden() ? QString() : QLatin1Char('/') + den->text());
    return parts.join(QLatin1Char(' '));
}

QString columnA(const Form1 &f, int r) { return shown(f.ui().Aw(r), f.ui().At(r), f.ui().Az(r)); }
QString columnB(const Form1 &f, int r) { return shown(f.ui().Bw(r), f.ui().Bt(r), f.ui().Bz(r)); }
QString columnD(const Form1 &f, int r) { return shown(f.ui().Dw(r), f.ui().Dt(r), f.ui().Dz(r)); }

QString allTasks(const Form1 &f)
{
    QStringList rows;
    for (int r = 0; r <= 9; ++r)
        rows << columnA(f, r) + QLatin1String(" | ") + columnB(f, r) + QLatin1String(" = ") + columnD(f, r);
    return rows.join(QLatin1Char('\n'));
}

} // namespace

class TestTestStart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void runningState();
    void answerBoxesAsDesigned();
    void tasks_data();
    void tasks();
    void firstTick();
    void sameSeedSameTasks();
    void nearbySeedsDifferentTasks();

private:
    std::unique_ptr<Form1> m_form;
    ScriptedRandomSource *m_script = nullptr;
    QColor m_designClockColour;
};

void TestTestStart::initTestCase()
{
    m_designClockColour = Form1().ui().TL->palette().color(QPalette::WindowText);

    // Parameters n 4, m 9, k 9, p 7, q 3, r 6, s 2, t 9, u 9, a 50, b 5.
    auto script = std::make_unique<ScriptedRandomSource>(
        std::vector<double>{0.25, 0.9, 0.999, 0.5, 0.0, 0.5, 0.0, 0.999, 0.999, 0.5, 0.045});
    m_script = script.get();
    m_form = std::make_unique<Form1>();
    m_form->setRandomSource(std::move(script));
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::mouseClick(m_form->ui().Command1, Qt::LeftButton);
}

void TestTestStart::runningState()
{
    const Form1 &f = *m_form;
    QCOMPARE(QApplication::focusWidget(), f.ui().Cw(0));
    QCOMPARE(m_script->drawn(), 11);

    QVERIFY(f.ui().Frame1->isVisible());
    QVERIFY(f.ui().Command1->isHidden());
    QVERIFY(f.ui().TL->isVisible());
    QCOMPARE(f.ui().TL->text(), QStringLiteral("00:10:00"));
    QCOMPARE(f.ui().TL->palette().color(QPalette::WindowText), m_designClockColour);
    QVERIFY(f.ui().Label1->isVisible());
    QVERIFY(f.ui().Command2->isVisible());
    QVERIFY(f.ui().Timer1->isActive());
    QCOMPARE(f.ui().Timer1->interval(), 1000);
    // Still hidden until the test is graded.
    QVERIFY(f.ui().Frame2->isHidden());
    QVERIFY(f.ui().Mrk->isHidden() && f.ui().Label5->isHidden() && f.ui().Label6->isHidden());
}

void TestTestStart::answerBoxesAsDesigned()
{
    for (int r = 0; r <= 9; ++r) {
        for (const QLineEdit *box : {m_form->ui().Cw(r), m_form->ui().Ct(r), m_form->ui().Cz(r)}) {
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
            QVERIFY2(box->isEnabled() && box->isVisible(), qPrintable(box->objectName()));
        }
    }
}

void TestTestStart::tasks_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("d"); // the hidden correct answer

    QTest::newRow("row 0 n=4") << 0 << "- 1/4" << "1/5" << "- 1/20";
    QTest::newRow("row 1 m=9") << 1 << "1/9" << "- 1/10" << "-1 1/9";
    QTest::newRow("row 2 k=9 largest answer") << 2 << "18" << "- 1/9" << "-162";
    QTest::newRow("row 3 p=7") << 3 << "-1 1/7" << "- 4/5" << "32/35";
    QTest::newRow("row 4 q=3 sign on Den") << 4 << "-3" << "- 1/2" << "6";
    QTest::newRow("row 5 r=6 whole B") << 5 << "- 1/6" << "-5" << "1/30";
    QTest::newRow("row 6 s=2") << 6 << "1 1/2" << "1 1/3" << "1 1/8";
    QTest::newRow("row 7 t=9") << 7 << "-2 1/9" << "9/19" << "-1";
    QTest::newRow("row 8 u=9") << 8 << "-1 2/9" << "1 1/5" << "-1 7/15";
    QTest::newRow("row 9 a=50 b=5") << 9 << "1/2" << "- 1/2" << "-1";
}

void TestTestStart::tasks()
{
    QFETCH(int, row);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, d);

    QCOMPARE(columnA(*m_form, row), a);
    QCOMPARE(columnB(*m_form, row), b);
    QCOMPARE(columnD(*m_form, row), d);
}

void TestTestStart::firstTick()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.ui().Command1, Qt::LeftButton);
    // No tick at the click itself: the first comes when the timer's second is up.
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:10:00"));
    QCOMPARE(form.SecondsLeft(), int16_t(600));
    QVERIFY(form.ui().Timer1->isActive());

    // The timer's event, as the event loop delivers it, runs the clock handler.
    QTimerEvent tick(form.ui().Timer1->timerId());
    QCoreApplication::sendEvent(form.ui().Timer1, &tick);
    QCOMPARE(form.ui().TL->text(), QStringLiteral("00:09:59"));
    QCOMPARE(form.SecondsLeft(), int16_t(599));
    QVERIFY(form.ui().Timer1->isActive());
}

void TestTestStart::sameSeedSameTasks()
{
    Form1 first, second;
    first.randomSource().Randomize(45296.37);
    second.randomSource().Randomize(45296.37);
    first.ui().Command1->click();
    second.ui().Command1->click();
    QVERIFY(!columnD(first, 0).isEmpty());
    QCOMPARE(allTasks(first), allTasks(second));
}

void TestTestStart::nearbySeedsDifferentTasks()
{
    // Two times of day 0.02 s apart.
    Form1 first, second;
    first.randomSource().Randomize(45296.37);
    second.randomSource().Randomize(45296.39);
    first.ui().Command1->click();
    second.ui().Command1->click();
    QVERIFY(allTasks(first) != allTasks(second));
}

QTEST_MAIN(TestTestStart)
#include "tst_test_start.moc"
