// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the other files drobi reads that people and programs
// write: a practice record (the bytes of a <id>.drobi-practice.json) and the
// school's class lists (the bytes of [results] classes=). The first byte of
// the input chooses the reader; the rest is the file.
//
// Checked for every input: reading never crashes, hangs or throws; a
// practice record is either read or refused with a reason, never both, and a
// read one names each kind and keeps its tasks' rows within 0..9; every pupil
// of a class list has a class and a name, a class written as
// normalClassName writes it, and is listed under that class.

#include "fraction/task_generator.h"
#include "results/class_list.h"
#include "results/practice_record.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void practiceRecord(const QByteArray &bytes)
{
    const PracticeRead read = parsePracticeRecord(bytes);
    check(read.record.has_value() == read.problem.isEmpty());
    if (!read.record)
        return;
    for (const PracticeRecordKind &kind : read.record->kinds) {
        check(!kind.kind.isEmpty());
        for (const PracticeRecordTask &task : kind.tasks)
            check(task.row >= 0 && task.row < RowCount);
    }
}

void classList(const QByteArray &bytes)
{
    const ClassList list = parseClassList(bytes);
    for (const ClassList::Pupil &p : list.pupils) {
        check(!p.className.isEmpty() && !p.name.isEmpty());
        check(normalClassName(p.className) == p.className);
        check(list.namesIn(p.className).contains(p.name));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 0)
        practiceRecord(bytes);
    else
        classList(bytes);
    return 0;
}
