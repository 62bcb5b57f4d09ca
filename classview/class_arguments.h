// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of drobi-class:
//
//   drobi-class [FOLDER] [--settings FILE] [--export FILE.csv|.xlsx|.pdf]
//               [--date YYYY-MM-DD|all] [--group CLASS] [--projector]
//               [--attempt last|best|first|all] [--pupils]
//
// with Qt's own options (-platform NAME, -style NAME, …) left to Qt. The
// day chosen is today unless --date names another or all of them, for the
// window and --export alike. --settings is read by the settings loader.

#include "classview/class_model.h"
#include "classview/pupil_rows.h"

#include <QDate>
#include <QString>
#include <QStringList>

struct ClassArguments {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    // Empty: the folder of the school's settings.
    QString folder;
    // Empty: the window opens.
    QString exportPath;
    // --pupils: the .pdf is a page per pupil.
    bool pupilPages = false;
    ClassFilter filter;
    bool projector = false;
    // Which of a pupil's tests of a day is the pupil's row.
    AttemptChoice attempt = AttemptChoice::Last;
    // -platform names where Qt draws: no display is needed then.
    bool platformGiven = false;
};

// Reads `arguments` (without the program's name), with `today` the day
// chosen unless --date says otherwise. Returns false, with the reason in
// `error`, when they cannot be used (--pupils without a .pdf to export).
bool parseClassArguments(const QStringList &arguments, const QDate &today, ClassArguments *parsed, QString *error);
