// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/dot_control.h"

#include "runtime/accessible_controls.h"

#include <QPainter>

DotControl::DotControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    registerControlAccessibility();
}

void DotControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(rect()));
}
