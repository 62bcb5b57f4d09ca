// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/table_export.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

#include <xlsxwriter.h>

namespace {

// Pupils type their own names: a name a spreadsheet would take for a formula
// is written as text.
QString defused(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

QStringList exportedRow(const ShownTest &test)
{
    QStringList cells = tableRow(test);
    cells[int(Column::Pupil)] = defused(cells[int(Column::Pupil)]);
    cells[int(Column::Group)] = defused(cells[int(Column::Group)]);
    return cells;
}

} // namespace

QByteArray csvLine(const QStringList &fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            line += ';';
        QByteArray f = fields[i].toUtf8();
        if (f.contains(';') || f.contains('"') || f.contains('\n') || f.contains('\r'))
            f = '"' + f.replace("\"", "\"\"") + '"';
        line += f;
    }
    return line;
}

QString writeCsv(const QString &path, const QList<ShownTest> &tests)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += csvLine(tableHeader()) + "\r\n";
    for (const ShownTest &t : tests)
        bytes += csvLine(exportedRow(t)) + "\r\n";
    file.write(bytes);
    return file.commit() ? QString() : file.errorString();
}

QString writeXlsx(const QString &path, const QList<ShownTest> &tests, const ClassSummary &summary)
{
    // libxlsxwriter writes the file in one go at close; it goes to a
    // temporary name beside the target and is renamed only when complete.
    const QString partial = path + QStringLiteral(".part");
    const QByteArray name = QFile::encodeName(partial);
    lxw_workbook *book = workbook_new(name.constData());
    if (!book)
        return QStringLiteral("не удалось создать %1").arg(partial);
    const auto u8 = [](const QString &s) { return s.toUtf8(); };

    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_worksheet *sheet = workbook_add_worksheet(book, u8(QStringLiteral("Тесты")).constData());
    const QStringList header = tableHeader();
    for (int c = 0; c < header.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), u8(header[c]).constData(), bold);
    worksheet_set_column(sheet, 0, 0, 28, nullptr);
    worksheet_set_column(sheet, 7, 8, 22, nullptr);
    worksheet_set_column(sheet, lxw_col_t(int(Column::FirstTask)), lxw_col_t(header.size() - 1), 4, nullptr);
    worksheet_freeze_panes(sheet, 1, 1);
    lxw_row_t r = 1;
    for (const ShownTest &t : tests) {
        const QStringList cells = exportedRow(t);
        for (int c = 0; c < cells.size(); ++c) {
            bool number = false;
            double value = 0;
            if (c == int(Column::Minutes)) {
                value = minutesUsed(t.entry->record);
                number = true;
            } else if (c == int(Column::Right) || c == int(Column::Grade)) {
                value = cells[c].toInt(&number);
            }
            if (number)
                worksheet_write_number(sheet, r, lxw_col_t(c), value, nullptr);
            else
                worksheet_write_string(sheet, r, lxw_col_t(c), u8(cells[c]).constData(), nullptr);
        }
        ++r;
    }

    lxw_worksheet *sums = workbook_add_worksheet(book, u8(QStringLiteral("Сводка")).constData());
    worksheet_set_column(sums, 0, 0, 40, nullptr);
    worksheet_set_column(sums, 2, 2, 60, nullptr);
    lxw_row_t s = 0;
    const auto line = [&](const QString &label, double value, bool withValue = true) {
        worksheet_write_string(sums, s, 0, u8(label).constData(), withValue ? nullptr : bold);
        if (withValue)
            worksheet_write_number(sums, s, 1, value, nullptr);
        ++s;
    };
    line(QStringLiteral("Оценки"), 0, false);
    for (int g = 5; g >= 2; --g)
        line(QStringLiteral("Оценка %1").arg(g), summary.grades[size_t(g - 2)]);
    line(QStringLiteral("Средняя оценка"), std::round(summary.meanGrade * 100) / 100);
    line(QStringLiteral("Тестов"), summary.tests);
    ++s;
    line(QStringLiteral("Доля верных ответов по заданиям, %"), 0, false);
    for (int i = 0; i < RowCount; ++i)
        line(QStringLiteral("Задание %1").arg(i + 1),
             summary.tests ? std::round(1000.0 * summary.rightPerRow[size_t(i)] / summary.tests) / 10 : 0);
    ++s;
    line(QStringLiteral("Ошибки: сколько учеников и кто"), 0, false);
    for (const MistakeCount &m : summary.mistakes) {
        worksheet_write_string(sums, s, 2, u8(m.pupils.join(QStringLiteral(", "))).constData(), nullptr);
        line(m.title, double(m.pupils.size()));
    }

    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        QFile::remove(partial);
        return QString::fromUtf8(lxw_strerror(error));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return QStringLiteral("не удалось записать %1").arg(path);
    }
    return QString();
}
