// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/painted_icon_engine.h"

#include <QPainter>
#include <QPixmap>

QPixmap PaintedIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
}
