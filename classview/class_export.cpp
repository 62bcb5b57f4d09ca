// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_export.h"

#include "classview/class_journal.h"
#include "classview/class_report.h"
#include "classview/pupil_pages.h"
#include "classview/table_export.h"

namespace {

constexpr ExportFormat Formats[] = {ExportFormat::Csv, ExportFormat::Xlsx, ExportFormat::Pdf};

} // namespace

QString exportSuffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv: return QStringLiteral("csv");
    case ExportFormat::Xlsx: return QStringLiteral("xlsx");
    case ExportFormat::Pdf: return QStringLiteral("pdf");
    }
    return QString();
}

std::optional<ExportFormat> exportFormatOf(const QString &path)
{
    for (const ExportFormat format : Formats) {
        if (path.endsWith(QLatin1Char('.') + exportSuffix(format), Qt::CaseInsensitive))
            return format;
    }
    return std::nullopt;
}

bool exportTests(const QString &path, const QString &heading, const QList<ShownTest> &tests, QString *error,
                 const ExportChoice &choice)
{
    const std::optional<ExportFormat> format = exportFormatOf(path);
    if (!format) {
        if (error)
            *error = QStringLiteral("файл должен оканчиваться на .csv, .xlsx или .pdf");
        return false;
    }
    switch (*format) {
    case ExportFormat::Csv: return writeCsv(path, tests, error);
    case ExportFormat::Xlsx:
        return writeXlsx(path, tests, summarize(tests), journalRows(tests, choice.classList, choice.group), error);
    case ExportFormat::Pdf:
        return choice.pupilPages ? writePupilPages(path, tests, error)
                                 : writePdf(path, heading, tests, summarize(tests), error);
    }
    return false;
}
