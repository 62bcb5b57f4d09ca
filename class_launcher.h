// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `drobi --class ...` hands over to the class window's own program,
// drobi-class, so that the pupil's drobi links none of its libraries (Qt
// Charts, Qt SQL, libxlsxwriter) and starts as fast as before.
//
// drobi-class is looked for beside the running drobi (the build folder),
// then in the installation's libexec folder relative to it
// (../libexec/drobi/, so any prefix works), then at the configured
// installation path. Standard C++ and POSIX only.

// -1 when the arguments hold no "--class". Otherwise drobi-class replaces
// this process with the other arguments (this does not return), or, when it
// cannot be started, the reason is printed and 1 is returned.
int handOverToClassView(int argc, char *argv[]);
