// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the answer boxes accept from the keyboard: the digits, "-" and
// Backspace.
//
// Only key presses that produce a character are filtered, by that
// character's code. Keys that produce none (arrows, Home, End), Delete and
// the focus moves Tab and Shift+Tab keep their usual roles. Every other code
// is dropped, control codes included, so Ctrl+V, Enter and Escape insert
// nothing. Text that an input method commits is held to the same digits and
// "-". Pasting through the context menu is not a key press and is not
// filtered; the answer check reads whatever text a box holds.

#include <QObject>
#include <cstdint>
#include <optional>

class QKeyEvent;

// The code to deliver for a key's character code: the same code for
// "0123456789-" and for Backspace (8), otherwise 0, which drops the key.
int16_t FilterKey(int16_t keyAscii);

// The character code a key press produces, or nullopt for a key that keeps
// its usual role (no character, Delete, Tab, Shift+Tab). With Ctrl held, a
// letter gives its control code (Ctrl+V is 22), as the X11 platform reports
// it, whichever way the event arrived.
std::optional<int16_t> keyAsciiOf(const QKeyEvent &event);

class AnswerKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
