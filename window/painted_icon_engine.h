// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An icon painted with QPainter at whatever size is asked for, instead of
// decoded from an image file: no image plugin is loaded to show it.
// Subclasses implement paint() and clone().

#include <QIconEngine>

class PaintedIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
};
