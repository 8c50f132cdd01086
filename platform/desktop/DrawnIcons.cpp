#include "DrawnIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage transparentCanvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

} // namespace

namespace DrawnIcons {

QImage application(int size)
{
    QImage image = transparentCanvas(size);
    QPainter painter(&image);
    prepare(painter);
    const qreal s = size;
    const QRectF tile(s * 0.08, s * 0.08, s * 0.84, s * 0.84);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, QColor(0x6A, 0x9B, 0xF4));
    fill.setColorAt(1, QColor(0x2B, 0x55, 0xB0));
    painter.setPen(QPen(QColor(0x1E, 0x3F, 0x88), s * 0.012));
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, s * 0.18, s * 0.18);

    // The emblem: a ring around a diamond.
    const QPointF centre = tile.center();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, s * 0.05));
    painter.drawEllipse(centre, s * 0.24, s * 0.24);
    QPainterPath diamond;
    diamond.moveTo(centre.x(), centre.y() - s * 0.13);
    diamond.lineTo(centre.x() + s * 0.13, centre.y());
    diamond.lineTo(centre.x(), centre.y() + s * 0.13);
    diamond.lineTo(centre.x() - s * 0.13, centre.y());
    diamond.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(diamond);
    return image;
}

QImage document(int size)
{
    QImage image = transparentCanvas(size);
    QPainter painter(&image);
    prepare(painter);
    const qreal s = size;
    const qreal left = s * 0.18;
    const qreal right = s * 0.82;
    const qreal top = s * 0.06;
    const qreal bottom = s * 0.94;
    const qreal fold = s * 0.2;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    painter.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), s * 0.012));
    painter.setBrush(Qt::white);
    painter.drawPath(page);

    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    corner.closeSubpath();
    painter.setBrush(QColor(0xDD, 0xDD, 0xDD));
    painter.drawPath(corner);

    painter.setPen(QPen(QColor(0xB8, 0xB8, 0xB8), s * 0.025, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 6; ++line) {
        const qreal y = top + fold + s * 0.1 + line * s * 0.1;
        const qreal end = line == 5 ? left + (right - left) * 0.55 : right - s * 0.08;
        painter.drawLine(QPointF(left + s * 0.08, y), QPointF(end, y));
    }
    return image;
}

QImage folder(int size)
{
    QImage image = transparentCanvas(size);
    QPainter painter(&image);
    prepare(painter);
    const qreal s = size;
    painter.setPen(QPen(QColor(0x3B, 0x6E, 0xA8), s * 0.012));
    painter.setBrush(QColor(0x5E, 0x95, 0xD1));
    painter.drawRoundedRect(QRectF(s * 0.06, s * 0.18, s * 0.38, s * 0.16), s * 0.04, s * 0.04);
    QLinearGradient front(QPointF(0, s * 0.26), QPointF(0, s * 0.86));
    front.setColorAt(0, QColor(0x8C, 0xBB, 0xEC));
    front.setColorAt(1, QColor(0x4F, 0x87, 0xC9));
    painter.setBrush(front);
    painter.drawRoundedRect(QRectF(s * 0.06, s * 0.26, s * 0.88, s * 0.6), s * 0.05, s * 0.05);
    return image;
}

} // namespace DrawnIcons
