// SPDX-License-Identifier: GPL-3.0-or-later
// What one tick of the clock repaints: the clock label and nothing else. Its
// ancestors may get a paint event for the label's background, but only for
// the label's own rectangle; no other control of the window is drawn again.

#include "test_support.h"

#include <QtTest>

class TestTickRepaint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyTheClock_data();
    void onlyTheClock();
};

namespace {

// Every paint event in the application while alive, as widget and region in
// the coordinates of the widget's window.
class PaintLog : public QObject {
public:
    PaintLog() { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }

    struct Paint {
        QPointer<QWidget> widget;
        QString name;
        QRegion region;
    };
    QList<Paint> paints;

    int paintsOf(const QWidget *w) const
    {
        return int(std::count_if(paints.cbegin(), paints.cend(), [w](const Paint &p) { return p.widget == w; }));
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            const QRegion region = static_cast<QPaintEvent *>(event)->region().translated(w->mapTo(w->window(), QPoint()));
            paints.append({w, w->objectName(), region});
        }
        return false;
    }
};

} // namespace

void TestTickRepaint::initTestCase()
{
    // The answer box that has the focus blinks its text cursor on a timer of
    // its own; that repaint is not the tick's and would land at random in
    // the window of time watched here.
    QApplication::setCursorFlashTime(0);
}

void TestTickRepaint::onlyTheClock_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("caption");

    // caption only
    QTest::newRow("600 to 599") << 600 << "00:09:59";
    QTest::newRow("32 to 31") << 32 << "00:00:31";
    // caption and colour: red at 30, black at 29 after the red second
    QTest::newRow("31 to 30 turns red") << 31 << "00:00:30";
    QTest::newRow("30 to 29 turns black") << 30 << "00:00:29";
}

void TestTickRepaint::onlyTheClock()
{
    QFETCH(int, from);
    QFETCH(QString, caption);

    Form1 form;
    startTest(form);
    // Ticks come from the test alone; the one before the watched tick gives
    // the clock the caption and colour of the second before. A window paints
    // all it has pending in one pass, so once the clock is drawn nothing
    // from before the watched tick is left to draw.
    form.ui().Timer1->stop();
    form.setSecondsLeft(int16_t(from + 1));
    {
        PaintLog before;
        form.Timer1_Timer();
        QVERIFY(QTest::qWaitFor([&] { return before.paintsOf(form.ui().TL) > 0; }));
    }

    PaintLog log;
    form.Timer1_Timer();
    QVERIFY(QTest::qWaitFor([&] { return log.paintsOf(form.ui().TL) > 0; }));
    QCoreApplication::processEvents();
    QCOMPARE(form.ui().TL->text(), caption);

    int clockPaints = 0;
    QStringList others;
    for (const PaintLog::Paint &p : std::as_const(log.paints)) {
        if (p.widget == form.ui().TL)
            ++clockPaints;
        else
            others << p.name;
    }
    // The clock paints its own background, so neither the window beneath it
    // nor Label1, which it overlaps by one pixel column (1800 against
    // 240 + 1575 twips), is repainted with it.
    QVERIFY2(others.isEmpty(), qPrintable(QStringLiteral("also repainted: ") + others.join(QStringLiteral(", "))));
    QCOMPARE(clockPaints, 1);
}

QTEST_MAIN(TestTickRepaint)
#include "tst_tick_repaint.moc"
