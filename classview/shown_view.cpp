// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/shown_view.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

// How many of the longest texts of each column are measured when the
// columns are fitted.
constexpr qsizetype WidestPerColumn = 3;

// The rows with the most characters in some column: the widest texts are
// among them, whatever the font, as near as fitting a column needs.
QList<int> widestRows(const QList<QStringList> &cells)
{
    const qsizetype columns = cells.isEmpty() ? 0 : cells.first().size();
    std::set<int> rows;
    for (qsizetype c = 0; c < columns; ++c) {
        // The longest few of this column, longest first: (length, row).
        std::vector<std::pair<qsizetype, int>> top;
        for (int r = 0; r < int(cells.size()); ++r) {
            const qsizetype length = cells[r].value(c).size();
            if (qsizetype(top.size()) == WidestPerColumn && length <= top.back().first)
                continue;
            if (qsizetype(top.size()) == WidestPerColumn)
                top.pop_back();
            top.insert(std::upper_bound(top.begin(), top.end(), std::pair(length, r),
                                        [](const auto &a, const auto &b) { return a.first > b.first; }),
                       {length, r});
        }
        for (const auto &[length, r] : top)
            rows.insert(r);
    }
    return QList<int>(rows.begin(), rows.end());
}

} // namespace

ShownView prepareView(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector, AttemptChoice attempt)
{
    ShownView view{filter, projector, attempt, pupilRows(selectTests(entries, filter, projector), attempt), {}, {}, {}, {}};
    view.cells.reserve(view.shown.size());
    for (const ShownTest &t : std::as_const(view.shown))
        view.cells << tableRow(t);
    view.summary = summarize(view.shown);
    view.sections = summarySections(view.summary);
    view.widestRows = widestRows(view.cells);
    return view;
}
