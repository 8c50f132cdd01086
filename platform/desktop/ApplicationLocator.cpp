#include "ApplicationLocator.h"

#include "ContentType.h"
#include "plist/PropertyList.h"
#include "software/DesktopApplicationIndex.h"
#include "software/InstalledSoftwareScanner.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString expandedFolder(const QString& folder)
{
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/"))) {
        return QDir::homePath() + folder.mid(1);
    }
    return folder;
}

// "Example.app" -> "Example"; a name without a bundle extension stays as it is.
QString withoutBundleExtension(const QString& name)
{
    const QFileInfo info(name);
    return ContentType::bundleKindForExtension(info.suffix()) == BundleKind::None ? name : info.completeBaseName();
}

} // namespace

QStringList ApplicationLocator::standardFolders(const QString& importFolder)
{
    QStringList folders;
    if (!importFolder.trimmed().isEmpty()) {
        folders.append(expandedFolder(importFolder.trimmed()));
    }
    folders.append(QStringLiteral("/Applications"));
    folders.append(QDir::homePath() + QStringLiteral("/Applications"));
    folders.removeDuplicates();
    return folders;
}

QStringList ApplicationLocator::standardDesktopApplicationFolders()
{
    return DesktopApplicationIndex::standardFolders();
}

QStringList ApplicationLocator::standardAppImageFolders()
{
    return InstalledSoftwareScanner::standardFolders().appImages;
}

ApplicationLocator::ApplicationLocator(const QStringList& folders, const QStringList& desktopApplicationFolders,
                                       const QStringList& appImageFolders)
    : m_folders(folders)
    , m_desktopFolders(desktopApplicationFolders)
    , m_appImageFolders(appImageFolders)
{ }

ApplicationLocator::~ApplicationLocator() = default;
ApplicationLocator::ApplicationLocator(ApplicationLocator&& other) noexcept = default;
ApplicationLocator& ApplicationLocator::operator=(ApplicationLocator&& other) noexcept = default;

// A copy looks at the same folders and scans them again when it is first asked.
ApplicationLocator::ApplicationLocator(const ApplicationLocator& other)
    : ApplicationLocator(other.m_folders, other.m_desktopFolders, other.m_appImageFolders)
{ }

ApplicationLocator& ApplicationLocator::operator=(const ApplicationLocator& other)
{
    if (this != &other) {
        *this = ApplicationLocator(other);
    }
    return *this;
}

QStringList ApplicationLocator::searchFolders() const
{
    QStringList folders = qEnvironmentVariable(PathVariable).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders.append(m_folders);
    QStringList result;
    for (const QString& folder : folders) {
        const QString expanded = QDir::cleanPath(expandedFolder(folder.trimmed()));
        if (!folder.trimmed().isEmpty() && !result.contains(expanded)) {
            result.append(expanded);
        }
    }
    return result;
}

QString ApplicationLocator::pathForApplication(const QString& name)
{
    const QString wanted = withoutBundleExtension(name.trimmed());
    if (wanted.isEmpty()) {
        return {};
    }
    QString path = bundleForName(wanted);
    if (path.isEmpty()) {
        const std::optional<DesktopApplication> application = desktopIndex().applicationForName(name.trimmed());
        path = application ? application->path : QString();
    }
    if (path.isEmpty()) {
        path = appImageForName(name.trimmed(), false);
    }
    return path;
}

QString ApplicationLocator::bundleForName(const QString& wanted)
{
    scanIfNeeded();
    for (const Bundle& bundle : m_bundles) {
        if (bundle.baseName.compare(wanted, Qt::CaseInsensitive) == 0) {
            return bundle.path;
        }
    }
    for (Bundle& bundle : m_bundles) {
        readInfo(bundle);
        if (!bundle.bundleName.isEmpty() && bundle.bundleName.compare(wanted, Qt::CaseInsensitive) == 0) {
            return bundle.path;
        }
    }
    return {};
}

// AppImages are named after their program, often with the version and machine after a dash
// ("Northwind-2.1-x86_64.AppImage"); the whole name wins over such a prefix.
QString ApplicationLocator::appImageForName(const QString& name, bool exactOnly)
{
    scanIfNeeded();
    const auto baseName = [](const QString& path) {
        const QString fileName = QFileInfo(path).fileName();
        return fileName.endsWith(QLatin1String(".AppImage"), Qt::CaseInsensitive) ? fileName.chopped(9) : fileName;
    };
    const QString wanted = name.endsWith(QLatin1String(".AppImage"), Qt::CaseInsensitive) ? name.chopped(9) : name;
    for (const QString& path : std::as_const(m_appImages)) {
        if (baseName(path).compare(wanted, Qt::CaseInsensitive) == 0) {
            return path;
        }
    }
    if (exactOnly) {
        return {};
    }
    for (const QString& path : std::as_const(m_appImages)) {
        if (baseName(path).startsWith(wanted + QLatin1Char('-'), Qt::CaseInsensitive)) {
            return path;
        }
    }
    return {};
}

QString ApplicationLocator::pathForBundleIdentifier(const QString& identifier)
{
    const QString wanted = identifier.trimmed();
    if (wanted.isEmpty()) {
        return {};
    }
    scanIfNeeded();
    for (Bundle& bundle : m_bundles) {
        readInfo(bundle);
        if (bundle.identifier.compare(wanted, Qt::CaseInsensitive) == 0) {
            return bundle.path;
        }
    }
    if (const std::optional<DesktopApplication> application = desktopIndex().applicationForId(wanted)) {
        return application->path;
    }
    return appImageForName(wanted, true);
}

QStringList ApplicationLocator::bundlePaths()
{
    scanIfNeeded();
    QStringList paths;
    for (const Bundle& bundle : m_bundles) {
        paths.append(bundle.path);
    }
    return paths;
}

DesktopApplicationIndex& ApplicationLocator::desktopIndex()
{
    if (!m_desktopIndex) {
        m_desktopIndex = std::make_unique<DesktopApplicationIndex>(m_desktopFolders);
    }
    return *m_desktopIndex;
}

void ApplicationLocator::refresh()
{
    m_scanned = false;
    m_bundles.clear();
    m_appImages.clear();
    m_desktopIndex.reset();
}

void ApplicationLocator::scanIfNeeded()
{
    if (m_scanned) {
        return;
    }
    m_scanned = true;
    int foldersSeen = 0;
    QSet<QString> visited;
    for (const QString& folder : searchFolders()) {
        scanFolder(folder, 0, foldersSeen, visited);
    }
    // AppImages lie directly in their folders; nothing below them is searched.
    for (const QString& folder : std::as_const(m_appImageFolders)) {
        const QFileInfoList files
            = QDir(expandedFolder(folder))
                  .entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
        for (const QFileInfo& file : files) {
            if (InstalledSoftwareScanner::isAppImage(file.absoluteFilePath())) {
                m_appImages.append(file.absoluteFilePath());
            }
        }
    }
}

void ApplicationLocator::scanFolder(const QString& folder, int depth, int& foldersSeen, QSet<QString>& visited)
{
    // Symbolic links may lead back up the tree: each real folder is read once.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical) || ++foldersSeen > MaximumFolders) {
        return;
    }
    visited.insert(canonical);
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                             QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& entry : entries) {
        if (ContentType::bundleKindOfFolder(entry.filePath()) != BundleKind::None) {
            Bundle bundle;
            bundle.path = entry.absoluteFilePath();
            bundle.baseName = entry.completeBaseName();
            m_bundles.push_back(bundle);
        } else if (depth + 1 < MaximumDepth) {
            scanFolder(entry.filePath(), depth + 1, foldersSeen, visited);
        }
    }
}

void ApplicationLocator::readInfo(Bundle& bundle) const
{
    if (bundle.infoRead) {
        return;
    }
    bundle.infoRead = true;
    const QString plistPath = ContentType::infoPlistPath(bundle.path);
    if (plistPath.isEmpty()) {
        return;
    }
    const auto info = PropertyList::fromFile(plistPath);
    if (!info) {
        return;
    }
    const QVariantMap map = info->toMap();
    bundle.identifier = map.value(QStringLiteral("CFBundleIdentifier")).toString().trimmed();
    bundle.bundleName = map.value(QStringLiteral("CFBundleName")).toString().trimmed();
}
