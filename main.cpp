// SPDX-License-Identifier: GPL-3.0-or-later
// drobi: a timed classroom test on multiplying and dividing fractions.

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

} // namespace

int main(int argc, char *argv[])
{
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
