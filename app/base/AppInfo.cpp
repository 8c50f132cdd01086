#include "AppInfo.h"

#include "plist/PropertyList.h"

#include <QFile>

namespace AppInfo {

const QVariantMap& properties()
{
    static const QVariantMap map = [] {
        QFile file(QStringLiteral(":/Info.plist"));
        if (!file.open(QIODevice::ReadOnly)) {
            return QVariantMap();
        }
        const auto value = PropertyList::fromData(file.readAll());
        return value ? value->toMap() : QVariantMap();
    }();
    return map;
}

QVariant value(const QString& key)
{
    return properties().value(key);
}

QString stringValue(const QString& key)
{
    return value(key).toString();
}

QString executableName()
{
    return stringValue(QStringLiteral("CFBundleExecutable"));
}

QString shortVersion()
{
    return stringValue(QStringLiteral("CFBundleShortVersionString"));
}

QString bundleVersion()
{
    return stringValue(QStringLiteral("CFBundleVersion"));
}

int modelVersion()
{
    return value(QStringLiteral("ZRModelVersion")).toInt();
}

QString prettyAppVersion()
{
    return QStringLiteral("%1 (%2)").arg(shortVersion(), bundleVersion());
}

} // namespace AppInfo
