// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Twips, the unit of the window's design: 1440 to the inch, 15 to a logical
// pixel. Qt's high-DPI scaling takes logical pixels on to device pixels.

constexpr int TwipsPerPixel = 15;

constexpr int twipsToPx(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}
