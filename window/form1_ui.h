// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of Form1, built from the design tables in form1_design.cpp,
// the way a generated form class holds a designed window's controls: Form1
// owns one Ui::Form1 and reaches its controls through it. Code outside the
// window finds a control by its objectName, which is its design name ("TL",
// "Cw_3", "Line1_21"), as accessibility tools and tests do.

#include "fraction/answer.h"
#include "runtime/control_array.h"
#include "runtime/dot_control.h"
#include "runtime/line_control.h"

#include <QByteArray>
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

// A row's three texts as the answer check reads them: numerator,
// denominator and whole part, in UTF-8.
struct RowTexts {
    QByteArray num;
    QByteArray den;
    QByteArray whole;
    AnswerTexts view() const;
};

namespace Ui {

class Form1 {
public:
    // Creates every control in its design state inside `form`.
    void setupUi(::Form1 *form);

    // The column code selects the column: 1 operand A, 2 operand B, any other
    // value the answer column. Each row's bar in that column is Line1 at
    // row + 1, row + 11 and row + 21.
    FractionColumn column(int16_t row, uint8_t column) const;

    // What the pupil typed into a row's boxes, and the row's correct answer
    // as its answer column shows it.
    RowTexts typedAnswer(int16_t row) const;
    RowTexts shownAnswer(int16_t row) const;

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
};

} // namespace Ui
