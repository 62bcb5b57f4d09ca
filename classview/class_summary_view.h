// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class window's «Сводка по классу»: each section of the summary
// (class_summary.h) as a chart with a table of the same figures beside it,
// which Tab and screen readers reach, and the section's figures under it.

#include "classview/class_model.h"
#include "classview/class_summary.h"

#include <QScrollArea>

class QVBoxLayout;

class SummaryView : public QScrollArea {
public:
    explicit SummaryView(QWidget *parent = nullptr);

    // Draws the summary anew.
    void setSummary(const ClassSummary &summary);
    // The same with its sections made already (summarySections(summary)):
    // with every pupil's name in them, they take long to make.
    void setSummary(const ClassSummary &summary, const QList<SummarySection> &sections);

private:
    QVBoxLayout *m_sections = nullptr;
};
