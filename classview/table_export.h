// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tests table written out for the register and for spreadsheets.
//
// CSV: UTF-8 with a byte-order mark, ";" between fields, lines ended by
// CR LF, and a field quoted (its quotes doubled) when it holds ";", a quote
// or a line break (RFC 4180), so LibreOffice Calc and Excel open it with the
// Cyrillic intact. A pupil's name or class starting with "=", "+", "-" or
// "@" gets a leading apostrophe, so that no spreadsheet reads it as a formula.
//
// XLSX (libxlsxwriter): the sheet «Тесты» with the same columns, numbers as
// numbers, and the sheet «Сводка» with the class summary.

#include "classview/class_model.h"

#include <QString>

// Both return an empty text on success, else why the file was not written.
QString writeCsv(const QString &path, const QList<ShownTest> &tests);
QString writeXlsx(const QString &path, const QList<ShownTest> &tests, const ClassSummary &summary);

// One CSV line of fields, without its line end.
QByteArray csvLine(const QStringList &fields);
