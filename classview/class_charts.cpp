// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Every text of a chart `pixels` high, the title bold and a sixth larger.
void setTextPixels(QChart *chart, int pixels)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    for (QAbstractAxis *axis : chart->axes())
        axis->setLabelsFont(font);
    for (QAbstractSeries *series : chart->series()) {
        for (QBarSet *set : static_cast<QAbstractBarSeries *>(series)->barSets())
            set->setLabelFont(font);
    }
    font.setPixelSize(pixels + pixels / 6);
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(pixels / 2, pixels / 4, pixels / 2, pixels / 4));
}

QChart *buildChart(SummaryChart which, const ClassSummary &s)
{
    auto *chart = new QChart;
    chart->setTitle(chartTitle(which));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    QStringList categories;
    auto *set = new QBarSet(chartTitle(which));
    set->setLabelColor(Qt::black);
    double top = 1;
    switch (which) {
    case SummaryChart::Grades:
        for (int g = 2; g <= 5; ++g) {
            categories << QString::number(g);
            *set << s.grades[size_t(g - 2)];
            top = std::max(top, double(s.grades[size_t(g - 2)]));
        }
        set->setColor(QColor(0x3b, 0x6e, 0xa8));
        break;
    case SummaryChart::Tasks:
        for (int i = 0; i < RowCount; ++i) {
            categories << QString::number(i + 1);
            *set << sharePercent(s.rightPerRow[size_t(i)], s.tests);
        }
        top = 100;
        set->setColor(QColor(0x2e, 0x8b, 0x57));
        break;
    case SummaryChart::Mistakes:
        // The most frequent at the top: a horizontal series draws its first category at the bottom.
        for (qsizetype i = s.mistakes.size() - 1; i >= 0; --i) {
            categories << s.mistakes[i].title;
            *set << double(s.mistakes[i].pupils.size());
            top = std::max(top, double(s.mistakes[i].pupils.size()));
        }
        set->setColor(QColor(0xb2, 0x45, 0x3a));
        break;
    }

    QAbstractBarSeries *series = which == SummaryChart::Mistakes ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                                                 : new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(which == SummaryChart::Tasks ? QStringLiteral("@value %") : QStringLiteral("@value"));
    series->setLabelsPrecision(2);
    chart->addSeries(series);

    auto *names = new QBarCategoryAxis;
    names->append(categories);
    auto *values = new QValueAxis;
    values->setRange(0, which == SummaryChart::Tasks ? 100 : std::ceil(top * 1.15));
    if (which != SummaryChart::Tasks)
        values->applyNiceNumbers();
    values->setLabelFormat(QStringLiteral("%.0f"));
    const bool horizontal = which == SummaryChart::Mistakes;
    chart->addAxis(names, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(values);
    return chart;
}

} // namespace

QString chartTitle(SummaryChart chart)
{
    switch (chart) {
    case SummaryChart::Grades: return QStringLiteral("Оценки: сколько учеников");
    case SummaryChart::Tasks: return QStringLiteral("Верных ответов по заданиям, %");
    case SummaryChart::Mistakes: return QStringLiteral("Ошибки: сколько учеников");
    }
    return QString();
}

QWidget *makeChartView(SummaryChart chart, const ClassSummary &summary, QWidget *parent)
{
    auto *view = new QChartView(buildChart(chart, summary), parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, chart == SummaryChart::Mistakes ? 80 + 36 * std::max<qsizetype>(2, summary.mistakes.size()) : 280);
    // The same figures are in the table beside it, which the keyboard and
    // screen readers reach; the picture itself takes no focus.
    view->setFocusPolicy(Qt::NoFocus);
    view->setAccessibleName(chartTitle(chart));
    view->setAccessibleDescription(QStringLiteral("Те же числа — в таблице рядом"));
    return view;
}

QImage chartImage(SummaryChart chart, const ClassSummary &summary, QSize size, int textPixels)
{
    QGraphicsScene scene;
    QChart *drawn = buildChart(chart, summary);
    setTextPixels(drawn, textPixels);
    scene.addItem(drawn);
    drawn->resize(size);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    scene.setSceneRect(area);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
    return image;
}
