// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's style: the platform's default style, unchanged but for the
// icon of the menu bar's overflow button. That button only appears when a
// menu bar is too narrow for its menus, which never happens in this window;
// yet the default style loads its icon from an image file as the menu bar is
// created, and looking for a reader of that file loads every image-format
// plugin (SVG, JPEG, GIF...) at start-up. Here the icon is painted instead.

class QStyle;

// A new style for QApplication::setStyle(), which takes ownership.
QStyle *createAppStyle();
