#include "SoftwareFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SoftwareFolders {

namespace {

QString libraryFolderName(BundleKind kind)
{
    switch (kind) {
    case BundleKind::PreferencePane:
        return QStringLiteral("PreferencePanes");
    case BundleKind::Plugin:
        return QStringLiteral("Internet Plug-Ins");
    case BundleKind::Widget:
        return QStringLiteral("Widgets");
    }
    return {};
}

} // namespace

QStringList standardApplicationFolders()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

QString firstExistingFolder(const QStringList& folders, const QString& homePath)
{
    for (const QString& folder : folders) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            return QDir::cleanPath(folder);
        }
    }
    return homePath;
}

QStringList bundleFolders(BundleKind kind, const QString& homePath, const QString& rootPath)
{
    const QString relative = QStringLiteral("Library/") + libraryFolderName(kind);
    return {QDir(homePath).filePath(relative), QDir(rootPath).filePath(relative)};
}

QString existingBundleFolder(BundleKind kind, const QString& homePath, const QString& rootPath)
{
    for (const QString& folder : bundleFolders(kind, homePath, rootPath)) {
        if (QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    return {};
}

} // namespace SoftwareFolders
