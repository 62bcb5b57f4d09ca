// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's event handlers: starting and finishing the test, the clock, the
// menu; and the answer check they share.

#include "window/form1.h"

#include "fraction/answer.h"
#include "fraction/task_generator.h"
#include "runtime/accessible_controls.h"
#include "runtime/checked16.h"
#include "runtime/control_props.h"
#include "runtime/message_box.h"
#include "runtime/program_end.h"
#include "window/accessibility.h"
#include "window/form1_ui.h"
#include "window/messages.h"
#include "window/show_fraction.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>

namespace {

constexpr int32_t DarkGreen = RGB(0, 100, 0);
constexpr int32_t DarkRed = RGB(100, 0, 0);
constexpr int32_t BlinkRed = RGB(250, 0, 0);
constexpr int32_t Black = 0;

const QString &gradeTextFor(int right)
{
    switch (right) {
    case 10:
        return Messages::Grade5;
    case 9:
        return Messages::Grade4;
    case 8:
        return Messages::Grade3;
    default:
        return Messages::Grade2;
    }
}

// What screen readers say as the clock runs out, in place of its red blink:
// one notice at a minute and one at half a minute left.
QString timeLeftNotice(int secondsLeft)
{
    switch (secondsLeft) {
    case 60:
        return Messages::OneMinuteLeft;
    case 30:
        return Messages::HalfMinuteLeft;
    default:
        return {};
    }
}

} // namespace

void Form1::Command1_Click()
{
    runGuarded([this] {
        // Armed before the tasks are generated; the first tick still comes
        // only after this handler has finished.
        setTimerInterval(m_ui->Timer1, 1000);
        GenerateTasks(*m_random, [this](int16_t row, Fraction &fraction, uint8_t column) {
            if (column == 1)
                m_tasks[size_t(row)].a = fraction;
            else if (column == 2)
                m_tasks[size_t(row)].b = fraction;
            ShowFraction(*m_ui, row, fraction, column);
        });
        m_ui->Frame1->setVisible(true);
        m_ui->Command1->setVisible(false);
        m_ui->TL->setVisible(true);
        setCaption(m_ui->TL, ToTime(TestSeconds));
        m_ui->Label1->setVisible(true);
        m_ui->Command2->setVisible(true);
        describeTasks(*m_ui);
        // Keyboard users start typing the first answer straight away.
        m_ui->Cw(0)->setFocus(Qt::OtherFocusReason);
    });
}

void Form1::Command2_Click()
{
    runGuarded([this] {
        // Neutral values for empty boxes: an untouched row reads 0 over 1,
        // and a whole part typed alone reads as that whole number.
        for (int i = 0; i <= 9; ++i) {
            // Latched: a second press finds the boxes the first one filled.
            m_boxesWereEmpty[size_t(i)] = m_boxesWereEmpty[size_t(i)]
                                          || (m_ui->Ct(i)->text().isEmpty() && m_ui->Cz(i)->text().isEmpty()
                                              && m_ui->Cw(i)->text().isEmpty());
            if (m_ui->Ct(i)->text().isEmpty())
                m_ui->Ct(i)->setText(QStringLiteral("0"));
            if (m_ui->Cz(i)->text().isEmpty())
                m_ui->Cz(i)->setText(QStringLiteral("1"));
            if (m_ui->Cw(i)->text().isEmpty())
                m_ui->Cw(i)->setText(QStringLiteral("0"));
        }
        CheckAllAnswers();
        showResult(Messages::YourGrade + GradeText, true, Messages::ResultTitle);
        setTimerInterval(m_ui->Timer1, 0);
        m_ui->Frame2->setVisible(true);
        explainRows(*m_ui, m_tasks, m_boxesWereEmpty);
    });
}

void Form1::Timer1_Timer()
{
    runGuarded([this] {
        // While the window's own result box is open the clock stands still:
        // the test is being closed, and a second timeout box or a caption
        // such as "00:00:-1" would only confuse the pupil.
        if (m_resultBoxOpen)
            return;

        SecondsLeft = sub16(SecondsLeft, 1);
        if (SecondsLeft <= 0) {
            CheckAllAnswers();
            showResult(Messages::TimeUp + GradeText, false, std::nullopt);
            setTimerInterval(m_ui->Timer1, 0);
        }
        if (SecondsLeft <= 30)
            setForeColor(m_ui->TL, SecondsLeft % 2 == 0 ? BlinkRed : Black);
        setCaption(m_ui->TL, ToTime(SecondsLeft));
        if (const QString notice = timeLeftNotice(SecondsLeft); !notice.isEmpty())
            announce(this, notice);
    });
}

void Form1::showResult(const QString &text, bool withIcon, const std::optional<QString> &title)
{
    m_resultBoxOpen = true;
    MsgBox(this, text, withIcon ? MsgBoxStyle::Information : MsgBoxStyle::OkOnly, title);
    m_resultBoxOpen = false;
}

void Form1::CheckAllAnswers()
{
    std::array<bool, 11> flags{};
    int16_t count = 0;
    for (int i = 0; i <= 9; ++i) {
        const RowTexts typed = m_ui->typedAnswer(int16_t(i));
        const RowTexts correct = m_ui->shownAnswer(int16_t(i));
        flags[i] = AnswerIsRight(typed.view(), correct.view());
        if (flags[i])
            count = add16(count, 1);
        if (flags[i]) {
            setCaption(m_ui->Result(i), Messages::Right);
            setForeColor(m_ui->Result(i), DarkGreen);
        } else {
            setCaption(m_ui->Result(i), Messages::Wrong);
            setForeColor(m_ui->Result(i), DarkRed);
        }
    }

    GradeText = gradeTextFor(count);
    setCaption(m_ui->RA, Messages::number(count));
    setCaption(m_ui->NR, Messages::number(sub16(10, count)));
    setCaption(m_ui->Mrk, GradeText.left(1));
    m_ui->Mrk->setVisible(true);
    m_ui->RA->setVisible(true);
    m_ui->NR->setVisible(true);
    m_ui->Label5->setVisible(true);
    m_ui->Label6->setVisible(true);

    for (int i = 0; i <= 9; ++i) {
        m_ui->Ct(i)->setEnabled(false);
        m_ui->Cw(i)->setEnabled(false);
        m_ui->Cz(i)->setEnabled(false);
    }
}

QString Form1::ToTime(int16_t seconds) const
{
    int16_t s = seconds;
    int16_t m = 0;
    int16_t h = 0;
    while (s >= 60) {
        s = sub16(s, 60);
        m = add16(m, 1);
    }
    while (m >= 60) {
        m = sub16(m, 60);
        h = add16(h, 1);
    }
    // A text of exactly two characters stands as it is; any other gets a "0"
    // in front. Negative counts are not carried: -1 gives "-1", -10 "0-10".
    const auto field = [](int16_t value) {
        const QString t = Messages::number(value);
        return t.size() == 2 ? t : QStringLiteral("0") + t;
    };
    return field(h) + QLatin1Char(':') + field(m) + QLatin1Char(':') + field(s);
}

void Form1::sp_Click()
{
    runGuarded([this] {
        MsgBox(this, Messages::ThanksLine1 + QLatin1Char('\n') + Messages::ThanksLine2, MsgBoxStyle::Information,
               Messages::ThanksTitle);
    });
}

void Form1::Autmn_Click()
{
    runGuarded([this] { MsgBox(this, Messages::AuthorLine, MsgBoxStyle::Information, Messages::Author); });
}

void Form1::ExMn_Click()
{
    runGuarded([] { EndProgram(); });
}
