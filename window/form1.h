// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1: the program's one window, a timed ten-task test on multiplying and
// dividing common fractions.
//
// Every control is created with the window from the design tables in
// form1_design.cpp and kept for the window's whole life; the logic changes
// only captions, texts, colours, visibility, the answer boxes' enabled state,
// the whole-part labels' Left, the bars and the timer. Each control's
// objectName is its design name ("TL", "Cw_3", "Line1_21"), so tests and
// accessibility tools find it from outside as well as through the members.
//
// The course of a test: Ready (after the load step) -> Running (Command1) ->
// Graded (Command2, or the clock reaching zero). Nothing leads back.

#include "runtime/control_array.h"
#include "runtime/dot_control.h"
#include "runtime/line_control.h"
#include "runtime/random_source.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class AnswerKeyFilter;

class Form1 : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(qint16 SecondsLeft MEMBER SecondsLeft)
    Q_PROPERTY(QString GradeText MEMBER GradeText)

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Seconds of test time left: 600 after the load step, then counted down
    // once a second by the clock.
    int16_t SecondsLeft = 0;
    // The grade line, such as "5. Отличная работа"; set by CheckAllAnswers.
    QString GradeText;

    // Marks every row right or wrong, sets GradeText, shows the counts and
    // the grade digit, and disables the answer boxes.
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

    // The menu.
    QMenu *mn = nullptr;
    QAction *sp = nullptr;
    QAction *Autmn = nullptr;
    QAction *ExMn = nullptr;

    // Single controls.
    QLabel *Label4 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *TL = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *RA = nullptr;
    QLabel *NR = nullptr;
    QLabel *Mrk = nullptr;
    QTimer *Timer1 = nullptr;

    // Control arrays of the ten task rows, indexed by row.
    ControlArray<QLabel> Aw{0, 9};
    ControlArray<QLabel> At{0, 9};
    ControlArray<QLabel> Az{0, 9};
    ControlArray<QLabel> Bw{0, 9};
    ControlArray<QLabel> Bt{0, 9};
    ControlArray<QLabel> Bz{0, 9};
    ControlArray<QLabel> Label3{0, 9};
    ControlArray<QLineEdit> Cw{0, 9};
    ControlArray<QLineEdit> Ct{0, 9};
    ControlArray<QLineEdit> Cz{0, 9};
    ControlArray<QLabel> Result{0, 9};
    ControlArray<QLabel> Dw{0, 9};
    ControlArray<QLabel> Dt{0, 9};
    ControlArray<QLabel> Dz{0, 9};
    ControlArray<DotControl> Shape1{0, 7};
    ControlArray<DotControl> Shape2{0, 7};
    ControlArray<LineControl> Line1{0, 30};

private:
    void createDesign();
    void Form_Load();
    // Shows one of the window's own result boxes; ticks are ignored while it is open.
    void showResult(const QString &text, bool withIcon, const std::optional<QString> &title);

    std::unique_ptr<RandomSource> m_random;
    AnswerKeyFilter *m_keyFilter = nullptr;
    bool m_resultBoxOpen = false;
};
