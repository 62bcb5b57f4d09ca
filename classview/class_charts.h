// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class summary's three charts: the grades, the share of right answers
// per task, and how many pupils made each kind of mistake. Drawn with Qt
// Charts, which no header shows: a move to another charting module touches
// this unit alone.

#include "classview/class_summary.h"

#include <QImage>
#include <QSize>

class QWidget;

// A view of the chart, for the window.
QWidget *makeChartView(SummaryChart chart, const ClassSummary &summary, QWidget *parent);
// The chart drawn into an image of `size` pixels, for the PDF, every text
// in it `textPixels` high (the title a little larger).
QImage chartImage(SummaryChart chart, const ClassSummary &summary, QSize size, int textPixels);
// The chart's title.
QString chartTitle(SummaryChart chart);
