// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few control properties the window's logic uses in the design's own
// units: Left and Top in twips, the fore colour as an RGB value, and the
// timer's Interval, where 0 means stopped.

#include <cstdint>

class QTimer;
class QWidget;

int leftTwips(const QWidget *control);
int topTwips(const QWidget *control);
void setLeftTwips(QWidget *control, int twips);

// A colour as r + 256 * g + 65536 * b.
constexpr int32_t RGB(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

// Sets the text colour through the palette; a colour it already has is left
// alone, so an unchanged colour costs no repaint.
void setForeColor(QWidget *control, int32_t rgb);

// A running timer with interval 0 would fire continuously; here 0 stops it.
// Any other value (re)starts it with that period in milliseconds.
void setTimerInterval(QTimer *timer, int milliseconds);
