// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/screen_reader_workarounds.h"

#include <QAccessible>
#include <QtGlobal>

// The Qt version the workarounds were made for (see the header): the one
// place that decides whether they are built at all.
#if QT_VERSION == QT_VERSION_CHECK(6, 4, 2)

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

// Qt 6.4.2 sends a text box's caret move before its focus event. Orca 43.1
// takes the caret move as a silent change of focus and then ignores the
// focus event as old news, so the box is never announced. The caret moves
// and selection changes of a box that has the focus but whose focus event
// has not gone out yet are dropped; those of typing follow the focus event.
namespace focusFirst {

// The object whose focus event went out last.
QPointer<QObject> announcedFocus;

bool pass(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::Focus:
        announcedFocus = event->object();
        return true;
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged: {
        const auto *widget = qobject_cast<QWidget *>(event->object());
        return !widget || !widget->hasFocus() || widget == announcedFocus.data();
    }
    default:
        return true;
    }
}

} // namespace focusFirst

// Qt 6.4.2 reports a control coming on screen as "showing" but never as
// "visible", and clients keep the states they once read: Orca 43.1's flat
// review then skips what it saw hidden. Orca re-reads an object's states
// when told its selection changed, so each control shown reports one such
// change (it stays unselected) once the event loop is reached. The change
// is raised as any other event, through the seal of accessible_controls.cpp.
namespace statesReread {

// Controls shown since screen readers were last told to read their states.
QList<QPointer<QWidget>> shownControls;

void tellShownControls()
{
    const auto controls = std::exchange(shownControls, {});
    for (const QPointer<QWidget> &control : controls) {
        if (!control || !control->isVisible())
            continue;
        QAccessibleEvent event(control.data(), QAccessible::SelectionRemove);
        QAccessible::updateAccessibility(&event);
    }
}

void note(QAccessibleEvent *event)
{
    if (event->type() != QAccessible::ObjectShow)
        return;
    if (auto *widget = qobject_cast<QWidget *>(event->object())) {
        if (shownControls.isEmpty())
            QTimer::singleShot(0, tellShownControls);
        shownControls.append(widget);
    }
}

} // namespace statesReread

// Reads DROBI_NO_SCREEN_READER_WORKAROUNDS, once per process.
bool workaroundsOn()
{
    static const bool on = qEnvironmentVariableIntValue("DROBI_NO_SCREEN_READER_WORKAROUNDS") != 1;
    return on;
}

} // namespace

bool passScreenReaderWorkarounds(QAccessibleEvent *event)
{
    if (!workaroundsOn())
        return true;
    if (!focusFirst::pass(event))
        return false;
    statesReread::note(event);
    return true;
}

#else

bool passScreenReaderWorkarounds(QAccessibleEvent *)
{
    return true;
}

#endif
