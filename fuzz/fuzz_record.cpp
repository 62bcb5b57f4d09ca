// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the class window's record reader: arbitrary bytes as the
// content of a results file, then, when they read as a record, its grading
// again by the window's rules.
//
// Checked for every input: reading never crashes, hangs or throws; a file
// is either read or refused with a reason, never both; a read record has
// ten rows and counts within 0..10; the grading gives a count within 0..10,
// the grade that count earns (0 when unfinished), and says the record does
// not agree whenever its stored count or grade differ from the grading.

#include "results/result_record.h"
#include "classview/regrade.h"
#include "session/session.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordRead read = parseRecord(bytes);
    check(read.record.has_value() == read.problem.isEmpty());
    if (!read.record)
        return 0;
    const ResultRecord &r = *read.record;
    check(r.right >= 0 && r.right <= RowCount && r.wrong >= 0 && r.wrong <= RowCount);
    const Regrade g = regradeRecord(r);
    check(g.right >= 0 && g.right <= RowCount);
    check(g.grade == (g.graded ? GradeFor(g.right) : 0));
    if (g.graded && (r.right != g.right || r.grade != g.grade))
        check(!g.problems.isEmpty());
    for (const RowCheck &row : g.rows)
        check(row.taskValid || !row.right);
    return 0;
}
