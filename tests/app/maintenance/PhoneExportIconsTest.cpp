// The icons of the phone page: fitted into 64 x 64 with their proportions kept, whatever size they
// come in; nothing for a path that holds no image.
#include "maintenance/PhoneExportIcons.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage decoded(QByteArray png)
{
    QBuffer buffer(&png);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.format(), "png");
    return reader.read();
}

} // namespace

TEST(PhoneExportIcons, FitsEveryImageInto64PixelsKeepingItsProportions)
{
    QTemporaryDir dir;
    const struct
    {
        QSize source;
        QSize expected;
    } cases[] = {
        {{512, 512}, {64, 64}},
        {{300, 150}, {64, 32}},
        {{20, 40}, {32, 64}}, // a small icon is scaled up to the same size as the others
        {{1000, 10}, {64, 1}},
    };
    for (const auto& example : cases) {
        QImage image(example.source, QImage::Format_ARGB32);
        image.fill(Qt::darkCyan);
        const QString source = dir.filePath(QStringLiteral("icon.png"));
        ASSERT_TRUE(image.save(source, "PNG"));
        const QImage icon = decoded(PhoneExportIcons::scaledPng(source));
        EXPECT_EQ(icon.size(), example.expected) << example.source.width() << "x" << example.source.height();
        EXPECT_EQ(icon.pixelColor(0, 0), QColor(Qt::darkCyan));
    }
    EXPECT_TRUE(PhoneExportIcons::scaledPng(dir.path()).isEmpty()); // a folder
    EXPECT_TRUE(PhoneExportIcons::scaledPng(dir.filePath(QStringLiteral("missing"))).isEmpty());
}
