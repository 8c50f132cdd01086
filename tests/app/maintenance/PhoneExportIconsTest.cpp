// The icons of the phone page: fitted into 64 x 64 with their proportions kept, whatever size they
// come in, and anything that is no readable image left out without failing the rest.
#include "maintenance/PhoneExportIcons.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PhoneExportIconsTest : public ::testing::Test
{
protected:
    QString picture(const QString& name, const QSize& size) const
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::darkCyan);
        const QString file = m_dir.filePath(name);
        EXPECT_TRUE(image.save(file, "PNG"));
        return file;
    }

    QString file(const QString& name, const QByteArray& bytes) const
    {
        QFile out(m_dir.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    }

    static QImage decoded(QByteArray png)
    {
        QBuffer buffer(&png);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), "png");
        return reader.read();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PhoneExportIconsTest, FitsEveryImageInto64PixelsKeepingItsProportions)
{
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
        const QString source = picture(QStringLiteral("icon.png"), example.source);
        const QImage icon = decoded(PhoneExportIcons::scaledPng(source));
        EXPECT_EQ(icon.size(), example.expected) << example.source.width() << "x" << example.source.height();
        EXPECT_EQ(icon.pixelColor(0, 0), QColor(Qt::darkCyan));
    }
}

TEST_F(PhoneExportIconsTest, OnlyProductsWithAReadableIconGetAnEntry)
{
    const QString good = picture(QStringLiteral("good.png"), {128, 128});
    const QString garbage = file(QStringLiteral("garbage"), "not an image");
    const QString truncated = file(QStringLiteral("truncated.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    EXPECT_TRUE(PhoneExportIcons::scaledPng(garbage).isEmpty());
    EXPECT_TRUE(PhoneExportIcons::scaledPng(m_dir.path()).isEmpty()); // a folder
    EXPECT_TRUE(PhoneExportIcons::scaledPng(m_dir.filePath(QStringLiteral("missing"))).isEmpty());

    const QJsonArray products {
        QJsonObject {{QStringLiteral("uuid"), QStringLiteral("A")}, {QStringLiteral("iconFile"), good}},
        QJsonObject {{QStringLiteral("uuid"), QStringLiteral("B")}, {QStringLiteral("iconFile"), garbage}},
        QJsonObject {{QStringLiteral("uuid"), QStringLiteral("C")}, {QStringLiteral("iconFile"), truncated}},
        QJsonObject {{QStringLiteral("uuid"), QStringLiteral("D")}, {QStringLiteral("iconFile"), QJsonValue()}},
        QJsonObject {{QStringLiteral("iconFile"), good}}, // no uuid to key it by
    };
    const QJsonObject map
        = QJsonDocument::fromJson(PhoneExportIcons::iconMap(QJsonDocument(products).toJson())).object();
    EXPECT_EQ(map.keys(), QStringList {QStringLiteral("A")});
    EXPECT_TRUE(map.value(QStringLiteral("A")).toString().startsWith(QLatin1String("data:image/png;base64,")));
    EXPECT_EQ(PhoneExportIcons::iconMap("{\"uuid\":\"A\"}"), QByteArray("{}"));
    EXPECT_EQ(PhoneExportIcons::iconMap("not json"), QByteArray("{}"));
}
