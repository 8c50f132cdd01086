#include "StartupFolders.h"

#include "LibraryPaths.h"
#include "Localization.h"
#include "ZRApplicationFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

QString notAFolder(const QString& path)
{
    return localizedFormat(QStringLiteral("FolderIsNotAFolder"), {path});
}

QString cannotCreate(const QString& path, const QString& why)
{
    return localizedFormat(QStringLiteral("FolderCannotBeCreated"), {path, why});
}

bool isWritableFolder(const QString& path)
{
    return QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// What stands in the way of `path` being a usable folder, without creating anything.
QString obstacleTo(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        if (!info.isDir()) {
            return notAFolder(path);
        }
        return isWritableFolder(path) ? QString() : cannotCreate(path, QString::fromLocal8Bit(std::strerror(EACCES)));
    }
    // The nearest folder that exists must let us make the rest.
    QString ancestor = info.absolutePath();
    while (!QFileInfo::exists(ancestor) && !QFileInfo(ancestor).isSymLink() && ancestor != QDir::rootPath()) {
        ancestor = QFileInfo(ancestor).absolutePath();
    }
    if (!QFileInfo(ancestor).isDir()) {
        return cannotCreate(path, notAFolder(ancestor));
    }
    return isWritableFolder(ancestor) ? QString() : cannotCreate(path, QString::fromLocal8Bit(std::strerror(EACCES)));
}

// Creates the cache or state folder when missing (the state folder owner-only: the log names the
// person's files); what went wrong otherwise.
QString createFolder(const QString& path, bool ownerOnly = false)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return {};
    }
    if (info.exists() || info.isSymLink()) {
        return notAFolder(path);
    }
    std::error_code code;
    const std::filesystem::path target(QFile::encodeName(path).toStdString());
    std::filesystem::create_directories(target, code);
    if (!code && ownerOnly) {
        std::filesystem::permissions(target, std::filesystem::perms::owner_all, code);
    }
    return code ? cannotCreate(path, QString::fromLocal8Bit(code.message())) : QString();
}

FolderProblem stateFolderProblem(const QString& reason)
{
    return {localizedString(QStringLiteral("MissingApplicationStateFolder")),
            localizedString(QStringLiteral("MissingApplicationStateFolderMessage")), reason};
}

FolderProblem supportFolderProblem(const QString& reason)
{
    return {localizedString(QStringLiteral("MissingApplicationSupportFolder")),
            localizedString(QStringLiteral("MissingApplicationSupportFolderMessage")), reason};
}

} // namespace

namespace StartupFolders {

FolderProblem cacheFolderProblem(const QString& reason)
{
    return {localizedString(QStringLiteral("MissingApplicationCacheFolder")),
            localizedString(QStringLiteral("MissingApplicationCacheFolderMessage")), reason};
}

std::optional<FolderProblem> check()
{
    const QString cache = ZR_applicationCacheFolderLocation();
    if (cache.isEmpty()) {
        return cacheFolderProblem(localizedString(QStringLiteral("ApplicationHasNoName")));
    }
    if (const QString reason = createFolder(cache); !reason.isEmpty()) {
        return cacheFolderProblem(reason);
    }
    const QString state = LibraryPaths::stateFolderLocation();
    if (state.isEmpty()) {
        return stateFolderProblem(localizedString(QStringLiteral("ApplicationHasNoName")));
    }
    if (const QString reason = createFolder(state, true); !reason.isEmpty()) {
        return stateFolderProblem(reason);
    }
    const QString support = ZR_applicationSupportFolderLocation();
    if (support.isEmpty()) {
        return supportFolderProblem(localizedString(QStringLiteral("ApplicationHasNoName")));
    }
    for (const QString& folder : {support, LibraryPaths::libraryBundleLocation()}) {
        if (const QString reason = obstacleTo(folder); !reason.isEmpty()) {
            return supportFolderProblem(reason);
        }
    }
    return std::nullopt;
}

} // namespace StartupFolders
