// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accessibility.h"

#include "fraction/task_generator.h"
#include "window/form1_ui.h"
#include "window/messages.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const char *const RoleProperty = "spokenRole";

void updateName(QLabel *label)
{
    const QString role = label->property(RoleProperty).toString();
    if (role.isEmpty())
        return;
    // An empty label says nothing, not even its role.
    label->setAccessibleName(label->text().isEmpty() ? QString() : role + QStringLiteral(": ") + label->text());
}

// A column as it reads on screen: "-1 1/4", "-", "3/8", "12".
QString spoken(const FractionColumn &c)
{
    QString text = c.whole->isHidden() ? QString() : c.whole->text();
    if (!c.num->isHidden()) {
        if (!text.isEmpty() && text != QStringLiteral("-"))
            text += QLatin1Char(' ');
        text += c.num->text();
        if (!c.den->isHidden())
            text += QLatin1Char('/') + c.den->text();
    }
    return text.isEmpty() ? QStringLiteral("0") : text;
}

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

void describeTasks(const Ui::Form1 &ui)
{
    for (int16_t r = 0; r <= 9; ++r) {
        const QString task = spoken(ui.column(r, 1))
                             + (RowOperation[size_t(r)] == Operation::Multiply ? Messages::TimesSpoken
                                                                              : Messages::DividedSpoken)
                             + spoken(ui.column(r, 2));
        for (QLineEdit *box : {ui.Cw(r), ui.Ct(r), ui.Cz(r)})
            box->setAccessibleDescription(task);
        // Reviewing the screen line by line, the row's middle line reads the
        // whole task here, at its "=", in place of the operands' figures.
        ui.Label3(r)->setAccessibleName(Messages::task(r) + QStringLiteral(": ") + task + QStringLiteral(" ="));
    }
}
