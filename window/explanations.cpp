// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/explanations.h"

#include "session/test_session.h"
#include "window/form1_ui.h"
#include "window/messages.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

namespace {

// Shows a verdict's tooltip while it has the keyboard focus, as the mouse
// would on hovering it. Qt hides a tooltip on any key's release, and the
// release of the Tab that brought the focus comes after the focus: the
// tooltip is shown again then.
class TooltipOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *label = static_cast<QLabel *>(watched);
        const bool tabbedIn = event->type() == QEvent::KeyRelease && label->hasFocus()
                              && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Tab
                                  || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Backtab);
        if (event->type() == QEvent::FocusIn || tabbedIn)
            QToolTip::showText(label->mapToGlobal(QPoint(0, label->height())), label->toolTip(), label);
        else if (event->type() == QEvent::FocusOut)
            QToolTip::hideText();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void explainRows(const Ui::Form1 &ui, const TestSession &session)
{
    for (int16_t r = 0; r < RowCount; ++r) {
        const Diagnosis &d = session.row(r).diagnosis;
        const QString explanation = QString::fromStdString(d.explanation);
        const QString solution = d.solution.empty() ? QString() : Messages::Solution + QString::fromStdString(d.solution);
        ui.Result(r)->setAccessibleDescription(solution.isEmpty() ? explanation : explanation + QLatin1Char('\n') + solution);
        // As rich text the tooltip wraps its lines instead of running wider
        // than the window.
        ui.Result(r)->setToolTip(QStringLiteral("<p>") + explanation.toHtmlEscaped() + QStringLiteral("</p>")
                                 + (solution.isEmpty() ? QString() : QStringLiteral("<p>") + solution.toHtmlEscaped() + QStringLiteral("</p>")));
    }
}

void makeVerdictsReachable(const Ui::Form1 &ui)
{
    for (int16_t r = 0; r < RowCount; ++r) {
        QLabel *verdict = ui.Result(r);
        verdict->setFocusPolicy(Qt::TabFocus);
        QWidget::setTabOrder(ui.Cz(r), verdict);
        verdict->installEventFilter(new TooltipOnFocus(verdict));
    }
}
