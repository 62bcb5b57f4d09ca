// SPDX-License-Identifier: GPL-3.0-or-later
// «Перед началом теста»: what the pupil types and presses, by keyboard
// alone, and what comes out of it.

#include "window/pupil_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Types any text key by key, Cyrillic included (QTest::keyClicks knows ASCII only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestPupilDialog : public QObject
{
    Q_OBJECT

private slots:
    void design();
    void typing_data();
    void typing();
    void choosing_data();
    void choosing();
};

// The captions as given, each field read with its label, and Tab walking
// name, class, «Начать», «Отмена».
void TestPupilDialog::design()
{
    PupilDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Перед началом теста"));
    // For a person to look at: DROBI_SCREENSHOTS=<folder>.
    if (const QString folder = qEnvironmentVariable("DROBI_SCREENSHOTS"); !folder.isEmpty())
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/pupil_dialog.png")));
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("pupilName"));
    auto *className = dialog.findChild<QLineEdit *>(QStringLiteral("pupilClass"));
    QVERIFY(name && className);
    QStringList buddies;
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->buddy())
            buddies << label->text() + QLatin1Char('>') + label->buddy()->objectName();
    }
    buddies.sort();
    QCOMPARE(buddies, (QStringList{QStringLiteral("Класс>pupilClass"), QStringLiteral("Фамилия и имя>pupilName")}));

    QStringList order;
    for (int i = 0; i < 4; ++i) {
        QWidget *focus = QApplication::focusWidget();
        auto *button = qobject_cast<QPushButton *>(focus);
        order << (button ? button->text() : focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{QStringLiteral("pupilName"), QStringLiteral("pupilClass"), QStringLiteral("Начать"),
                                 QStringLiteral("Отмена")}));
}

void TestPupilDialog::typing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("key"); // pressed in the class field
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("keptName");

    QTest::newRow("name and class, Enter") << "  Иванова Мария " << "6Б" << int(Qt::Key_Return) << true << "Иванова Мария";
    QTest::newRow("name alone") << "Ли Вэй" << "" << int(Qt::Key_Enter) << true << "Ли Вэй";
    QTest::newRow("blank name refused") << "   " << "6Б" << int(Qt::Key_Return) << false << "";
    QTest::newRow("Escape cancels") << "Петров Иван" << "6А" << int(Qt::Key_Escape) << false << "";
    QTest::newRow("longer than 100 kept to 100") << QString(120, u'ж') << "" << int(Qt::Key_Return) << true
                                                 << QString(100, u'ж');
}

void TestPupilDialog::typing()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(int, key);
    QFETCH(bool, started);
    QFETCH(QString, keptName);

    QWidget parent;
    std::optional<PupilName> result;
    bool refusalSeen = false;
    // The dialog runs modal, as «Начать тест» opens it; the pupil types
    // once it is shown.
    QTimer::singleShot(0, &parent, [&] {
        auto *dialog = parent.findChild<PupilDialog *>();
        QVERIFY(dialog && dialog->isModal());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        typeText(QApplication::focusWidget(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        typeText(QApplication::focusWidget(), className);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        if (dialog->isVisible()) {
            auto *refusal = dialog->findChild<QLabel *>(QStringLiteral("pupilNameMissing"));
            refusalSeen = refusal->isVisible();
            // The focus is back in the name field, which says why.
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("pupilName"));
            QVERIFY(!QApplication::focusWidget()->accessibleDescription().isEmpty());
            dialog->reject();
        }
    });
    result = askPupilName(&parent);
    QCOMPARE(result.has_value(), started);
    QCOMPARE(refusalSeen, !started && key != Qt::Key_Escape);
    if (started) {
        QCOMPARE(result->name, keptName);
        QCOMPARE(result->className, className);
    }
}

// With the school's class lists: the class chosen by typing it, then the
// name found among the class's by typing part of it, in any case; a name
// not on the class's list is refused and said why.
void TestPupilDialog::choosing_data()
{
    QTest::addColumn<QString>("className"); // typed into the class list
    QTest::addColumn<QString>("name");      // typed into the name field
    QTest::addColumn<QString>("kept");      // "" when refused
    QTest::addColumn<QString>("refusal");

    QTest::newRow("chosen") << "6Б" << "Орлова Мария" << "Орлова Мария" << "";
    QTest::newRow("typed in small letters") << "6Б" << "орлова мария" << "Орлова Мария" << "";
    QTest::newRow("misspelt") << "6Б" << "Орлва Мария" << "" << "нет в списке";
    QTest::newRow("another class's pupil") << "6А" << "Орлова Мария" << "" << "нет в списке";
    QTest::newRow("no class") << "" << "Орлова Мария" << "" << "Выберите свой класс";
    QTest::newRow("no name") << "6Б" << "" << "" << "Введите фамилию";
}

void TestPupilDialog::choosing()
{
    QFETCH(QString, className);
    QFETCH(QString, name);
    QFETCH(QString, kept);
    QFETCH(QString, refusal);

    const ClassList classes = parseClassList("6Б;Орлова Мария\n6Б;Орлов Пётр\n6А;Ким Юна\n");
    QWidget parent;
    QString refused;
    QTimer::singleShot(0, &parent, [&] {
        auto *dialog = parent.findChild<PupilDialog *>();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("pupilClass"));
        typeText(QApplication::focusWidget(), className);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto *names = dialog->findChild<QComboBox *>(QStringLiteral("pupilName"));
        QVERIFY(names && names->lineEdit()->hasFocus());
        typeText(names->lineEdit(), name);
        names->completer()->popup()->hide();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (dialog->isVisible()) {
            refused = dialog->findChild<QLabel *>(QStringLiteral("pupilNameMissing"))->text();
            QCOMPARE(QApplication::focusWidget()->accessibleDescription(), refused);
            dialog->reject();
        }
    });
    const std::optional<PupilName> result = askPupilName(&parent, &classes);
    QCOMPARE(result.has_value(), !kept.isEmpty());
    QVERIFY2(refused.contains(refusal), qPrintable(refused));
    if (result) {
        QCOMPARE(result->name, kept);
        QCOMPARE(result->className, className);
    }
}

QTEST_MAIN(TestPupilDialog)
#include "tst_pupil_dialog.moc"
