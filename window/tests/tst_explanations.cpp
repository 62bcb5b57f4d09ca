// SPDX-License-Identifier: GPL-3.0-or-later
// The verdicts' explanations: nothing while the test runs or after the
// timeout, then what went wrong and the worked solution once «Готово!» has
// revealed the answers, typed through the real boxes.

#include "test_support.h"

#include <QTextDocumentFragment>
#include <QToolTip>
#include <QtTest>

class TestExplanations : public QObject {
    Q_OBJECT

private slots:
    void explainedOnlyAfterReveal();
};

void TestExplanations::explainedOnlyAfterReveal()
{
    Form1 form;
    startTest(form); // answers -1/6, -1 1/2, -8, 5/8, 6, 1/2, 1 1/8, -1, -1 13/15, -1/10
    const Ui::Form1 &ui = form.ui();
    typeRightAnswer(form, 0);
    enter(ui.Ct(3), QStringLiteral("10")); // 10/16 for 5/8
    enter(ui.Cz(3), QStringLiteral("16"));
    enter(ui.Cw(4), QStringLiteral("-6")); // -6 for 6
    enter(ui.Ct(5), QStringLiteral("2")); // 2/1 for 1/2: -1 : (-1/2)
    enter(ui.Cz(5), QStringLiteral("1"));
    const auto silent = [&] {
        for (int r = 0; r <= 9; ++r) {
            if (!ui.Result(r)->toolTip().isEmpty() || !ui.Result(r)->accessibleDescription().isEmpty()
                || ui.Result(r)->focusPolicy() != Qt::NoFocus)
                return false;
        }
        return true;
    };

    // The clock runs out: the rows are graded, nothing is explained.
    form.setSecondsLeft(1);
    {
        BoxCloser closer;
        form.Timer1_Timer();
    }
    QVERIFY(silent());

    // «Готово!» reveals the answers and explains every row; pressed again,
    // it writes the same.
    for (int press = 0; press < 2; ++press) {
        BoxCloser closer;
        QTest::mouseClick(ui.Command2, Qt::LeftButton);
        const struct {
            int row;
            const char *explanation;
            const char *solution;
        } rows[] = {
            {0, "Всё сделано верно.", "Решение: \u22121/2 · 1/3 = \u22121/6"},
            {1, "Ответ не записан.", "= \u22121\u00A01/2"},
            {3, "Ответ найден верно, но дробь не сокращена", "= 5/8"},
            {4, "Ошибка в знаке", "= 6"},
            {5, "Перевёрнута не та дробь", "= 1/2"},
        };
        for (const auto &row : rows) {
            const QString said = ui.Result(row.row)->accessibleDescription();
            QVERIFY2(said.startsWith(QString::fromUtf8(row.explanation)) && said.endsWith(QString::fromUtf8(row.solution)),
                     qPrintable(said));
            // The tooltip shows the same words (a document's plain text has
            // ordinary spaces for no-break ones, and the table that sets the
            // tooltip's width adds line breaks around; word joiners keep a
            // minus on the line of its bracket).
            QCOMPARE(QTextDocumentFragment::fromHtml(ui.Result(row.row)->toolTip()).toPlainText().remove(QChar(0x2060)).trimmed(),
                     QString(said).replace(QChar(0x00A0), QLatin1Char(' ')));
        }
    }

    // The verdicts join the Tab order after their row's disabled boxes. One
    // reached by Tab shows its explanation, as hovering does, and still shows
    // it once the key is released (the release reaches the verdict).
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.Result(0)->setFocus(Qt::TabFocusReason);
    QVERIFY(ui.Result(0)->hasFocus());
    QCOMPARE(ui.Result(0)->nextInFocusChain(), ui.Cw(1));
    QTest::keyPress(form.windowHandle(), Qt::Key_Tab);
    QVERIFY(ui.Result(1)->hasFocus());
    QTest::keyRelease(form.windowHandle(), Qt::Key_Tab);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), ui.Result(1)->toolTip());
}

QTEST_MAIN(TestExplanations)
#include "tst_explanations.moc"
