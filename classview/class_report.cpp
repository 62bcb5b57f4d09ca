// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_report.h"

#include "classview/atomic_file.h"
#include "classview/class_charts.h"
#include "classview/class_summary.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QScreen>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace {

// The document's pixels to a millimetre on paper: QTextDocument prints a
// pixel as one of the screen's (96 to the inch unless the screen says otherwise).
double pixelsPerMillimetre()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInchY() : 96.0) / 25.4;
}

QString cell(const QString &text, const char *tag = "td")
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), text.toHtmlEscaped());
}

QString tableRowHtml(const QStringList &cells, const char *tag = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString &c : cells)
        html += cell(c, tag);
    return html + QStringLiteral("</tr>");
}

QString chartName(SummaryChart chart)
{
    switch (chart) {
    case SummaryChart::Grades: return QStringLiteral("chart-grades");
    case SummaryChart::Tasks: return QStringLiteral("chart-tasks");
    case SummaryChart::Mistakes: return QStringLiteral("chart-mistakes");
    }
    return QString();
}

// The section's table as the window has it, or turned on its side (a
// column a row) where its rows are few and short: the grades and the tasks.
QString sectionTableHtml(const SummarySection &section, bool onItsSide)
{
    QList<QStringList> rows{section.header};
    for (const QList<SummaryCell> &row : section.rows) {
        QStringList texts;
        for (const SummaryCell &c : row)
            texts << c.text;
        rows << texts;
    }
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">");
    if (!onItsSide) {
        // The header in <thead>: repeated on the next page when the table breaks.
        html += QStringLiteral("<thead>") + tableRowHtml(rows[0], "th") + QStringLiteral("</thead>");
        for (qsizetype r = 1; r < rows.size(); ++r)
            html += tableRowHtml(rows[r]);
        return html + QStringLiteral("</table>");
    }
    for (qsizetype c = 0; c < section.header.size(); ++c) {
        QString line = cell(rows[0][c], "th");
        for (qsizetype r = 1; r < rows.size(); ++r)
            line += cell(rows[r].value(c));
        html += QStringLiteral("<tr>") + line + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString imageHtml(SummaryChart chart, const ClassSummary &summary)
{
    const ChartPrint print = chartPrint(chart, summary);
    const double width = print.millimetres * pixelsPerMillimetre();
    return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
        .arg(chartName(chart))
        .arg(qRound(width))
        .arg(qRound(width * print.image.height() / print.image.width()));
}

// A section in a column of the summary's row: its title, its chart, and
// for the grades and the tasks their table and figures.
QString sectionColumnHtml(const SummarySection &section, const ClassSummary &summary)
{
    QString html = QStringLiteral("<td><p><b>%1</b></p><p>%2</p>").arg(section.title.toHtmlEscaped(),
                                                                      imageHtml(section.chart, summary));
    if (section.chart != SummaryChart::Mistakes)
        html += sectionTableHtml(section, true);
    if (!section.figures.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(figuresLine(section).toHtmlEscaped());
    return html + QStringLiteral("</td>");
}

// A table across the page, under the charts: the mistakes' «Кто» needs the
// width, and the practice's table has no chart.
QString acrossHtml(const SummarySection &section)
{
    QString html;
    if (!section.charted)
        html += QStringLiteral("<p><b>%1</b></p>").arg(section.title.toHtmlEscaped());
    if (section.rows.isEmpty() && !section.whenEmpty.isEmpty())
        return html + QStringLiteral("<p>%1</p>").arg(section.whenEmpty.toHtmlEscaped());
    return html + QStringLiteral("<p>") + sectionTableHtml(section, false) + QStringLiteral("</p>");
}

QString testsHtml(const QList<ShownTest> &tests)
{
    QString html = QStringLiteral("<p style=\"page-break-before: always; font-size: 13pt;\"><b>Тесты</b></p>"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"1\" style=\"font-size: 8pt;\">")
                   + QStringLiteral("<thead>") + tableRowHtml(tableHeader(), "th") + QStringLiteral("</thead>");
    // Short cells on one line keep a row one line high; a long one (a long
    // name, a check's reasons) wraps, so the table keeps the page's width
    // and no task's column falls off its edge.
    for (const ShownTest &t : tests) {
        html += QStringLiteral("<tr>");
        for (const QString &c : tableRow(t))
            html += (c.size() <= 16 ? QStringLiteral("<td style=\"white-space: nowrap;\">%1</td>")
                                    : QStringLiteral("<td>%1</td>"))
                        .arg(c.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// A4 landscape, 12 mm margins: the document laid out on pages of that
// size, so that no further margin is added when it is printed.
QByteArray printed(QTextDocument &document)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(QStringLiteral("Результаты класса"));
        writer.setCreator(QStringLiteral("drobi"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        writer.setResolution(150);
        document.setDocumentMargin(0);
        document.setPageSize(writer.pageLayout().paintRect(QPageLayout::Millimeter).size() * pixelsPerMillimetre());
        document.print(&writer);
    }
    return pdf.data();
}

} // namespace

ChartPrint chartPrint(SummaryChart chart, const ClassSummary &summary)
{
    // The three charts side by side across the 273 mm of a landscape A4
    // within its margins, each 50 mm high, the mistakes' 7 mm a kind.
    double width = 58, height = 50;
    if (chart == SummaryChart::Tasks)
        width = 98;
    if (chart == SummaryChart::Mistakes) {
        width = 108;
        height = 16 + 7 * double(std::max<qsizetype>(2, summary.mistakes.size()));
    }
    // 200 pixels to the inch, for a sharp print; the text 9 pt.
    constexpr double PixelsPerInch = 200;
    const QSize image(qRound(width / 25.4 * PixelsPerInch), qRound(height / 25.4 * PixelsPerInch));
    return ChartPrint{image, width, qRound(9 / 72.0 * PixelsPerInch)};
}

double printedPoints(const ChartPrint &print)
{
    return print.textPixels * print.millimetres / print.image.width() / 25.4 * 72;
}

QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &s)
{
    QString html = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans', sans-serif; font-size: 9pt;\">");
    html += QStringLiteral("<p style=\"font-size: 13pt;\"><b>Результаты класса</b></p><p>%1</p>").arg(heading.toHtmlEscaped());
    const QList<SummarySection> sections = summarySections(s);
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\"><tr valign=\"top\">");
    for (const SummarySection &section : sections) {
        if (section.charted)
            html += sectionColumnHtml(section, s);
    }
    html += QStringLiteral("</tr></table>");
    for (const SummarySection &section : sections) {
        if (!section.charted || section.chart == SummaryChart::Mistakes)
            html += acrossHtml(section);
    }
    return html + testsHtml(tests) + QStringLiteral("</body></html>");
}

bool writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary,
              QString *error)
{
    QTextDocument document;
    for (const SummaryChart chart : {SummaryChart::Grades, SummaryChart::Tasks, SummaryChart::Mistakes}) {
        const ChartPrint print = chartPrint(chart, summary);
        document.addResource(QTextDocument::ImageResource, QUrl(chartName(chart)),
                             chartImage(chart, summary, print.image, print.textPixels));
    }
    document.setHtml(reportHtml(heading, tests, summary));
    const QByteArray pdf = printed(document);
    if (pdf.isEmpty()) {
        if (error)
            *error = QStringLiteral("не удалось составить PDF");
        return false;
    }
    return writeFileAtomically(path, pdf, error);
}
