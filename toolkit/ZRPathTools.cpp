#include "ZRPathTools.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>

namespace {

// Something is at the path, following symbolic links or not: a dangling link is still taken.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The path without trailing "/" (the root stays "/"), so "Backup/" is treated as "Backup".
QString withoutTrailingSlashes(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/')) {
        --end;
    }
    return path.first(end);
}

// Position of the dot that starts the extension of the last component, or -1. A leading dot marks a
// hidden name, not an extension (".profile" has none), and a trailing dot starts none either.
qsizetype extensionDot(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype nameStart = slash + 1;
    if (dot <= nameStart || dot == path.size() - 1) {
        return -1;
    }
    return dot;
}

// The longest part of the path that exists, made canonical, followed by the rest as given.
QString resolvedAbsolutePath(const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString existing = absolute;
    QString rest;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        rest = existing.sliced(slash) + rest;
        existing = slash > 0 ? existing.first(slash) : QStringLiteral("/");
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    const QString base = canonical.isEmpty() ? existing : canonical;
    return base == QLatin1String("/") ? (rest.isEmpty() ? base : rest) : base + rest;
}

QString volumeName(const QStorageInfo& storage)
{
    if (!storage.name().isEmpty()) {
        return storage.name();
    }
    const QString mountName = QFileInfo(storage.rootPath()).fileName();
    if (!mountName.isEmpty()) {
        return mountName;
    }
    return QFileInfo(QString::fromLocal8Bit(storage.device())).fileName();
}

QString classicName(QString name)
{
    return name.replace(QLatin1Char(':'), QLatin1Char('/'));
}

} // namespace

QString ZR_safeFilePath(const QString& receiver)
{
    if (!isTaken(receiver)) {
        return receiver;
    }
    const QString path = withoutTrailingSlashes(receiver);
    const qsizetype dot = extensionDot(path);
    const QString stem = dot < 0 ? path : path.first(dot);
    const QString extension = dot < 0 ? QString() : path.sliced(dot);
    for (quint64 counter = 1;; ++counter) {
        const QString candidate = stem + QLatin1Char(' ') + QString::number(counter, 16) + extension;
        if (!isTaken(candidate)) {
            return candidate;
        }
    }
}

QString ZR_hfsStylePath(const QString& receiver)
{
    if (receiver.isEmpty()) {
        return {};
    }
    const QString path = resolvedAbsolutePath(receiver);
    QString existing = path;
    while (!QFileInfo::exists(existing)) {
        existing = QFileInfo(existing).path();
    }
    const QStorageInfo storage(existing);
    const QString mountPoint = storage.isValid() ? storage.rootPath() : QStringLiteral("/");
    QString below = path;
    if (mountPoint != QLatin1String("/") && path.startsWith(mountPoint)) {
        below = path.sliced(mountPoint.size());
    }
    QStringList parts {classicName(volumeName(storage))};
    for (const QString& component : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        parts.append(classicName(component));
    }
    // The volume alone still ends with ":", as the classic form writes a volume's root.
    return parts.size() == 1 ? parts.front() + QLatin1Char(':') : parts.join(QLatin1Char(':'));
}
