// SPDX-License-Identifier: GPL-3.0-or-later
// The menu: its captions, the acknowledgements and author boxes in every
// state of a test, and "Выход" leaving the event loop at once.

#include "test_support.h"

#include <QMenu>
#include <QMenuBar>
#include <QtTest>

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void captions();
    void boxes_data();
    void boxes();
    void exitEndsProgram_data();
    void exitEndsProgram();
};

Q_DECLARE_METATYPE(Stage)

namespace {

// Brings a shown window to the given stage of a test.
void bringTo(Form1 &form, Stage stage)
{
    if (stage == Stage::Ready) {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        return;
    }
    startTest(form);
    typeRightAnswers(form, 8);
    if (stage == Stage::Graded) {
        BoxCloser closer;
        QTest::mouseClick(form.ui().Command2, Qt::LeftButton);
        QCOMPARE(closer.seen.size(), 1);
    }
}

// Everything the menu must leave alone. The clock is left out: it may tick
// on while a box is open.
QStringList testState(const Form1 &form)
{
    const auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList state{form.GradeText(), form.ui().RA->text(), form.ui().NR->text(), form.ui().Mrk->text(),
                      flag(form.ui().Mrk->isVisible()), flag(form.ui().Frame1->isVisible()), flag(form.ui().Frame2->isVisible()),
                      flag(form.ui().Command1->isVisible()), flag(form.ui().Command2->isVisible()),
                      QString::number(form.ui().Timer1->interval())};
    for (int r = 0; r <= 9; ++r) {
        state << form.ui().Cw(r)->text() << form.ui().Ct(r)->text() << form.ui().Cz(r)->text() << form.ui().Result(r)->text()
              << flag(form.ui().Cw(r)->isEnabled());
    }
    return state;
}

} // namespace

void TestMenu::captions()
{
    Form1 form;
    QCOMPARE(form.ui().mn->title(), QStringLiteral("Меню"));
    QVERIFY(form.menuBar()->actions().contains(form.ui().mn->menuAction()));
    QStringList items;
    for (const QAction *item : form.ui().mn->actions())
        items << item->text();
    QCOMPARE(items, (QStringList{"Благодарности", "Автор", "Выход"}));
    QCOMPARE(form.ui().mn->actions(), (QList<QAction *>{form.ui().sp, form.ui().Autmn, form.ui().ExMn}));
}

void TestMenu::boxes_data()
{
    QTest::addColumn<Stage>("stage");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    const QString thanks = QStringLiteral("Большое спасибо Павлу Андреевичу за поддержку и помощь") + QLatin1Char('\n')
                         + QStringLiteral("Ольге Николаевне за идею, доброту и помощь в устранении ошибок.");
    const QString author = QStringLiteral("Автором данной программы является Ветров Игорь, aka Сизый Грач");
    const std::pair<Stage, const char *> stages[] = {
        {Stage::Ready, "before a test"}, {Stage::Running, "during a test"}, {Stage::Graded, "after grading"}};
    for (const auto &[stage, name] : stages) {
        QTest::addRow("thanks %s", name) << stage << "sp" << thanks << " ";
        QTest::addRow("author %s", name) << stage << "Autmn" << author << "Автор";
    }
}

void TestMenu::boxes()
{
    QFETCH(Stage, stage);
    QFETCH(QString, item);
    QFETCH(QString, text);
    QFETCH(QString, title);

    Form1 form;
    bringTo(form, stage);
    if (QTest::currentTestFailed())
        return;
    const QStringList before = testState(form);

    BoxCloser closer;
    (item == QLatin1String("sp") ? form.ui().sp : form.ui().Autmn)->trigger();

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, text);
    QCOMPARE(closer.seen[0].title, title);
    QCOMPARE(closer.seen[0].icon, QMessageBox::Information);
    QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(testState(form), before);
}

void TestMenu::exitEndsProgram_data()
{
    QTest::addColumn<Stage>("stage");
    QTest::newRow("before a test") << Stage::Ready;
    QTest::newRow("while the clock runs") << Stage::Running;
}

void TestMenu::exitEndsProgram()
{
    QFETCH(Stage, stage);

    Form1 form;
    bringTo(form, stage);
    if (QTest::currentTestFailed())
        return;

    // At once: within a few passes of the event loop, counted by a call
    // that queues itself again on each pass. Should "Выход" not end the loop
    // by then, the count ends it with another code.
    QObject counter;
    int passes = 0;
    std::function<void()> pass = [&] {
        if (++passes > 10)
            QCoreApplication::exit(99);
        else
            QMetaObject::invokeMethod(&counter, pass, Qt::QueuedConnection);
    };
    QTimer::singleShot(0, form.ui().ExMn, &QAction::trigger);
    QMetaObject::invokeMethod(&counter, pass, Qt::QueuedConnection);

    QCOMPARE(QCoreApplication::exec(), 0);
    // Nothing was checked or graded on the way out.
    QVERIFY(form.GradeText().isEmpty());
    QCOMPARE(form.ui().Result(0)->text(), QString());
    QCOMPARE(form.ui().RA->text(), QString());
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
