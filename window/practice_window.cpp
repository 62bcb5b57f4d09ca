// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/practice_window.h"

#include "results/practice_record.h"
#include "results/results_courier.h"
#include "runtime/accessible_controls.h"
#include "window/key_filter.h"

#include <QKeyEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

// One operand drawn as the test draws it: a whole part beside a numerator
// over a bar over a denominator, each part shown only when written.
class FractionView : public QWidget {
public:
    explicit FractionView(const QString &name, QWidget *parent) : QWidget(parent)
    {
        setObjectName(name);
        auto *grid = new QGridLayout(this);
        grid->setContentsMargins(0, 0, 0, 0);
        m_whole = new QLabel(this);
        m_num = new QLabel(this);
        m_den = new QLabel(this);
        m_bar = new QFrame(this);
        m_bar->setFrameShape(QFrame::HLine);
        for (QLabel *label : {m_whole, m_num, m_den}) {
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignCenter);
        }
        grid->addWidget(m_whole, 0, 0, 3, 1);
        grid->addWidget(m_num, 0, 1);
        grid->addWidget(m_bar, 1, 1);
        grid->addWidget(m_den, 2, 1);
    }

    void show(const WrittenForm &form)
    {
        m_whole->setText(QString::fromStdString(form.whole));
        m_whole->setVisible(form.wholeShown || form.whole.starts_with('-'));
        m_num->setText(QString::fromStdString(form.num));
        m_den->setText(QString::fromStdString(form.den));
        m_num->setVisible(form.numShown);
        m_den->setVisible(form.denShown);
        m_bar->setVisible(!form.isWholeNumber());
    }

private:
    QLabel *m_whole;
    QLabel *m_num;
    QLabel *m_den;
    QFrame *m_bar;
};

namespace {

// The window's texts.
const QString HowWrong = QStringLiteral("Как ошибаются");
const QString HowRight = QStringLiteral("Как правильно");
const QString Next = QStringLiteral("Дальше");
const QString Check = QStringLiteral("Проверить");
const QString Finish = QStringLiteral("Закончить");
const QString RightVerdict = QStringLiteral("Верно");
const QString WrongVerdict = QStringLiteral("Неверно");
const QString Summary = QStringLiteral("Итог");
const QString CheckTitle = QStringLiteral("Короткая проверка");
const QString NothingToPractise = QStringLiteral("Ошибок нет: работать не над чем.");

QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QPlainTextEdit *readOnlyText(const QString &name, QWidget *parent)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    edit->setTabChangesFocus(true);
    return edit;
}

QLineEdit *answerBox(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(6);
    box->setFixedWidth(60);
    box->installEventFilter(new AnswerKeyFilter(box));
    return box;
}

QLabel *plainLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// The example's wrong side: the task, the answer the mistake gives and why
// it is wrong.
QString wrongWay(const PracticeExample &example)
{
    return text(example.line) + QStringLiteral(" = ") + text(example.wrongLine) + QStringLiteral("\n\n") +
           text(example.wrongDiagnosis.explanation);
}

QString summaryText(const Practice &practice)
{
    QStringList lines;
    for (const PracticeSet &set : practice.sets()) {
        lines << QStringLiteral("%1: %2. Заданий: %3, верно: %4.")
                     .arg(text(TopicTitle(set.topic)), text(StateWord(set.state)))
                     .arg(set.tasks.size())
                     .arg(set.rightCount());
    }
    return lines.isEmpty() ? NothingToPractise : lines.join(QLatin1Char('\n'));
}

} // namespace

PracticeWindow::PracticeWindow(std::unique_ptr<RandomSource> random, QWidget *parent)
    : QDialog(parent), m_random(std::move(random))
{
    setObjectName(QStringLiteral("PracticeWindow"));
    setWindowTitle(PracticeWindowTitle);
    registerControlAccessibility();
    buildWindow();
}

PracticeWindow::~PracticeWindow() = default;

void PracticeWindow::buildWindow()
{
    auto *layout = new QVBoxLayout(this);
    m_title = plainLabel(QStringLiteral("PracticeTitle"), this);
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_title->setFont(bold);
    m_rule = plainLabel(QStringLiteral("PracticeRule"), this);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildExamplePage());
    m_pages->addWidget(buildTaskPage());
    m_pages->addWidget(buildSummaryPage());
    m_progress = plainLabel(QStringLiteral("PracticeProgress"), this);
    m_ended = plainLabel(QStringLiteral("PracticeEnded"), this);
    m_ended->setFont(bold);
    layout->addWidget(m_title);
    layout->addWidget(m_rule);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_ended);
    buildButtons();
    resize(760, 520);
}

QWidget *PracticeWindow::buildExamplePage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    m_wrongCaption = plainLabel(QStringLiteral("HowWrongCaption"), page);
    m_wrongCaption->setText(HowWrong);
    auto *rightCaption = plainLabel(QStringLiteral("HowRightCaption"), page);
    rightCaption->setText(HowRight);
    m_wrongText = readOnlyText(QStringLiteral("HowWrong"), page);
    m_wrongText->setAccessibleName(HowWrong);
    m_rightText = readOnlyText(QStringLiteral("HowRight"), page);
    m_rightText->setAccessibleName(HowRight);
    grid->addWidget(m_wrongCaption, 0, 0);
    grid->addWidget(rightCaption, 0, 1);
    grid->addWidget(m_wrongText, 1, 0);
    grid->addWidget(m_rightText, 1, 1);
    return page;
}

QWidget *PracticeWindow::buildTaskPage()
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    m_a = new FractionView(QStringLiteral("OperandA"), page);
    m_b = new FractionView(QStringLiteral("OperandB"), page);
    m_operation = plainLabel(QStringLiteral("Operation"), page);
    auto *equals = plainLabel(QStringLiteral("Equals"), page);
    equals->setText(QStringLiteral("="));
    m_whole = answerBox(QStringLiteral("Whole"), QStringLiteral("Целая часть"), page);
    m_num = answerBox(QStringLiteral("Numerator"), QStringLiteral("Числитель"), page);
    m_den = answerBox(QStringLiteral("Denominator"), QStringLiteral("Знаменатель"), page);
    auto *fraction = new QVBoxLayout;
    auto *bar = new QFrame(page);
    bar->setFrameShape(QFrame::HLine);
    fraction->addWidget(m_num);
    fraction->addWidget(bar);
    fraction->addWidget(m_den);
    for (QWidget *w : std::initializer_list<QWidget *>{m_a, m_operation, m_b, equals, m_whole})
        row->addWidget(w, 0, Qt::AlignVCenter);
    row->addLayout(fraction);
    // Installed after the key filter, so it sees Enter first.
    for (QLineEdit *box : {m_whole, m_num, m_den})
        box->installEventFilter(this);
    row->addStretch(1);
    m_verdict = plainLabel(QStringLiteral("Verdict"), page);
    m_verdict->setFont(m_title->font());
    m_explanation = readOnlyText(QStringLiteral("Explanation"), page);
    column->addLayout(row);
    column->addWidget(m_verdict);
    column->addWidget(m_explanation, 1);
    return page;
}

QWidget *PracticeWindow::buildSummaryPage()
{
    m_summary = readOnlyText(QStringLiteral("Summary"), this);
    m_summary->setAccessibleName(Summary);
    return m_summary;
}

void PracticeWindow::buildButtons()
{
    auto *row = new QHBoxLayout;
    m_checkButton = new QPushButton(Check, this);
    m_nextButton = new QPushButton(Next, this);
    m_finishButton = new QPushButton(Finish, this);
    m_checkButton->setObjectName(QStringLiteral("CheckButton"));
    m_nextButton->setObjectName(QStringLiteral("NextButton"));
    m_finishButton->setObjectName(QStringLiteral("FinishButton"));
    row->addStretch(1);
    for (QPushButton *b : {m_checkButton, m_nextButton, m_finishButton}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    connect(m_checkButton, &QPushButton::clicked, this, &PracticeWindow::checkAnswer);
    connect(m_nextButton, &QPushButton::clicked, this, &PracticeWindow::goOn);
    connect(m_finishButton, &QPushButton::clicked, this, &QDialog::accept);
}

void PracticeWindow::startPractice(const std::vector<RowMistake> &made)
{
    m_checking = false;
    m_started = QDateTime::currentDateTime();
    m_practice.emplace(made);
    beginSet();
}

void PracticeWindow::startCheck()
{
    m_check.emplace(*m_random);
    m_started = QDateTime::currentDateTime();
    m_checking = true;
    showCheckTask();
}

void PracticeWindow::say(const QString &words) { announce(this, words); }

// Shows which buttons lead on: «Проверить» while a task awaits its answer,
// «Дальше» otherwise; the one shown is the default button (Enter).
void PracticeWindow::showButtons(bool checking)
{
    m_checkButton->setVisible(checking);
    m_nextButton->setVisible(!checking);
    m_finishButton->setVisible(false);
    m_checkButton->setDefault(checking);
    m_nextButton->setDefault(!checking);
}

void PracticeWindow::beginSet()
{
    m_ended->clear();
    if (!m_practice->beginNextSet(*m_random)) {
        showSummary();
        return;
    }
    const PracticeSet &set = *m_practice->current();
    m_title->setText(text(TopicTitle(set.topic)));
    m_rule->setText(text(TopicRule(set.topic)));
    const bool mistake = set.example.showsMistake();
    m_wrongCaption->setVisible(mistake);
    m_wrongText->setVisible(mistake);
    m_wrongText->setPlainText(mistake ? wrongWay(set.example) : QString());
    m_rightText->setPlainText(text(set.example.solution));
    m_progress->clear();
    m_pages->setCurrentIndex(0);
    showButtons(false);
    (mistake ? m_wrongText : m_rightText)->setFocus();
    say(m_title->text() + QStringLiteral(". ") + m_rule->text());
}

void PracticeWindow::showTask(const PracticeTask &task, const QString &title, const QString &rule)
{
    m_title->setText(title);
    m_rule->setText(rule);
    m_a->show(WriteFraction(task.task.task.a));
    m_b->show(WriteFraction(task.task.task.b));
    m_operation->setText(RowOperation[size_t(task.task.row)] == Operation::Multiply ? QStringLiteral("·")
                                                                                    : QStringLiteral(":"));
    const QString line = text(task.line);
    for (QLineEdit *box : {m_whole, m_num, m_den}) {
        box->clear();
        box->setReadOnly(false);
        box->setAccessibleDescription(line);
    }
    m_verdict->clear();
    m_explanation->clear();
    m_explanation->setVisible(false);
    m_pages->setCurrentIndex(1);
    showButtons(true);
    m_whole->setFocus();
}

void PracticeWindow::showCheckTask()
{
    const int row = m_check->currentRow();
    const PracticeTask &task = m_check->tasks()[size_t(row)];
    const PracticeTopic topic = TopicOf(Mistake::Other, row);
    showTask(task, CheckTitle, text(TopicTitle(topic)));
    m_progress->setText(QStringLiteral("%1 · задание %2 из %3").arg(CheckTitle).arg(row + 1).arg(RowCount));
    say(m_progress->text() + QStringLiteral(". ") + text(task.line));
}

void PracticeWindow::checkAnswer()
{
    const BoxTexts typed{m_whole->text().toStdString(), m_num->text().toStdString(), m_den->text().toStdString()};
    const PracticeTask *task = m_checking ? m_check->check(typed) : m_practice->check(typed);
    if (task == nullptr)
        return;
    showVerdict(*task);
    if (!m_checking) {
        const PracticeSet &set = *m_practice->current();
        m_progress->setText(QString::fromStdString(ProgressLine(set)));
        m_ended->setText(text(StateWord(set.state)));
    }
    say(QStringList{m_verdict->text(), m_progress->text(), m_ended->text()}.join(QStringLiteral(". ")));
}

void PracticeWindow::showVerdict(const PracticeTask &task)
{
    for (QLineEdit *box : {m_whole, m_num, m_den})
        box->setReadOnly(true);
    m_verdict->setText(task.right ? RightVerdict : WrongVerdict);
    QString words = text(task.diagnosis.explanation);
    if (!task.diagnosis.solution.empty())
        words += QStringLiteral("\n\n") + text(task.diagnosis.solution);
    m_explanation->setPlainText(words);
    m_explanation->setAccessibleName(m_verdict->text());
    m_explanation->setVisible(true);
    showButtons(false);
    m_nextButton->setFocus();
}

void PracticeWindow::goOn()
{
    if (m_checking) {
        if (!m_check->finished()) {
            showCheckTask();
            return;
        }
        m_checking = false;
        m_practice.emplace(m_check->wrongRows());
        beginSet();
        return;
    }
    const PracticeSet *set = m_practice->current();
    if (set == nullptr || set->ended()) {
        beginSet();
        return;
    }
    const PracticeTask *task = m_practice->nextTask(*m_random);
    showTask(*task, text(TopicTitle(set->topic)), text(TopicRule(set->topic)));
    m_progress->setText(QString::fromStdString(ProgressLine(*set)));
    say(m_progress->text() + QStringLiteral(". ") + text(task->line));
}

void PracticeWindow::showSummary()
{
    m_title->setText(Summary);
    m_rule->clear();
    m_progress->clear();
    m_ended->clear();
    m_summary->setPlainText(summaryText(*m_practice));
    m_pages->setCurrentIndex(2);
    m_checkButton->setVisible(false);
    m_nextButton->setVisible(false);
    m_finishButton->setVisible(true);
    m_finishButton->setDefault(true);
    m_summary->setFocus();
    say(Summary + QStringLiteral(". ") + m_summary->toPlainText());
}

void PracticeWindow::done(int result)
{
    if (m_practice && !m_closed) {
        m_closed = true;
        m_practice->close();
        Q_EMIT practiceClosed();
    }
    QDialog::done(result);
}

bool PracticeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_checkButton->isVisible()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_checkButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void keepPractice(PracticeWindow *window, ResultsCourier *courier, const PupilIdentity &pupil, const QString &test)
{
    QObject::connect(window, &PracticeWindow::practiceClosed, courier, [window, courier, pupil, test] {
        const PracticeRecord record = practiceRecord(*window->practice(), pupil, test, window->started());
        courier->submit(practiceFileName(record.id), practiceJson(record, QStringLiteral(DROBI_VERSION)));
    });
}
