// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/app_icon.h"

#include "window/painted_icon_engine.h"

#include <QPainter>
#include <QPainterPath>

namespace {

class ChalkboardIconEngine : public PaintedIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        // Drawn on the 64 x 64 grid of the SVG.
        painter->scale(rect.width() / 64.0, rect.height() / 64.0);

        const QColor wood(0x8a, 0x5a, 0x2b);
        const QColor chalk(0xf4, 0xf4, 0xec);
        painter->setPen(QPen(wood, 4));
        painter->setBrush(QColor(0x2f, 0x5d, 0x3a));
        painter->drawRoundedRect(QRectF(5, 7, 54, 44), 3, 3);
        painter->setPen(Qt::NoPen);
        painter->setBrush(wood);
        painter->drawRoundedRect(QRectF(12, 53, 40, 4), 1, 1);

        QPainterPath one;
        one.moveTo(28, 16);
        one.lineTo(33, 12);
        one.lineTo(33, 27);
        QPainterPath two;
        two.moveTo(26, 39);
        two.quadTo(32, 33, 37, 38);
        two.quadTo(39, 42, 26, 47);
        two.lineTo(38, 47);
        painter->setPen(QPen(chalk, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(one);
        painter->drawLine(QPointF(21, 31.5), QPointF(43, 31.5));
        painter->drawPath(two);
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::white);
        painter->drawRoundedRect(QRectF(44, 48, 7, 3), 1, 1);
        painter->restore();
    }


    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine *clone() const override { return new ChalkboardIconEngine; }
    QString key() const override { return QStringLiteral("drobi-chalkboard"); }
};

} // namespace

QIcon appIcon() { return QIcon(new ChalkboardIconEngine); }
