#pragma once

#include "ZRKitGlobal.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// A bundle: a folder that describes itself with an information property list. Two layouts are
// read: "X.app/Contents/Info.plist" with resources in "Contents/Resources", and the flat layout of
// widgets with Info.plist and the resources at the top. Localized resources live in
// "<Resources>/<language>.lproj". Nothing is cached: every query reads the files again.
class ZRKIT_EXPORT ZRBundle
{
public:
    // The bundle at a folder; std::nullopt when the path is not a folder.
    static std::optional<ZRBundle> bundleWithPath(const QString& path);

    QString bundlePath() const { return m_path; }
    QString resourcePath() const;

    // Info.plist (XML or binary) as a dictionary; empty when it is missing or unreadable.
    QVariantMap infoDictionary() const;

    // The entries of InfoPlist.strings of the first localization, in the order of the preferred
    // languages, that has one; empty when none has.
    QVariantMap localizedInfoDictionary() const;

    // Names of the ".lproj" folders (without the extension), sorted.
    QStringList localizations() const;

    // Languages tried for localized resources, most wanted first, as BCP 47 names ("fr-CA") or
    // folder names ("French"). Defaults to the default locale's UI languages. The development
    // region of the bundle and English are always tried after them.
    QStringList preferredLanguages() const { return m_preferredLanguages; }
    void setPreferredLanguages(const QStringList& languages) { m_preferredLanguages = languages; }

    // The localization folders to search, best first.
    QStringList localizationSearchOrder() const;

    // The path of an image resource, searched in the resources folder and then in the localized
    // folders. A name without extension is tried with the usual image extensions. Names that
    // would leave the resources folder ("..", absolute paths) are refused. Empty when not found.
    QString pathForImageResource(const QString& name) const;

private:
    explicit ZRBundle(const QString& path);
    QString contentsPath() const;

    QString m_path;
    QStringList m_preferredLanguages;
};

// A new dictionary of the localized entries overlaid by the plain ones: for a key in both, the
// value of Info.plist is kept.
ZRKIT_EXPORT QVariantMap ZR_prioritizedInfoDictionary(const ZRBundle& bundle);

// The path of the image named by "CFBundleIconFile"; empty when the key or the file is missing.
ZRKIT_EXPORT QString ZR_pathForIconFile(const ZRBundle& bundle);
