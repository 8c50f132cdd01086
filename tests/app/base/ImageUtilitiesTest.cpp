#include "base/ImageUtilities.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 40x20 image: left half opaque red, right half fully transparent.
QImage halfRedImage()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 20, Qt::red);
    return image;
}

} // namespace

TEST(ImageUtilities, ScalesToExactlyTheSizeAskedStretchingTheImage)
{
    for (const ImageInterpolation interpolation :
         {ImageInterpolation::None, ImageInterpolation::Low, ImageInterpolation::High}) {
        const QImage scaled = zr_imageScaledToSize(halfRedImage(), QSize(16, 32), interpolation);
        ASSERT_EQ(scaled.size(), QSize(16, 32));
        // Stretched, not letter-boxed: red reaches the top and bottom rows of the left side ...
        EXPECT_EQ(scaled.pixelColor(1, 0), QColor(Qt::red));
        EXPECT_EQ(scaled.pixelColor(1, 31), QColor(Qt::red));
        // ... and the transparent half stays transparent over the transparent background.
        EXPECT_EQ(scaled.pixelColor(14, 16).alpha(), 0);
        EXPECT_TRUE(scaled.hasAlphaChannel());
    }
}

TEST(ImageUtilities, PngBytesReadBackAsTheSameImage)
{
    const QImage original = halfRedImage();
    const QByteArray png = zr_dataForPNGRepresentation(original);
    ASSERT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage read = QImage::fromData(png, "PNG");
    ASSERT_EQ(read.size(), original.size());
    EXPECT_EQ(read.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(read.pixelColor(35, 5).alpha(), 0);
    EXPECT_TRUE(zr_dataForPNGRepresentation(QImage()).isEmpty());
}
