// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/decoration_accessible.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <mutex>

namespace {

class DecorationAccessible : public QAccessibleWidget {
public:
    explicit DecorationAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Graphic) {}
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *decorationFactory(const QString &className, QObject *object)
{
    if ((className == QLatin1String("LineControl") || className == QLatin1String("DotControl")) && object->isWidgetType())
        return new DecorationAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void registerDecorationAccessibility()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(decorationFactory); });
}
