// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accessibility.h"

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

void describeTasks(const Ui::Form1 &ui, const TestSession &session)
{
    for (int16_t r = 0; r < RowCount; ++r) {
        const SessionRow &row = session.row(r);
        const QString task = QString::fromStdString(row.aShown.text())
                             + (row.operation == Operation::Multiply ? Messages::TimesSpoken : Messages::DividedSpoken)
                             + QString::fromStdString(row.bShown.text());
        for (QLineEdit *box : {ui.Cw(r), ui.Ct(r), ui.Cz(r)})
            box->setAccessibleDescription(task);
        // Reviewing the screen line by line, the row's middle line reads the
        // whole task here, at its "=", in place of the operands' figures.
        ui.Label3(r)->setAccessibleName(Messages::task(r) + QStringLiteral(": ") + task + QStringLiteral(" ="));
    }
}
