// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fraction bars and operator dots are drawings, not controls: a screen reader
// should find nothing to say about them. Qt would otherwise name them after
// the frame that holds them ("Задания").

// Registers, once per process, the accessibility factory that gives the
// line and dot controls an interface with no name and the Graphic role.
void registerDecorationAccessibility();
