// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/screen_reader.h"

#include "window/messages.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

// A notice: a widget of no size, shown only while it speaks. Its accessible
// role is Notification, which Orca reads aloud when it comes on screen.
class Notice : public QWidget {
public:
    explicit Notice(QWidget *window) : QWidget(window)
    {
        setObjectName(QStringLiteral("screenReaderNotice"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 0, 0);
        hide();
    }
    QString text;
};

class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->isVisible())
            return {};
        return static_cast<const Notice *>(widget())->text;
    }
};

QAccessibleInterface *noticeFactory(const QString &, QObject *object)
{
    if (object->objectName() == QLatin1String("screenReaderNotice") && dynamic_cast<Notice *>(object))
        return new NoticeAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

QAccessible::UpdateHandler nextHandler = nullptr;
// The object whose focus event went out last.
QPointer<QObject> announcedFocus;
// Controls shown since the last refresh of screen readers' states.
QList<QPointer<QWidget>> shownControls;

void forward(QAccessibleEvent *event)
{
    if (nextHandler) {
        nextHandler(event);
        return;
    }
    // Qt hands an event to the platform's bridge only when no handler is
    // installed: step aside for this one event.
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

void refreshShownControls()
{
    const auto controls = std::exchange(shownControls, {});
    for (const QPointer<QWidget> &control : controls) {
        if (!control || !control->isVisible())
            continue;
        QAccessibleEvent event(control.data(), QAccessible::SelectionRemove);
        forward(&event);
    }
}

void onUpdate(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::Focus:
        announcedFocus = event->object();
        break;
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged: {
        const auto *widget = qobject_cast<QWidget *>(event->object());
        if (widget && widget->hasFocus() && widget != announcedFocus.data())
            return;
        break;
    }
    case QAccessible::ObjectShow:
        if (auto *widget = qobject_cast<QWidget *>(event->object())) {
            if (shownControls.isEmpty())
                QTimer::singleShot(0, refreshShownControls);
            shownControls.append(widget);
        }
        break;
    default:
        break;
    }
    forward(event);
}

} // namespace

void installScreenReaderEvents()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(noticeFactory);
    nextHandler = QAccessible::installUpdateHandler(onUpdate);
}

void announce(QWidget *window, const QString &text)
{
    auto *notice = window->findChild<Notice *>(QStringLiteral("screenReaderNotice"), Qt::FindDirectChildrenOnly);
    if (!notice)
        notice = new Notice(window);
    notice->hide();
    notice->text = text;
    notice->show();
    // Gone again once read: flat review and later notices do not find it.
    QTimer::singleShot(2000, notice, [notice] { notice->hide(); });
}

QString timeLeftNotice(int secondsLeft)
{
    switch (secondsLeft) {
    case 60:
        return Messages::OneMinuteLeft;
    case 30:
        return Messages::HalfMinuteLeft;
    default:
        return {};
    }
}
