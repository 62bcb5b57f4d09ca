// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page per pupil for «работа над ошибками» (A4 portrait, QPdfWriter): the
// name and class, the day and the grade, then the ten tasks with what was
// typed, the verdict, the explanation and the worked solution, in the words
// of the pupil's test in the window (pupil_test_view.h). Every text is
// drawn as plain text. The body is printed at 11 pt, down to 9 pt where a
// page would not hold it otherwise; past that, the tasks go on on a next
// page headed by the name again. Written whole or not at all, following
// no link (atomic_file.h).

#include "classview/class_model.h"

#include <QString>

// The smallest and the largest size of the pages' body text, in points.
inline constexpr double PupilPageMinPoints = 9;
inline constexpr double PupilPageMaxPoints = 11;

// Returns false, with the reason in `error`, when the file was not written.
bool writePupilPages(const QString &path, const QList<ShownTest> &tests, QString *error);
