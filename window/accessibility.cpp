// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accessibility.h"

#include "window/form1.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const char *const RoleProperty = "spokenRole";

void updateName(QLabel *label)
{
    const QString role = label->property(RoleProperty).toString();
    if (role.isEmpty())
        return;
    label->setAccessibleName(label->text().isEmpty() ? role : role + QStringLiteral(": ") + label->text());
}

// A column as it reads on screen: "-1 1/4", "-", "3/8", "12".
QString spoken(const QLabel *whole, const QLabel *num, const QLabel *den)
{
    QString text = whole->isHidden() ? QString() : whole->text();
    if (!num->isHidden()) {
        if (!text.isEmpty() && text != QStringLiteral("-"))
            text += QLatin1Char(' ');
        text += num->text();
        if (!den->isHidden())
            text += QLatin1Char('/') + den->text();
    }
    return text.isEmpty() ? QStringLiteral("0") : text;
}

// The rows whose operator is a single dot.
bool multiplies(int row) { return row == 0 || row == 3 || row == 7 || row == 8; }

} // namespace

void setSpokenRole(QLabel *label, const QString &role)
{
    label->setProperty(RoleProperty, role);
    updateName(label);
}

void setCaption(QLabel *label, const QString &text)
{
    label->setText(text);
    updateName(label);
}

void describeTasks(Form1 &form)
{
    for (int r = 0; r <= 9; ++r) {
        const QString task = spoken(form.Aw(r), form.At(r), form.Az(r))
                             + (multiplies(r) ? QStringLiteral(" умножить на ") : QStringLiteral(" разделить на "))
                             + spoken(form.Bw(r), form.Bt(r), form.Bz(r));
        form.Cw(r)->setAccessibleDescription(task);
        form.Ct(r)->setAccessibleDescription(task);
        form.Cz(r)->setAccessibleDescription(task);
    }
}
