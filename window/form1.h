// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1: the program's one window, a timed ten-task test on multiplying and
// dividing common fractions.
//
// Every control is created with the window from the design tables (see
// form1_ui.h) and kept for the window's whole life; the logic changes only
// captions, texts, colours, visibility, the answer boxes' enabled state, the
// whole-part labels' Left, the bars and the timer.
//
// The test itself lives in a TestSession (session/session.h): tasks,
// typed answers, verdicts, grade. The handlers update the session and the
// window draws from it; no label is read back to learn a fact of the test.
// The course of a test: Ready (after the load step) -> Running (Command1) ->
// Graded (Command2, or the clock reaching zero). Nothing leads back.

#include "runtime/random_source.h"
#include "results/class_list.h"
#include "results/result_record.h"
#include "results/school_settings.h"
#include "session/session.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>

class AnswerKeyFilter;
class ResultsCourier;
namespace Ui {
class Form1;
}

class Form1 : public QMainWindow {
    Q_OBJECT
    // The design's two members, as views of the test session, which alone
    // keeps the count and the grade.
    Q_PROPERTY(qint16 SecondsLeft READ SecondsLeft WRITE setSecondsLeft)
    Q_PROPERTY(QString GradeText READ GradeText)

public:
    // The school's settings set the test's length and, when they name a
    // results folder, send every finished test there; without them the
    // window keeps to its design: ten minutes, nothing written.
    explicit Form1(QWidget *parent = nullptr, const SchoolSettings &settings = SchoolSettings());
    ~Form1() override;

    // Seconds of test time left: 600 after the load step, then counted down
    // once a second by the clock. The session's count: the tick sets it,
    // and so may tools and tests that jump to the end of a test.
    int16_t SecondsLeft() const { return m_session.secondsLeft(); }
    void setSecondsLeft(int16_t seconds) { m_session.setSecondsLeft(seconds); }
    // The grade line, such as "5. Отличная работа", for the session's grade;
    // empty until CheckAllAnswers has graded the test.
    QString GradeText() const;

    // Grades the session (GradeText follows), marks every row right or
    // wrong, shows the counts and the grade digit, and disables the answer
    // boxes.
    void CheckAllAnswers();
    // The clock's text for a count of seconds: "00:10:00" for 600.
    QString ToTime(int16_t seconds) const;

    // Event handlers; the controls' signals are connected to them.
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void sp_Click();
    void Autmn_Click();
    void ExMn_Click();

    // The random source the tasks are drawn from; tests may replace it.
    RandomSource &randomSource() { return *m_random; }
    void setRandomSource(std::unique_ptr<RandomSource> source);

    // The window's controls, as the design made them.
    const Ui::Form1 &ui() const;
    // The test as data: what the window draws from.
    const TestSession &session() const { return m_session; }

protected:
    // Closing the window during a test keeps the test, unfinished, for the
    // teacher.
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    // Who is taking the test, asked before it starts when the school wants
    // names typed; false when the pupil cancels.
    bool identifyPupil();
    // Hands the session to the results folder and returns at once, with the
    // line saying what is known of its way there; empty when results are off.
    QString reportResult(ResultStatus status);
    // Shows one of the window's own result boxes; ticks are ignored while it
    // is open. Its line about the result changes in place when the result's
    // delivery ends. `offerPractice` adds the button «Работа над ошибками»;
    // true when the pupil pressed it.
    bool showResult(const QString &text, bool withIcon, const std::optional<QString> &title,
                    const QString &whereResultWent, bool offerPractice = false);
    // Whether «Готово!»'s grade box offers practice: the school wants it and
    // a row is wrong.
    bool offersPractice() const;
    // Opens «Работа над ошибками» on the mistakes of this test.
    void openPractice();

    std::unique_ptr<Ui::Form1> m_ui;
    std::unique_ptr<RandomSource> m_random;
    AnswerKeyFilter *m_keyFilter = nullptr;
    // Hands what row r's boxes hold to the session; every edit of a box,
    // typed or filled in, calls it.
    void rowEdited(int16_t r);
    // Draws the graded session: verdicts, counts, the grade digit.
    void drawGrading();

    TestSession m_session;
    SchoolSettings m_settings;
    // Only when a results folder is set.
    std::unique_ptr<ResultsCourier> m_courier;
    // The test's record as last handed to the courier, and where it got:
    // a record that has not changed is not written again.
    QByteArray m_lastRecord;
    int m_lastDelivery = 0;
    PupilIdentity m_pupil;
    // The school's class lists, when it names them; read when the window opens.
    ClassList m_classes;
    QString m_resultId;
    bool m_resultBoxOpen = false;
};
