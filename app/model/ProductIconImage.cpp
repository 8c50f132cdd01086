#include "ProductIconImage.h"

#include "ZRBundle.h"
#include "desktop/ContentType.h"
#include "desktop/DesktopIcons.h"
#include "software/IconThemeLookup.h"
#include "software/InstalledApplication.h"
#include "software/InstalledSoftwareScanner.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace {

QImage readImage(QIODevice* device)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage bundleIcon(const QString& path)
{
    if (ContentType::bundleKindOfFolder(path) == BundleKind::None) {
        return {};
    }
    const std::optional<ZRBundle> bundle = ZRBundle::bundleWithPath(path);
    return bundle ? ProductIconImage::imageFromFile(ZR_pathForIconFile(*bundle)) : QImage();
}

// The icon a desktop entry or an AppImage names; null for other files.
QImage installedApplicationIcon(const QString& path)
{
    if (!path.endsWith(QLatin1String(".desktop")) && !InstalledSoftwareScanner::isAppImage(path)) {
        return {};
    }
    const std::optional<InstalledApplication> application = InstalledSoftwareScanner().application(path);
    if (!application || application->iconPath.isEmpty()) {
        return {};
    }
    return IconThemeLookup::imageForFile(application->iconPath, ProductIconImage::Size);
}

} // namespace

namespace ProductIconImage {

QImage imageForPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return {};
    }
    QImage image = imageFromFile(path);
    if (image.isNull()) {
        image = bundleIcon(path);
    }
    if (image.isNull()) {
        image = installedApplicationIcon(path);
    }
    if (image.isNull()) {
        image = DesktopIcons::iconForFile(path, Size);
    }
    return image;
}

QImage imageForApplication(const InstalledApplication& application)
{
    QImage image;
    if (!application.iconPath.isEmpty()) {
        image = IconThemeLookup::imageForFile(application.iconPath, Size);
    }
    return image.isNull() ? imageForPath(application.path) : image;
}

QImage imageFromFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaximumFileSize) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return readImage(&file);
}

QImage imageFromData(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        return {};
    }
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readImage(&buffer);
}

QImage iconImage(const QImage& image)
{
    QImage icon(Size, Size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    if (image.isNull()) {
        return icon;
    }
    const QImage fitted = image.scaled(Size, Size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage((Size - fitted.width()) / 2, (Size - fitted.height()) / 2, fitted);
    return icon;
}

QByteArray tiffData(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1); // LZW: lossless, and a fraction of the 1 MiB of a raw 512 x 512 image
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

} // namespace ProductIconImage
