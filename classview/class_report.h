// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PDF for printing: the class summary with its charts and tables, then
// the tests table (QPdfWriter, A4 landscape).

#include "classview/class_model.h"

#include <QString>

// `heading` says which class and day it is about. Returns an empty text on
// success, else why the file was not written.
QString writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests,
                 const ClassSummary &summary);
// The same content as HTML, with the charts as the images named
// chart-grades, chart-tasks and chart-mistakes.
QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary);
