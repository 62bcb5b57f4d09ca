// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of Form1, built from the design tables in form1_design.cpp,
// the way a generated form class holds a designed window's controls: Form1
// owns one Ui::Form1 and reaches its controls through it. Code outside the
// window finds a control by its objectName, which is its design name ("TL",
// "Cw_3", "Line1_21"), as accessibility tools and tests do.
//
// The design's short names, kept as they are:
//   Label4          the instructions of the start screen
//   Command1        «Начать тест»; Command2 «Готово!»
//   Frame1          «Задания», the ten task rows; Frame2 «Ответы», the
//                   correct answers, revealed by «Готово!»
//   Label1, TL      «Осталось времени» and the clock; Timer1 ticks it
//   Label5, RA      «Правильных ответов» and their count
//   Label6, NR      «Неправильных ответов» and their count
//   Mrk             the grade digit
//   A., B., C., D.  a task row's columns: operand A, operand B, the pupil's
//                   answer boxes, the correct answer; each with
//   .w, .t, .z      its whole part, numerator (t) and denominator (z):
//                   Aw, At, Az, ..., Cw, Ct, Cz (text boxes), Dw, Dt, Dz
//   Label3          a row's «=»; Result a row's verdict
//   Shape1, Shape2  the operator dots between the operands: one for a
//                   multiplication, two (a colon) for a division
//   Line1           the fraction bars: Line1(r + 1) in column A, r + 11 in B,
//                   r + 21 in the answer column; Line1(0) is never shown but
//                   keeps its objectName, which tools and tests count on
//   mn              the menu «Меню»: sp «Благодарности», Autmn «Автор»,
//                   ExMn «Выход»

#include "session/session.h"
#include "runtime/control_array.h"
#include "runtime/dot_control.h"
#include "runtime/line_control.h"

#include <cstdint>

class Form1;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

// The three labels and the bar that show one fraction of a task row.
struct FractionColumn {
    QLabel *whole;
    QLabel *num;
    QLabel *den;
    LineControl *bar;
};

// The fraction columns of a task row.
enum class Column : uint8_t { A, B, Answer };

namespace Ui {

class Form1 {
public:
    // Creates every control in its design state inside `form`.
    void setupUi(::Form1 *form);

    // A row's labels and bar in one column.
    FractionColumn column(int16_t row, Column column) const;

    // What the pupil has typed into a row's boxes.
    BoxTexts typedAnswer(int16_t row) const;

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
    ControlArray<QLabel> Aw{9};
    ControlArray<QLabel> At{9};
    ControlArray<QLabel> Az{9};
    ControlArray<QLabel> Bw{9};
    ControlArray<QLabel> Bt{9};
    ControlArray<QLabel> Bz{9};
    ControlArray<QLabel> Label3{9};
    ControlArray<QLineEdit> Cw{9};
    ControlArray<QLineEdit> Ct{9};
    ControlArray<QLineEdit> Cz{9};
    ControlArray<QLabel> Result{9};
    ControlArray<QLabel> Dw{9};
    ControlArray<QLabel> Dt{9};
    ControlArray<QLabel> Dz{9};
    ControlArray<DotControl> Shape1{7};
    ControlArray<DotControl> Shape2{7};
    ControlArray<LineControl> Line1{30};
};

} // namespace Ui
