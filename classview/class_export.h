// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exports, chosen by the file's suffix, for the menu «Файл» and for
// `--export` alike: .csv the tests table, .xlsx the table, the register's
// sheet and the summary, .pdf the summary with its charts and the table, or
// a page per pupil.

#include "classview/class_model.h"
#include "results/class_list.h"

#include <QString>

#include <optional>

enum class ExportFormat { Csv, Xlsx, Pdf };

// The format a file's suffix names, in any case; nullopt for any other.
std::optional<ExportFormat> exportFormatOf(const QString &path);
// The suffix written for a format, without its dot: "csv".
QString exportSuffix(ExportFormat format);

// What an export takes beyond the tests.
struct ExportChoice {
    // The school's class lists and the class chosen (empty: every class),
    // for the XLSX's register sheet.
    ClassList classList;
    QString group;
    // A .pdf of a page per pupil (pupil_pages.h) instead of the summary.
    bool pupilPages = false;
};

// Writes `tests`, chosen as `heading` says, in the format `path` names.
// Returns false, with the reason in `error`, when the file was not written.
bool exportTests(const QString &path, const QString &heading, const QList<ShownTest> &tests, QString *error,
                 const ExportChoice &choice = {});
