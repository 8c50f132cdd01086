#pragma once

#include <QImage>
#include <QSizeF>

#include <functional>

class QPagedPaintDevice;
class QString;

// Prints pictures, one per page, inside margins of 72 points: each is scaled to fit the printable
// area keeping its proportions, centred across the page and placed at its top. Used for attached
// images and the pages of attached PDF documents.
class PicturePrinter
{
public:
    PicturePrinter() = delete;

    static constexpr qreal Margin = 72.0;

    struct Options
    {
        // Pictures smaller than the printable area are enlarged to fill it (document pages); else
        // they print at their own size.
        bool enlarge = false;
        // A landscape picture on portrait paper (or the other way round) is turned a quarter turn
        // so that it uses the page.
        bool autoRotate = false;
    };

    // `picture(index, size)` gives picture `index` (counted from 0) for a printable area of `size`
    // device pixels; a null image fails the print. Only the pages of the device's page ranges are
    // printed when it has any. False (error filled) when the device cannot be painted on.
    using PictureSource = std::function<QImage(int index, QSize size)>;
    static bool print(QPagedPaintDevice* device, int pictureCount, const PictureSource& picture, Options options,
                      QString* error);

    // The rectangle a picture of `pictureSize` takes inside `area`.
    static QRectF placement(const QSizeF& pictureSize, const QRectF& area, bool enlarge);
};
