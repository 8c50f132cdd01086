#include "ImageUtilities.h"

#include <QBuffer>
#include <QPainter>

QByteArray zr_dataForPNGRepresentation(const QImage& image)
{
    if (image.isNull()) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QImage zr_imageScaledToSize(const QImage& image, const QSize& size, ImageInterpolation interpolation)
{
    if (size.isEmpty()) {
        return {};
    }
    QImage scaled(size, QImage::Format_ARGB32_Premultiplied);
    if (scaled.isNull()) {
        return {};
    }
    scaled.fill(Qt::transparent);
    if (image.isNull()) {
        return scaled;
    }
    QPainter painter(&scaled);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, interpolation != ImageInterpolation::None);
    // Qt's smooth scaling averages the source pixels, which keeps shrunken icons crisp.
    const QImage source = interpolation == ImageInterpolation::High
        ? image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        : image;
    painter.drawImage(QRect(QPoint(0, 0), size), source);
    painter.end();
    return scaled;
}
