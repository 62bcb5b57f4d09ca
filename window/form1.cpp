// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's creation and its load step.

#include "window/form1.h"

#include "runtime/control_props.h"
#include "results/results_courier.h"
#include "runtime/program_end.h"
#include "window/form1_ui.h"
#include "window/key_filter.h"
#include "window/messages.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>
#include <QTimer>

Form1::Form1(QWidget *parent, const SchoolSettings &settings)
    : QMainWindow(parent),
      m_ui(std::make_unique<Ui::Form1>()),
      m_random(std::make_unique<StdRandomSource>()),
      m_session(int16_t(settings.secondsAllowed()), settings.gradeScale()),
      m_settings(settings)
{
    m_ui->setupUi(this);
    const Ui::Form1 &ui = *m_ui;
    if (settings.resultsOn() && settings.nameSource == PupilNameSource::Ask && !settings.classList.isEmpty()) {
        // Without a list that can be read, names are typed as without one.
        QString problem;
        if (!readClassList(settings.classList, &m_classes, &problem))
            logSettingsProblems({problem});
        logSettingsProblems(m_classes.problems);
    }
    if (settings.minutes != SchoolSettings::DefaultMinutes)
        ui.Label4->setText(Messages::instructions(settings.minutes));
    if (settings.resultsOn()) {
        // Records that waited from earlier runs go first.
        m_courier = std::make_unique<ResultsCourier>(settings.folder);
        connect(m_courier.get(), &ResultsCourier::deliveryEnded, this,
                [this](const QString &id, ResultsCourier::State state) {
                    if (id == m_resultId)
                        m_lastDelivery = int(state);
                });
        m_courier->start();
    }

    connect(ui.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui.Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(ui.sp, &QAction::triggered, this, &Form1::sp_Click);
    connect(ui.Autmn, &QAction::triggered, this, &Form1::Autmn_Click);
    connect(ui.ExMn, &QAction::triggered, this, &Form1::ExMn_Click);

    // Only the answer boxes take key filtering: digits, "-" and Backspace.
    // Every change of a box reaches the session as it happens, a key typed
    // or a text pasted or filled in by «Готово!».
    m_keyFilter = new AnswerKeyFilter(this);
    for (int16_t r = 0; r < RowCount; ++r) {
        for (QLineEdit *box : {ui.Cw(r), ui.Ct(r), ui.Cz(r)}) {
            box->installEventFilter(m_keyFilter);
            connect(box, &QLineEdit::textChanged, this, [this, r] { rowEdited(r); });
        }
    }

    // The load step runs once, before the window is first shown.
    runGuarded([this] { Form_Load(); });
}

Form1::~Form1() = default;

const Ui::Form1 &Form1::ui() const
{
    return *m_ui;
}

void Form1::setRandomSource(std::unique_ptr<RandomSource> source)
{
    m_random = std::move(source);
}

void Form1::rowEdited(int16_t r)
{
    m_session.setBoxes(r, m_ui->typedAnswer(r));
}

void Form1::Form_Load()
{
    setSecondsLeft(m_session.secondsAllowed());

    // Seconds since midnight, fractions included: two windows opened a few
    // milliseconds apart draw different tasks.
    m_random->Randomize(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);

    // Each bar is 360 twips long, starts at its numerator label's left edge
    // and lies 210 twips below that label's top, in the label's own frame.
    // The answer column's bars are raised above its labels.
    for (const Column column : {Column::A, Column::B, Column::Answer}) {
        for (int16_t row = 0; row < RowCount; ++row) {
            const FractionColumn c = m_ui->column(row, column);
            c.bar->setVisible(true);
            c.bar->setX1(leftTwips(c.num));
            c.bar->setX2(c.bar->X1() + 360);
            c.bar->setY1(topTwips(c.num) + 210);
            c.bar->setY2(c.bar->Y1());
            if (column == Column::Answer)
                c.bar->raise();
        }
    }
}
