#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

struct InstalledApplication;

// The picture a product shows as its icon and the form it is stored in: a 512 x 512 TIFF image.
namespace ProductIconImage {

inline constexpr int Size = 512;
// Larger files are not read as images (an icon is at most a few megabytes).
inline constexpr qint64 MaximumFileSize = 64 * 1024 * 1024;

// The image of the file at a path when it is one; else, for a bundle, its own icon; for a desktop
// entry or an AppImage, its application's icon; else the icon the desktop shows for that file.
// Null only when there is nothing at the path.
QImage imageForPath(const QString& path);

// The icon of an installed application: its icon file rendered at the icon size, else what
// imageForPath gives for its path. Null when neither gives an image.
QImage imageForApplication(const InstalledApplication& application);

// The image of an image file no larger than MaximumFileSize; null for anything else.
QImage imageFromFile(const QString& path);

// The image of image bytes (any format Qt reads); null when the bytes are no image.
QImage imageFromData(const QByteArray& bytes);

// The image fitted into the icon square with its proportions kept, centred on transparency.
QImage iconImage(const QImage& image);

// TIFF bytes of an image; empty when it cannot be encoded.
QByteArray tiffData(const QImage& image);

} // namespace ProductIconImage
