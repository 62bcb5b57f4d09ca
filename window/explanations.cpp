// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/explanations.h"

#include "fraction/diagnosis.h"
#include "fraction/task_generator.h"
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

void explainRows(const Ui::Form1 &ui, const std::array<RowTask, 10> &tasks, const std::array<bool, 10> &boxesWereEmpty)
{
    for (int16_t r = 0; r <= 9; ++r) {
        const RowTexts typed = ui.typedAnswer(r);
        QLabel *verdict = ui.Result(r);
        const Diagnosis d = DiagnoseAnswer(tasks[size_t(r)].a, tasks[size_t(r)].b, RowOperation[size_t(r)],
                                           typed.view(), boxesWereEmpty[size_t(r)], verdict->text() == Messages::Right);
        QString text = QString::fromStdString(d.explanation);
        if (!d.solution.empty())
            text += QLatin1Char('\n') + Messages::Solution + QString::fromStdString(d.solution);
        verdict->setToolTip(text);
        verdict->setAccessibleDescription(text);
        if (verdict->focusPolicy() == Qt::NoFocus) {
            // Tab reaches the verdict right after its row's boxes.
            verdict->setFocusPolicy(Qt::TabFocus);
            QWidget::setTabOrder(ui.Cz(r), verdict);
            verdict->installEventFilter(new TooltipOnFocus(verdict));
        }
    }
}
