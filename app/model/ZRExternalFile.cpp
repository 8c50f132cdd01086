#include "ZRExternalFile.h"

#include "core/Log.h"

#include <QFile>

QString ZRExternalFile::filePath() const
{
    return {};
}

QByteArray ZRExternalFile::contentData() const
{
    const QString path = filePath();
    if (path.isEmpty()) {
        Log::write(QStringLiteral("Missing external file path"));
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("Unable to read data for file path:%1").arg(path));
        return {};
    }
    return file.readAll();
}

QVariant ZRExternalFile::value(const QString& key) const
{
    if (!hasProperty(key)) {
        if (key == u"filePath") {
            const QString path = filePath();
            return path.isEmpty() ? QVariant() : QVariant(path);
        }
        if (key == u"contentData") {
            const QByteArray bytes = contentData();
            return bytes.isNull() ? QVariant() : QVariant(bytes);
        }
    }
    return ZRManagedObject::value(key);
}

void ZRExternalFile::awakeFromInsert()
{
    ZRManagedObject::awakeFromInsert();
    if (hasProperty(QStringLiteral("uuid"))) {
        setPrimitiveValue(QStringLiteral("uuid"), newUUIDString());
    }
}
