// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/app_style.h"

#include "window/painted_icon_engine.h"

#include <QPainter>
#include <QProxyStyle>

namespace {

// A chevron "»" in black, grey when disabled.
class ChevronIconEngine : public PaintedIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(mode == QIcon::Disabled ? Qt::gray : Qt::black, 1.5));
        const QRectF r = QRectF(rect).adjusted(rect.width() * 0.25, rect.height() * 0.3, -rect.width() * 0.25,
                                               -rect.height() * 0.3);
        for (const qreal x : {r.left(), r.center().x()}) {
            const QPointF points[] = {{x, r.top()}, {x + r.width() / 2, r.center().y()}, {x, r.bottom()}};
            painter->drawPolyline(points, 3);
        }
        painter->restore();
    }


    QIconEngine *clone() const override { return new ChevronIconEngine; }
};

class AppStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override
    {
        if (icon == SP_ToolBarHorizontalExtensionButton)
            return QIcon(new ChevronIconEngine);
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

} // namespace

QStyle *createAppStyle() { return new AppStyle; }
