#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// What a product record takes from an installed application or other bundle: its information
// property list ("Contents/Info.plist", XML or binary) merged over the localized InfoPlist.strings,
// where a key in both keeps the value of Info.plist. Each field is empty when the bundle does not
// say.
struct ProductBundleInfo
{
    QString title; // CFBundleName, else CFBundleExecutable
    QString version; // CFBundleShortVersionString, else CFBundleVersion
    QString identifier; // CFBundleIdentifier
    QString publisher; // crashReporterCompanyName, else SmartCrashReports_CompanyName
    QString email; // crashReporterEmail
    QString website; // made from the identifier, see websiteForBundleIdentifier()

    // The information of the bundle at a folder; nullopt when the path is no folder or the folder
    // has no information at all.
    static std::optional<ProductBundleInfo> fromBundle(const QString& path);
    static ProductBundleInfo fromDictionary(const QVariantMap& info);

    // "http://" and the identifier's parts without the last one, in reverse order, joined by ".":
    // "com.example.App" gives "http://example.com", "com.example" gives "http://com". Empty for an
    // identifier of one part and when the result is no usable web address.
    static QString websiteForBundleIdentifier(const QString& identifier);

    // The last component of a path without its extension, also when the extension is repeated at
    // the end ("Name.app.app" gives "Name"); a dot inside the name stays ("Net.application.app"
    // gives "Net.application").
    static QString titleFromPath(const QString& path);
};
