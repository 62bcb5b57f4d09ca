// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// drobi's icon: a fraction in chalk on a school board, the same picture as
// data/drobi.svg (which the desktop entry installs). The window paints it at
// whatever size the windowing system asks for, so showing it decodes no
// image file and needs no image plugin.

#include <QIcon>

QIcon appIcon();
