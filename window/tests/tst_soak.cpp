// SPDX-License-Identifier: GPL-3.0-or-later
// A long run of random events on the real window, drawn from a seeded
// generator: key presses of every kind into the answer boxes, clicks, menu
// commands, pastes and clock ticks, over many tests from start to grade.
// After every event the window must still be there and consistent: a clock
// text ToTime can produce, and once graded ten counted rows, a matching grade,
// locked boxes and a stopped clock.
//
// The seed is printed first. It is fixed, so that a failure in the test
// command replays from its log; DROBI_SOAK_SEED=<seed> replays another run,
// DROBI_SOAK_SEED=random draws a seed from the clock, and
// DROBI_SOAK_EVENTS=<n> sets the length (10000 by default, some seconds).

#include "test_support.h"

#include "runtime/program_end.h"
#include "runtime/random_source.h"
#include "window/messages.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <random>

namespace {

// Qt Test warns for each key or click no widget takes: every key release, and
// every key sent to a locked box. Thousands are expected here.
QtMessageHandler g_testHandler = nullptr;

void dropUnacceptedEventWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("not accepted by receiving widget")))
        return;
    // The offscreen platform's note on each message box.
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints")))
        return;
    g_testHandler(type, context, message);
}

constexpr uint DefaultSeed = 20240901;

// Every text ToTime can return: at most 9 hours, and negative counts
// uncarried in the seconds field ("00:00:-1", "00:00:0-10").
const QRegularExpression ClockText(QStringLiteral("^(0\\d:[0-5]\\d:[0-5]\\d|00:00:(-[1-9]|0-[1-9]\\d{1,4}))$"));

const QRegularExpression Typeable(QStringLiteral("^[0-9-]*$"));

QString gradeDigitFor(int right)
{
    return right == 10 ? QStringLiteral("5") : right == 9 ? QStringLiteral("4") : right == 8 ? QStringLiteral("3") : QStringLiteral("2");
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void randomEvents();

private:
    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    QLineEdit *anyBox(Form1 &form);
    QString step(Form1 &form, bool &ticked);
    QString pressKey(QWidget *target);
    void checkBox();
    QString problems(Form1 &form, bool ticked, Stage before);

    std::mt19937 m_rng;
    QPointer<Form1> m_form;
    QString m_context;
    // Found while an event ran: a wrong message box, a key that got through.
    QStringList m_problems;
    int m_ticksWhileBoxOpen = 0;
    int m_timeUps = 0;
    std::unique_ptr<BoxCloser> m_boxes;
};

void TestSoak::initTestCase()
{
    g_testHandler = qInstallMessageHandler(dropUnacceptedEventWarnings);
    m_boxes = std::make_unique<BoxCloser>([this] { checkBox(); }, NestedBoxes::Handled);
}

// Runs for each message box before it is closed: checks that it is one the
// window may show and hands it any clock ticks the event planned.
void TestSoak::checkBox()
{
    const QString text = m_boxes->seen.last().text;
    // The menu's two boxes, or the grade just given.
    QStringList allowed{Messages::ThanksLine1 + QLatin1Char('\n') + Messages::ThanksLine2, Messages::AuthorLine};
    if (m_form)
        allowed << Messages::YourGrade + m_form->GradeText() << Messages::TimeUp + m_form->GradeText();
    if (!allowed.contains(text)) {
        // A runtime error report ends the process once closed: say now what led here.
        const QString problem = QStringLiteral("unexpected message box \"%1\"").arg(text);
        std::fprintf(stderr, "%s\n%s\n", qUtf8Printable(m_context), qUtf8Printable(problem));
        std::fflush(stderr);
        m_problems << problem;
    }
    m_timeUps += text.startsWith(Messages::TimeUp);
    for (; m_ticksWhileBoxOpen > 0; --m_ticksWhileBoxOpen) {
        if (m_form && m_form->ui().Timer1->isActive())
            m_form->Timer1_Timer();
    }
}

QLineEdit *TestSoak::anyBox(Form1 &form)
{
    const int row = pick(10);
    switch (pick(3)) {
    case 0:
        return form.ui().Cw(row);
    case 1:
        return form.ui().Ct(row);
    default:
        return form.ui().Cz(row);
    }
}

// One key press of a random kind; returns what it was.
QString TestSoak::pressKey(QWidget *target)
{
    static const Qt::Key editing[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,   Qt::Key_Right,
                                      Qt::Key_Home,      Qt::Key_End,    Qt::Key_Tab,    Qt::Key_Backtab,
                                      Qt::Key_Up,        Qt::Key_Down,   Qt::Key_Return, Qt::Key_Enter,
                                      Qt::Key_Escape,    Qt::Key_Insert, Qt::Key_PageUp, Qt::Key_F1};
    const int kind = pick(100);
    if (kind < 40) {
        const char c = "0123456789-"[pick(11)];
        QTest::keyClick(target, c);
        return QStringLiteral("key '%1'").arg(c);
    }
    if (kind < 55) {
        const char c = char(32 + pick(95));
        QTest::keyClick(target, c);
        return QStringLiteral("key '%1'").arg(c);
    }
    if (kind < 63) {
        // Control codes as a terminal or an input method would deliver them.
        const int code = chance(0.1) ? 127 : 1 + pick(31);
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(QChar(code)), Qt::NoModifier);
        return QStringLiteral("control code %1").arg(code);
    }
    if (kind < 78) {
        const Qt::Key key = editing[pick(std::size(editing))];
        QTest::keyClick(target, key);
        return QStringLiteral("key %1").arg(QKeySequence(key).toString());
    }
    if (kind < 88) {
        const Qt::Key key = Qt::Key(Qt::Key_A + pick(26));
        QTest::keyClick(target, key, Qt::ControlModifier);
        return QStringLiteral("Ctrl+%1").arg(QKeySequence(key).toString());
    }
    // Cyrillic letters, as a Russian keyboard layout reports them.
    const QChar upper = chance(0.05) ? QChar(0x0401) : QChar(0x0410 + pick(32));
    const QChar letter = chance(0.5) ? upper : upper.toLower();
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(upper.unicode()), QString(letter), Qt::NoModifier);
    return QStringLiteral("key '%1'").arg(letter);
}

// Sends one random event fit for the window's stage; returns what it was.
// `ticked` tells whether the clock handler ran as the event itself.
QString TestSoak::step(Form1 &form, bool &ticked)
{
    // Pastes that do not read as a 16-bit number, or read oddly.
    static const QStringList junk{
        QStringLiteral("40000"), QStringLiteral("-32768"), QStringLiteral("32768"), QStringLiteral("-32769"),
        QStringLiteral("1e400"), QStringLiteral("3.5"),    QStringLiteral(" -"),    QStringLiteral("-0"),
        QStringLiteral("3abc"),  QStringLiteral("девять"), QStringLiteral("\t7"),   QStringLiteral("-"),
        QString(400, QLatin1Char('9')), QStringLiteral("1") + QString(40, QLatin1Char('0'))};
    const Stage stage = stageOf(form);
    const bool running = stage == Stage::Running;
    ticked = false;
    const int kind = pick(100);

    if (kind < 55) {
        QLineEdit *box = anyBox(form);
        const QString before = box->text();
        const bool enabled = box->isEnabled();
        const QString what = pressKey(box) + QStringLiteral(" into ") + box->objectName();
        if (!enabled && box->text() != before)
            m_problems << QStringLiteral("a key changed a locked box");
        // Every answer box takes digits and "-" only from the keyboard.
        if (Typeable.match(before).hasMatch() && !Typeable.match(box->text()).hasMatch())
            m_problems << QStringLiteral("a key let \"%1\" in").arg(box->text());
        return what;
    }
    if (kind < 60) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != &form)
            return QStringLiteral("no focus");
        return pressKey(focus) + QStringLiteral(" into the focus, ") + focus->objectName();
    }
    if (kind < 64 && running) {
        const int row = pick(10);
        const int fields = pick(4); // 3: all three boxes
        for (int f = 0; f <= 2; ++f) {
            if (fields != 3 && fields != f)
                continue;
            QLineEdit *box = f == 0 ? form.ui().Cw(row) : f == 1 ? form.ui().Ct(row) : form.ui().Cz(row);
            const QLabel *label = f == 0 ? form.ui().Dw(row) : f == 1 ? form.ui().Dt(row) : form.ui().Dz(row);
            box->clear();
            QTest::keyClicks(box, label->text());
        }
        return QStringLiteral("typed row %1's answer (field %2)").arg(row).arg(fields);
    }
    if (kind < 65 && running) {
        const int rows = 7 + pick(4);
        for (int row = 0; row < rows; ++row) {
            for (auto [box, label] : {std::pair{form.ui().Cw(row), form.ui().Dw(row)}, std::pair{form.ui().Ct(row), form.ui().Dt(row)},
                                      std::pair{form.ui().Cz(row), form.ui().Dz(row)}}) {
                box->clear();
                QTest::keyClicks(box, label->text());
            }
        }
        return QStringLiteral("typed the answers of rows 0 to %1").arg(rows - 1);
    }
    if (kind < 68) {
        // Pasting through the context menu is not a key press: any text gets in.
        QLineEdit *box = anyBox(form);
        if (!box->isEnabled())
            return QStringLiteral("no paste into locked %1").arg(box->objectName());
        const QString text = junk[pick(junk.size())];
        QApplication::clipboard()->setText(text);
        box->paste();
        return QStringLiteral("pasted \"%1\" into %2").arg(text.left(20), box->objectName());
    }
    if (kind < 74 && form.ui().Command1->isVisible()) {
        QTest::mouseClick(form.ui().Command1, Qt::LeftButton);
        return QStringLiteral("clicked Command1");
    }
    if (kind < 76 && form.ui().Command2->isVisible()) {
        m_ticksWhileBoxOpen = pick(3);
        QTest::mouseClick(form.ui().Command2, Qt::LeftButton);
        return QStringLiteral("clicked Command2");
    }
    if (kind < 78) {
        // Anywhere below the menu bar: "Выход" would end the run.
        const int top = form.menuBar()->height();
        const QPoint at(pick(form.width()), top + pick(form.height() - top));
        m_ticksWhileBoxOpen = pick(3);
        QTest::mouseClick(&form, Qt::LeftButton, Qt::NoModifier, at);
        return QStringLiteral("clicked at %1,%2").arg(at.x()).arg(at.y());
    }
    if (kind < 80) {
        QAction *item = chance(0.5) ? form.ui().sp : form.ui().Autmn;
        m_ticksWhileBoxOpen = pick(3);
        item->trigger();
        return QStringLiteral("menu ") + item->text();
    }
    if (kind < 82 && running) {
        const int16_t seconds = chance(0.5) ? int16_t(-3 + pick(7)) : int16_t(28 + pick(5));
        form.setSecondsLeft(seconds);
        return QStringLiteral("SecondsLeft set to %1").arg(seconds);
    }
    if (form.ui().Timer1->isActive() || (stage == Stage::Graded && chance(0.02))) {
        // Ticks come as the running timer would send them; now and then a
        // late one reaches a graded test.
        m_ticksWhileBoxOpen = pick(3);
        ticked = true;
        form.Timer1_Timer();
        return QStringLiteral("tick");
    }
    return QStringLiteral("nothing");
}

// What is wrong with the window after an event; empty when all is well.
QString TestSoak::problems(Form1 &form, bool ticked, Stage before)
{
    QStringList found = m_problems;
    m_problems.clear();
    if (!form.isVisible())
        found << QStringLiteral("the window is gone");
    if (runtimeErrorPending())
        found << QStringLiteral("a runtime error is being reported");
    const QString clock = form.ui().TL->text();
    if (!ClockText.match(clock).hasMatch())
        found << QStringLiteral("clock shows \"%1\"").arg(clock);
    if (ticked && clock != form.ToTime(form.SecondsLeft()))
        found << QStringLiteral("clock shows \"%1\" for %2 seconds").arg(clock).arg(form.SecondsLeft());

    const Stage stage = stageOf(form);
    if (stage < before)
        found << QStringLiteral("the test went back to an earlier stage");
    if (stage == Stage::Running && !form.ui().Timer1->isActive())
        found << QStringLiteral("running without a clock");
    if (stage != Stage::Graded)
        return found.join(QLatin1String("; "));

    bool countsRead = false;
    bool wrongRead = false;
    const int right = form.ui().RA->text().toInt(&countsRead);
    const int wrong = form.ui().NR->text().toInt(&wrongRead);
    if (!countsRead || !wrongRead || right < 0 || right > 10 || right + wrong != 10)
        found << QStringLiteral("RA \"%1\" and NR \"%2\" do not make 10").arg(form.ui().RA->text(), form.ui().NR->text());
    int marked = 0;
    for (int r = 0; r <= 9; ++r) {
        const QString verdict = form.ui().Result(r)->text();
        if (verdict != Messages::Right && verdict != Messages::Wrong)
            found << QStringLiteral("row %1 shows \"%2\"").arg(r).arg(verdict);
        marked += verdict == Messages::Right;
        for (const QLineEdit *box : {form.ui().Cw(r), form.ui().Ct(r), form.ui().Cz(r)}) {
            if (box->isEnabled())
                found << box->objectName() + QStringLiteral(" is enabled after grading");
        }
    }
    if (marked != right)
        found << QStringLiteral("%1 rows marked right, RA says %2").arg(marked).arg(right);
    if (form.ui().Mrk->text() != gradeDigitFor(right) || !form.GradeText().startsWith(form.ui().Mrk->text()))
        found << QStringLiteral("grade \"%1\" (%2) for %3 right").arg(form.ui().Mrk->text(), form.GradeText()).arg(right);
    if (form.ui().Timer1->isActive())
        found << QStringLiteral("the clock runs after grading");
    return found.join(QLatin1String("; "));
}

void TestSoak::randomEvents()
{
    bool ok = true;
    const QString seedText = qEnvironmentVariable("DROBI_SOAK_SEED");
    uint seed = DefaultSeed;
    if (seedText == QLatin1String("random"))
        seed = uint(QDateTime::currentMSecsSinceEpoch());
    else if (!seedText.isEmpty())
        seed = seedText.toUInt(&ok);
    QVERIFY2(ok, "DROBI_SOAK_SEED is a number or \"random\"");
    const int fromEnv = qEnvironmentVariableIntValue("DROBI_SOAK_EVENTS", &ok);
    const int events = ok && fromEnv > 0 ? fromEnv : 10000;
    qInfo("seed %u, %d events; replay with DROBI_SOAK_SEED=%u", seed, events, seed);
    m_rng.seed(seed);

    QStringList recent;
    int tests = 0;
    QMap<QString, int> grades;
    for (int done = 0; done < events; ++tests) {
        Form1 form;
        m_form = &form;
        auto tasks = std::make_unique<StdRandomSource>();
        tasks->Randomize(pick(86400));
        form.setRandomSource(std::move(tasks));
        // The clock ticks only when this run says so, never by the wall
        // clock, so that a seed replays exactly.
        form.ui().Timer1->blockSignals(true);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        // Each test goes on for a while after its grade.
        const int afterGrade = 5 + pick(40);
        for (int graded = 0; done < events && graded < afterGrade; ++done) {
            const Stage before = stageOf(form);
            bool ticked = false;
            m_context = QStringLiteral("seed %1, test %2, event %3").arg(seed).arg(tests).arg(done);
            const QString what = step(form, ticked);
            m_ticksWhileBoxOpen = 0;
            recent << what;
            if (recent.size() > 12)
                recent.removeFirst();
            const QString problem = problems(form, ticked, before);
            if (!problem.isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1: %2\nlast events:\n  %3")
                                     .arg(m_context, problem, recent.join(QLatin1String("\n  ")))));
            if (stageOf(form) == Stage::Graded)
                ++graded;
        }
        m_form = nullptr;
        ++grades[form.ui().Mrk->isVisible() ? form.ui().Mrk->text() : QStringLiteral("none")];
    }
    QStringList tally;
    for (auto it = grades.cbegin(); it != grades.cend(); ++it)
        tally << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    qInfo("%d events over %d tests, %d time-up boxes; final grades %s", events, tests, m_timeUps,
          qPrintable(tally.join(QLatin1String(", "))));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
