// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message box the window's logic calls: a text (a line feed breaks it
// into lines), an optional icon, a title and a single OK button. It is modal
// and returns when the user has closed it.

#include <QString>
#include <functional>
#include <optional>

class QMessageBox;
class QWidget;

// The style flags of a message box: the icon, always with a single OK button.
enum class MsgBoxStyle {
    OkOnly = 0,
    Critical = 16,
    Information = 64,
};

// Without a title the box shows the application's title, which is the
// caption of the program's window (the parent's top-level window). An
// informative line, when given, stands below the text. `beforeOpening`,
// when given, is called with the box just before it opens: a caller that
// changes the open box (changeInformative) connects to it there.
void MsgBox(QWidget *parent, const QString &prompt, MsgBoxStyle style,
            const std::optional<QString> &title = std::nullopt, const QString &informative = QString(),
            const std::function<void(QMessageBox &)> &beforeOpening = {});

// Replaces the informative line of a box, in place while it is open, and
// says the new line to screen readers, which do not read a changed label
// of their own accord.
void changeInformative(QMessageBox &box, const QString &text);
