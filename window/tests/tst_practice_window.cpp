// SPDX-License-Identifier: GPL-3.0-or-later
// The window «Работа над ошибками» worked by the keyboard alone, with known
// tasks: the example, tasks answered right or with the kind's mistake, the
// verdict and explanation in the window, how the kind ended, «Итог», and the
// short check of `drobi --practice` leading into practice.

#include "runtime/tests/scripted_random_source.h"
#include "window/practice_window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

template <typename T> T *child(const QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

QString labelText(const QWidget &w, const char *name) { return child<QLabel>(w, name)->text(); }

void press(Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

// Types the boxes key by key, Tab from one to the next, as a pupil would.
void typeBoxes(const BoxTexts &boxes)
{
    for (const std::string &text : {boxes.whole, boxes.num, boxes.den}) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(text));
        press(Qt::Key_Tab);
    }
}

// A text as a plain-text box gives it back: a no-break space as a space.
QString shown(const std::string &text) { return QString::fromStdString(text).replace(QChar(0xA0), u' '); }

// With PRACTICE_SCREENSHOTS set to a folder, the window as it stands is
// saved there as practice-<name>.png (the README's pictures).
void snap(QWidget &window, const char *name)
{
    const QString folder = qEnvironmentVariable("PRACTICE_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(QStringLiteral("%1/practice-%2.png").arg(folder, QLatin1String(name)));
}

BoxTexts rightBoxes(const WrittenForm &a)
{
    return {a.wholeShown ? a.whole : "", a.numShown ? a.num : "", a.denShown ? a.den : ""};
}

} // namespace

class TestPracticeWindow : public QObject {
    Q_OBJECT
private slots:
    void workedByKeyboard_data();
    void workedByKeyboard();
    void checkLeadsIntoPractice();
};

void TestPracticeWindow::workedByKeyboard_data()
{
    QTest::addColumn<QString>("answers"); // R right, W the kind's mistake, C the window closed
    QTest::addColumn<QString>("ended");   // what the window says when the kind ends
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("state");

    QTest::newRow("wrong, then three right") << "WRRR" << "освоено" << "Верно подряд: 3 из 3 · задание 4 из 10"
                                             << "mastered";
    QTest::newRow("closed mid-way") << "RWC" << "" << "Верно подряд: 0 из 3 · задание 3 из 10" << "unfinished";
}

void TestPracticeWindow::workedByKeyboard()
{
    QFETCH(QString, answers);
    QFETCH(QString, ended);
    QFETCH(QString, progress);
    QFETCH(QString, state);

    PracticeWindow window(std::make_unique<ScriptedRandomSource>(std::vector<double>{0.9, 0.3, 0.6, 0.1}));
    window.startPractice({{0, Mistake::WrongSign}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The example: the mistake made beside the correct way.
    const PracticeSet &set = window.practice()->sets().front();
    QCOMPARE(labelText(window, "PracticeTitle"), QString::fromUtf8(TopicTitle(set.topic)));
    QVERIFY(child<QPlainTextEdit>(window, "HowWrong")->isVisible());
    QVERIFY(child<QPlainTextEdit>(window, "HowWrong")->toPlainText().contains(
        shown(set.example.wrongDiagnosis.explanation)));
    QCOMPARE(child<QPlainTextEdit>(window, "HowRight")->toPlainText(), shown(set.example.solution));
    snap(window, "example");
    press(Qt::Key_Return);

    QString said;
    for (const QChar answer : answers) {
        if (answer == 'C') {
            window.close();
            break;
        }
        auto *whole = child<QLineEdit>(window, "Whole");
        QCOMPARE(QApplication::focusWidget(), whole);
        const PracticeTask &task = set.tasks.back();
        QCOMPARE(whole->accessibleDescription(), QString::fromStdString(task.line));
        typeBoxes(answer == 'R' ? rightBoxes(task.answer) : *MistakenAnswer(task.task, Mistake::WrongSign));
        QTest::keyClick(whole, Qt::Key_Return);
        QCOMPARE(labelText(window, "Verdict"), answer == 'R' ? "Верно" : "Неверно");
        const auto *explanation = child<QPlainTextEdit>(window, "Explanation");
        QVERIFY(explanation->isVisible());
        QVERIFY(explanation->toPlainText().contains(shown(task.diagnosis.solution)));
        QVERIFY(child<QPushButton>(window, "NextButton")->hasFocus());
        said = labelText(window, "PracticeEnded");
        snap(window, !said.isEmpty() ? "mastered" : answer == 'W' ? "wrong" : "right");
        press(Qt::Key_Return);
    }
    QCOMPARE(said, ended);
    QCOMPARE(QString::fromUtf8(StateName(set.state)), state);
    QCOMPARE(QString::fromStdString(ProgressLine(set)), progress);
    if (ended.isEmpty())
        return;

    // «Итог», then «Закончить».
    QCOMPARE(labelText(window, "PracticeTitle"), "Итог");
    QVERIFY(child<QPlainTextEdit>(window, "Summary")->toPlainText().contains(ended));
    QVERIFY(child<QPushButton>(window, "FinishButton")->isDefault());
    snap(window, "summary");
    press(Qt::Key_Return);
    QVERIFY(!window.isVisible());
}

// The check asks each row once, then practice begins on the rows it found
// wrong; a check answered all right ends in «Итог» at once.
void TestPracticeWindow::checkLeadsIntoPractice()
{
    PracticeWindow window(std::make_unique<ScriptedRandomSource>(std::vector<double>{0.0}));
    window.startCheck();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int row = 0; row < RowCount; ++row) {
        QCOMPARE(window.check()->currentRow(), row);
        if (row != 4)
            typeBoxes(rightBoxes(window.check()->tasks()[size_t(row)].answer));
        QTest::keyClick(child<QLineEdit>(window, "Whole"), Qt::Key_Return);
        press(Qt::Key_Return);
    }
    QVERIFY(window.practice());
    QCOMPARE(window.practice()->sets().size(), size_t(1));
    QCOMPARE(window.practice()->sets().front().topic.row, 4);
    QVERIFY(child<QPlainTextEdit>(window, "HowRight")->isVisible());
}

QTEST_MAIN(TestPracticeWindow)
#include "tst_practice_window.moc"
