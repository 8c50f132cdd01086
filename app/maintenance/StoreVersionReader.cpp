#include "maintenance/StoreVersionReader.h"

#include "base/AppInfo.h"
#include "base/Log.h"
#include "model/ZRCoreDataFactory.h"

#include <QFile>
#include <QFileInfo>

using namespace Persistence;

int StoreVersionReader::currentModelVersion()
{
    return AppInfo::modelVersion();
}

int StoreVersionReader::versionForStoreURL(const QString& path)
{
    StoreError error;
    const auto metadata = StoreCoordinator::metadataForStore(path, &error);
    if (!metadata) {
        Log::write(QStringLiteral("%1: Error reading current meta data -- %2")
                       .arg(QStringLiteral("StoreVersionReader::versionForStoreURL"), error.toString()));
        return 0;
    }
    bool ok = false;
    const int version = metadata->value(QStringLiteral("ZRModelVersion")).toInt(&ok);
    return ok ? version : 0;
}

QString StoreVersionReader::pathForObjectModelForVersion(int version)
{
    const QString name = QStringLiteral("Keymoor_DataModel");
    return version == currentModelVersion() ? name : name + QString::number(version);
}

QString StoreVersionReader::resourcePath(const QString& name)
{
    return QStringLiteral(":/models/") + name + QStringLiteral(".mom");
}

std::shared_ptr<const ObjectModel> StoreVersionReader::managedObjectModelForVersion(int version)
{
    QString path = resourcePath(pathForObjectModelForVersion(version));
    if (!QFile::exists(path) && version >= 0 && version < LastLegacyVersion) {
        Log::write(QStringLiteral("No object model for version %1; reading it as version %2.")
                       .arg(version)
                       .arg(LastLegacyVersion));
        path = resourcePath(pathForObjectModelForVersion(LastLegacyVersion));
    }
    return ZRCoreDataFactory::newManagedObjectModelForURL(path);
}

StoreType StoreVersionReader::storeTypeForURL(const QString& path)
{
    if (const auto type = PersistentStore::detectType(path)) {
        return *type;
    }
    return QFileInfo(path).suffix().compare(QStringLiteral("xml"), Qt::CaseInsensitive) == 0 ? StoreType::XML
                                                                                             : StoreType::SQLite;
}
