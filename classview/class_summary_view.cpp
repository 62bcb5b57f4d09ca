// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_summary_view.h"

#include "classview/class_charts.h"
#include "classview/class_summary.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The most of a cell's text the window lays out: the names of a school
// year's pupils in one «Кто» cell would hold the window for seconds at
// every layout. The cell is cut between two names; the exports keep all.
// A thousand characters (some forty names) fill more than the table shows
// at once, and lay out in a few milliseconds: the rows' heights are
// measured after every read, and the text again at every paint.
constexpr qsizetype MaxCellCharacters = 1000;

QString shownCell(const QString &text)
{
    if (text.size() <= MaxCellCharacters)
        return text;
    const qsizetype cut = text.lastIndexOf(QStringLiteral(", "), MaxCellCharacters);
    return text.left(cut > 0 ? cut : MaxCellCharacters) + QStringLiteral(", … (все — в экспорте)");
}

// A table that screen readers and the keyboard reach, holding a chart's figures.
QTableWidget *figuresTable(const SummarySection &section)
{
    auto *table = new QTableWidget(int(section.rows.size()), int(section.header.size()));
    table->setHorizontalHeaderLabels(section.header);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setAccessibleName(section.title);
    for (int r = 0; r < section.rows.size(); ++r)
        for (int c = 0; c < section.rows[r].size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(shownCell(section.rows[r][c].text)));
    // Columns as wide as their figures, the last (the names) taking the rest
    // and wrapping; rows as high as their text.
    table->setWordWrap(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(int(section.header.size()) - 1, QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumWidth(320);
    table->setMinimumHeight(std::min(420, 34 + 30 * int(std::max<qsizetype>(section.rows.size(), 2))));
    return table;
}

// The line under a table: its figures, or what an empty table means.
QLabel *noteUnder(const SummarySection &section)
{
    const QString note = section.rows.isEmpty() && !section.whenEmpty.isEmpty() ? section.whenEmpty : figuresLine(section);
    if (note.isEmpty())
        return nullptr;
    auto *label = new QLabel(note);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QGroupBox *sectionBox(const SummarySection &section, const ClassSummary &summary)
{
    auto *box = new QGroupBox(section.title);
    auto *row = new QHBoxLayout(box);
    if (section.charted)
        row->addWidget(makeChartView(section.chart, summary, box), 3);
    auto *side = new QVBoxLayout;
    side->addWidget(figuresTable(section));
    if (QLabel *note = noteUnder(section))
        side->addWidget(note);
    row->addLayout(side, 2);
    return box;
}

} // namespace

SummaryView::SummaryView(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    auto *sections = new QWidget;
    m_sections = new QVBoxLayout(sections);
    setWidget(sections);
}

void SummaryView::setSummary(const ClassSummary &summary)
{
    setSummary(summary, summarySections(summary));
}

void SummaryView::setSummary(const ClassSummary &summary, const QList<SummarySection> &sections)
{
    while (QLayoutItem *item = m_sections->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const SummarySection &section : sections)
        m_sections->addWidget(sectionBox(section, summary));
    m_sections->addStretch();
}
