// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/explanations.h"

#include "session/session.h"
#include "window/form1_ui.h"
#include "window/messages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

#include <algorithm>

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

// A tooltip wraps its lines at about this many average characters: a long
// explanation takes two or three lines beside the window, not one line
// twice the window's width nor a narrow column.
constexpr int TooltipColumns = 56;

// One paragraph of a tooltip. A product, a quotient or a sum in a formula
// stays on one line, and so does a minus with the bracket it stands before
// (a word joiner between them): lines break between words and after "=".
QString tooltipParagraph(const QString &text)
{
    const QString minusBracket = QChar(0x2212) + QStringLiteral("(");
    QString html = text.toHtmlEscaped().replace(minusBracket, QChar(0x2212) + QStringLiteral("\u2060("));
    for (const QString &sign : {QStringLiteral("\u00B7"), QStringLiteral(":"), QStringLiteral("+")})
        html.replace(QLatin1Char(' ') + sign + QLatin1Char(' '), QStringLiteral("&nbsp;") + sign + QStringLiteral("&nbsp;"));
    return QStringLiteral("<p>") + html + QStringLiteral("</p>");
}

// The explanation and the solution as rich text, so that the tooltip wraps.
// Left to itself a word-wrapped tooltip picks a squat shape, a column a few
// words wide; a table as wide as the longest paragraph, up to the limit
// above, keeps short texts on one line each and wraps the long ones.
QString tooltip(const QString &explanation, const QString &solution)
{
    const QFontMetrics metrics(QToolTip::font());
    int longest = 0;
    for (const QString &text : {explanation, solution})
        longest = std::max(longest, metrics.horizontalAdvance(text));
    const int width = std::min(longest + metrics.averageCharWidth(), metrics.averageCharWidth() * TooltipColumns);
    return QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>").arg(width)
           + tooltipParagraph(explanation) + (solution.isEmpty() ? QString() : tooltipParagraph(solution))
           + QStringLiteral("</td></tr></table>");
}

} // namespace

void explainRows(const Ui::Form1 &ui, const TestSession &session)
{
    for (int16_t r = 0; r < RowCount; ++r) {
        const Diagnosis &d = session.row(r).diagnosis;
        const QString explanation = QString::fromStdString(d.explanation);
        const QString solution = d.solution.empty() ? QString() : Messages::Solution + QString::fromStdString(d.solution);
        ui.Result(r)->setAccessibleDescription(solution.isEmpty() ? explanation : explanation + QLatin1Char('\n') + solution);
        ui.Result(r)->setToolTip(tooltip(explanation, solution));
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
