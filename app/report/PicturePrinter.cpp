#include "PicturePrinter.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTransform>

#include <utility>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
    return false;
}

bool isLandscape(const QSizeF& size)
{
    return size.width() > size.height();
}

} // namespace

QRectF PicturePrinter::placement(const QSizeF& pictureSize, const QRectF& area, bool enlarge)
{
    if (pictureSize.isEmpty() || area.isEmpty()) {
        return {};
    }
    QSizeF size = pictureSize;
    if (enlarge || size.width() > area.width() || size.height() > area.height()) {
        size = pictureSize.scaled(area.size(), Qt::KeepAspectRatio);
    }
    return QRectF(area.left() + (area.width() - size.width()) / 2, area.top(), size.width(), size.height());
}

bool PicturePrinter::print(QPagedPaintDevice* device, int pictureCount, const PictureSource& picture, Options options,
                           QString* error)
{
    if (!device) {
        return fail(error, QStringLiteral("no printer"));
    }
    QPageLayout layout = device->pageLayout();
    layout.setUnits(QPageLayout::Point);
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(QMarginsF(Margin, Margin, Margin, Margin));
    device->setPageLayout(layout);

    QPainter painter;
    if (!painter.begin(device)) {
        return fail(error, QStringLiteral("the printer could not be started"));
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // The painter's origin is the top-left corner of the printable area, in device pixels.
    const QRectF area(0, 0, device->width(), device->height());
    const QPageRanges ranges = device->pageRanges();
    bool first = true;
    for (int index = 0; index < pictureCount; ++index) {
        if (!ranges.isEmpty() && !ranges.contains(index + 1)) {
            continue;
        }
        if (!std::exchange(first, false) && !device->newPage()) {
            painter.end();
            return fail(error, QStringLiteral("a new page could not be started"));
        }
        QImage image = picture(index, area.size().toSize());
        if (image.isNull()) {
            painter.end();
            return fail(error, QStringLiteral("page %1 could not be read").arg(index + 1));
        }
        if (options.autoRotate && isLandscape(image.size()) != isLandscape(area.size())) {
            image = image.transformed(QTransform().rotate(90));
        }
        // Pictures are measured in points (72 per inch) like the page; a picture's own pixels
        // count as points unless it is larger than the area.
        const qreal toDevice = device->logicalDpiX() / 72.0;
        const QSizeF natural(image.width() * toDevice / image.devicePixelRatio(),
                             image.height() * toDevice / image.devicePixelRatio());
        painter.drawImage(placement(natural, area, options.enlarge), image);
    }
    painter.end();
    return true;
}
