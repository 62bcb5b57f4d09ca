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
// numbers, the sheet «Журнал» for the register (class_journal.h: a pupil a
// row, the grade a number), and the sheet «Сводка» with the class summary's
// sections as the window shows them. A text longer than a cell holds (32,767 characters,
// «Кто» of a large class) continues in the cells to its right.
//
// Both are written whole or not at all, following no link (atomic_file.h).

#include "classview/class_journal.h"
#include "classview/class_model.h"

#include <QString>
#include <QStringList>

// Both return false, with the reason in `error`, when the file was not written.
bool writeCsv(const QString &path, const QList<ShownTest> &tests, QString *error);
bool writeXlsx(const QString &path, const QList<ShownTest> &tests, const ClassSummary &summary,
               const QList<JournalRow> &journal, QString *error);

// The most characters a spreadsheet cell holds.
inline constexpr int MaxCellCharacters = 32767;
// `text` in pieces of at most MaxCellCharacters characters, cut after a
// ", " where there is one, never inside a character; joined, they are `text`.
QStringList spreadsheetCells(const QString &text);
