#include "ZRExternalFile.h"

#include "base/FileWriting.h"
#include "base/Log.h"

#include <QDir>
#include <QFile>

QString ZRExternalFile::filePath() const
{
    return {};
}

QString ZRExternalFile::storedFilePath(const QString& folder, const char* missingFolderLine,
                                       const char* missingUuidLine) const
{
    if (folder.isEmpty()) {
        Log::write(QString::fromLatin1(missingFolderLine));
        return {};
    }
    const QString name = uuid();
    if (name.isEmpty()) {
        Log::write(QString::fromLatin1(missingUuidLine));
        return {};
    }
    if (!isSafeFileName(name)) {
        Log::write(QStringLiteral("Refusing stored file name that is not a plain name: %1").arg(name));
        return {};
    }
    return QDir(folder).filePath(name);
}

bool ZRExternalFile::isSafeFileName(const QString& uuid)
{
    return !uuid.isEmpty() && uuid != u"." && uuid != u".." && !uuid.contains(u'/') && !uuid.contains(QChar(0));
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

bool ZRExternalFile::writeContentData(const QByteArray& bytes, QString* error) const
{
    const QString path = filePath();
    if (path.isEmpty()) {
        if (error) {
            *error = QStringLiteral("no stored file path");
        }
        return false;
    }
    return FileWriting::writeData(bytes, path, error);
}

bool ZRExternalFile::copyContentFromFile(const QString& source, QString* error) const
{
    const QString path = filePath();
    if (path.isEmpty()) {
        if (error) {
            *error = QStringLiteral("no stored file path");
        }
        return false;
    }
    return FileWriting::copyFile(source, path, error);
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
