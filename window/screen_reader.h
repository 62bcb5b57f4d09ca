// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window does so that a screen reader (Orca 43 over AT-SPI, with
// Qt 6.4) hears it as a sighted pupil sees it, beyond the controls' own
// accessible interfaces:
//
// - A text box taking the focus is announced. Qt sends a box's caret move
//   before its focus event; Orca takes the caret move as a silent change of
//   focus and then ignores the focus event as old news. The caret moves and
//   selection changes of a box that holds the focus but whose focus event
//   has not gone out yet are dropped: the focus event announces the box and
//   its text, and the caret moves of typing follow it as before.
// - Controls coming on screen become reviewable. Qt reports them as
//   "showing" but never as "visible", and AT-SPI clients keep the states
//   they once read; Orca re-reads an object's states when it hears that
//   its selection state changed. Each control shown reports one such
//   change (it stays unselected) once the window is back in its event
//   loop.
// - Spoken notices that leave the focus where it is: announce() shows, for
//   a moment, an invisible notification whose text Orca speaks.
//
// The hook passes every event on to the handler installed before it (the
// controls' own, which keeps hidden controls silent), so install it after
// registerControlAccessibility().

class QString;
class QWidget;

// Installs the event hook once per process; further calls do nothing.
void installScreenReaderEvents();

// Speaks text through screen readers without moving the focus. window is
// the top-level window the notice belongs to.
void announce(QWidget *window, const QString &text);

// The notice for a count of seconds left on the clock, or an empty text
// when the count calls for none (one minute and half a minute left do).
QString timeLeftNotice(int secondsLeft);
