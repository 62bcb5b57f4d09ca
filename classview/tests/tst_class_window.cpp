// SPDX-License-Identifier: GPL-3.0-or-later
// The class window on a folder of records: a new record shown at F5 (the
// folder is read on a thread of its own), names
// hidden everywhere in projector mode, a changed record marked, a pupil's
// test with the explanation and worked solution the pupil saw, and the
// summary's figures in tables the keyboard reaches.

#include "classview/class_window.h"
#include "classview/tests/record_fixture.h"

#include <QAbstractItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {

QStringList column(const QAbstractItemModel *model, int c)
{
    QStringList cells;
    for (int r = 0; r < model->rowCount(); ++r)
        cells << model->index(r, c).data().toString();
    return cells;
}

} // namespace

class TestClassWindow : public QObject {
    Q_OBJECT

private slots:
    void window()
    {
        QTemporaryDir dir;
        FixtureTest anna;
        anna.typed[0] = std::array<QString, 3>{QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("12")};
        writeFixture(dir.path(), fixtureRecord(anna));
        HashStore hashes(QString{});
        ClassWindow w(dir.path(), &hashes);
        w.setFilter(ClassFilter{});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QAbstractItemModel *table = w.testsTable()->model();
        QTRY_COMPARE(table->rowCount(), 1);

        FixtureTest oleg;
        oleg.name = QStringLiteral("Сидоров Олег");
        oleg.started = oleg.started.addSecs(60);
        QJsonObject changed = fixtureRecord(oleg);
        changed[QStringLiteral("grade")] = 4;
        writeFixture(dir.path(), changed);
        QTest::keyClick(&w, Qt::Key_F5);
        QTRY_COMPARE(table->rowCount(), 2);
        w.testsTable()->sortByColumn(int(Column::Start), Qt::AscendingOrder);
        QCOMPARE(column(table, int(Column::Pupil)), (QStringList{anna.name, oleg.name}));
        QCOMPARE(column(table, int(Column::Check)), (QStringList{QStringLiteral("сходится"), QStringLiteral("не сходится")}));
        QCOMPARE(column(table, int(Column::FirstTask)), (QStringList{QStringLiteral("✗"), QStringLiteral("✓")}));

        // Anna's test as the pupil saw it explained.
        const QString html = ClassWindow::pupilTestHtml(w.shownTests().first());
        QVERIFY(html.contains(QStringLiteral("Решение: \u22121/2 · 1/3 = \u22121/6")));
        QVERIFY(html.contains(QStringLiteral("<td>-2/12</td>")));
        QVERIFY(html.contains(QStringLiteral("неверно")));

        w.setProjectorMode(true);
        QCOMPARE(column(table, int(Column::Pupil)), (QStringList{QStringLiteral("Ученик 1"), QStringLiteral("Ученик 2")}));
        QString everything = ClassWindow::pupilTestHtml(w.shownTests().first());
        for (QTableWidget *figures : w.findChildren<QTableWidget *>()) {
            QVERIFY(!figures->accessibleName().isEmpty());
            QCOMPARE(figures->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
            for (int r = 0; r < figures->rowCount(); ++r)
                for (int c = 0; c < figures->columnCount(); ++c)
                    everything += figures->item(r, c)->text() + QLatin1Char('\n');
        }
        QVERIFY(everything.contains(QStringLiteral("Ученик 1")));
        QVERIFY(!everything.contains(QStringLiteral("Иванова")));
        QVERIFY(!w.windowTitle().contains(QStringLiteral("Иванова")));
    }
};

QTEST_MAIN(TestClassWindow)
#include "tst_class_window.moc"
