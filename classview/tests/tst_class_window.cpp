// SPDX-License-Identifier: GPL-3.0-or-later
// The class window on a folder of records: a new record shown at F5 (the
// folder is read on a thread of its own), names
// hidden everywhere in projector mode, a changed record marked, a pupil's
// test with the explanation and worked solution the pupil saw, the class
// list's pupils with how far each got, and the
// summary's figures in tables the keyboard reaches; a pupil's or a file's
// text shown as text, never as markup or a link; and the exports, which
// follow no link a pupil planted.

#include "classview/class_export.h"
#include "classview/class_report.h"
#include "classview/class_table.h"
#include "classview/class_window.h"
#include "classview/pupil_test_view.h"
#include "classview/tests/record_fixture.h"
#include "results/class_list.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

QStringList column(const QAbstractItemModel *model, int c)
{
    QStringList cells;
    for (int r = 0; r < model->rowCount(); ++r)
        cells << model->index(r, c).data().toString();
    return cells;
}

// The pupil's test the table's row `row` opens with Enter.
QDialog *openedTest(ClassWindow &w, int row)
{
    QTableView *table = w.testsTable();
    table->setCurrentIndex(table->model()->index(row, 0));
    QTest::keyClick(table, Qt::Key_Return);
    QTextEdit *text = w.findChild<QTextEdit *>(QStringLiteral("pupilTest"));
    return text ? qobject_cast<QDialog *>(text->window()) : nullptr;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
        w.testsTable()->sortByColumn(int(TableColumn::Start), Qt::AscendingOrder);
        QCOMPARE(column(table, int(TableColumn::Pupil)), (QStringList{anna.name, oleg.name}));
        QCOMPARE(column(table, int(TableColumn::Check)), (QStringList{QStringLiteral("сходится"), QStringLiteral("не сходится")}));
        QCOMPARE(column(table, int(TableColumn::FirstTask)), (QStringList{QStringLiteral("✗"), QStringLiteral("✓")}));
        // A screen reader hears each cell with its column's name.
        QCOMPARE(table->index(1, int(TableColumn::Grade)).data(Qt::AccessibleTextRole).toString(), QStringLiteral("Оценка: 5"));
        QCOMPARE(table->index(0, int(TableColumn::FirstTask)).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("задание 1: неверно"));

        // Anna's test as the pupil saw it explained.
        const QString html = pupilTestHtml(w.shownTests().first());
        QVERIFY(html.contains(QStringLiteral("Решение: \u22121/2 · 1/3 = \u22121/6")));
        QVERIFY(html.contains(QStringLiteral("<td>-2/12</td>")));
        QVERIFY(html.contains(QStringLiteral("неверно")));

        // Every pupil of the class list, with how far each got; none on the projector.
        w.setClassList(parseClassList("6Б;Иванова Анна\n6 б;Козлова Мария\n"));
        w.setFilter(ClassFilter{QStringLiteral("6Б"), QDate(), QString()});
        const auto *roster = w.findChild<QTableWidget *>(QStringLiteral("roster"));
        QCOMPARE(column(roster->model(), 1), (QStringList{QStringLiteral("сдал"), QStringLiteral("не начинал")}));

        // A pupil's test opened before the projector goes when it comes on.
        const QPointer<QDialog> before = openedTest(w, 0);
        QVERIFY(before && before->isVisible());
        // Read by a screen reader line by line, with a caret, and whole on focus.
        auto *text = before->findChild<QTextEdit *>();
        QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(text->accessibleDescription().contains(QStringLiteral("Решение: \u22121/2 · 1/3 = \u22121/6")));
        // A text, whose description screen readers read, not a label; Down
        // goes on along the table's row, not down its first column.
        QCOMPARE(QAccessible::queryAccessibleInterface(text)->role(), QAccessible::EditableText);
        QTextCursor header = text->document()->find(QStringLiteral("№"));
        header.clearSelection();
        text->setTextCursor(header);
        QTest::keyClick(text, Qt::Key_Down);
        QCOMPARE(text->textCursor().block().text(), QStringLiteral("Задание"));
        QTest::keyClick(text, Qt::Key_Up);
        QCOMPARE(text->textCursor().block().text(), QStringLiteral("№"));
        w.setProjectorMode(true);
        QTRY_VERIFY(before.isNull());
        QCOMPARE(column(table, int(TableColumn::Start)), (QStringList{QString(), QString()}));
        QCOMPARE(roster->rowCount(), 0);
        QCOMPARE(column(table, int(TableColumn::Pupil)), (QStringList{QStringLiteral("Ученик 1"), QStringLiteral("Ученик 2")}));
        // No check's reasons either: they can name a login, an owner or a file.
        QString everything;
        for (const ShownTest &shown : w.shownTests())
            everything += pupilTestHtml(shown);
        QVERIFY(!everything.contains(QStringLiteral("<li>")));
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
        // A test opened on the projector.
        QDialog *test = openedTest(w, 0);
        QVERIFY(test);
        QCOMPARE(test->windowTitle(), QStringLiteral("Тест: Ученик 1"));
    }

    // An empty today opens on the last day that has tests; today with a
    // test, or a folder without any, stays on today.
    void opensOnLastDay_data()
    {
        QTest::addColumn<QList<int>>("daysAgo"); // of each test
        QTest::addColumn<int>("shownDaysAgo");
        QTest::newRow("last lesson three days ago") << QList<int>{10, 3} << 3;
        QTest::newRow("a test today") << QList<int>{3, 0} << 0;
        QTest::newRow("no tests") << QList<int>{} << 0;
    }

    void opensOnLastDay()
    {
        QFETCH(QList<int>, daysAgo);
        QFETCH(int, shownDaysAgo);
        QTemporaryDir dir;
        for (int days : daysAgo) {
            FixtureTest t;
            t.started = QDateTime(QDate::currentDate().addDays(-days), QTime(10, 15), QTimeZone(3 * 3600));
            writeFixture(dir.path(), fixtureRecord(t));
        }
        HashStore hashes(QString{});
        ClassWindow w(dir.path(), &hashes);
        QSignalSpy read(&w, &ClassWindow::folderReadDone);
        QTRY_VERIFY(!read.isEmpty());
        QCOMPARE(w.findChild<QDateEdit *>()->date(), QDate::currentDate().addDays(-shownDaysAgo));
        QCOMPARE(w.shownTests().size(), daysAgo.isEmpty() ? 0 : 1);
    }

    // Markup in a name, a class and a file's name is shown as the text it
    // is; control and direction characters are gone; no column grows wider
    // than the cap; one unread file is shown as such.
    void plainText()
    {
        QTemporaryDir dir;
        const QString link = QStringLiteral("<a href=\"http://example.org/\">Ким</a>") + QString(40, u'Ж');
        QJsonObject record = fixtureRecord(FixtureTest{});
        QJsonObject pupil = record[QStringLiteral("pupil")].toObject();
        pupil[QStringLiteral("name")] = QStringLiteral("\u202E") + link + QStringLiteral("\u200B\t");
        pupil[QStringLiteral("class")] = QStringLiteral("<b>6Б</b>");
        record[QStringLiteral("pupil")] = pupil;
        writeFixture(dir.path(), record);
        QFile bad(dir.filePath(QStringLiteral("<img src=x>.drobi.json")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("{");
        bad.close();

        // A store that cannot be opened (a folder) is said in the status bar too.
        QTemporaryDir notAFile;
        HashStore hashes(notAFile.path());
        ClassWindow w(dir.path(), &hashes);
        w.setFilter(ClassFilter{QStringLiteral("<b>6Б</b>"), {}, {}});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.testsTable()->model()->rowCount(), 1);
        QCOMPARE(column(w.testsTable()->model(), int(TableColumn::Pupil)), QStringList{link});
        QVERIFY(w.testsTable()->columnWidth(int(TableColumn::Pupil)) <= MaxColumnPixels);
        auto *status = w.findChild<QLabel *>(QStringLiteral("status"));
        QCOMPARE(status->textFormat(), Qt::PlainText);
        QVERIFY(status->text().contains(QStringLiteral("<b>6Б</b>")));
        QVERIFY(status->text().contains(QStringLiteral("Первые чтения файлов не сохраняются: ")));

        auto *unread = w.findChild<QPushButton *>(QStringLiteral("unreadFiles"));
        QVERIFY(unread->isVisible());
        unread->click();
        auto *files = w.findChild<QDialog *>(QStringLiteral("unreadFilesList"));
        QVERIFY(files);
        QCOMPARE(files->windowTitle(), QStringLiteral("Непрочитанные файлы"));
        for (const QLabel *label : files->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(files->findChild<QPlainTextEdit *>()->toPlainText().contains(QStringLiteral("<img src=x>.drobi.json")));

        QDialog *test = openedTest(w, 0);
        QVERIFY(test);
        QCOMPARE(test->windowTitle(), QStringLiteral("Тест: ") + link);
        auto *text = test->findChild<QTextEdit *>();
        QVERIFY(text->isReadOnly());
        QVERIFY(!(text->textInteractionFlags() & (Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard)));
        QVERIFY(text->toPlainText().contains(link));
        QVERIFY(text->toPlainText().contains(QStringLiteral("<B>6Б</B>")));
    }

    // Every chart's text prints at 8 pt or more, however many kinds of
    // mistake stretch the mistakes' chart.
    void chartText_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("mistakes");
        for (const SummaryChart chart : {SummaryChart::Grades, SummaryChart::Tasks, SummaryChart::Mistakes}) {
            QTest::addRow("chart %d, no mistakes", int(chart)) << int(chart) << 0;
            QTest::addRow("chart %d, 14 kinds", int(chart)) << int(chart) << 14;
        }
    }

    void chartText()
    {
        QFETCH(int, chart);
        QFETCH(int, mistakes);
        ClassSummary summary;
        summary.mistakes.resize(mistakes);
        const ChartPrint print = chartPrint(SummaryChart(chart), summary);
        QVERIFY2(printedPoints(print) >= 8, qPrintable(QString::number(printedPoints(print))));
        // Drawn at 150 pixels to the inch or more, for a sharp print.
        QVERIFY(print.image.width() >= print.millimetres / 25.4 * 150);
    }

    // An export saved where pupils write follows no link planted under its
    // name or its temporary file's name, and leaves nothing else behind.
    void exportFollowsNoLink_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("linkAt");
        QTest::addColumn<bool>("saved");
        for (const char *suffix : {"csv", "xlsx", "pdf"}) {
            QTest::addRow("%s, a link at its name", suffix) << suffix << QStringLiteral("результаты.%1").arg(suffix) << false;
            QTest::addRow("%s, a link at its temporary name", suffix)
                << suffix << QStringLiteral("результаты.%1.part").arg(suffix) << true;
        }
    }

    void exportFollowsNoLink()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, linkAt);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString teachers = dir.filePath(QStringLiteral("журнал.ods"));
        QFile own(teachers);
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("the teacher's own");
        own.close();
        QVERIFY(QFile::link(teachers, dir.filePath(linkAt)));
        const QString path = dir.filePath(QStringLiteral("результаты.") + suffix);
        QString error;
        QCOMPARE(exportTests(path, QStringLiteral("Класс: все."), {}, &error), saved);
        QCOMPARE(error.isEmpty(), saved);
        QCOMPARE(contents(teachers), QByteArray("the teacher's own"));
        QVERIFY(QFileInfo(dir.filePath(linkAt)).isSymLink());
        QCOMPARE(QFileInfo(path).isSymLink(), !saved);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(),
                 saved ? 3 : 2);
    }
};

QTEST_MAIN(TestClassWindow)
#include "tst_class_window.moc"
