// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PDF for printing: the class summary's sections with their charts and
// tables, then the tests table (QPdfWriter, A4 landscape), written whole or
// not at all, following no link (atomic_file.h).

#include "classview/class_model.h"

#include <QString>

// `heading` says which class and day it is about. Returns false, with the
// reason in `error`, when the file was not written.
bool writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary,
              QString *error);
// The same content as HTML, with the charts as the images named
// chart-grades, chart-tasks and chart-mistakes.
QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary);
