// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/pupil_test_view.h"

#include "classview/class_summary.h"
#include "fraction/written_form.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QString esc(const QString &s)
{
    return s.toHtmlEscaped();
}

QString operandText(const Fraction &f)
{
    const QString t = QString::fromStdString(WriteFraction(f).text());
    return t.startsWith(QLatin1Char('-')) ? QLatin1Char('(') + t + QLatin1Char(')') : t;
}

// Why a check does not agree, as a list; nothing on the projector, where
// the reasons could name a login, a file's owner or a file.
QString reasonsHtml(const QStringList &reasons, bool projector)
{
    if (projector || reasons.isEmpty())
        return QString();
    QStringList items;
    for (const QString &reason : reasons)
        items << esc(reason);
    return QStringLiteral("<ul><li>%1</li></ul>").arg(items.join(QStringLiteral("</li><li>")));
}

// Who, when, how long, in what state, and the grade.
QString headingHtml(const ShownTest &test)
{
    const TestEntry &e = *test.entry;
    const ResultRecord &r = e.record;
    QString html = QStringLiteral("<h2>%1, %2</h2>").arg(esc(joinedNames({test.name})), esc(r.pupil.className));
    // The day and the start as the table shows them: the teacher's time, no
    // start on the projector.
    const QStringList cells = tableRow(test);
    html += QStringLiteral("<p>%1%2, минут: %3. Состояние: %4.")
                .arg(cells[int(TableColumn::Date)],
                     test.projector ? QString() : QStringLiteral(", начало в ") + cells[int(TableColumn::Start)],
                     cells[int(TableColumn::Minutes)], esc(stateText(test)));
    if (e.check.graded)
        html += QStringLiteral(" Верно: %1 из %2, оценка %3.").arg(e.check.right).arg(RowCount).arg(e.check.grade);
    // Who the record says wrote it, and who owns its file (record_trust.h).
    if (!test.projector)
        html += QStringLiteral("</p><p>Логин: %1. Компьютер: %2. Владелец файла: %3.")
                    .arg(esc(r.pupil.login), esc(r.pupil.host), esc(e.owner));
    html += QStringLiteral("</p><p>Проверка: %1").arg(esc(e.checkText()));
    if (e.flagged())
        html += reasonsHtml(e.checkReasons(), test.projector);
    return html + QStringLiteral("</p>");
}

// The task as the window showed it, or as the record holds it when the
// program makes no such task.
QString taskText(const RowCheck &row, const ResultRow &stored)
{
    if (row.taskValid)
        return QString::fromStdString(WriteFraction(row.a).text())
               + (row.operation == Operation::Multiply ? QStringLiteral(" · ") : QStringLiteral(" : ")) + operandText(row.b);
    return writtenTask(stored.operation, stored.a, stored.b);
}

// The verdict, the explanation and its worked solution of one task.
void judged(const RowCheck &row, bool graded, PupilTaskText &text)
{
    if (!row.taskValid) {
        text.verdict = QStringLiteral("?");
        text.explanation = QStringLiteral("Такого задания программа не даёт.");
    } else if (!graded) {
        text.verdict = QStringLiteral("не проверено");
    } else {
        text.right = row.right;
        text.verdict = row.right ? QStringLiteral("верно") : QStringLiteral("неверно");
        text.explanation = row.explanation;
        text.solution = row.solution;
    }
}

QString rowHtml(const PupilTaskText &t, int i)
{
    QString verdict = esc(t.verdict);
    if (t.right)
        verdict = QStringLiteral("<span style=\"color:%1\">%2</span>")
                      .arg(*t.right ? QStringLiteral("#006400") : QStringLiteral("#8c0000"), verdict);
    QString explanation = esc(t.explanation);
    if (!t.solution.isEmpty())
        explanation += QStringLiteral("<br>Решение: ") + esc(t.solution);
    return QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>")
        .arg(i + 1)
        .arg(esc(t.task), esc(t.typed), esc(t.answer), verdict, explanation);
}

QString practiceTaskHtml(const PracticeTaskCheck &task, int number)
{
    const QString verdict = !task.valid  ? QStringLiteral("?")
                            : task.right ? QStringLiteral("<span style=\"color:#006400\">верно</span>")
                                         : QStringLiteral("<span style=\"color:#8c0000\">неверно</span>");
    return QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
        .arg(number)
        .arg(esc(task.line), esc(task.typed), verdict);
}

// Each kind worked on: its title and how it ended by its tasks (what the
// record claims, when it differs, is among the check's reasons), then
// every task with what was typed and the verdict.
QString practiceKindHtml(const PracticeKindCheck &kind)
{
    const std::string_view state = StateWord(kind.checked);
    QString html = QStringLiteral("<h4>%1: %2</h4>")
                       .arg(esc(kind.title), esc(QString::fromUtf8(state.data(), qsizetype(state.size()))));
    if (kind.tasks.empty())
        return html + QStringLiteral("<p>Заданий не было.</p>");
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tr><th>№</th><th>Задание</th>"
                           "<th>Ответ ученика</th><th>Итог</th></tr>");
    for (size_t i = 0; i < kind.tasks.size(); ++i)
        html += practiceTaskHtml(kind.tasks[i], int(i) + 1);
    return html + QStringLiteral("</table>");
}

// The practices that followed the test, each with «Проверка» as a test's.
QString practicesHtml(const ShownTest &test)
{
    if (test.entry->practices.isEmpty())
        return QString();
    QString html = QStringLiteral("<h3>Работа над ошибками</h3>");
    for (const PracticePtr &p : test.entry->practices) {
        const QDateTime started = p->record.started.toLocalTime();
        html += QStringLiteral("<p>%1. Проверка: %2")
                    .arg(started.toString(test.projector ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("dd.MM.yyyy, HH:mm")),
                         esc(p->checkText()));
        html += reasonsHtml(p->checkReasons(), test.projector) + QStringLiteral("</p>");
        for (const PracticeKindCheck &kind : p->check.kinds)
            html += practiceKindHtml(kind);
    }
    return html;
}

// Down and Up read the test in the order it is written: the next line of
// the same paragraph or table cell, else the next cell of the row, then the
// next row. The text edit's own Down goes to the line visually below,
// which in a table is the same column of the next row, so a screen reader
// would hear only the rows' numbers.
class ReadingOrder : public QObject {
public:
    explicit ReadingOrder(QTextEdit *text) : QObject(text), m_text(text) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool down = key->key() == Qt::Key_Down;
        if ((!down && key->key() != Qt::Key_Up) || key->modifiers() != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        QTextCursor cursor = m_text->textCursor();
        QTextCursor line = cursor;
        line.clearSelection();
        if (!line.movePosition(down ? QTextCursor::Down : QTextCursor::Up) || line.block() != cursor.block()) {
            line = cursor;
            line.clearSelection();
            if (line.movePosition(down ? QTextCursor::NextBlock : QTextCursor::PreviousBlock) && !down) {
                // Onto the last line of the paragraph or cell before.
                line.movePosition(QTextCursor::EndOfBlock);
                line.movePosition(QTextCursor::StartOfLine);
            }
        }
        m_text->setTextCursor(line);
        return true;
    }

private:
    QTextEdit *m_text;
};

} // namespace

QString pupilTestHtml(const ShownTest &test)
{
    QString html = headingHtml(test);
    // Of a file gone or no longer readable only its first read is known.
    if (test.entry->lost())
        return html + QStringLiteral("<p>Ответы не показаны: файла с ними больше нет или он не читается.</p>")
               + practicesHtml(test);
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tr><th>№</th><th>Задание</th>"
                           "<th>Ответ ученика</th><th>Верный ответ</th><th>Итог</th><th>Объяснение</th></tr>");
    const QList<PupilTaskText> tasks = pupilTaskTexts(test);
    for (int i = 0; i < tasks.size(); ++i)
        html += rowHtml(tasks[i], i);
    return html + QStringLiteral("</table>") + practicesHtml(test);
}

QList<PupilTaskText> pupilTaskTexts(const ShownTest &test)
{
    const TestEntry &e = *test.entry;
    QList<PupilTaskText> tasks;
    for (int i = 0; i < RowCount; ++i) {
        const RowCheck &row = e.check.rows[size_t(i)];
        const ResultRow &stored = e.record.rows[size_t(i)];
        PupilTaskText text{taskText(row, stored), row.typed, row.taskValid ? row.answer : stored.answer, {}, {}, {}, {}};
        judged(row, e.check.graded, text);
        tasks << text;
    }
    return tasks;
}

QDialog *openPupilTest(const ShownTest &test, QWidget *parent)
{
    auto *dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Тест: %1").arg(test.name));
    auto *layout = new QVBoxLayout(dialog);
    // A read-only text edit, not a text browser: screen readers take a
    // browser for a label and never read a label's description. Nothing in
    // it is a link to follow.
    auto *text = new QTextEdit;
    text->setObjectName(QStringLiteral("pupilTest"));
    text->setAccessibleName(QStringLiteral("Тест ученика"));
    text->setReadOnly(true);
    text->setHtml(pupilTestHtml(test));
    // A caret the keyboard moves, so a screen reader reads the test line
    // by line; and the whole of it as the description, read on focus.
    text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text->setAccessibleDescription(text->toPlainText());
    text->installEventFilter(new ReadingOrder(text));
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(1000, 620);
    dialog->show();
    text->setFocus();
    return dialog;
}
