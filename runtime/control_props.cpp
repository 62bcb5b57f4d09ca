// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/control_props.h"

#include "runtime/twips.h"

#include <QColor>
#include <QPalette>
#include <QTimer>
#include <QWidget>

namespace {

// A position read back from the screen: whole pixels, so a multiple of 15.
constexpr int pxToTwips(int px) { return px * TwipsPerPixel; }

QColor colorFromRGB(int32_t rgb)
{
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

} // namespace

int leftTwips(const QWidget *control) { return pxToTwips(control->x()); }
int topTwips(const QWidget *control) { return pxToTwips(control->y()); }

void setLeftTwips(QWidget *control, int twips)
{
    control->move(twipsToPx(twips), control->y());
}

void setForeColor(QWidget *control, int32_t rgb)
{
    const QColor color = colorFromRGB(rgb);
    QPalette palette = control->palette();
    if (palette.color(QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    control->setPalette(palette);
}

void setTimerInterval(QTimer *timer, int milliseconds)
{
    timer->setInterval(milliseconds);
    if (milliseconds == 0)
        timer->stop();
    else
        timer->start();
}
