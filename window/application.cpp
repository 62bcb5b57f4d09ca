// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/application.h"

#include "runtime/translations.h"
#include "window/app_style.h"

#include <QApplication>

void prepareApplication()
{
    // The menu stays in the window as designed, also on desktops with a
    // global menu bar; and Qt need not ask the session bus about one.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
}

void setUpApplication(QApplication &app)
{
    // The name of the installed desktop entry: on Wayland it is the window's
    // app ID, by which docks and taskbars find the entry's name and icon
    // (DROBI_APP_ID: the build names it once, in CMakeLists.txt).
    QGuiApplication::setDesktopFileName(QStringLiteral(DROBI_APP_ID));
    // A steady text cursor: a blinking one repaints the answer box and the
    // frame beneath it twice a second for the whole test, and blinking is
    // hard on some pupils' eyes.
    QApplication::setCursorFlashTime(0);
    QApplication::setStyle(createAppStyle());
    installRussianTranslations(app);
}
