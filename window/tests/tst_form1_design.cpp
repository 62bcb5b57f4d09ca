// SPDX-License-Identifier: GPL-3.0-or-later
// Form1 as the pupil first sees it: captions, the menu, what is hidden, how
// the controls stand to one another (each row read left to right, no two
// controls of a row over one another, every bar under its numerator, the
// single controls beside what they belong to), the operator dots, fonts,
// the Tab order, and two windows that must not share state. Positions are
// checked as relations, so a change of the design changes the design alone.

#include "fraction/task_generator.h"
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
    void arrays_data();
    void arrays();
    void rowsReadLeftToRight();
    void singleControls();
    void dots();
    void bars();
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

void TestForm1Design::arrays_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");

    for (const char *array : {"Aw", "At", "Az", "Bw", "Bt", "Bz", "Cw", "Ct", "Cz", "Result"})
        QTest::newRow(array) << array << "Frame1" << "";
    QTest::newRow("Label3") << "Label3" << "Frame1" << "=";
    for (const char *array : {"Dw", "Dt", "Dz"})
        QTest::newRow(array) << array << "Frame2" << "";
}

// Members 0 to 9, each in its frame, shown with the frame, enabled, with the
// design's caption.
void TestForm1Design::arrays()
{
    QFETCH(QString, array);
    QFETCH(QString, frame);
    QFETCH(QString, caption);

    for (int r = 0; r <= 9; ++r) {
        const QString name = QStringLiteral("%1_%2").arg(array).arg(r);
        QWidget *w = named(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->parentWidget()->objectName(), frame);
        QVERIFY2(!w->isHidden() && w->isEnabled(), qPrintable(name));
        QCOMPARE(captionOf(w), caption);
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(name));
    }
    QVERIFY(!named(array + QStringLiteral("_10")));
}

// Each row reads left to right as the pupil reads a task: operand A (whole
// part, then numerator over denominator), operand B, "=", the answer boxes,
// the verdict; the answer frame's rows likewise. Controls of a row that do
// not stand one over the other share no column of pixels; a numerator stands
// over its denominator, left-aligned; and every control of a row lies above
// the next row.
void TestForm1Design::rowsReadLeftToRight()
{
    const Ui::Form1 &ui = m_form->ui();
    int previousBottom = -1;
    for (int r = 0; r <= 9; ++r) {
        const QList<QList<QWidget *>> task = {{ui.Aw(r)}, {ui.At(r), ui.Az(r)}, {ui.Bw(r)}, {ui.Bt(r), ui.Bz(r)},
                                              {ui.Label3(r)}, {ui.Cw(r)}, {ui.Ct(r), ui.Cz(r)}, {ui.Result(r)}};
        const QList<QList<QWidget *>> answer = {{ui.Dw(r)}, {ui.Dt(r), ui.Dz(r)}};
        int top = INT_MAX, bottom = -1;
        for (const auto &columns : {task, answer}) {
            for (qsizetype c = 0; c < columns.size(); ++c) {
                const QList<QWidget *> &stack = columns[c];
                if (stack.size() == 2) {
                    QVERIFY2(stack[0]->x() == stack[1]->x() && stack[0]->width() == stack[1]->width(),
                             qPrintable(stack[0]->objectName()));
                    QVERIFY2(stack[0]->y() < stack[1]->y(), qPrintable(stack[0]->objectName()));
                }
                for (QWidget *w : stack) {
                    top = std::min(top, w->y());
                    bottom = std::max(bottom, w->geometry().bottom());
                    if (c + 1 < columns.size()) {
                        const QWidget *next = columns[c + 1].first();
                        QVERIFY2(w->geometry().right() < next->x(),
                                 qPrintable(w->objectName() + QStringLiteral(" reaches ") + next->objectName()));
                    }
                }
            }
        }
        QVERIFY2(top > previousBottom, qPrintable(QStringLiteral("row %1 reaches the row above").arg(r)));
        previousBottom = bottom;
    }
}

// The single controls stand beside what they belong to: the instructions
// over everything, "Начать тест" between them and the task frame, the
// heading of the clock beside the clock, «Готово!» heading the answer
// frame it reveals, the counts' headings under the task frame with each
// count under its heading, the grade under the answer frame. Everything
// lies within the client area.
void TestForm1Design::singleControls()
{
    const Ui::Form1 &ui = m_form->ui();
    const auto g = [](const QWidget *w) { return w->geometry(); };
    const QWidget *client = ui.Frame1->parentWidget();
    for (QWidget *w : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(client->rect().contains(g(w)), qPrintable(w->objectName()));

    // The frames side by side, of one height.
    QCOMPARE(g(ui.Frame1).top(), g(ui.Frame2).top());
    QCOMPARE(g(ui.Frame1).height(), g(ui.Frame2).height());
    QVERIFY(g(ui.Frame1).right() < g(ui.Frame2).left());
    // The instructions, from the task frame's left edge, over the rest.
    QCOMPARE(g(ui.Label4).left(), g(ui.Frame1).left());
    QVERIFY(g(ui.Label4).bottom() < g(ui.Label1).top() && g(ui.Label4).bottom() < g(ui.Command1).top());
    // "Начать тест" above the task frame (it may touch it: the two are never
    // shown together), right of the clock's heading; the heading and the
    // clock on one line, from the frame's left edge, the clock right after it.
    QVERIFY(g(ui.Command1).bottom() <= g(ui.Frame1).top() + 1);
    QVERIFY(g(ui.Command1).left() > g(ui.Label1).right());
    QCOMPARE(g(ui.Label1).left(), g(ui.Frame1).left());
    QCOMPARE(g(ui.Label1).top(), g(ui.TL).top());
    QCOMPARE(g(ui.Label1).height(), g(ui.TL).height());
    QVERIFY(qAbs(g(ui.TL).left() - g(ui.Label1).right()) <= 1);
    QVERIFY(g(ui.TL).bottom() < g(ui.Frame1).top());
    // «Готово!» heads the answer frame: as wide, just above it.
    QCOMPARE(g(ui.Command2).left(), g(ui.Frame2).left());
    QCOMPARE(g(ui.Command2).width(), g(ui.Frame2).width());
    QVERIFY(g(ui.Command2).bottom() < g(ui.Frame2).top() && g(ui.Frame2).top() - g(ui.Command2).bottom() <= 10);
    // The counts: headings on one line under the task frame, each count
    // under its heading; the grade digit under the answer frame.
    QCOMPARE(g(ui.Label5).top(), g(ui.Label6).top());
    QVERIFY(g(ui.Label5).top() > g(ui.Frame1).bottom());
    QCOMPARE(g(ui.Label5).left(), g(ui.Frame1).left());
    QVERIFY(g(ui.Label5).right() < g(ui.Label6).left() && g(ui.Label6).right() < g(ui.Frame1).right());
    QCOMPARE(g(ui.RA).left(), g(ui.Label5).left());
    QCOMPARE(g(ui.NR).left(), g(ui.Label6).left());
    QCOMPARE(g(ui.RA).top(), g(ui.NR).top());
    QVERIFY(g(ui.RA).top() > g(ui.Label5).bottom());
    QVERIFY(g(ui.Mrk).top() >= g(ui.Frame2).bottom());
    QVERIFY(g(ui.Mrk).left() >= g(ui.Frame2).left() && g(ui.Mrk).right() <= g(ui.Frame2).right());
}

// One dot between the operands for a multiplication, a colon of two for a
// division, as the rows' operations say; a colon's dots one over the other.
// The sixteen dots are the design's Shape1(0..7) and Shape2(0..7).
void TestForm1Design::dots()
{
    const Ui::Form1 &ui = m_form->ui();
    QCOMPARE(ui.Frame1->findChildren<DotControl *>().size(), 16);
    for (int i = 0; i <= 7; ++i) {
        QCOMPARE(ui.Shape1(i)->objectName(), QStringLiteral("Shape1_%1").arg(i));
        QCOMPARE(ui.Shape2(i)->objectName(), QStringLiteral("Shape2_%1").arg(i));
    }
    for (int r = 0; r <= 9; ++r) {
        QList<const DotControl *> inRow;
        for (const DotControl *dot : ui.Frame1->findChildren<DotControl *>()) {
            if (dot->y() >= ui.At(r)->y() && dot->geometry().bottom() <= ui.Az(r)->geometry().bottom())
                inRow << dot;
        }
        const bool divides = RowOperation[size_t(r)] == Operation::Divide;
        QCOMPARE(inRow.size(), divides ? 2 : 1);
        for (const DotControl *dot : inRow) {
            QVERIFY2(dot->x() > ui.At(r)->geometry().right() && dot->geometry().right() < ui.Bw(r)->x(),
                     qPrintable(dot->objectName()));
            QVERIFY(!dot->isHidden() && dot->width() == dot->height());
        }
        if (divides) {
            QCOMPARE(inRow[0]->x(), inRow[1]->x());
            QVERIFY(inRow[0]->geometry().bottom() < inRow[1]->y() || inRow[1]->geometry().bottom() < inRow[0]->y());
        }
    }
}

// After the load step every bar 1..30 lies under its numerator: in its
// frame, from its left edge and no wider, below its top and at most at its
// denominator's top; drawn in front of it (the answer bars in front of every
// label of their frame), where its end points say, at least a pixel high.
// Line1(0) exists for the objectName contract and is never shown.
void TestForm1Design::bars()
{
    const Ui::Form1 &ui = m_form->ui();
    for (int i = 1; i <= 30; ++i) {
        const LineControl *bar = ui.Line1(i);
        const int k = (i - 1) % 10;
        const QLabel *numerator = i <= 10 ? ui.At(k) : i <= 20 ? ui.Bt(k) : ui.Dt(k);
        const QLabel *denominator = i <= 10 ? ui.Az(k) : i <= 20 ? ui.Bz(k) : ui.Dz(k);
        const QString name = bar->objectName();
        QCOMPARE(name, QStringLiteral("Line1_%1").arg(i));
        QCOMPARE(bar->parentWidget(), numerator->parentWidget());
        QCOMPARE(bar->x(), numerator->x());
        QVERIFY2(bar->width() <= numerator->width() && bar->height() >= 1, qPrintable(name));
        QVERIFY2(bar->y() > numerator->y() && bar->y() <= denominator->y(), qPrintable(name));
        QCOMPARE(bar->geometry().topLeft(), QPoint(bar->X1() / 15, bar->Y1() / 15));
        QVERIFY2(!bar->isHidden(), qPrintable(name));
        const QObjectList siblings = bar->parentWidget()->children();
        QVERIFY2(siblings.indexOf(bar) > siblings.indexOf(numerator), qPrintable(name));
        if (i > 20) {
            for (const QLabel *label : ui.Frame2->findChildren<QLabel *>())
                QVERIFY2(siblings.indexOf(bar) > siblings.indexOf(label), qPrintable(name));
        }
    }
    const LineControl *unused = m_form->findChild<LineControl *>(QStringLiteral("Line1_0"));
    QCOMPARE(unused, ui.Line1(0));
    QCOMPARE(unused->parentWidget(), ui.Frame2);
    QVERIFY(unused->isHidden());
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
    QCOMPARE(m_form->SecondsLeft(), int16_t(600));
    QCOMPARE(m_form->property("SecondsLeft").toInt(), 600);
    QVERIFY(m_form->GradeText().isEmpty());
    QVERIFY(m_form->property("GradeText").toString().isEmpty());

    auto *timer = m_form->findChild<QTimer *>(QStringLiteral("Timer1"));
    QCOMPARE(timer, m_form->ui().Timer1);
    QCOMPARE(timer->interval(), 0);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    // Interval 0 raises no tick, not a tick per event-loop pass.
    QCoreApplication::processEvents();
    QCOMPARE(m_form->SecondsLeft(), int16_t(600));
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
    started.setSecondsLeft(5);
    started.ui().Aw(0)->move(0, 0);
    QVERIFY(!started.ui().At(0)->text().isEmpty());

    QCOMPARE(other.SecondsLeft(), int16_t(600));
    QVERIFY(other.ui().At(0)->text().isEmpty() && other.ui().Dt(9)->text().isEmpty());
    QCOMPARE(other.ui().Aw(0)->geometry(), m_form->ui().Aw(0)->geometry());
    QVERIFY(other.ui().Frame1->isHidden() && !other.ui().Command1->isHidden());
    QCOMPARE(other.ui().TL->text(), QStringLiteral("00:00:00"));
    QVERIFY(!other.ui().Timer1->isActive());
    QVERIFY(!other.ui().Line1(21)->isHidden());
}

QTEST_MAIN(TestForm1Design)
#include "tst_form1_design.moc"
