// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's event handlers: starting and finishing the test, the clock, the
// menu; and the answer check they share.

#include "window/form1.h"

#include "fraction/answer.h"
#include "fraction/task_generator.h"
#include "runtime/checked16.h"
#include "runtime/control_props.h"
#include "runtime/message_box.h"
#include "runtime/program_end.h"
#include "window/accessibility.h"
#include "window/messages.h"
#include "window/screen_reader.h"
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

QString text(int value) { return QString::fromStdString(toText(value)); }

std::string_view view(const QByteArray &bytes) { return {bytes.constData(), size_t(bytes.size())}; }

} // namespace

void Form1::Command1_Click()
{
    runGuarded([this] {
        // Armed before the tasks are generated; the first tick still comes
        // only after this handler has finished.
        setTimerInterval(Timer1, 1000);
        GenerateTasks(*m_random, [this](int16_t row, Fraction &fraction, uint8_t column) {
            ShowFraction(*this, row, fraction, column);
        });
        Frame1->setVisible(true);
        Command1->setVisible(false);
        TL->setVisible(true);
        setCaption(TL, Messages::ClockStart);
        Label1->setVisible(true);
        Command2->setVisible(true);
        describeTasks(*this);
        // Keyboard users start typing the first answer straight away.
        Cw(0)->setFocus(Qt::OtherFocusReason);
    });
}

void Form1::Command2_Click()
{
    runGuarded([this] {
        // Neutral values for empty boxes: an untouched row reads 0 over 1,
        // and a whole part typed alone reads as that whole number.
        for (int i = 0; i <= 9; ++i) {
            if (Ct(i)->text().isEmpty())
                Ct(i)->setText(QStringLiteral("0"));
            if (Cz(i)->text().isEmpty())
                Cz(i)->setText(QStringLiteral("1"));
            if (Cw(i)->text().isEmpty())
                Cw(i)->setText(QStringLiteral("0"));
        }
        CheckAllAnswers();
        showResult(Messages::YourGrade + GradeText, true, Messages::ResultTitle);
        setTimerInterval(Timer1, 0);
        Frame2->setVisible(true);
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
            setTimerInterval(Timer1, 0);
        }
        if (SecondsLeft <= 30)
            setForeColor(TL, SecondsLeft % 2 == 0 ? BlinkRed : Black);
        setCaption(TL, ToTime(SecondsLeft));
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
        const QByteArray typedNum = Ct(i)->text().toUtf8();
        const QByteArray typedDen = Cz(i)->text().toUtf8();
        const QByteArray typedWhole = Cw(i)->text().toUtf8();
        const QByteArray num = Dt(i)->text().toUtf8();
        const QByteArray den = Dz(i)->text().toUtf8();
        const QByteArray whole = Dw(i)->text().toUtf8();
        flags[i] = AnswerIsRight({view(typedNum), view(typedDen), view(typedWhole)}, {view(num), view(den), view(whole)});
        if (flags[i])
            count = add16(count, 1);
        if (flags[i]) {
            setCaption(Result(i), Messages::Right);
            setForeColor(Result(i), DarkGreen);
        } else {
            setCaption(Result(i), Messages::Wrong);
            setForeColor(Result(i), DarkRed);
        }
    }

    GradeText = gradeTextFor(count);
    setCaption(RA, text(count));
    setCaption(NR, text(sub16(10, count)));
    setCaption(Mrk, GradeText.left(1));
    Mrk->setVisible(true);
    RA->setVisible(true);
    NR->setVisible(true);
    Label5->setVisible(true);
    Label6->setVisible(true);

    for (int i = 0; i <= 9; ++i) {
        Ct(i)->setEnabled(false);
        Cw(i)->setEnabled(false);
        Cz(i)->setEnabled(false);
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
        const QString t = text(value);
        return t.size() == 2 ? t : QStringLiteral("0") + t;
    };
    return field(h) + QLatin1Char(':') + field(m) + QLatin1Char(':') + field(s);
}

void Form1::sp_Click()
{
    runGuarded([this] {
        MsgBox(this, Messages::ThanksLine1 + QLatin1Char('\n') + Messages::ThanksLine2, MsgBoxStyle::Information,
               QStringLiteral(" "));
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
