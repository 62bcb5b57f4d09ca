// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tests as a register wants them: one row per pupil and day, the
// attempt the teacher chose (the last, the best or the first; or every
// attempt), sorted by surname (the name's first word, then the rest) in
// Russian alphabetical order. In projector mode the names shown are
// «Ученик N», and the rows follow those numbers, so the order tells nothing
// of the names.
//
// QtCore only.

#include "classview/class_model.h"

#include <QList>
#include <QString>

enum class AttemptChoice { Last, Best, First, All };

// Each choice, the word the command line takes (--attempt) and the
// window's caption.
struct AttemptWord {
    AttemptChoice choice;
    const char *word;
    const char *caption;
};
inline constexpr AttemptWord AttemptWords[] = {
    {AttemptChoice::Last, "last", "последняя"},
    {AttemptChoice::Best, "best", "лучшая"},
    {AttemptChoice::First, "first", "первая"},
    {AttemptChoice::All, "all", "все попытки"},
};

// The pupil's chosen attempt of each day among `tests` (as selectTests
// chose and counted them), by surname, with the day's other attempts and
// their practices (ShownTest::others). The best is the highest grade, then
// the most right answers, then the later; a test not graded is the worst.
QList<ShownTest> pupilRows(const QList<ShownTest> &tests, AttemptChoice choice);
