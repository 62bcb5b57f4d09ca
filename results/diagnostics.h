// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the programs' problem lines reach standard error. Each unit declares
// its own logging category, named "drobi.<unit>" (lcSettings is
// "drobi.settings"), and writes through it; the program prints each such
// message as one line, "<program>: <message>", the form an administrator
// meets in a terminal or a session's log. Messages of other categories
// (Qt's own) keep Qt's handling.
//
// QtCore only.

// Installs the handler; `program` ("drobi", "drobi --class") starts each
// line. Called once, first thing in main().
void installDiagnostics(const char *program);
