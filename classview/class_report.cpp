// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_report.h"

#include "classview/class_charts.h"

#include <QFile>
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

const char *const chartNames[] = {"chart-grades", "chart-tasks", "chart-mistakes"};

} // namespace

QString reportHtml(const QString &heading, const QList<ShownTest> &tests, const ClassSummary &s)
{
    QString html = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans', sans-serif;\">");
    html += QStringLiteral("<h1>Результаты класса</h1><p>%1</p>").arg(heading.toHtmlEscaped());
    const QString table = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");

    html += QStringLiteral("<h2>Оценки</h2>") + table + QStringLiteral("<tr>") + cell(QStringLiteral("Оценка"), "th")
            + cell(QStringLiteral("Учеников"), "th") + QStringLiteral("</tr>");
    for (int g = 5; g >= 2; --g)
        html += QStringLiteral("<tr>") + cell(QString::number(g)) + cell(QString::number(s.grades[size_t(g - 2)]))
                + QStringLiteral("</tr>");
    html += QStringLiteral("</table><p>Средняя оценка: %1 (тестов: %2)</p>")
                .arg(QString::number(s.meanGrade, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')))
                .arg(s.tests);
    html += QStringLiteral("<p><img src=\"%1\" width=\"560\"></p>").arg(QLatin1String(chartNames[0]));

    html += QStringLiteral("<h2>Верные ответы по заданиям</h2>") + table + QStringLiteral("<tr>")
            + cell(QStringLiteral("Задание"), "th") + cell(QStringLiteral("Верно"), "th")
            + cell(QStringLiteral("Доля, %"), "th") + QStringLiteral("</tr>");
    for (int i = 0; i < RowCount; ++i) {
        const int right = s.rightPerRow[size_t(i)];
        html += QStringLiteral("<tr>") + cell(QString::number(i + 1)) + cell(QString::number(right))
                + cell(QString::number(s.tests ? qRound(100.0 * right / s.tests) : 0)) + QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p><img src=\"%1\" width=\"560\"></p>").arg(QLatin1String(chartNames[1]));

    html += QStringLiteral("<h2>Ошибки класса</h2>");
    if (s.mistakes.isEmpty()) {
        html += QStringLiteral("<p>Ошибок нет.</p>");
    } else {
        html += table + QStringLiteral("<tr>") + cell(QStringLiteral("Ошибка"), "th")
                + cell(QStringLiteral("Учеников"), "th") + cell(QStringLiteral("Кто"), "th") + QStringLiteral("</tr>");
        for (const MistakeCount &m : s.mistakes)
            html += QStringLiteral("<tr>") + cell(m.title) + cell(QString::number(m.pupils.size()))
                    + cell(m.pupils.join(QStringLiteral(", "))) + QStringLiteral("</tr>");
        html += QStringLiteral("</table><p><img src=\"%1\" width=\"560\"></p>").arg(QLatin1String(chartNames[2]));
    }

    html += QStringLiteral("<h2 style=\"page-break-before: always;\">Тесты</h2>")
            + QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" style=\"font-size: 8pt;\"><tr>");
    for (const QString &h : tableHeader())
        html += cell(h, "th");
    html += QStringLiteral("</tr>");
    for (const ShownTest &t : tests) {
        html += QStringLiteral("<tr>");
        for (const QString &c : tableRow(t))
            html += cell(c);
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table></body></html>");
    return html;
}

QString writePdf(const QString &path, const QString &heading, const QList<ShownTest> &tests, const ClassSummary &summary)
{
    QTextDocument document;
    const SummaryChart charts[] = {SummaryChart::Grades, SummaryChart::Tasks, SummaryChart::Mistakes};
    for (int i = 0; i < 3; ++i) {
        const QSize size(1120, charts[i] == SummaryChart::Mistakes ? 160 + 60 * int(summary.mistakes.size()) : 560);
        document.addResource(QTextDocument::ImageResource, QUrl(QLatin1String(chartNames[i])),
                             chartImage(charts[i], summary, size));
    }
    document.setHtml(reportHtml(heading, tests, summary));

    // Written to a temporary name and renamed when complete.
    const QString partial = path + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setTitle(QStringLiteral("Результаты класса"));
        writer.setCreator(QStringLiteral("drobi"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        writer.setResolution(150);
        document.print(&writer);
    }
    if (!QFile::exists(partial) || QFile(partial).size() == 0) {
        QFile::remove(partial);
        return QStringLiteral("не удалось записать %1").arg(path);
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return QStringLiteral("не удалось записать %1").arg(path);
    }
    return QString();
}
