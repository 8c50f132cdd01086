#pragma once

#include <QByteArray>
#include <QString>

// The product icons of the phone page: small PNG images as data URLs, keyed by product uuid, so
// the page shows them without loading anything from outside the file.
namespace PhoneExportIcons {

// The side of the square each icon is fitted into, in pixels.
inline constexpr int Side = 64;

// PNG bytes of the image file at `path` scaled to fit Side x Side with its proportions kept;
// empty when the file is missing, too large or no image.
QByteArray scaledPng(const QString& path);

// A compact JSON object {"<uuid>": "data:image/png;base64,..."} with one member for every product
// of a "list --json" array whose "iconFile" can be read as an image; products without an icon, or
// with one that cannot be read, have no member. Not an array gives "{}".
QByteArray iconMap(const QByteArray& listJson);

} // namespace PhoneExportIcons
