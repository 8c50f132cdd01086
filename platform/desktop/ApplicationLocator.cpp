#include "ApplicationLocator.h"

#include "ContentType.h"
#include "plist/PropertyList.h"

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

ApplicationLocator::ApplicationLocator(const QStringList& folders)
    : m_folders(folders)
{ }

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
    return {};
}

void ApplicationLocator::refresh()
{
    m_scanned = false;
    m_bundles.clear();
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
