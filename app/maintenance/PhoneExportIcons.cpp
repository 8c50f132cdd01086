#include "PhoneExportIcons.h"

#include "base/ImageUtilities.h"
#include "model/ProductIconImage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace PhoneExportIcons {

QByteArray scaledPng(const QString& path)
{
    const QImage image = ProductIconImage::imageFromFile(path);
    if (image.isNull()) {
        return {};
    }
    // At least one pixel either way, so a very long strip still gives an image.
    const QSize size = image.size().scaled(Side, Side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QImage scaled = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return zr_dataForPNGRepresentation(scaled.convertToFormat(QImage::Format_ARGB32));
}

QByteArray iconMap(const QByteArray& listJson)
{
    QJsonObject icons;
    const QJsonArray products = QJsonDocument::fromJson(listJson).array();
    for (const QJsonValue& value : products) {
        const QJsonObject product = value.toObject();
        const QString uuid = product.value(QStringLiteral("uuid")).toString();
        const QString iconFile = product.value(QStringLiteral("iconFile")).toString();
        if (uuid.isEmpty() || iconFile.isEmpty()) {
            continue;
        }
        const QByteArray png = scaledPng(iconFile);
        if (!png.isEmpty()) {
            icons.insert(uuid, QString::fromLatin1("data:image/png;base64," + png.toBase64()));
        }
    }
    return QJsonDocument(icons).toJson(QJsonDocument::Compact);
}

} // namespace PhoneExportIcons
