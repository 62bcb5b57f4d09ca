// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/line_control.h"

#include "runtime/accessible_controls.h"
#include "runtime/twips.h"

#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cstdlib>

LineControl::LineControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    registerControlAccessibility();
    place();
}

void LineControl::setX1(int twips) { m_x1 = twips; place(); }
void LineControl::setY1(int twips) { m_y1 = twips; place(); }
void LineControl::setX2(int twips) { m_x2 = twips; place(); }
void LineControl::setY2(int twips) { m_y2 = twips; place(); }

void LineControl::setEnds(int x1, int y1, int x2, int y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    place();
}

void LineControl::place()
{
    // The box spans the two end points; a horizontal or vertical line gets
    // one pixel across for its width. A bar from X1 720 to X2 1080 twips
    // covers exactly the 24 pixels from 48 to 71.
    const int left = twipsToPx(std::min(m_x1, m_x2));
    const int top = twipsToPx(std::min(m_y1, m_y2));
    const int right = twipsToPx(std::max(m_x1, m_x2));
    const int bottom = twipsToPx(std::max(m_y1, m_y2));
    setGeometry(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPoint origin = pos();
    const QPoint from(twipsToPx(m_x1) - origin.x(), twipsToPx(m_y1) - origin.y());
    const QPoint to(twipsToPx(m_x2) - origin.x(), twipsToPx(m_y2) - origin.y());
    if (from.y() == to.y()) {
        // A horizontal bar: fill whole pixels, so it stays crisp at any scale.
        const int x = std::min(from.x(), to.x());
        painter.fillRect(QRect(x, from.y(), std::abs(to.x() - from.x()), 1),
                         palette().color(QPalette::WindowText));
        return;
    }
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(from, to);
}
