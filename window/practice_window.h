// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window «Работа над ошибками»: the view of a Practice (session/
// practice.h), worked with the keyboard alone and read by a screen reader.
//
// At the top, the kind worked on and its rule. Each kind begins with its
// example, the mistake made («Как ошибаются») beside the correct way («Как
// правильно»); then one task at a time, drawn like a test row, whose
// «Проверить» shows the verdict, the explanation and the worked solution in
// the window itself. When a kind ends the window says how; at the end
// «Итог» lists every kind. Closing the window mid-way keeps what was done:
// the sets not ended become «не закончено».
//
// `drobi --practice` opens it with the short check first: one task of each
// row, checked at once, then practice on what the check found.
//
// The window draws from the practice; it never reads a label back.

#include "runtime/random_source.h"
#include "session/practice.h"

#include <QDateTime>
#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class FractionView;

// The window's title, and the grade box's button that opens it.
inline const QString PracticeWindowTitle = QStringLiteral("Работа над ошибками");

class PracticeWindow : public QDialog {
    Q_OBJECT
public:
    explicit PracticeWindow(std::unique_ptr<RandomSource> random, QWidget *parent = nullptr);
    ~PracticeWindow() override;

    // Practice on the mistakes of a test (WrongRows).
    void startPractice(const std::vector<RowMistake> &made);
    // The short check, then practice on the rows it found wrong.
    void startCheck();

    // The practice once begun (after the check, when there is one).
    const Practice *practice() const { return m_practice ? &*m_practice : nullptr; }
    const PracticeCheck *check() const { return m_check ? &*m_check : nullptr; }
    // When the practice (or its check) began.
    const QDateTime &started() const { return m_started; }

    // Closing, by «Закончить» or mid-way, ends the practice: the sets not
    // ended become unfinished, then practiceClosed() is sent, once, when a
    // practice was begun.
    void done(int result) override;

protected:
    // Enter in an answer box presses «Проверить»: the boxes' key filter
    // lets no Enter through to the box or the dialog.
    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    void practiceClosed();

private:
    void buildWindow();
    QWidget *buildExamplePage();
    QWidget *buildTaskPage();
    QWidget *buildSummaryPage();
    void buildButtons();

    void beginSet();
    void showTask(const PracticeTask &task, const QString &title, const QString &rule);
    void showCheckTask();
    void checkAnswer();
    void showVerdict(const PracticeTask &task);
    void goOn();
    void showSummary();
    void showButtons(bool checking);
    void say(const QString &text);

    std::unique_ptr<RandomSource> m_random;
    std::optional<Practice> m_practice;
    std::optional<PracticeCheck> m_check;
    // The check is on screen (it ends once its last answer is checked).
    bool m_checking = false;
    QDateTime m_started;
    bool m_closed = false;

    QLabel *m_title = nullptr;
    QLabel *m_rule = nullptr;
    QStackedWidget *m_pages = nullptr;
    QLabel *m_wrongCaption = nullptr;
    QPlainTextEdit *m_wrongText = nullptr;
    QPlainTextEdit *m_rightText = nullptr;
    FractionView *m_a = nullptr;
    FractionView *m_b = nullptr;
    QLabel *m_operation = nullptr;
    QLineEdit *m_whole = nullptr;
    QLineEdit *m_num = nullptr;
    QLineEdit *m_den = nullptr;
    QLabel *m_verdict = nullptr;
    QPlainTextEdit *m_explanation = nullptr;
    QLabel *m_progress = nullptr;
    QLabel *m_ended = nullptr;
    QPlainTextEdit *m_summary = nullptr;
    QPushButton *m_checkButton = nullptr;
    QPushButton *m_nextButton = nullptr;
    QPushButton *m_finishButton = nullptr;
};

class ResultsCourier;
struct PupilIdentity;
// Hands the practice's record to the courier when the window closes: the
// pupil, and the test's id for a practice after a test (empty without one).
void keepPractice(PracticeWindow *window, ResultsCourier *courier, const PupilIdentity &pupil, const QString &test);
