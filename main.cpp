// SPDX-License-Identifier: GPL-3.0-or-later
// drobi: a timed classroom test on multiplying and dividing fractions.

#include "classview/launcher.h"
#include "window/application.h"
#include "window/form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Whether Qt has somewhere to open the window. Only when none of the ways it
// could find a display is present do we say so ourselves, in one line,
// instead of the toolkit's longer report.
bool displayAvailable(int argc, char *argv[])
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"}) {
        if (std::getenv(name))
            return true;
    }
    // An explicit platform (offscreen, vnc...) needs no display of its own.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// `--help` and `--version` print and end the program, as every packaged
// program's do, before any display is needed. Every other argument is left
// to Qt as before. Returns the exit status, or -1 when neither was asked for.
int printAndExit(int argc, char *argv[])
{
    const char *text = nullptr;
    for (int i = 1; i < argc && !text; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            text = "drobi " DROBI_VERSION "\n";
        else if (std::strcmp(argv[i], "--help") == 0)
            text = "Usage: drobi\n"
                   "A ten-minute classroom test on multiplying and dividing common fractions,\n"
                   "in Russian. It opens one window, reads no files and stores nothing.\n"
                   "\n"
                   "  --class [FOLDER] ...  the teacher's class window (drobi --class --help)\n"
                   "  --help     print this text and exit\n"
                   "  --version  print the version and exit\n"
                   "\n"
                   "drobi has no other options; Qt's own (such as -platform) are passed on.\n"
                   "The desktop entry is io.github.drobi.Drobi.desktop; see drobi(1).\n";
    }
    if (!text)
        return -1;
    // A text that could not be written (a full disk, a closed pipe) is a failure.
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The teacher's class window is a program of its own: see classview/launcher.h.
    if (const int status = handOverToClassView(argc, argv); status >= 0)
        return status;
    if (const int status = printAndExit(argc, argv); status >= 0)
        return status;
    if (!displayAvailable(argc, argv)) {
        std::fputs("drobi: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "start it from a desktop session, or without one as: xvfb-run -a drobi\n",
                   stderr);
        return 1;
    }

    prepareApplication();
    QApplication app(argc, argv);
    setUpApplication(app);
    Form1 form;
    form.show();
    return app.exec();
}
