#include "ProductBundleInfo.h"

#include "ZRBundle.h"
#include "software/InstalledApplication.h"
#include "software/InstalledSoftwareScanner.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

// Text values only: a list or dictionary under a key that should hold text means nothing here.
QString textValue(const QVariantMap& info, const char* key)
{
    const QVariant value = info.value(QString::fromLatin1(key));
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString().trimmed();
    default:
        return {};
    }
}

QString firstTextValue(const QVariantMap& info, const char* key, const char* fallbackKey)
{
    const QString text = textValue(info, key);
    return text.isEmpty() ? textValue(info, fallbackKey) : text;
}

} // namespace

std::optional<ProductBundleInfo> ProductBundleInfo::fromBundle(const QString& path)
{
    const std::optional<ZRBundle> bundle = ZRBundle::bundleWithPath(path);
    if (!bundle) {
        return std::nullopt;
    }
    const QVariantMap info = ZR_prioritizedInfoDictionary(*bundle);
    if (info.isEmpty()) {
        return std::nullopt;
    }
    return fromDictionary(info);
}

ProductBundleInfo ProductBundleInfo::fromDictionary(const QVariantMap& info)
{
    ProductBundleInfo result;
    result.title = firstTextValue(info, "CFBundleName", "CFBundleExecutable");
    result.version = firstTextValue(info, "CFBundleShortVersionString", "CFBundleVersion");
    result.identifier = textValue(info, "CFBundleIdentifier");
    result.publisher = firstTextValue(info, "crashReporterCompanyName", "SmartCrashReports_CompanyName");
    result.email = textValue(info, "crashReporterEmail");
    result.website = websiteForBundleIdentifier(result.identifier);
    return result;
}

std::optional<ProductBundleInfo> ProductBundleInfo::fromApplication(const QString& pathOrId)
{
    const QString wanted = pathOrId.trimmed();
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo file(wanted);
    if (file.isDir()) {
        return fromBundle(wanted);
    }
    // A file in the current folder is read as that file, not as a desktop-file ID of its name.
    if (!file.exists() && wanted.contains(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const std::optional<InstalledApplication> application
        = InstalledSoftwareScanner().application(file.exists() ? file.absoluteFilePath() : wanted);
    if (!application) {
        return std::nullopt;
    }
    return fromInstalledApplication(*application);
}

ProductBundleInfo ProductBundleInfo::fromInstalledApplication(const InstalledApplication& application)
{
    ProductBundleInfo result;
    result.title = application.title;
    result.version = application.version;
    result.identifier = application.id;
    result.publisher = application.publisher;
    result.email = application.email;
    result.website = application.website.isEmpty() ? websiteForBundleIdentifier(application.id) : application.website;
    return result;
}

QString ProductBundleInfo::applicationPath(const QString& pathOrId)
{
    const QString wanted = pathOrId.trimmed();
    if (wanted.isEmpty()) {
        return {};
    }
    if (QFileInfo::exists(wanted)) {
        return wanted;
    }
    // A desktop-file ID is a file name, never a path.
    if (wanted.contains(QLatin1Char('/'))) {
        return {};
    }
    const std::optional<InstalledApplication> application = InstalledSoftwareScanner().application(wanted);
    return application ? application->path : QString();
}

QString ProductBundleInfo::websiteForBundleIdentifier(const QString& identifier)
{
    QStringList parts = identifier.split(QLatin1Char('.'));
    if (parts.size() < 2) {
        return {};
    }
    parts.removeLast();
    std::reverse(parts.begin(), parts.end());
    const QString website = QStringLiteral("http://%1").arg(parts.join(QLatin1Char('.')));
    // Identifiers are free text in a file anyone can write: only a usable address is kept.
    const QUrl url(website, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() ? website : QString();
}

QString ProductBundleInfo::titleFromPath(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) {
        trimmed.chop(1);
    }
    QString name = QFileInfo(trimmed).fileName();
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty()) {
        return name;
    }
    const QString extension = QLatin1Char('.') + suffix;
    while (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive)) {
        name.chop(extension.size());
    }
    return name;
}
