// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program's controls tell screen readers and other accessibility
// clients, by two rules that hold for every control:
//
// - What is not on screen says nothing. A control that is not visible has no
//   name, description, text or value, and change events that would carry its
//   content are not sent, until it is shown. The window keeps texts in hidden
//   labels that the pupil must not read before their time (the correct
//   answers, the grade); this rule keeps them sealed without any of them
//   being treated specially.
// - Drawings say nothing at all: the fraction bars and operator dots have the
//   Graphic role and no name.
//
// Labels, frames, buttons and text boxes get interfaces of their own for
// this; they never take a name from their frame's title or a nearby label,
// as Qt's would, so an empty label is silent instead of repeating «Задания».
// A label that names another control (its buddy) is silent too: its text is
// read as part of that control's name.
//
// The same hook applies the screen-reader workarounds of
// screen_reader_workarounds.h, built only against the Qt version they were
// made for: a text box taking the focus is announced, and a control coming on
// screen becomes reviewable.

class QString;
class QWidget;

// Installs, once per process, the accessibility factory and the event filter
// that carry out both rules. Safe to call any number of times.
void registerControlAccessibility();

// Speaks text through screen readers without moving the focus: a notice of
// the Notification role comes on screen in `window` for a moment.
void announce(QWidget *window, const QString &text);
