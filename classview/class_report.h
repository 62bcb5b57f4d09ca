// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PDF for printing (QPdfWriter, A4 landscape): on the first page the
// class summary, its three charts side by side with their tables and the
// mistakes' table across the page, then the tests table, a line a pupil, so
// that a class of 30 takes two pages. Written whole or not at all,
// following no link (atomic_file.h).

#include "classview/class_model.h"
#include "classview/class_summary.h"

#include <QSize>
#include <QString>

// `heading` says which class and day it is about. Returns false, with the
// reason in `error`, when the file was not written.
bool writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary,
              QString *error);
// How a chart is printed: drawn into an image of `image` pixels, its text
// `textPixels` high there, the image printed `millimetres` wide.
struct ChartPrint {
    QSize image;
    double millimetres = 0;
    int textPixels = 0;
};
ChartPrint chartPrint(SummaryChart chart, const ClassSummary &summary);
// The size of the chart's text on paper, in points.
double printedPoints(const ChartPrint &print);

// The same content as HTML, with the charts as the images named
// chart-grades, chart-tasks and chart-mistakes.
QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary);
