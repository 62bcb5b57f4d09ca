// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window shows for a filter, made ready on a worker thread: the
// tests chosen, each one's cells in the table and the class summary. With
// tens of thousands of records these take long enough to be felt; the
// window's thread then only draws them.
//
// QtCore only.

#include "classview/class_model.h"
#include "classview/class_summary.h"
#include "classview/pupil_rows.h"

struct ShownView {
    ClassFilter filter;
    bool projector = false;
    AttemptChoice attempt = AttemptChoice::Last;
    QList<ShownTest> shown;
    // tableRow() of each shown test.
    QList<QStringList> cells;
    ClassSummary summary;
    // The summary as the window draws it (summarySections()).
    QList<SummarySection> sections;
    // The rows holding each column's longest texts, in ascending order: with
    // the first rows, what the columns are fitted to.
    QList<int> widestRows;

    // Whether it was made for this filter and mode.
    bool isFor(const ClassFilter &f, bool projectorMode, AttemptChoice choice) const
    {
        return f.group == filter.group && f.date == filter.date && f.nameSearch == filter.nameSearch
               && projectorMode == projector && choice == attempt;
    }
};

// The tests the filter lets through, one row per pupil with the attempt chosen.
ShownView prepareView(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector, AttemptChoice attempt);
