// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exports, chosen by the file's suffix, for the menu «Файл» and for
// `--export` alike: .csv the tests table, .xlsx the table and the summary,
// .pdf the summary with its charts and the table.

#include "classview/class_model.h"

#include <QString>

#include <optional>

enum class ExportFormat { Csv, Xlsx, Pdf };

// The format a file's suffix names, in any case; nullopt for any other.
std::optional<ExportFormat> exportFormatOf(const QString &path);
// The suffix written for a format, without its dot: "csv".
QString exportSuffix(ExportFormat format);

// Writes `tests`, chosen as `heading` says, in the format `path` names.
// Returns false, with the reason in `error`, when the file was not written.
bool exportTests(const QString &path, const QString &heading, const QList<ShownTest> &tests, QString *error);
