// SPDX-License-Identifier: GPL-3.0-or-later
// What makes the window fit for a classroom beyond its design: Russian
// toolkit texts, fonts that exist, the keyboard-only path, screen reader
// names, the window icon, and the report of a runtime error.

#include "runtime/checked16.h"
#include "runtime/program_end.h"
#include "runtime/translations.h"
#include "fraction/task_generator.h"
#include "test_support.h"
#include "window/form1.h"

#include <QAccessible>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

class TestClassroom : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installRussianTranslations(*qApp)); }

    void contextMenuIsRussian()
    {
        QLineEdit box;
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        for (const char *expected : {"Вырезать", "Копировать", "Вставить"})
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), qPrintable(texts.join(QLatin1String(", "))));
    }

    void fontsResolveToLookAlikes()
    {
        Form1 form;
        const QStringList sans = {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
        QVERIFY2(sans.contains(QFontInfo(form.ui().Aw(0)->font()).family()), qPrintable(QFontInfo(form.ui().Aw(0)->font()).family()));
        QVERIFY(sans.contains(QFontInfo(form.ui().TL->font()).family()));
        const QFontInfo grade(form.ui().Mrk->font());
        const QStringList chancery = {QStringLiteral("Monotype Corsiva"), QStringLiteral("Z003"), QStringLiteral("URW Chancery L")};
        // Font info may add the foundry: "Z003 [urw]".
        const QString family = grade.family().section(QLatin1String(" ["), 0, 0);
        QVERIFY2(chancery.contains(family), qPrintable(grade.family()));
        QVERIFY(grade.italic());
    }

    // The whole test without a mouse: Space starts it, Tab walks the boxes in
    // order and reaches "Готово!", Enter presses it.
    void keyboardOnlyTest()
    {
        Form1 form;
        form.setRandomSource(std::make_unique<ScriptedRandomSource>(std::vector<double>{0.0}));
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.ui().Command1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(form.ui().Frame1->isVisible());
        QCOMPARE(QApplication::focusWidget(), form.ui().Cw(0));

        for (int r = 0; r <= 9; ++r) {
            // Type the correct answer, read off the answer column.
            for (QLabel *label : {form.ui().Dw(r), form.ui().Dt(r), form.ui().Dz(r)}) {
                QWidget *box = QApplication::focusWidget();
                QTest::keyClicks(box, label->text());
                QTest::keyClick(box, Qt::Key_Tab);
            }
        }
        QCOMPARE(QApplication::focusWidget(), form.ui().Command2);

        BoxCloser closer;
        QTest::keyClick(form.ui().Command2, Qt::Key_Return);
        QCOMPARE(closer.seen.size(), 1);
        QCOMPARE(closer.seen.first().text, QStringLiteral("Ваша оценка 5. Отличная работа"));
        QCOMPARE(form.ui().RA->text(), QStringLiteral("10"));
        QVERIFY(form.ui().Frame2->isVisible());
    }

    void screenReaderNames()
    {
        Form1 form;
        form.setRandomSource(std::make_unique<ScriptedRandomSource>(std::vector<double>{0.0}));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto name = [](QObject *o) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o);
            return iface ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
        };
        // Nothing hidden says anything: the boxes before the test starts, the
        // answer column until it is revealed.
        QCOMPARE(name(form.ui().Cw(2)), QString());

        QTest::mouseClick(form.ui().Command1, Qt::LeftButton);
        QCOMPARE(name(form.ui().Cw(2)), QStringLiteral("Задание 3, целая часть"));
        QCOMPARE(name(form.ui().Ct(2)), QStringLiteral("Задание 3, числитель"));
        QCOMPARE(name(form.ui().Cz(9)), QStringLiteral("Задание 10, знаменатель"));
        QCOMPARE(name(form.ui().Dt(0)), QString());
        QCOMPARE(name(form.ui().TL), QStringLiteral("Осталось времени: 00:10:00"));
        QCOMPARE(form.ui().Cw(0)->accessibleDescription(), QStringLiteral("-1/2 умножить на 1/3"));
        QCOMPARE(form.ui().Cw(2)->accessibleDescription(), QStringLiteral("4 разделить на -1/2"));

        BoxCloser closer;
        form.Command2_Click();
        QCOMPARE(name(form.ui().Result(0)), QStringLiteral("Задание 1: Ответ неверный."));
        QCOMPARE(name(form.ui().RA), QStringLiteral("Правильных ответов: 0"));
        QCOMPARE(name(form.ui().Mrk), QStringLiteral("Оценка: 2"));
        QCOMPARE(name(form.ui().Dt(0)), QStringLiteral("1"));

        // A heading or an operand is read once, in its buddy's name: its own
        // name is empty while it is on screen.
        int buddied = 0;
        for (const QLabel *label : form.findChildren<QLabel *>()) {
            if (label->buddy() && label->isVisible()) {
                ++buddied;
                QVERIFY2(name(const_cast<QLabel *>(label)).isEmpty(), qPrintable(label->objectName()));
            }
        }
        QVERIFY(buddied >= 3 + 2 * 10); // three headings, each row's two operands

        // Decorations take no focus and say nothing.
        for (QWidget *decoration : {static_cast<QWidget *>(form.ui().Line1(1)), static_cast<QWidget *>(form.ui().Shape1(0))}) {
            QCOMPARE(decoration->focusPolicy(), Qt::NoFocus);
            QVERIFY2(name(decoration).isEmpty(), qPrintable(name(decoration)));
        }
    }

    // Each row is read aloud with its own operation, the one its row
    // multiplies or divides by.
    void tasksReadAloud_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("notSaid");
        const QString times = QStringLiteral(" умножить на "), divided = QStringLiteral(" разделить на ");
        for (int r = 0; r <= 9; ++r) {
            if (RowOperation[size_t(r)] == Operation::Multiply)
                QTest::addRow("row %d times", r) << r << times << divided;
            else
                QTest::addRow("row %d divided", r) << r << divided << times;
        }
    }

    void tasksReadAloud()
    {
        QFETCH(int, row);
        QFETCH(QString, said);
        QFETCH(QString, notSaid);
        Form1 form;
        startTest(form);
        for (const QLineEdit *box : {form.ui().Cw(row), form.ui().Ct(row), form.ui().Cz(row)}) {
            const QString task = box->accessibleDescription();
            QVERIFY2(task.count(said) == 1 && !task.contains(notSaid), qPrintable(box->objectName() + ": " + task));
        }
    }

    void windowShowsItsIcon()
    {
        Form1 form;
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(form.windowIcon().availableSizes().contains(QSize(64, 64)));
    }

    // A runtime error inside an event handler is reported in Russian, on
    // stderr and in a message box, and ends the process with its code.
    void runtimeErrorEndsTheProgram()
    {
        int boxPipe[2];
        int errPipe[2];
        QVERIFY(pipe(boxPipe) == 0 && pipe(errPipe) == 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            close(boxPipe[0]);
            close(errPipe[0]);
            dup2(errPipe[1], STDERR_FILENO);
            QTimer::singleShot(50, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    const QByteArray seen = (box->windowTitle() + QLatin1Char('|') + box->text()).toUtf8();
                    (void)!write(boxPipe[1], seen.constData(), size_t(seen.size()));
                    box->done(0);
                }
            });
            runGuarded([] { throw OverflowError(); });
            _exit(0); // not reached: the report ends the process
        }
        close(boxPipe[1]);
        close(errPipe[1]);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        const auto readAll = [](int fd) {
            QByteArray all;
            char buffer[512];
            for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
                all.append(buffer, n);
            close(fd);
            return QString::fromUtf8(all);
        };
        const QString box = readAll(boxPipe[0]);
        const QString err = readAll(errPipe[0]);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 6);
        QVERIFY2(box.startsWith(QStringLiteral("Ошибка|Ошибка выполнения 6: переполнение.")), qPrintable(box));
        QVERIFY2(err.contains(QStringLiteral("ошибка выполнения 6")), qPrintable(err));
    }
};

QTEST_MAIN(TestClassroom)
#include "tst_classroom.moc"
