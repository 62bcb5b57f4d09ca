// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `drobi --check-settings`: the administrator's check of a settings file.
// Names every problem in one line each, then, with a results folder, writes
// a probe file into it the way a record is delivered, reads it back and
// removes it. Writes nothing else, and nothing on this computer.
//
// QtCore only.

#include <cstdio>

// Checks the settings the command line names (`--settings FILE`, or the
// system's file), reporting on `out`. Returns the exit status: 0 when
// everything can be used, 1 on any problem.
int checkSchoolSettings(int argc, char *argv[], std::FILE *out);
