#pragma once

#include <QString>
#include <QVariant>

// Read-only access to the application's own property list (resources/Info.plist): version, model
// version and the web addresses the commands open. Values are read at run time, never hard-coded.
namespace AppInfo {

// The whole property list as a dictionary; empty if the resource is missing or unreadable.
const QVariantMap& properties();

QVariant value(const QString& key);
QString stringValue(const QString& key);

QString executableName(); // "CFBundleExecutable"
QString shortVersion(); // "CFBundleShortVersionString"
QString bundleVersion(); // "CFBundleVersion"
int modelVersion(); // "ZRModelVersion"

// "<short version> (<bundle version>)", the form shown in logs, feedback mail and the about box.
QString prettyAppVersion();

} // namespace AppInfo
