// SPDX-License-Identifier: GPL-3.0-or-later
// The controls' hook hands each event on to Qt's bridge to the AT-SPI bus by
// stepping aside for one call. No event raised meanwhile may miss the hook:
// here a table's model change makes its interface raise an event about a
// hidden label, as code that is not the program's could. The watcher sits in
// front of the hook and counts the events that reach it. Run with Qt's
// accessibility live (tests/lib/a11y_bus.sh), with no handler behind the
// hook, so that the bridge is what it hands on to.

#include "runtime/accessible_controls.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QtTest>

namespace {

QPointer<QLabel> hidden;
int raised = 0; // events about the hidden label raised by the table
int watched = 0; // those of them that reached the hook
QAccessible::UpdateHandler hook = nullptr;

void watch(QAccessibleEvent *event)
{
    if (event->object() == hidden.data() && event->type() == QAccessible::TextInserted)
        ++watched;
    hook(event);
}

// A table with no cells whose model changes raise an event about the hidden
// label.
class TableStandIn : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TableStandIn(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Table) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface *>(this)
                                                : QAccessibleWidget::interface_cast(t);
    }

    void modelChange(QAccessibleTableModelChangeEvent *) override
    {
        ++raised;
        QAccessibleTextInsertEvent event(hidden.data(), 0, QStringLiteral("13"));
        QAccessible::updateAccessibility(&event);
    }

    QAccessibleInterface *cellAt(int, int) const override { return nullptr; }
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return 0; }
    int rowCount() const override { return 0; }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
};

QAccessibleInterface *standInFactory(const QString &, QObject *object)
{
    if (object->objectName() == QLatin1String("tableStandIn"))
        return new TableStandIn(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

class TestHandingOn : public QObject {
    Q_OBJECT

private slots:
    void eventRaisedWhileSteppingAside()
    {
        registerControlAccessibility();
        QAccessible::installFactory(standInFactory);
        hook = QAccessible::installUpdateHandler(watch);

        QWidget window;
        auto *table = new QWidget(&window);
        table->setObjectName(QStringLiteral("tableStandIn"));
        hidden = new QLabel(QStringLiteral("13"), &window);
        hidden->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY2(QAccessible::isActive(), "Qt's accessibility is not live: run under tests/lib/a11y_bus.sh");

        QAccessibleTableModelChangeEvent change(table, QAccessibleTableModelChangeEvent::DataChanged);
        QAccessible::updateAccessibility(&change);
        QVERIFY(raised > 0);
        QCOMPARE(watched, raised);
        QAccessible::installUpdateHandler(hook);
    }
};

QTEST_MAIN(TestHandingOn)
#include "tst_handing_on.moc"
