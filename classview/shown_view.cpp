// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/shown_view.h"

ShownView prepareView(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector, AttemptChoice attempt)
{
    ShownView view{filter, projector, attempt, pupilRows(selectTests(entries, filter, projector), attempt), {}, {}};
    view.cells.reserve(view.shown.size());
    for (const ShownTest &t : std::as_const(view.shown))
        view.cells << tableRow(t);
    view.summary = summarize(view.shown);
    return view;
}
