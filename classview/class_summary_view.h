// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class window's «Сводка по классу»: each section of the summary
// (class_summary.h) as a chart with a table of the same figures beside it,
// which Tab and screen readers reach, and the section's figures under it.

#include "classview/class_model.h"

#include <QScrollArea>

class QVBoxLayout;

class SummaryView : public QScrollArea {
public:
    explicit SummaryView(QWidget *parent = nullptr);

    // Draws the summary anew.
    void setSummary(const ClassSummary &summary);

private:
    QVBoxLayout *m_sections = nullptr;
};
