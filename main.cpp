// drobi: a timed classroom test on multiplying and dividing fractions.

#include "runtime/translations.h"
#include "window/app_style.h"
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

    // The menu stays in the window as designed, also on desktops with a
    // global menu bar; and Qt need not ask the session bus about one.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    // A steady text cursor: a blinking one repaints the answer box and the
    // frame beneath it twice a second for the whole test, and blinking is
    // hard on some pupils' eyes.
    QApplication::setCursorFlashTime(0);
    QApplication::setStyle(createAppStyle());
    installRussianTranslations(app);
    Form1 form;
    form.show();
    return app.exec();
}
