// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's event handlers: starting and finishing the test, the clock, the
// menu; and the answer check they share.

#include "window/form1.h"

#include "runtime/accessible_controls.h"
#include "runtime/checked16.h"
#include "runtime/control_props.h"
#include "runtime/message_box.h"
#include "results/results_courier.h"
#include "results/session_record.h"
#include "runtime/program_end.h"
#include "window/accessibility.h"
#include "window/explanations.h"
#include "window/form1_ui.h"
#include "window/messages.h"
#include "window/practice_window.h"
#include "window/pupil_dialog.h"
#include "window/show_fraction.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {

constexpr int32_t DarkGreen = RGB(0, 100, 0);
constexpr int32_t DarkRed = RGB(100, 0, 0);
constexpr int32_t BlinkRed = RGB(250, 0, 0);
constexpr int32_t Black = 0;

const QString &gradeTextFor(int grade)
{
    switch (grade) {
    case 5:
        return Messages::Grade5;
    case 4:
        return Messages::Grade4;
    case 3:
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
        if (!identifyPupil())
            return;
        // Armed before the tasks are generated; the first tick still comes
        // only after this handler has finished.
        setTimerInterval(m_ui->Timer1, 1000);
        // The session starts afresh, but starting leaves the clock's count
        // as it is, and the boxes hold what they held.
        const int16_t secondsLeft = SecondsLeft();
        m_session.start(*m_random, TestSession::Clock::now());
        setSecondsLeft(secondsLeft);
        for (int16_t r = 0; r < RowCount; ++r) {
            const SessionRow &row = m_session.row(r);
            ShowWritten(*m_ui, r, row.aShown, Column::A);
            ShowWritten(*m_ui, r, row.bShown, Column::B);
            ShowWritten(*m_ui, r, row.answer, Column::Answer);
            rowEdited(r);
        }
        m_ui->Frame1->setVisible(true);
        m_ui->Command1->setVisible(false);
        m_ui->TL->setVisible(true);
        setCaption(m_ui->TL, ToTime(m_session.secondsAllowed()));
        m_ui->Label1->setVisible(true);
        m_ui->Command2->setVisible(true);
        describeTasks(*m_ui, m_session);
        // Keyboard users start typing the first answer straight away.
        m_ui->Cw(0)->setFocus(Qt::OtherFocusReason);
        // The teacher sees who is writing: the record is written now as
        // running, and the final one replaces it under the same id.
        reportResult(ResultStatus::Running);
    });
}

void Form1::Command2_Click()
{
    runGuarded([this] {
        const bool firstPress = !m_session.boxesFilled();
        m_session.fillEmptyBoxes();
        // Empty boxes show what they now read: an untouched row 0 over 1, a
        // whole part typed alone that whole number. Each fill reaches the
        // session as an edit, which leaves what the pupil typed as it was.
        const auto fill = [](QLineEdit *box, const std::string &text) {
            if (box->text().isEmpty())
                box->setText(QString::fromStdString(text));
        };
        for (int16_t r = 0; r < RowCount; ++r) {
            // A copy: the first fill already rewrites the session's row.
            const BoxTexts filled = m_session.row(r).boxes;
            fill(m_ui->Ct(r), filled.num);
            fill(m_ui->Cz(r), filled.den);
            fill(m_ui->Cw(r), filled.whole);
        }
        CheckAllAnswers();
        const QString whereResultWent = reportResult(ResultStatus::Graded);
        const bool practise =
            showResult(Messages::YourGrade + GradeText(), true, Messages::ResultTitle, whereResultWent, offersPractice());
        setTimerInterval(m_ui->Timer1, 0);
        m_ui->Frame2->setVisible(true);
        if (firstPress)
            makeVerdictsReachable(*m_ui);
        explainRows(*m_ui, m_session);
        if (practise)
            openPractice();
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

        setSecondsLeft(sub16(SecondsLeft(), 1));
        if (SecondsLeft() <= 0) {
            CheckAllAnswers();
            const QString whereResultWent = reportResult(ResultStatus::Graded);
            showResult(Messages::TimeUp + GradeText(), false, std::nullopt, whereResultWent);
            setTimerInterval(m_ui->Timer1, 0);
        }
        if (SecondsLeft() <= 30)
            setForeColor(m_ui->TL, SecondsLeft() % 2 == 0 ? BlinkRed : Black);
        setCaption(m_ui->TL, ToTime(SecondsLeft()));
        if (const QString notice = timeLeftNotice(SecondsLeft()); !notice.isEmpty())
            announce(this, notice);
    });
}

bool Form1::showResult(const QString &text, bool withIcon, const std::optional<QString> &title,
                       const QString &whereResultWent, bool offerPractice)
{
    bool practise = false;
    const auto addPractice = [&practise](QMessageBox &box) {
        QPushButton *button = box.addButton(PracticeWindowTitle, QMessageBox::AcceptRole);
        button->setObjectName(QStringLiteral("PracticeButton"));
        connect(button, &QPushButton::clicked, &box, [&practise] { practise = true; });
    };
    // Set up before the box opens: the delivery's end can only be heard
    // once the box's own event loop runs.
    const auto followDelivery = [this](QMessageBox &box) {
        if (!m_courier)
            return;
        connect(m_courier.get(), &ResultsCourier::deliveryEnded, &box,
                [&box, id = m_resultId](const QString &delivered, ResultsCourier::State state) {
                    if (delivered == id)
                        changeInformative(box, ResultsCourier::message(state));
                });
    };
    m_resultBoxOpen = true;
    MsgBox(this, text, withIcon ? MsgBoxStyle::Information : MsgBoxStyle::OkOnly, title, whereResultWent,
           [&](QMessageBox &box) {
               followDelivery(box);
               if (offerPractice)
                   addPractice(box);
           });
    m_resultBoxOpen = false;
    return practise;
}

bool Form1::offersPractice() const
{
    return m_settings.practiceAfterTest && !WrongRows(m_session).empty();
}

void Form1::openPractice()
{
    auto random = std::make_unique<StdRandomSource>();
    random->Randomize(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
    auto *practice = new PracticeWindow(std::move(random), this);
    practice->setAttribute(Qt::WA_DeleteOnClose);
    practice->startPractice(WrongRows(m_session));
    if (m_courier)
        keepPractice(practice, m_courier.get(), m_pupil, m_resultId);
    practice->open();
}

QString Form1::GradeText() const
{
    return m_session.stage() == Stage::Graded ? gradeTextFor(m_session.gradeValue()) : QString();
}

void Form1::CheckAllAnswers()
{
    m_session.grade(TestSession::Clock::now());
    drawGrading();
}

void Form1::drawGrading()
{
    for (int16_t r = 0; r < RowCount; ++r) {
        const bool right = m_session.row(r).right;
        setCaption(m_ui->Result(r), right ? Messages::Right : Messages::Wrong);
        setForeColor(m_ui->Result(r), right ? DarkGreen : DarkRed);
    }

    setCaption(m_ui->RA, Messages::number(m_session.rightCount()));
    setCaption(m_ui->NR, Messages::number(m_session.wrongCount()));
    setCaption(m_ui->Mrk, Messages::number(m_session.gradeValue()));
    m_ui->Mrk->setVisible(true);
    m_ui->RA->setVisible(true);
    m_ui->NR->setVisible(true);
    m_ui->Label5->setVisible(true);
    m_ui->Label6->setVisible(true);

    for (int16_t r = 0; r < RowCount; ++r) {
        m_ui->Ct(r)->setEnabled(false);
        m_ui->Cw(r)->setEnabled(false);
        m_ui->Cz(r)->setEnabled(false);
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
    // As closing the window: a running test is kept, unfinished, and the
    // window leaves the screen at once, before a delivery still on its way
    // is given its last moment as the program ends.
    runGuarded([this] {
        close();
        EndProgram();
    });
}

void Form1::closeEvent(QCloseEvent *event)
{
    runGuarded([this] {
        if (m_session.stage() == Stage::Running)
            reportResult(ResultStatus::Unfinished);
    });
    QMainWindow::closeEvent(event);
}

bool Form1::identifyPupil()
{
    if (!m_settings.resultsOn())
        return true;
    const std::optional<PupilIdentity> pupil =
        ::identifyPupil(this, m_settings, m_classes.isEmpty() ? nullptr : &m_classes);
    if (!pupil)
        return false;
    m_pupil = *pupil;
    m_resultId = newResultId();
    return true;
}

QString Form1::reportResult(ResultStatus status)
{
    if (!m_courier)
        return QString();
    const ResultRecord record = recordFromSession(m_session, m_pupil, m_resultId, status);
    const QByteArray json = resultJson(record, QStringLiteral(DROBI_VERSION));
    // «Готово!» after the timeout grades as the timeout did: the same record
    // is not written again, and the line says where the first one got.
    if (json == m_lastRecord)
        return ResultsCourier::message(ResultsCourier::State(m_lastDelivery));
    m_lastRecord = json;
    m_lastDelivery = int(m_courier->submit(m_resultId, json));
    return ResultsCourier::message(ResultsCourier::State(m_lastDelivery));
}
