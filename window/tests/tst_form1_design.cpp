// SPDX-License-Identifier: GPL-3.0-or-later
// Form1 as the pupil first sees it: captions, the menu, what is hidden,
// geometry in twips of each control's container, the operator dots, the
// fraction bars after the load step, fonts, the Tab order, and two windows
// that must not share state.

#include "runtime/dot_control.h"
#include "runtime/line_control.h"
#include "window/form1.h"
#include "window/form1_ui.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int rowTop(int r) { return 360 + 600 * r; }

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString captionOf(const QWidget *w)
{
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(w))
        return frame->title();
    if (auto *box = qobject_cast<const QLineEdit *>(w))
        return box->text();
    return QStringLiteral("<no caption>");
}

} // namespace

class TestForm1Design : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_form; }

    void windowAndMenu();
    void firstDisplay_data();
    void firstDisplay();
    void arrayGeometry_data();
    void arrayGeometry();
    void dots_data();
    void dots();
    void dotShapes();
    void bars_data();
    void bars();
    void barsOfEveryRow();
    void fonts_data();
    void fonts();
    void loadStep();
    void tabOrder();
    void decorationsTakeNoFocus();
    void windowsAreIndependent();

private:
    QWidget *named(const QString &name) const { return m_form->findChild<QWidget *>(name); }

    Form1 *m_form = nullptr;
};

void TestForm1Design::initTestCase()
{
    m_form = new Form1;
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestForm1Design::windowAndMenu()
{
    QCOMPARE(m_form->windowTitle(),
             QStringLiteral("Тест для 6 класса на тему \"Умноженния и деление обыкновенных дробей\""));
    QCOMPARE(m_form->centralWidget()->size(), QSize(522, 629));

    auto *mn = m_form->findChild<QMenu *>(QStringLiteral("mn"));
    QVERIFY(mn);
    QCOMPARE(m_form->menuBar()->actions(), QList<QAction *>{mn->menuAction()});
    QCOMPARE(mn->title(), QStringLiteral("Меню"));
    QStringList names, captions;
    for (QAction *item : mn->actions()) {
        names << item->objectName();
        captions << item->text();
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));
    }
    QCOMPARE(names, (QStringList{"sp", "Autmn", "ExMn"}));
    QCOMPARE(captions, (QStringList{"Благодарности", "Автор", "Выход"}));
}

void TestForm1Design::firstDisplay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("caption");

    // Seen at first display.
    QTest::newRow("Label4 instructions")
        << "Label4" << true
        << "Всего заданий 10, каждое представляет собой умножение либо деление обыкновенных дробей. "
           "Ответы следует вводить в белые поля. Для ввода целых чисел оставляйте поля ввода числителя и "
           "знаменателя пустыми. Не забывайте сокращать дроби и выделять целую часть. Задание расчитано на "
           "10 минут. Для начала тестирования нажмите кнопку \"Начать тест\".";
    QTest::newRow("Command1") << "Command1" << true << "Начать тест";
    QTest::newRow("RA blank") << "RA" << true << "";
    QTest::newRow("NR blank") << "NR" << true << "";
    // Hidden until a test starts or ends; TL and Mrk keep their creation captions.
    QTest::newRow("Frame1") << "Frame1" << false << "Задания";
    QTest::newRow("Frame2") << "Frame2" << false << "Ответы";
    QTest::newRow("Label1") << "Label1" << false << "Осталось времени";
    QTest::newRow("TL") << "TL" << false << "00:00:00";
    QTest::newRow("Command2") << "Command2" << false << "Готово!";
    QTest::newRow("Label5") << "Label5" << false << "Правильных ответов";
    QTest::newRow("Label6") << "Label6" << false << "Неправильных ответов";
    QTest::newRow("Mrk still 2") << "Mrk" << false << "2";
}

void TestForm1Design::firstDisplay()
{
    QFETCH(QString, name);
    QFETCH(bool, shown);
    QFETCH(QString, caption);

    QWidget *w = named(name);
    QVERIFY(w);
    QCOMPARE(w->isHidden(), !shown);
    QCOMPARE(w->isVisible(), shown);
    QCOMPARE(captionOf(w), caption);
    if (name == QLatin1String("Label4"))
        QCOMPARE(caption.size(), 339);
}

void TestForm1Design::arrayGeometry_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("offset"); // below the row's base height
    QTest::addColumn<int>("top0");   // member 0
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");

    const QSize label(375, 255), box(375, 285);
    // The task frame.
    QTest::newRow("Aw") << "Aw" << "Frame1" << 240 << 120 << 480 << label << "";
    QTest::newRow("At") << "At" << "Frame1" << 720 << 0 << 360 << label << "";
    QTest::newRow("Az") << "Az" << "Frame1" << 720 << 240 << 600 << label << "";
    QTest::newRow("Bw") << "Bw" << "Frame1" << 1800 << 120 << 480 << label << "";
    QTest::newRow("Bt") << "Bt" << "Frame1" << 2280 << 0 << 360 << label << "";
    QTest::newRow("Bz") << "Bz" << "Frame1" << 2280 << 240 << 600 << label << "";
    QTest::newRow("Label3") << "Label3" << "Frame1" << 2760 << 120 << 480 << QSize(255, 255) << "=";
    QTest::newRow("Cw") << "Cw" << "Frame1" << 3120 << 120 << 480 << box << "";
    QTest::newRow("Ct member 0 at 330") << "Ct" << "Frame1" << 3600 << 0 << 330 << box << "";
    QTest::newRow("Cz") << "Cz" << "Frame1" << 3600 << 240 << 600 << box << "";
    QTest::newRow("Result") << "Result" << "Frame1" << 4440 << 120 << 480 << QSize(1455, 255) << "";
    // The answer frame, 120 twips left of column A's shape.
    QTest::newRow("Dw") << "Dw" << "Frame2" << 120 << 120 << 480 << label << "";
    QTest::newRow("Dt") << "Dt" << "Frame2" << 600 << 0 << 360 << label << "";
    QTest::newRow("Dz") << "Dz" << "Frame2" << 600 << 240 << 600 << label << "";
}

void TestForm1Design::arrayGeometry()
{
    QFETCH(QString, array);
    QFETCH(QString, frame);
    QFETCH(int, left);
    QFETCH(int, offset);
    QFETCH(int, top0);
    QFETCH(QSize, size);
    QFETCH(QString, caption);

    for (int r = 0; r <= 9; ++r) {
        const QString name = QStringLiteral("%1_%2").arg(array).arg(r);
        QWidget *w = named(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->parentWidget()->objectName(), frame);
        const int top = r == 0 ? top0 : rowTop(r) + offset;
        QCOMPARE(w->geometry(), twipsRect(left, top, size.width(), size.height()));
        QVERIFY2(!w->isHidden() && w->isEnabled(), qPrintable(name));
        QCOMPARE(captionOf(w), caption);
    }
    QVERIFY(!named(array + QStringLiteral("_10")));
}

void TestForm1Design::dots_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("dots"); // top to bottom

    // One dot: multiplication.
    QTest::newRow("row 0 times") << 0 << QStringList{"Shape1_3"};
    QTest::newRow("row 3 times") << 3 << QStringList{"Shape2_3"};
    QTest::newRow("row 7 times") << 7 << QStringList{"Shape2_6"};
    QTest::newRow("row 8 times") << 8 << QStringList{"Shape1_6"};
    // A colon: division.
    QTest::newRow("row 1 colon") << 1 << QStringList{"Shape1_2", "Shape2_2"};
    QTest::newRow("row 2 colon") << 2 << QStringList{"Shape1_0", "Shape2_0"};
    QTest::newRow("row 4 colon") << 4 << QStringList{"Shape1_1", "Shape2_1"};
    QTest::newRow("row 5 colon") << 5 << QStringList{"Shape1_4", "Shape2_4"};
    QTest::newRow("row 6 colon") << 6 << QStringList{"Shape1_5", "Shape2_5"};
    QTest::newRow("row 9 colon") << 9 << QStringList{"Shape1_7", "Shape2_7"};
}

void TestForm1Design::dots()
{
    QFETCH(int, row);
    QFETCH(QStringList, dots);

    QMap<int, QString> inRow; // top in twips -> name
    for (DotControl *dot : m_form->ui().Frame1->findChildren<DotControl *>()) {
        const int top = dot->y() * 15;
        if (top >= rowTop(row) && top < rowTop(row + 1))
            inRow.insert(top, dot->objectName());
    }
    QCOMPARE(inRow.values(), dots);
    // The lower dot sits at y + 240, the upper one of a colon at y + 120.
    const QList<int> tops = dots.size() == 1 ? QList<int>{rowTop(row) + 240}
                                             : QList<int>{rowTop(row) + 120, rowTop(row) + 240};
    QCOMPARE(inRow.keys(), tops);
}

void TestForm1Design::dotShapes()
{
    // Exactly the sixteen members, all in the task frame at Left 1440, 75 x 75.
    QCOMPARE(m_form->findChildren<DotControl *>().size(), 16);
    for (int i = 0; i <= 7; ++i) {
        for (const auto &[array, prefix] : {std::pair{&m_form->ui().Shape1, "Shape1"}, {&m_form->ui().Shape2, "Shape2"}}) {
            DotControl *dot = (*array)(i);
            QCOMPARE(dot->objectName(), QStringLiteral("%1_%2").arg(QLatin1String(prefix)).arg(i));
            QCOMPARE(dot->parentWidget(), m_form->ui().Frame1);
            QCOMPARE(dot->geometry(), twipsRect(1440, dot->y() * 15, 75, 75));
            QVERIFY(dot->y() * 15 >= rowTop(0) && dot->y() * 15 < rowTop(10));
        }
    }
}

void TestForm1Design::bars_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QLine>("ends");
    QTest::addColumn<bool>("shown");

    // First and last row of each column, after the load step.
    QTest::newRow("Line1(1) A row 0") << 1 << "Frame1" << QLine(720, 570, 1080, 570) << true;
    QTest::newRow("Line1(10) A row 9") << 10 << "Frame1" << QLine(720, 5970, 1080, 5970) << true;
    QTest::newRow("Line1(11) B row 0") << 11 << "Frame1" << QLine(2280, 570, 2640, 570) << true;
    QTest::newRow("Line1(20) B row 9") << 20 << "Frame1" << QLine(2280, 5970, 2640, 5970) << true;
    QTest::newRow("Line1(21) D row 0") << 21 << "Frame2" << QLine(600, 570, 960, 570) << true;
    QTest::newRow("Line1(30) D row 9") << 30 << "Frame2" << QLine(600, 5970, 960, 5970) << true;
    // Never used.
    QTest::newRow("Line1(0) untouched") << 0 << "Frame2" << QLine(0, 0, 360, 0) << false;
}

void TestForm1Design::bars()
{
    QFETCH(int, index);
    QFETCH(QString, frame);
    QFETCH(QLine, ends);
    QFETCH(bool, shown);

    auto *bar = m_form->findChild<LineControl *>(QStringLiteral("Line1_%1").arg(index));
    QCOMPARE(bar, m_form->ui().Line1(index));
    QCOMPARE(bar->parentWidget()->objectName(), frame);
    QCOMPARE(QLine(bar->property("x1").toInt(), bar->property("y1").toInt(), bar->property("x2").toInt(),
                   bar->property("y2").toInt()),
             ends);
    QCOMPARE(bar->geometry().topLeft(), QPoint(ends.x1() / 15, ends.y1() / 15));
    QCOMPARE(bar->isHidden(), !shown);
    QVERIFY(!bar->isVisible()); // both frames are still hidden
}

void TestForm1Design::barsOfEveryRow()
{
    // Each bar lies under its numerator, in the numerator's frame, and is
    // drawn in front of it (later among the frame's children).
    for (int i = 1; i <= 30; ++i) {
        const LineControl *bar = m_form->ui().Line1(i);
        const int k = (i - 1) % 10;
        const int x1 = i <= 10 ? 720 : i <= 20 ? 2280 : 600;
        QCOMPARE(QLine(bar->X1(), bar->Y1(), bar->X2(), bar->Y2()), QLine(x1, 570 + 600 * k, x1 + 360, 570 + 600 * k));
        QVERIFY2(!bar->isHidden(), qPrintable(bar->objectName()));
        const QLabel *numerator = i <= 10 ? m_form->ui().At(k) : i <= 20 ? m_form->ui().Bt(k) : m_form->ui().Dt(k);
        QCOMPARE(bar->parentWidget(), numerator->parentWidget());
        const QObjectList siblings = bar->parentWidget()->children();
        QVERIFY2(siblings.indexOf(bar) > siblings.indexOf(numerator), qPrintable(bar->objectName()));
        // The answer bars are brought to the front of their frame: after every label.
        if (i > 20) {
            for (const QLabel *label : m_form->ui().Frame2->findChildren<QLabel *>())
                QVERIFY(siblings.indexOf(bar) > siblings.indexOf(label));
        }
    }
}

void TestForm1Design::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family"); // first family; empty: the window's default
    QTest::addColumn<qreal>("points");   // 0: the window's default
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");

    // Whole parts and "=" are bold.
    QTest::newRow("Aw(0) bold") << "Aw_0" << "MS Sans Serif" << 8.25 << 700 << false;
    QTest::newRow("Bw(9) bold") << "Bw_9" << "MS Sans Serif" << 8.25 << 700 << false;
    QTest::newRow("Dw(4) bold") << "Dw_4" << "MS Sans Serif" << 8.25 << 700 << false;
    QTest::newRow("Label3(0) bold") << "Label3_0" << "MS Sans Serif" << 8.25 << 700 << false;
    // Numerators and denominators are regular.
    QTest::newRow("At(0) regular") << "At_0" << "" << 0.0 << 400 << false;
    QTest::newRow("Az(9) regular") << "Az_9" << "" << 0.0 << 400 << false;
    QTest::newRow("Bt(3) regular") << "Bt_3" << "" << 0.0 << 400 << false;
    QTest::newRow("Bz(0) regular") << "Bz_0" << "" << 0.0 << 400 << false;
    QTest::newRow("Dt(9) regular") << "Dt_9" << "" << 0.0 << 400 << false;
    QTest::newRow("Dz(0) regular") << "Dz_0" << "" << 0.0 << 400 << false;
    // The clock and the grade digit.
    QTest::newRow("TL Arial 12") << "TL" << "Arial" << 12.0 << 400 << false;
    QTest::newRow("Mrk Corsiva 36 italic") << "Mrk" << "Monotype Corsiva" << 36.0 << 400 << true;
}

void TestForm1Design::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QFETCH(int, weight);
    QFETCH(bool, italic);

    const QFont font = named(name)->font();
    if (!family.isEmpty())
        QCOMPARE(font.families().value(0), family);
    if (points > 0)
        QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(int(font.weight()), weight);
    QCOMPARE(font.italic(), italic);
}

void TestForm1Design::loadStep()
{
    QCOMPARE(m_form->SecondsLeft, int16_t(600));
    QCOMPARE(m_form->property("SecondsLeft").toInt(), 600);
    QVERIFY(m_form->GradeText.isEmpty());
    QVERIFY(m_form->property("GradeText").toString().isEmpty());

    auto *timer = m_form->findChild<QTimer *>(QStringLiteral("Timer1"));
    QCOMPARE(timer, m_form->ui().Timer1);
    QCOMPARE(timer->interval(), 0);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    // Interval 0 raises no tick, not a tick per event-loop pass.
    QTest::qWait(30);
    QCOMPARE(m_form->SecondsLeft, int16_t(600));
}

void TestForm1Design::tabOrder()
{
    Form1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.ui().Frame1->show();
    form.ui().Command2->show();
    form.ui().Command1->setFocus();
    QCOMPARE(QApplication::focusWidget(), form.ui().Command1);

    QStringList expected, visited;
    for (int r = 0; r <= 9; ++r)
        expected << QStringLiteral("Cw_%1").arg(r) << QStringLiteral("Ct_%1").arg(r) << QStringLiteral("Cz_%1").arg(r);
    expected << QStringLiteral("Command2");
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), form.ui().Cz(9));
}

void TestForm1Design::decorationsTakeNoFocus()
{
    for (QWidget *w : m_form->findChildren<QWidget *>()) {
        if (qobject_cast<LineControl *>(w) || qobject_cast<DotControl *>(w) || qobject_cast<QLabel *>(w)
            || qobject_cast<QGroupBox *>(w))
            QVERIFY2(w->focusPolicy() == Qt::NoFocus, qPrintable(w->objectName()));
    }
}

void TestForm1Design::windowsAreIndependent()
{
    Form1 started, other;
    started.Command1_Click();
    started.SecondsLeft = 5;
    started.ui().Aw(0)->move(0, 0);
    QVERIFY(!started.ui().At(0)->text().isEmpty());

    QCOMPARE(other.SecondsLeft, int16_t(600));
    QVERIFY(other.ui().At(0)->text().isEmpty() && other.ui().Dt(9)->text().isEmpty());
    QCOMPARE(other.ui().Aw(0)->geometry(), twipsRect(240, 480, 375, 255));
    QVERIFY(other.ui().Frame1->isHidden() && !other.ui().Command1->isHidden());
    QCOMPARE(other.ui().TL->text(), QStringLiteral("00:00:00"));
    QVERIFY(!other.ui().Timer1->isActive());
    QVERIFY(!other.ui().Line1(21)->isHidden());
}

QTEST_MAIN(TestForm1Design)
#include "tst_form1_design.moc"
