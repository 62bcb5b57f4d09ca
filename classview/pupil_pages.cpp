// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/pupil_pages.h"

#include "classview/atomic_file.h"
#include "classview/class_summary.h"
#include "classview/pupil_test_view.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// A paragraph of a page: its text, and how it is set.
struct Paragraph {
    QString text;
    // The size against the body's.
    double scale = 1;
    bool bold = false;
    QColor color = Qt::black;
    // Space above it, in lines of the body.
    double spaceAbove = 0;
};
// The paragraphs kept on one page together: the heading, or one task.
using Block = QList<Paragraph>;

const QColor RightColor(0x00, 0x64, 0x00);
const QColor WrongColor(0x8c, 0x00, 0x00);

QString headingLine(const ShownTest &test)
{
    const Regrade &check = test.entry->check;
    QString line = QStringLiteral("Дата: %1.").arg(tableRow(test)[int(TableColumn::Date)]);
    if (check.graded)
        return line + QStringLiteral(" Верно: %1 из %2, оценка %3.").arg(check.right).arg(RowCount).arg(check.grade);
    return line + QStringLiteral(" Состояние: %1.").arg(stateText(test));
}

Block heading(const ShownTest &test, bool continued)
{
    QString who = joinedNames({test.name}) + QStringLiteral(", ") + test.entry->record.pupil.className;
    if (continued)
        return {{who + QStringLiteral(" (продолжение)"), 1, true}};
    return {{who, 1.4, true}, {headingLine(test)}};
}

Block taskBlock(const PupilTaskText &t, int i)
{
    const QString typed = t.typed.isEmpty() ? QStringLiteral("нет ответа") : t.typed;
    QString result = QStringLiteral("Ответ: %1 — %2.").arg(typed, t.verdict);
    if (!t.right.value_or(true))
        result += QStringLiteral(" Верный ответ: %1.").arg(t.answer);
    Block block{{QStringLiteral("%1. %2").arg(i + 1).arg(t.task), 1, true, Qt::black, 0.6},
                {result, 1, false, t.right ? (*t.right ? RightColor : WrongColor) : QColor(Qt::black)}};
    if (!t.explanation.isEmpty())
        block << Paragraph{t.explanation};
    if (!t.solution.isEmpty())
        block << Paragraph{QStringLiteral("Решение: ") + t.solution};
    return block;
}

QList<Block> taskBlocks(const ShownTest &test)
{
    // Of a file gone or no longer readable only its first read is known.
    if (test.entry->lost())
        return {{{QStringLiteral("Ответы не показаны: файла с ними больше нет или он не читается."), 1, false, Qt::black, 0.6}}};
    QList<Block> blocks;
    const QList<PupilTaskText> tasks = pupilTaskTexts(test);
    for (int i = 0; i < tasks.size(); ++i)
        blocks << taskBlock(tasks[i], i);
    return blocks;
}

// Sets and measures paragraphs at one body size, `width` device pixels wide.
class Setter {
public:
    Setter(QPainter &painter, double points, double width) : m_painter(painter), m_points(points), m_width(width) {}

    QFont font(const Paragraph &p) const
    {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSizeF(m_points * p.scale);
        f.setBold(p.bold);
        return f;
    }
    double lineHeight() const { return QFontMetricsF(font({}), m_painter.device()).lineSpacing(); }
    double height(const Paragraph &p) const
    {
        const QFontMetricsF metrics(font(p), m_painter.device());
        return p.spaceAbove * lineHeight()
               + metrics.boundingRect(QRectF(0, 0, m_width, 1e6), Qt::TextWordWrap, p.text).height();
    }
    double height(const Block &b) const
    {
        double h = 0;
        for (const Paragraph &p : b)
            h += height(p);
        return h;
    }
    // Draws the paragraph at `y`; returns the y below it.
    double draw(const Paragraph &p, double y) const
    {
        const double h = height(p);
        m_painter.setFont(font(p));
        m_painter.setPen(p.color);
        const double top = y + p.spaceAbove * lineHeight();
        m_painter.drawText(QRectF(0, top, m_width, y + h - top), Qt::TextWordWrap, p.text);
        return y + h;
    }

private:
    QPainter &m_painter;
    double m_points;
    double m_width;
};

// The largest body size, from the largest down to the smallest allowed,
// at which the page holds every block.
double fittingPoints(QPainter &painter, const QList<Block> &blocks, QSizeF page)
{
    double points = PupilPageMaxPoints;
    for (; points > PupilPageMinPoints; points -= 0.5) {
        const Setter setter(painter, points, page.width());
        double total = 0;
        for (const Block &b : blocks)
            total += setter.height(b);
        if (total <= page.height())
            break;
    }
    return points;
}

// One pupil's page, and the next ones their tasks spill onto.
void drawPupil(QPdfWriter &writer, QPainter &painter, const ShownTest &test)
{
    const QSizeF page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
    const QList<Block> tasks = taskBlocks(test);
    const Block top = heading(test, false);
    const Setter setter(painter, fittingPoints(painter, QList<Block>{top} + tasks, page), page.width());
    double y = 0;
    for (const Paragraph &p : top)
        y = setter.draw(p, y);
    for (const Block &block : tasks) {
        if (y + setter.height(block) > page.height() && y > 0) {
            writer.newPage();
            y = 0;
            for (const Paragraph &p : heading(test, true))
                y = setter.draw(p, y);
        }
        for (const Paragraph &p : block)
            y = setter.draw(p, y);
    }
}

QByteArray printedPages(const QList<ShownTest> &tests)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(QStringLiteral("Листы учеников"));
        writer.setCreator(QStringLiteral("drobi"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                         QPageLayout::Millimeter));
        writer.setResolution(300);
        QPainter painter(&writer);
        if (tests.isEmpty())
            Setter(painter, PupilPageMaxPoints, writer.width()).draw({QStringLiteral("Тестов нет.")}, 0);
        for (qsizetype i = 0; i < tests.size(); ++i) {
            if (i > 0)
                writer.newPage();
            drawPupil(writer, painter, tests[i]);
        }
    }
    return pdf.data();
}

} // namespace

bool writePupilPages(const QString &path, const QList<ShownTest> &tests, QString *error)
{
    const QByteArray pdf = printedPages(tests);
    if (pdf.isEmpty()) {
        if (error)
            *error = QStringLiteral("не удалось составить PDF");
        return false;
    }
    return writeFileAtomically(path, pdf, error);
}
