// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's creation and its load step.

#include "window/form1.h"

#include "runtime/control_props.h"
#include "runtime/program_end.h"
#include "window/key_filter.h"

#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QTimer>

Form1::Form1(QWidget *parent)
    : QMainWindow(parent), m_random(std::make_unique<StdRandomSource>())
{
    createDesign();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(sp, &QAction::triggered, this, &Form1::sp_Click);
    connect(Autmn, &QAction::triggered, this, &Form1::Autmn_Click);
    connect(ExMn, &QAction::triggered, this, &Form1::ExMn_Click);

    // The load step runs once, before the window is first shown.
    runGuarded([this] { Form_Load(); });
}

Form1::~Form1() = default;

void Form1::setRandomSource(std::unique_ptr<RandomSource> source)
{
    m_random = std::move(source);
}

void Form1::Form_Load()
{
    SecondsLeft = 600;

    // Seconds since midnight, fractions included: two windows opened a few
    // milliseconds apart draw different tasks.
    m_random->Randomize(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);

    // Each bar is 360 twips long, starts at its numerator label's left edge
    // and lies 210 twips below that label's top, in the label's own frame.
    const auto placeBar = [](LineControl *bar, const QLabel *numerator) {
        bar->setVisible(true);
        bar->setX1(leftTwips(numerator));
        bar->setX2(bar->X1() + 360);
        bar->setY1(topTwips(numerator) + 210);
        bar->setY2(bar->Y1());
    };
    for (int16_t i = 1; i <= 10; ++i)
        placeBar(Line1(i), At(i - 1));
    for (int16_t i = 11; i <= 20; ++i)
        placeBar(Line1(i), Bt(i - 11));
    for (int16_t i = 21; i <= 30; ++i) {
        placeBar(Line1(i), Dt(i - 21));
        Line1(i)->raise();
    }
}
