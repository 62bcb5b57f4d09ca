// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/message_box.h"

#include "runtime/accessible_controls.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace {

// The title a box without a title of its own shows.
QString applicationTitle(QWidget *parent)
{
    if (parent && !parent->window()->windowTitle().isEmpty())
        return parent->window()->windowTitle();
    return QCoreApplication::applicationName();
}

} // namespace

void MsgBox(QWidget *parent, const QString &prompt, MsgBoxStyle style,
            const std::optional<QString> &title, const QString &informative,
            const std::function<void(QMessageBox &)> &beforeOpening)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    box.setWindowTitle(title ? *title : applicationTitle(parent));
    switch (style) {
    case MsgBoxStyle::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgBoxStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgBoxStyle::OkOnly:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    // Qt's Russian translation leaves this button in Latin letters.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("ОК"));
    box.setWindowModality(Qt::ApplicationModal);
    if (beforeOpening)
        beforeOpening(box);
    box.exec();
}

void changeInformative(QMessageBox &box, const QString &text)
{
    if (box.informativeText() == text)
        return;
    box.setInformativeText(text);
    if (box.isVisible())
        announce(&box, text);
}
