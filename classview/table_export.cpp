// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/table_export.h"

#include "classview/atomic_file.h"
#include "classview/class_journal.h"
#include "classview/class_summary.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <optional>

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
    cells[int(TableColumn::Pupil)] = defused(cells[int(TableColumn::Pupil)]);
    cells[int(TableColumn::Group)] = defused(cells[int(TableColumn::Group)]);
    return cells;
}

// One CSV line of fields, without its line end.
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

// The UTF-16 units of at most `characters` characters of `text` from `from`.
qsizetype unitsOf(const QString &text, qsizetype from, int characters)
{
    qsizetype at = from;
    for (int n = 0; n < characters && at < text.size(); ++n)
        at += text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return at - from;
}

// A workbook written by libxlsxwriter, which writes by file name only: into
// a folder of this user's own, read back from there and then saved.
struct Workbook {
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("book.xlsx"));
    lxw_workbook *book = folder.isValid() ? workbook_new(QFile::encodeName(file).constData()) : nullptr;
    lxw_format *bold = nullptr;
    // The day and the start as real spreadsheet dates and times.
    lxw_format *day = nullptr;
    lxw_format *time = nullptr;
};

QByteArray u8(const QString &s)
{
    return s.toUtf8();
}

// A text cell, continued in the cells to its right when it is too long for
// one; returns the column after it.
lxw_col_t writeText(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const QString &text, lxw_format *format)
{
    for (const QString &piece : spreadsheetCells(text))
        worksheet_write_string(sheet, row, column++, u8(piece).constData(), format);
    return column;
}

void writeCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const SummaryCell &cell, lxw_format *format)
{
    if (cell.number)
        worksheet_write_number(sheet, row, column, *cell.number, format);
    else
        writeText(sheet, row, column, cell.text, format);
}

void testsHeader(const Workbook &w, lxw_worksheet *sheet)
{
    const QStringList header = tableHeader();
    for (int c = 0; c < header.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), u8(header[c]).constData(), w.bold);
    worksheet_set_column(sheet, 0, 0, 28, nullptr);
    worksheet_set_column(sheet, lxw_col_t(TableColumn::Date), lxw_col_t(TableColumn::Date), 11, nullptr);
    worksheet_set_column(sheet, lxw_col_t(TableColumn::State), lxw_col_t(TableColumn::Check), 22, nullptr);
    worksheet_set_column(sheet, lxw_col_t(TableColumn::FirstTask), lxw_col_t(header.size() - 1), 4, nullptr);
    worksheet_freeze_panes(sheet, 1, 1);
}

// The day or the start of a test as a spreadsheet date or time, in the
// teacher's time zone; false for other columns, and for the start left out
// on the projector.
bool writeWhen(const Workbook &w, lxw_worksheet *sheet, lxw_row_t row, int column, const ShownTest &test,
               std::optional<lxw_col_t> at = std::nullopt)
{
    const bool day = column == int(TableColumn::Date);
    if (!day && (column != int(TableColumn::Start) || test.projector))
        return false;
    const QDateTime local = test.entry->record.started.toLocalTime();
    lxw_datetime when{};
    if (day)
        when = {local.date().year(), local.date().month(), local.date().day(), 0, 0, 0};
    else
        when = {0, 0, 0, local.time().hour(), local.time().minute(), 0};
    worksheet_write_datetime(sheet, row, at.value_or(lxw_col_t(column)), &when, day ? w.day : w.time);
    return true;
}

// The tests, numbers as numbers, days and times as dates and times.
void testsSheet(const Workbook &w, const QList<ShownTest> &tests)
{
    lxw_worksheet *sheet = workbook_add_worksheet(w.book, u8(QStringLiteral("Тесты")).constData());
    testsHeader(w, sheet);
    lxw_row_t r = 1;
    for (const ShownTest &t : tests) {
        const QStringList cells = exportedRow(t);
        for (int c = 0; c < cells.size(); ++c) {
            if (writeWhen(w, sheet, r, c, t))
                continue;
            // A test known only by its first read has no minutes.
            const bool lost = t.entry->lost();
            bool number = !lost && (c == int(TableColumn::Minutes) || c == int(TableColumn::Allowed));
            double value = c == int(TableColumn::Allowed) ? t.entry->record.secondsAllowed / 60.0
                                                          : minutesUsed(t.entry->record);
            if (c == int(TableColumn::Right) || c == int(TableColumn::Grade))
                value = cells[c].toInt(&number);
            if (number)
                worksheet_write_number(sheet, r, lxw_col_t(c), value, nullptr);
            else
                worksheet_write_string(sheet, r, lxw_col_t(c), u8(cells[c]).constData(), nullptr);
        }
        ++r;
    }
}

// One section of the summary: its title, its table, its figures, a blank row.
lxw_row_t summarySection(const Workbook &w, lxw_worksheet *sheet, lxw_row_t r, const SummarySection &section)
{
    worksheet_write_string(sheet, r++, 0, u8(section.title).constData(), w.bold);
    for (int c = 0; c < section.header.size(); ++c)
        worksheet_write_string(sheet, r, lxw_col_t(c), u8(section.header[c]).constData(), w.bold);
    ++r;
    for (const QList<SummaryCell> &row : section.rows) {
        for (int c = 0; c < row.size(); ++c)
            writeCell(sheet, r, lxw_col_t(c), row[c], nullptr);
        ++r;
    }
    if (section.rows.isEmpty() && !section.whenEmpty.isEmpty())
        worksheet_write_string(sheet, r++, 0, u8(section.whenEmpty).constData(), nullptr);
    for (const SummaryFigure &f : section.figures) {
        worksheet_write_string(sheet, r, 0, u8(f.label).constData(), nullptr);
        writeCell(sheet, r++, 1, f.value, nullptr);
    }
    return r + 1;
}

// The register's sheet: class, pupil, day, grade as a number or the words
// standing for it, and a note for a pupil the class list does not hold.
void journalSheet(const Workbook &w, const QList<JournalRow> &journal)
{
    lxw_worksheet *sheet = workbook_add_worksheet(w.book, u8(QStringLiteral("Журнал")).constData());
    const QStringList header = journalHeader();
    for (int c = 0; c < header.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), u8(header[c]).constData(), w.bold);
    worksheet_set_column(sheet, lxw_col_t(JournalColumn::Pupil), lxw_col_t(JournalColumn::Pupil), 28, nullptr);
    worksheet_set_column(sheet, lxw_col_t(JournalColumn::Date), lxw_col_t(JournalColumn::Grade), 11, nullptr);
    worksheet_set_column(sheet, lxw_col_t(JournalColumn::Note), lxw_col_t(JournalColumn::Note), 22, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_row_t r = 1;
    for (const JournalRow &row : journal) {
        worksheet_write_string(sheet, r, lxw_col_t(JournalColumn::Group), u8(defused(row.group)).constData(), nullptr);
        worksheet_write_string(sheet, r, lxw_col_t(JournalColumn::Pupil), u8(defused(row.name)).constData(), nullptr);
        if (row.test)
            writeWhen(w, sheet, r, int(TableColumn::Date), *row.test, lxw_col_t(JournalColumn::Date));
        writeCell(sheet, r, lxw_col_t(JournalColumn::Grade), journalGrade(row), nullptr);
        if (row.unlisted)
            worksheet_write_string(sheet, r, lxw_col_t(JournalColumn::Note), u8(journalNote(row)).constData(), nullptr);
        ++r;
    }
}

void summarySheet(const Workbook &w, const ClassSummary &summary)
{
    lxw_worksheet *sheet = workbook_add_worksheet(w.book, u8(QStringLiteral("Сводка")).constData());
    worksheet_set_column(sheet, 0, 0, 40, nullptr);
    worksheet_set_column(sheet, 2, 2, 60, nullptr);
    lxw_row_t r = 0;
    for (const SummarySection &section : summarySections(summary))
        r = summarySection(w, sheet, r, section);
}

} // namespace

QStringList spreadsheetCells(const QString &text)
{
    QStringList pieces;
    qsizetype from = 0;
    do {
        qsizetype length = unitsOf(text, from, MaxCellCharacters);
        if (from + length < text.size()) {
            const qsizetype separator = text.lastIndexOf(QStringLiteral(", "), from + length - 2);
            if (separator > from)
                length = separator + 2 - from;
        }
        pieces << text.mid(from, length);
        from += length;
    } while (from < text.size());
    return pieces;
}

bool writeCsv(const QString &path, const QList<ShownTest> &tests, QString *error)
{
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += csvLine(tableHeader()) + "\r\n";
    for (const ShownTest &t : tests)
        bytes += csvLine(exportedRow(t)) + "\r\n";
    return writeFileAtomically(path, bytes, error);
}

bool writeXlsx(const QString &path, const QList<ShownTest> &tests, const ClassSummary &summary,
               const QList<JournalRow> &journal, QString *error)
{
    Workbook w;
    if (!w.book) {
        if (error)
            *error = QStringLiteral("не удалось начать книгу XLSX: %1").arg(w.folder.errorString());
        return false;
    }
    w.bold = workbook_add_format(w.book);
    format_set_bold(w.bold);
    w.day = workbook_add_format(w.book);
    format_set_num_format(w.day, "dd.mm.yyyy");
    w.time = workbook_add_format(w.book);
    format_set_num_format(w.time, "hh:mm");
    testsSheet(w, tests);
    journalSheet(w, journal);
    summarySheet(w, summary);
    if (const lxw_error closed = workbook_close(w.book); closed != LXW_NO_ERROR) {
        if (error)
            *error = QString::fromUtf8(lxw_strerror(closed));
        return false;
    }
    QFile written(w.file);
    if (!written.open(QIODevice::ReadOnly)) {
        if (error)
            *error = written.errorString();
        return false;
    }
    return writeFileAtomically(path, written.readAll(), error);
}
