// SPDX-License-Identifier: GPL-3.0-or-later
// What the window sends accessibility clients, event by event, recorded in
// the process at the place of Qt's bridge to the AT-SPI bus: the recorder is
// installed before the window installs its hook, which hands on to it. Run
// with Qt's accessibility live (tests/lib/a11y_bus.sh): without a bus Qt
// sends no events at all.

#include "runtime/tests/scripted_random_source.h"
#include "window/form1.h"
#include "window/form1_ui.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <utility>

namespace {

struct Sent {
    QAccessible::Event type;
    QPointer<QObject> object;
    bool shown; // the object was on screen when the event went out
};
QList<Sent> sent;
// Run once by the recorder on the next event it receives: an event raised
// there is raised while another is being handed on.
std::function<void()> onNextEvent;

void record(QAccessibleEvent *event)
{
    QObject *object = event->object();
    if (!object && event->accessibleInterface())
        object = event->accessibleInterface()->object();
    const auto *widget = qobject_cast<QWidget *>(object);
    sent.append({event->type(), object, !widget || widget->isVisible()});
    if (onNextEvent)
        std::exchange(onNextEvent, {})();
}

// The events that carry (or make clients read) a control's content.
bool tellsContent(QAccessible::Event type)
{
    switch (type) {
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        return true;
    default:
        return false;
    }
}

QStringList contentSentOffScreen()
{
    QStringList found;
    for (const Sent &event : std::as_const(sent)) {
        if (tellsContent(event.type) && !event.shown)
            found << QStringLiteral("%1 of %2").arg(int(event.type)).arg(event.object ? event.object->objectName() : QString());
    }
    return found;
}

} // namespace

class TestA11yEvents : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_form; }
    void hiddenControlsSendNoContent();
    void focusGoesOutBeforeCaret();
    void eventRaisedWhileHandedOn_data();
    void eventRaisedWhileHandedOn();

private:
    Form1 *m_form = nullptr;
};

void TestA11yEvents::initTestCase()
{
    QAccessible::installUpdateHandler(record);
    m_form = new Form1;
    m_form->setRandomSource(std::make_unique<ScriptedRandomSource>(std::vector<double>{0.0}));
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QTRY_VERIFY2(QAccessible::isActive(), "Qt's accessibility is not live: run under tests/lib/a11y_bus.sh");
}

// Starting a test writes every answer into the hidden answer column; none of
// it goes out until it is shown. A clock tick shows that content of what is
// on screen does go out.
void TestA11yEvents::hiddenControlsSendNoContent()
{
    sent.clear();
    QCOMPARE(QApplication::focusWidget(), m_form->ui().Command1);
    QTest::keyClick(m_form->ui().Command1, Qt::Key_Space);
    QVERIFY(m_form->ui().Frame1->isVisible() && !m_form->ui().Frame2->isVisible());
    QVERIFY(!m_form->ui().Dt(0)->text().isEmpty());
    m_form->Timer1_Timer();
    const QStringList leaks = contentSentOffScreen();
    QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join(QLatin1String(", "))));
    QVERIFY(std::any_of(sent.begin(), sent.end(), [&](const Sent &e) {
        return e.type == QAccessible::NameChanged && e.object == m_form->ui().TL;
    }));
}

// A text box's focus event goes out before any caret move of it (Orca stays
// silent otherwise), and the caret moves of typing still go out after it.
void TestA11yEvents::focusGoesOutBeforeCaret()
{
    QLineEdit *box = m_form->ui().Ct(0);
    sent.clear();
    QCOMPARE(QApplication::focusWidget(), m_form->ui().Cw(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_5);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QStringList order;
    for (const Sent &event : std::as_const(sent)) {
        if (event.object == box && (event.type == QAccessible::Focus || event.type == QAccessible::TextCaretMoved))
            order << (event.type == QAccessible::Focus ? QStringLiteral("focus") : QStringLiteral("caret"));
    }
    QVERIFY2(order.value(0) == QLatin1String("focus") && order.contains(QLatin1String("caret")),
             qPrintable(order.join(QLatin1Char(' '))));
    box->clear();
}

// Whatever the receiver of an event does meanwhile, an event raised while
// that one is being handed on passes the same seal.
void TestA11yEvents::eventRaisedWhileHandedOn_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("goesOut");

    QTest::newRow("hidden answer label") << QStringLiteral("Dt_0") << false;
    QTest::newRow("visible clock") << QStringLiteral("TL") << true;
}

void TestA11yEvents::eventRaisedWhileHandedOn()
{
    QFETCH(QString, label);
    QFETCH(bool, goesOut);
    auto *control = m_form->findChild<QLabel *>(label);
    QVERIFY(control);
    QCOMPARE(control->isVisible(), goesOut);

    sent.clear();
    onNextEvent = [control] {
        QAccessibleTextInsertEvent inserted(control, 0, QStringLiteral("13"));
        QAccessible::updateAccessibility(&inserted);
    };
    QAccessibleEvent trigger(m_form->ui().Command2, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&trigger);
    QVERIFY(!onNextEvent);
    const bool out = std::any_of(sent.begin(), sent.end(), [&](const Sent &e) {
        return e.type == QAccessible::TextInserted && e.object == control;
    });
    QCOMPARE(out, goesOut);
}

QTEST_MAIN(TestA11yEvents)
#include "tst_a11y_events.moc"
