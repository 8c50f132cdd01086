#pragma once

#include <QString>
#include <QVariantMap>

struct InstalledApplication;

#include <optional>

// What a product record takes from an installed application. For a bundle: its information
// property list ("Contents/Info.plist", XML or binary) merged over the localized InfoPlist.strings,
// where a key in both keeps the value of Info.plist. For a desktop entry or an AppImage: what its
// entry, its AppStream metainfo and its package say (InstalledSoftwareScanner). Each field is empty
// when the application does not say.
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
    // The information of a bundle folder, a desktop file, an AppImage or a desktop-file ID (with or
    // without ".desktop"); nullopt when the text names none of them.
    static std::optional<ProductBundleInfo> fromApplication(const QString& pathOrId);
    // The identifier is the application's ID; the website is its own, else the identifier's.
    static ProductBundleInfo fromInstalledApplication(const InstalledApplication& application);
    // The file of an application named by its path or its desktop-file ID: an existing path as it
    // is, else the desktop file of that ID; empty when there is none.
    static QString applicationPath(const QString& pathOrId);

    // "http://" and the identifier's parts without the last one, in reverse order, joined by ".":
    // "com.example.App" gives "http://example.com", "com.example" gives "http://com". Empty for an
    // identifier of one part and when the result is no usable web address.
    static QString websiteForBundleIdentifier(const QString& identifier);

    // The last component of a path without its extension, also when the extension is repeated at
    // the end ("Name.app.app" gives "Name"); a dot inside the name stays ("Net.application.app"
    // gives "Net.application").
    static QString titleFromPath(const QString& path);
};
