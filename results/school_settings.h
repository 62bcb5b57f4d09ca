// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The school's settings: one INI file an administrator installs at a fixed
// path (or names with --settings to try it first). It turns on the results
// folder, says where pupils' names come from, and sets the test's length.
//
// Nothing here ever stops a pupil's test: a value that cannot be used is
// replaced by its default and named in `problems`, one line each, which the
// program prints on standard error and `--check-settings` lists. With no
// file the settings are the program's defaults, and nothing beyond the
// file's existence is looked at.
//
// QtCore only.

#include <QString>
#include <QStringList>

// The file a school installs; a pupil's own configuration cannot replace it.
inline constexpr char SystemSettingsPath[] = "/etc/xdg/drobi/drobi.conf";

enum class PupilNameSource { Ask, Login };

struct SchoolSettings {
    static constexpr int DefaultMinutes = 10;
    static constexpr int MinMinutes = 1;
    static constexpr int MaxMinutes = 90;

    // The file the settings came from; `fileFound` is false when there was none.
    QString file;
    bool fileFound = false;
    // The results folder, an absolute path; empty when results are off.
    QString folder;
    PupilNameSource nameSource = PupilNameSource::Ask;
    int minutes = DefaultMinutes;
    // Every value that could not be used, and why: one line each.
    QStringList problems;

    bool resultsOn() const { return !folder.isEmpty(); }
    int secondsAllowed() const { return minutes * 60; }
};

// Reads the settings from `file`. A missing file gives the defaults; a
// problem is recorded for it only when `mustExist` (a file named on the
// command line).
SchoolSettings readSchoolSettings(const QString &file, bool mustExist);

// The settings file the command line names with `--settings FILE`, or the
// system's file. `error` receives a line when --settings lacks its FILE.
QString settingsFileFromArguments(int argc, char *argv[], QString *error);

// The program's settings for this run: reads the file the command line
// names (or the system's file) and prints every problem on standard error,
// one line each.
SchoolSettings loadSchoolSettings(int argc, char *argv[]);
