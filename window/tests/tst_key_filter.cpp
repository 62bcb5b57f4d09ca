// SPDX-License-Identifier: GPL-3.0-or-later
// The answer boxes' key filter: FilterKey's table, then real key events into
// the whole-part, numerator and denominator boxes of a running test.

#include "test_support.h"

#include "window/key_filter.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <string_view>
#include <QtTest>

using Keys = std::function<void(QLineEdit *)>;
Q_DECLARE_METATYPE(Keys)

class TestKeyFilter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void filterKey_data();
    void filterKey();
    void keys_data();
    void keys();
    void tabMovesFocus();

private:
    std::unique_ptr<Form1> m_form;
};

void TestKeyFilter::initTestCase()
{
    m_form = std::make_unique<Form1>();
    startTest(*m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestKeyFilter::filterKey_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("delivered");

    // accepted
    for (char c : std::string_view("0123456789-"))
        QTest::addRow("'%c'", c) << int(c) << int(c);
    QTest::newRow("backspace 8") << 8 << 8;
    // printable, dropped
    for (char c : std::string_view("aZ .,+*/=()"))
        QTest::addRow("'%c'", c) << int(c) << 0;
    // control codes other than backspace, dropped
    for (int c = 1; c <= 31; ++c) {
        if (c != 8)
            QTest::addRow("control %d", c) << c << 0;
    }
    QTest::newRow("0 stays 0") << 0 << 0;
    QTest::newRow("DEL 127") << 127 << 0;
    // codes beyond ASCII whose low byte is an accepted character
    QTest::newRow("304 = 256 + '0'") << 304 << 0;
    QTest::newRow("301 = 256 + '-'") << 301 << 0;
    QTest::newRow("Cyrillic zhe 1078") << 1078 << 0;
    QTest::newRow("-208 = '0' - 256") << -208 << 0;
    QTest::newRow("-32768") << -32768 << 0;
}

void TestKeyFilter::filterKey()
{
    QFETCH(int, code);
    QFETCH(int, delivered);
    QCOMPARE(int(FilterKey(int16_t(code))), delivered);
}

void TestKeyFilter::keys_data()
{
    // Every row runs on a whole-part, a numerator and a denominator box that
    // hold `before` with the cursor at the end.
    QTest::addColumn<QString>("before");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("after");

    const auto typed = [](const char *text) { return Keys([=](QLineEdit *b) { QTest::keyClicks(b, text); }); };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return Keys([=](QLineEdit *b) { QTest::keyClick(b, k, m); });
    };

    // typed normally
    QTest::newRow("digits") << "" << typed("0123456789") << "0123456789";
    QTest::newRow("minus anywhere, repeatedly") << "" << typed("-1-2--") << "-1-2--";
    QTest::newRow("no length limit") << "4" << typed("0000123456789012345") << "40000123456789012345";
    QTest::newRow("backspace") << "12" << key(Qt::Key_Backspace) << "1";
    // inserting nothing
    QTest::newRow("letters") << "12" << typed("abcXYZ") << "12";
    QTest::newRow("blank . , +") << "12" << typed(" .,+") << "12";
    QTest::newRow("enter") << "12" << key(Qt::Key_Return) << "12";
    QTest::newRow("keypad enter") << "12" << key(Qt::Key_Enter) << "12";
    QTest::newRow("escape") << "12" << key(Qt::Key_Escape) << "12";
    QTest::newRow("ctrl+v") << "12" << key(Qt::Key_V, Qt::ControlModifier) << "12";
    QTest::newRow("ctrl+v as X11 sends it") << "12" << Keys([](QLineEdit *b) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
        QCoreApplication::sendEvent(b, &press);
    }) << "12";
    QTest::newRow("Cyrillic letter") << "12" << Keys([](QLineEdit *b) {
        QTest::sendKeyEvent(QTest::Press, b, Qt::Key_unknown, QStringLiteral("ж"), Qt::NoModifier);
    }) << "12";
    // keys without a character keep their roles
    QTest::newRow("left, then digit") << "12" << Keys([](QLineEdit *b) {
        QTest::keyClick(b, Qt::Key_Left);
        QTest::keyClicks(b, "3");
    }) << "132";
    QTest::newRow("home, then minus") << "12" << Keys([](QLineEdit *b) {
        QTest::keyClick(b, Qt::Key_Home);
        QTest::keyClicks(b, "-");
    }) << "-12";
    QTest::newRow("home, delete") << "12" << Keys([](QLineEdit *b) {
        QTest::keyClick(b, Qt::Key_Home);
        QTest::keyClick(b, Qt::Key_Delete);
    }) << "2";
    QTest::newRow("end after home, backspace") << "12" << Keys([](QLineEdit *b) {
        QTest::keyClick(b, Qt::Key_Home);
        QTest::keyClick(b, Qt::Key_End);
        QTest::keyClick(b, Qt::Key_Backspace);
    }) << "1";
    // an input method's commit keeps only digits and "-"
    QTest::newRow("input method commit") << "1" << Keys([](QLineEdit *b) {
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("2жa-3 ."));
        QCoreApplication::sendEvent(b, &commit);
    }) << "12-3";
    // a paste command is no key press
    QTest::newRow("paste command") << "12" << Keys([](QLineEdit *b) { b->paste(); }) << "125";
}

void TestKeyFilter::keys()
{
    QFETCH(QString, before);
    QFETCH(Keys, keys);
    QFETCH(QString, after);

    QGuiApplication::clipboard()->setText(QStringLiteral("5"));
    for (QLineEdit *box : {m_form->ui().Cw(1), m_form->ui().Ct(5), m_form->ui().Cz(9)}) {
        box->setText(before);
        box->setFocus();
        keys(box);
        QVERIFY2(box->text() == after, qPrintable(box->objectName() + ": " + box->text()));
    }
}

void TestKeyFilter::tabMovesFocus()
{
    Form1 &form = *m_form;
    form.ui().Cw(3)->setFocus();
    const QList<QWidget *> order{form.ui().Ct(3), form.ui().Cz(3), form.ui().Cw(4)};
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.ui().Cz(3));

    form.ui().Cz(9)->setFocus();
    QTest::keyClick(form.ui().Cz(9), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.ui().Command2);
}

QTEST_MAIN(TestKeyFilter)
#include "tst_key_filter.moc"
