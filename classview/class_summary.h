// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class summary as the teacher reads it: three sections (the grades,
// the right answers per task, the mistakes of the class), each a table of
// cells with its figures and its chart. The window, the PDF and the XLSX
// all draw this one description, so a share, a mean or a list of names
// reads the same in all three.
//
// QtCore only: no widgets, no charts.

#include "classview/class_model.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

enum class SummaryChart { Grades, Tasks, Mistakes };

// One cell: its text, and the number behind it for a figure, which a
// spreadsheet keeps as a number.
struct SummaryCell {
    QString text;
    std::optional<double> number;
};

// A figure said under a section's table: «Средняя оценка» 4,12.
struct SummaryFigure {
    QString label;
    SummaryCell value;
};

struct SummarySection {
    SummaryChart chart = SummaryChart::Grades;
    QString title;
    QStringList header;
    QList<QList<SummaryCell>> rows;
    QList<SummaryFigure> figures;
    // Said instead of the table when it has no rows; empty: the table is shown empty.
    QString whenEmpty;
    // Drawn as `chart` beside its table; a table alone when false.
    bool charted = true;
};

// The summary's sections, in the order they are shown; «Работа над
// ошибками» (a table without a chart) only when a test shown has a practice.
QList<SummarySection> summarySections(const ClassSummary &summary);

// The figures of a section on one line: "Средняя оценка: 4,12. Оценённых тестов: 4."
QString figuresLine(const SummarySection &section);

// `part` of `whole` in whole per cent, halves rounded up; 0 when `whole` is 0.
// The one rounding of a share, for the tables, the charts and the exports.
int sharePercent(int part, int whole);

// Names joined into one list, each isolated (FSI … PDI), so that a name
// written right to left keeps to itself and leaves the order of the others
// as it is.
QString joinedNames(const QStringList &names);
