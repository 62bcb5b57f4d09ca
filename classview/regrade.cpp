// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/regrade.h"

#include "fraction/answer.h"
#include "fraction/written_form.h"
#include "runtime/checked16.h"

#include <QRegularExpression>

#include <exception>
#include <string>

namespace {

std::string utf8(const QString &s)
{
    return s.toStdString();
}

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

// The boxes as typed, on one line: "-2 1/3", "3/4", "_/_" for empty fraction
// boxes, «пусто» when nothing was typed.
QString typedLine(const RecordRow &row)
{
    if (row.typedWhole.isEmpty() && row.typedNum.isEmpty() && row.typedDen.isEmpty())
        return QStringLiteral("(пусто)");
    const auto box = [](const QString &s) { return s.isEmpty() ? QStringLiteral("_") : s; };
    QString line = row.typedWhole;
    if (!row.typedNum.isEmpty() || !row.typedDen.isEmpty()) {
        if (!line.isEmpty() && line != QLatin1String("-"))
            line += QLatin1Char(' ');
        line += box(row.typedNum) + QLatin1Char('/') + box(row.typedDen);
    }
    return line;
}

// Wrong verdicts, counts or grade in the record compared with the grading.
void compareStored(const TestRecord &record, Regrade &g)
{
    if (!g.graded) {
        if (record.grade != 0)
            g.problems << QStringLiteral("у незаконченного теста оценка %1").arg(record.grade);
        return;
    }
    QStringList rows;
    for (int i = 0; i < RowCount; ++i) {
        if (record.rows[size_t(i)].right != g.rows[size_t(i)].right)
            rows << QString::number(i + 1);
    }
    if (!rows.isEmpty())
        g.problems << QStringLiteral("отметка «верно/неверно» в заданиях %1").arg(rows.join(QStringLiteral(", ")));
    if (record.right != g.right || record.wrong != RowCount - g.right)
        g.problems << QStringLiteral("записано верных %1, неверных %2; на деле верных %3")
                          .arg(record.right)
                          .arg(record.wrong)
                          .arg(g.right);
    if (record.grade != g.grade)
        g.problems << QStringLiteral("записана оценка %1, на деле %2").arg(record.grade).arg(g.grade);
}

void checkTimes(const TestRecord &record, Regrade &g)
{
    constexpr int graceSeconds = 60;
    const qint64 elapsed = record.started.secsTo(record.finished);
    if (elapsed < 0)
        g.problems << QStringLiteral("окончен раньше, чем начат");
    if (record.secondsUsed > record.secondsAllowed + graceSeconds)
        g.problems << QStringLiteral("затрачено %1 с при %2 с на тест").arg(record.secondsUsed).arg(record.secondsAllowed);
    else if (elapsed >= 0 && record.secondsUsed > elapsed + graceSeconds)
        g.problems << QStringLiteral("затрачено %1 с, а от начала до конца прошло %2 с")
                          .arg(record.secondsUsed)
                          .arg(elapsed);
}

} // namespace

int gradeFor(int right)
{
    return right == 10 ? 5 : right == 9 ? 4 : right == 8 ? 3 : 2;
}

std::optional<Fraction> parseValue(const QString &text)
{
    thread_local const QRegularExpression form(QStringLiteral("^(-?)(?:([0-9]+)|([0-9]+)/([0-9]+)|([0-9]+) ([0-9]+)/([0-9]+))$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) -> std::optional<int16_t> {
        bool ok = false;
        const int v = m.captured(group).toInt(&ok);
        return ok && v <= 32767 ? std::optional<int16_t>(int16_t(v)) : std::nullopt;
    };
    const bool negative = !m.captured(1).isEmpty();
    std::optional<int16_t> whole = int16_t(0), num = int16_t(0), den = int16_t(1);
    if (m.capturedLength(2))
        whole = number(2);
    else if (m.capturedLength(3)) {
        num = number(3);
        den = number(4);
    } else {
        whole = number(5);
        num = number(6);
        den = number(7);
    }
    if (!whole || !num || !den || *den == 0)
        return std::nullopt;
    // The sign goes on one field: the whole part when there is one.
    if (negative && *whole != 0)
        return Fraction{*num, *den, int16_t(-*whole)};
    return Fraction{negative ? int16_t(-*num) : *num, *den, *whole};
}

Regrade regradeRecord(const TestRecord &record)
{
    Regrade g;
    g.graded = record.status == RecordStatus::Graded;
    const bool filled = g.graded && !record.timeRanOut;
    QStringList badTasks;
    for (int i = 0; i < RowCount; ++i) {
        const RecordRow &stored = record.rows[size_t(i)];
        RowCheck &row = g.rows[size_t(i)];
        row.operation = RowOperation[size_t(i)];
        row.typed = typedLine(stored);
        const char sign = row.operation == Operation::Multiply ? '*' : ':';
        const auto a = parseValue(stored.a);
        const auto b = parseValue(stored.b);
        try {
            const auto task = a && b ? FindGeneratedTask(i, *a, *b) : std::nullopt;
            if (task && stored.operation == QLatin1Char(sign) && qs(WriteFraction(*a).text()) == stored.a
                && qs(WriteFraction(*b).text()) == stored.b) {
                // The operands as the generator built them: where a minus sits
                // (on a numerator or a denominator) is part of how the window
                // writes the answer.
                row.a = task->a;
                row.b = task->b;
                const WrittenForm answer = WriteFraction(task->d);
                row.answer = qs(answer.text());
                row.taskValid = row.answer == stored.answer;

                // The boxes as the answer check reads them.
                const std::string whole = utf8(filled && stored.typedWhole.isEmpty() ? QStringLiteral("0") : stored.typedWhole);
                const std::string num = utf8(filled && stored.typedNum.isEmpty() ? QStringLiteral("0") : stored.typedNum);
                const std::string den = utf8(filled && stored.typedDen.isEmpty() ? QStringLiteral("1") : stored.typedDen);
                const AnswerTexts typed{num, den, whole};
                row.right = row.taskValid && AnswerIsRight(typed, AnswerTexts{answer.num, answer.den, answer.whole});
                const bool wasEmpty = stored.typedWhole.isEmpty() && stored.typedNum.isEmpty() && stored.typedDen.isEmpty();
                const Diagnosis d = DiagnoseAnswer(row.a, row.b, row.operation, typed, wasEmpty, row.right);
                row.mistake = d.mistake;
                row.explanation = qs(d.explanation);
                row.solution = qs(d.solution);
            }
        } catch (const std::exception &) {
            // An overflow on the way: no task the generator makes does that.
            row.taskValid = false;
            row.right = false;
        }
        if (!row.taskValid) {
            row.right = false;
            row.mistake = Mistake::Other;
            badTasks << QString::number(i + 1);
        }
        if (g.graded && row.right)
            ++g.right;
    }
    g.grade = g.graded ? gradeFor(g.right) : 0;
    if (!badTasks.isEmpty())
        g.problems << QStringLiteral("задания %1 не те, что даёт программа (условие или ответ)").arg(badTasks.join(QStringLiteral(", ")));
    compareStored(record, g);
    checkTimes(record, g);
    return g;
}
