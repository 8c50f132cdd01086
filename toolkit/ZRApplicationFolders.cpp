#include "ZRApplicationFolders.h"

#include "ZRLog.h"
#include "ZRStringTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

const QString ErrorDomain = QStringLiteral("Keymoor");
constexpr int NotAFolderCode = -999;

struct HandlerState
{
    QMutex mutex;
    ZRFatalErrorHandler handler;
};

HandlerState& handlerState()
{
    static HandlerState instance;
    return instance;
}

void reportFatalError(const ZRError& error)
{
    ZRFatalErrorHandler handler;
    {
        HandlerState& state = handlerState();
        QMutexLocker locker(&state.mutex);
        handler = state.handler;
    }
    if (handler) {
        handler(error);
        return;
    }
    std::exit(-1);
}

// The folder for this application below `base`, or empty when the application has no usable name
// (an empty name would make the base folder itself the application's, and the cache folder is
// emptied at quit).
QString folderBelow(QString base, const QString& fallback)
{
    if (base.isEmpty()) {
        base = QDir::home().filePath(fallback);
    }
    const QString name = ZR_stringMadeSafeForPath(QCoreApplication::applicationName());
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return {};
    }
    return QDir(base).filePath(name);
}

std::filesystem::path toFileSystemPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Creates the folder and its missing parents; the folder itself gets owner-only access.
std::error_code createFolder(const QString& path)
{
    std::error_code code;
    const std::filesystem::path target = toFileSystemPath(path);
    std::filesystem::create_directories(target.parent_path(), code);
    if (code) {
        return code;
    }
    if (std::filesystem::create_directory(target, code)) {
        std::filesystem::permissions(target, std::filesystem::perms::owner_all, code);
        return code;
    }
    if (!code && !QFileInfo(path).isDir()) {
        code = std::make_error_code(std::errc::not_a_directory);
    }
    return code;
}

QString describe(const std::error_code& code)
{
    return QString::fromLocal8Bit(code.message());
}

} // namespace

QString ZR_applicationSupportFolderLocation()
{
    return folderBelow(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                       QStringLiteral(".local/share"));
}

QString ZR_applicationCacheFolderLocation()
{
    return folderBelow(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation),
                       QStringLiteral(".cache"));
}

QString ZR_applicationSupportFolder(ZRError* error)
{
    const QString path = ZR_applicationSupportFolderLocation();
    auto fail = [error](int code, const QString& reason) {
        const QString description = QStringLiteral("Cannot create the application support folder: %1").arg(reason);
        ZRLog::write(QStringLiteral("ERROR: ZR_applicationSupportFolder - %1").arg(description));
        if (error) {
            *error = ZRError {ErrorDomain, code, description};
        }
        return QString();
    };
    if (path.isEmpty()) {
        return fail(NotAFolderCode, QStringLiteral("the application has no name"));
    }
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        return info.isDir() ? path : fail(NotAFolderCode, QStringLiteral("%1 is not a folder").arg(path));
    }
    if (const std::error_code code = createFolder(path)) {
        return fail(code.value(), QStringLiteral("%1: %2").arg(path, describe(code)));
    }
    return path;
}

QString ZR_applicationCacheFolder()
{
    const QString path = ZR_applicationCacheFolderLocation();
    if (path.isEmpty()) {
        const ZRError error {ErrorDomain, NotAFolderCode, QStringLiteral("The application has no name")};
        ZRLog::write(QStringLiteral("ERROR creating cache/temp directory: %1").arg(error.description));
        reportFatalError(error);
        return {};
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return path;
    }
    if (info.exists() || info.isSymLink()) {
        ZRLog::write(QStringLiteral("ERROR cache/temp path is not a valid directory: %1").arg(path));
        reportFatalError({ErrorDomain, NotAFolderCode, QStringLiteral("Cache/temp path is not a valid directory")});
        return {};
    }
    if (const std::error_code code = createFolder(path)) {
        const ZRError error {QStringLiteral("POSIX"), code.value(), QStringLiteral("%1: %2").arg(path, describe(code))};
        ZRLog::write(QStringLiteral("ERROR creating cache/temp directory: %1").arg(error.description));
        reportFatalError(error);
        return {};
    }
    return path;
}

void ZR_setFatalErrorHandler(ZRFatalErrorHandler handler)
{
    HandlerState& state = handlerState();
    QMutexLocker locker(&state.mutex);
    state.handler = std::move(handler);
}
