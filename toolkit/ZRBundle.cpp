#include "ZRBundle.h"

#include "ZRLog.h"
#include "ZRStringsFile.h"
#include "plist/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

namespace {

const QString InfoPlistName = QStringLiteral("Info.plist");
const QString LocalizedInfoName = QStringLiteral("InfoPlist.strings");
const QString LocalizationSuffix = QStringLiteral(".lproj");

// Image types tried, in this order, for a resource named without extension.
const QStringList ImageExtensions = {QStringLiteral("icns"), QStringLiteral("png"), QStringLiteral("tiff"),
                                     QStringLiteral("tif"),  QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                     QStringLiteral("gif"),  QStringLiteral("bmp"), QStringLiteral("svg")};

// Old bundles name their localization folders after the language in English.
const QHash<QString, QString>& legacyLanguageNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("en"), QStringLiteral("English")}, {QStringLiteral("fr"), QStringLiteral("French")},
        {QStringLiteral("de"), QStringLiteral("German")},  {QStringLiteral("ja"), QStringLiteral("Japanese")},
        {QStringLiteral("es"), QStringLiteral("Spanish")}, {QStringLiteral("it"), QStringLiteral("Italian")},
        {QStringLiteral("nl"), QStringLiteral("Dutch")},
    };
    return names;
}

// Folder names that may hold a language, best first: "fr-CA" gives fr_CA, fr-CA, fr, French.
QStringList folderNamesFor(const QString& language)
{
    QString underscored = language;
    underscored.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString base = underscored.section(QLatin1Char('_'), 0, 0);
    QStringList names {underscored, language, base};
    const auto& legacy = legacyLanguageNames();
    if (const auto found = legacy.constFind(base.toLower()); found != legacy.cend()) {
        names.append(found.value());
    }
    if (const QString code = legacy.key(language); !code.isEmpty()) {
        names.append(code);
    }
    return names;
}

// A resource name that stays inside the folder it is looked up in.
bool isContainedName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/'))) {
        return false;
    }
    const QStringList parts = name.split(QLatin1Char('/'));
    return !parts.contains(QStringLiteral("..")) && !parts.contains(QStringLiteral("."));
}

QString existingFile(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

std::optional<ZRBundle> ZRBundle::bundleWithPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        return std::nullopt;
    }
    return ZRBundle(path);
}

ZRBundle::ZRBundle(const QString& path)
    : m_path(QDir::cleanPath(path))
    , m_preferredLanguages(QLocale().uiLanguages())
{ }

QString ZRBundle::contentsPath() const
{
    const QString contents = QDir(m_path).filePath(QStringLiteral("Contents"));
    return QFileInfo(contents).isDir() ? contents : m_path;
}

QString ZRBundle::resourcePath() const
{
    const QString contents = contentsPath();
    return contents == m_path ? m_path : QDir(contents).filePath(QStringLiteral("Resources"));
}

QVariantMap ZRBundle::infoDictionary() const
{
    const QString path = QDir(contentsPath()).filePath(InfoPlistName);
    if (!QFileInfo::exists(path)) {
        return {};
    }
    QString error;
    const std::optional<QVariant> value = PropertyList::fromFile(path, &error);
    if (!value || value->metaType().id() != QMetaType::QVariantMap) {
        ZRLog::write(QStringLiteral("ERROR: ZRBundle - unreadable information property list %1: %2")
                         .arg(path, value ? QStringLiteral("not a dictionary") : error));
        return {};
    }
    return value->toMap();
}

QStringList ZRBundle::localizations() const
{
    QStringList names;
    const QStringList folders
        = QDir(resourcePath()).entryList({QLatin1Char('*') + LocalizationSuffix}, QDir::Dirs, QDir::Name);
    for (const QString& folder : folders) {
        names.append(folder.chopped(LocalizationSuffix.size()));
    }
    return names;
}

QStringList ZRBundle::localizationSearchOrder() const
{
    const QStringList available = localizations();
    QStringList wanted = m_preferredLanguages;
    wanted.append(infoDictionary().value(QStringLiteral("CFBundleDevelopmentRegion")).toString());
    wanted.append(QStringLiteral("en"));
    QStringList order;
    for (const QString& language : std::as_const(wanted)) {
        if (language.isEmpty()) {
            continue;
        }
        for (const QString& name : folderNamesFor(language)) {
            for (const QString& folder : available) {
                if (folder.compare(name, Qt::CaseInsensitive) == 0 && !order.contains(folder)) {
                    order.append(folder);
                }
            }
        }
    }
    return order;
}

QVariantMap ZRBundle::localizedInfoDictionary() const
{
    for (const QString& localization : localizationSearchOrder()) {
        const QString folder = QDir(resourcePath()).filePath(localization + LocalizationSuffix);
        const QString path = existingFile(folder, LocalizedInfoName);
        if (path.isEmpty()) {
            continue;
        }
        QString error;
        if (const std::optional<QVariantMap> table = ZRStringsFile::fromFile(path, &error)) {
            return *table;
        }
        ZRLog::write(QStringLiteral("ERROR: ZRBundle - unreadable localized strings %1: %2").arg(path, error));
    }
    return {};
}

QString ZRBundle::pathForImageResource(const QString& name) const
{
    if (!isContainedName(name)) {
        return {};
    }
    QStringList folders {resourcePath()};
    for (const QString& localization : localizationSearchOrder()) {
        folders.append(QDir(resourcePath()).filePath(localization + LocalizationSuffix));
    }
    for (const QString& folder : std::as_const(folders)) {
        if (const QString path = existingFile(folder, name); !path.isEmpty()) {
            return path;
        }
        for (const QString& extension : ImageExtensions) {
            if (const QString path = existingFile(folder, name + QLatin1Char('.') + extension); !path.isEmpty()) {
                return path;
            }
        }
    }
    return {};
}

QVariantMap ZR_prioritizedInfoDictionary(const ZRBundle& bundle)
{
    QVariantMap result = bundle.localizedInfoDictionary();
    result.insert(bundle.infoDictionary());
    return result;
}

QString ZR_pathForIconFile(const ZRBundle& bundle)
{
    const QString name = bundle.infoDictionary().value(QStringLiteral("CFBundleIconFile")).toString();
    return name.isEmpty() ? QString() : bundle.pathForImageResource(name);
}
