// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_summary.h"

#include <cmath>

namespace {

SummaryCell count(int n)
{
    return {QString::number(n), double(n)};
}

SummaryCell text(const QString &s)
{
    return {s, std::nullopt};
}

// The mean to two places, with the decimal comma a Russian reader expects.
SummaryCell mean(double value)
{
    const double rounded = std::round(value * 100) / 100;
    return {QString::number(rounded, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')), rounded};
}

SummarySection grades(const ClassSummary &s)
{
    SummarySection section{SummaryChart::Grades, QStringLiteral("Оценки"),
                           {QStringLiteral("Оценка"), QStringLiteral("Учеников")}, {}, {}, {}};
    for (int g = 5; g >= 2; --g)
        section.rows << QList<SummaryCell>{count(g), count(s.grades[size_t(g - 2)])};
    section.figures << SummaryFigure{QStringLiteral("Средняя оценка"), mean(s.meanGrade)}
                    << SummaryFigure{QStringLiteral("Оценённых тестов"), count(s.tests)};
    // Said only when it happened, so that it stands out.
    if (s.removed > 0)
        section.figures << SummaryFigure{QStringLiteral("Удалено после первого чтения"), count(s.removed)};
    if (s.changed > 0)
        section.figures << SummaryFigure{QStringLiteral("Изменено после первого чтения"), count(s.changed)};
    return section;
}

SummarySection tasks(const ClassSummary &s)
{
    SummarySection section{SummaryChart::Tasks, QStringLiteral("Верные ответы по заданиям"),
                           {QStringLiteral("Задание"), QStringLiteral("Верно"), QStringLiteral("Доля, %")}, {}, {}, {}};
    for (int i = 0; i < RowCount; ++i) {
        const int right = s.rightPerRow[size_t(i)];
        section.rows << QList<SummaryCell>{count(i + 1), count(right), count(sharePercent(right, s.tests))};
    }
    return section;
}

SummarySection mistakes(const ClassSummary &s)
{
    SummarySection section{SummaryChart::Mistakes, QStringLiteral("Ошибки класса"),
                           {QStringLiteral("Ошибка"), QStringLiteral("Учеников"), QStringLiteral("Кто")},
                           {}, {}, QStringLiteral("Ошибок нет.")};
    for (const MistakeCount &m : s.mistakes)
        section.rows << QList<SummaryCell>{text(m.title), count(int(m.pupils.size())), text(joinedNames(m.pupils))};
    return section;
}

// Per kind of mistake: who made it, worked on it, mastered it, and made it
// again in a later test, so the teacher sees whether the practice helped.
SummarySection practice(const ClassSummary &s)
{
    SummarySection section{SummaryChart::Mistakes,
                           QStringLiteral("Работа над ошибками"),
                           {QStringLiteral("Ошибка"), QStringLiteral("Сделали"), QStringLiteral("Работали"),
                            QStringLiteral("Освоили"), QStringLiteral("Повторили ошибку")},
                           {},
                           {},
                           QStringLiteral("Ошибок нет."),
                           false};
    for (const PracticeCount &c : s.practice)
        section.rows << QList<SummaryCell>{text(c.title), count(c.made), count(c.practised), count(c.mastered),
                                           count(c.repeated)};
    return section;
}

} // namespace

QList<SummarySection> summarySections(const ClassSummary &summary)
{
    QList<SummarySection> sections{grades(summary), tasks(summary), mistakes(summary)};
    if (!summary.practice.isEmpty())
        sections << practice(summary);
    return sections;
}

QString figuresLine(const SummarySection &section)
{
    QStringList parts;
    for (const SummaryFigure &f : section.figures)
        parts << f.label + QStringLiteral(": ") + f.value.text + QLatin1Char('.');
    return parts.join(QLatin1Char(' '));
}

int sharePercent(int part, int whole)
{
    return whole > 0 ? (200 * part + whole) / (2 * whole) : 0;
}

QString joinedNames(const QStringList &names)
{
    QStringList isolated;
    isolated.reserve(names.size());
    for (const QString &name : names)
        isolated << QChar(0x2068) + name + QChar(0x2069);
    return isolated.join(QStringLiteral(", "));
}
