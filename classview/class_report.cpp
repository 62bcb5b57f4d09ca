// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_report.h"

#include "classview/atomic_file.h"
#include "classview/class_charts.h"
#include "classview/class_summary.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {

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

// A section of the summary: its table, its figures and its chart, or what
// an empty table means.
QString sectionHtml(const SummarySection &section)
{
    QString html = QStringLiteral("<h2>%1</h2>").arg(section.title.toHtmlEscaped());
    if (section.rows.isEmpty() && !section.whenEmpty.isEmpty())
        return html + QStringLiteral("<p>%1</p>").arg(section.whenEmpty.toHtmlEscaped());
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">") + tableRowHtml(section.header, "th");
    for (const QList<SummaryCell> &row : section.rows) {
        QStringList texts;
        for (const SummaryCell &c : row)
            texts << c.text;
        html += tableRowHtml(texts);
    }
    html += QStringLiteral("</table>");
    if (!section.figures.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(figuresLine(section).toHtmlEscaped());
    if (!section.charted)
        return html;
    return html + QStringLiteral("<p><img src=\"%1\" width=\"560\"></p>").arg(chartName(section.chart));
}

QString testsHtml(const QList<ShownTest> &tests)
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always;\">Тесты</h2>"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"1\" style=\"font-size: 7pt;\">")
                   + tableRowHtml(tableHeader(), "th");
    for (const ShownTest &t : tests)
        html += tableRowHtml(tableRow(t));
    return html + QStringLiteral("</table>");
}

QByteArray printed(const QTextDocument &document)
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
        document.print(&writer);
    }
    return pdf.data();
}

} // namespace

QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &s)
{
    QString html = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans', sans-serif;\">");
    html += QStringLiteral("<h1>Результаты класса</h1><p>%1</p>").arg(heading.toHtmlEscaped());
    for (const SummarySection &section : summarySections(s))
        html += sectionHtml(section);
    return html + testsHtml(tests) + QStringLiteral("</body></html>");
}

bool writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary,
              QString *error)
{
    QTextDocument document;
    for (const SummaryChart chart : {SummaryChart::Grades, SummaryChart::Tasks, SummaryChart::Mistakes}) {
        const QSize size(1120, chart == SummaryChart::Mistakes ? 160 + 60 * int(summary.mistakes.size()) : 560);
        document.addResource(QTextDocument::ImageResource, QUrl(chartName(chart)), chartImage(chart, summary, size));
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
