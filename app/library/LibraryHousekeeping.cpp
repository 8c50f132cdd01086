#include "LibraryHousekeeping.h"

#include "base/Log.h"
#include "persistence/ObjectContext.h"

#include <QDir>
#include <QFileInfo>

using namespace Persistence;

LibraryHousekeeping::LibraryHousekeeping(ObjectContext* context, QString attachmentsFolder, QString iconsFolder,
                                         QString cacheFolder)
    : m_context(context)
    , m_attachmentsFolder(std::move(attachmentsFolder))
    , m_iconsFolder(std::move(iconsFolder))
    , m_cacheFolder(std::move(cacheFolder))
{ }

std::optional<QSet<QString>> LibraryHousekeeping::uuidsOf(const QString& entityName) const
{
    if (!m_context) {
        return std::nullopt;
    }
    StoreError error;
    const auto objects = m_context->execute(FetchRequest(entityName), &error);
    if (!objects) {
        Log::write(QStringLiteral("ERROR: %1 - %2").arg(QStringLiteral("LibraryHousekeeping"), error.toString()));
        return std::nullopt;
    }
    QSet<QString> names;
    for (const ManagedObject* object : *objects) {
        const QString uuid = object->value(QStringLiteral("uuid")).toString();
        if (!uuid.isEmpty()) {
            names.insert(uuid);
        }
    }
    return names;
}

std::optional<QSet<QString>> LibraryHousekeeping::allAttachmentFileNames() const
{
    return uuidsOf(QStringLiteral("AttachmentContent"));
}

std::optional<QSet<QString>> LibraryHousekeeping::allIconFileNames() const
{
    return uuidsOf(QStringLiteral("Icon"));
}

void LibraryHousekeeping::removeEntries(const QString& folder, const std::optional<QSet<QString>>& keep,
                                        const char* failureLine)
{
    if (folder.isEmpty() || !keep) {
        return;
    }
    const QDir dir(folder);
    const QStringList entries
        = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (keep->contains(entry)) {
            continue;
        }
        const QString path = dir.filePath(entry);
        if (QFileInfo(path) == QFileInfo(folder)) {
            continue;
        }
        const QFileInfo info(path);
        bool removed = false;
        if (info.isDir() && !info.isSymLink()) {
            removed = QDir(path).removeRecursively();
        } else {
            removed = QFile::remove(path);
        }
        if (!removed) {
            Log::write(QString::fromLatin1(failureLine).arg(path));
        }
    }
}

void LibraryHousekeeping::cleanupOrphanedAttachments() const
{
    removeEntries(m_attachmentsFolder, allAttachmentFileNames(), "Error removing orphaned attachment at path: %1");
}

void LibraryHousekeeping::cleanupOrphanedIcons() const
{
    removeEntries(m_iconsFolder, allIconFileNames(), "Error removing orphaned icon at path: %1");
}

void LibraryHousekeeping::cleanupCachedFiles() const
{
    // A log in the cache folder outlives the quit so that problems of one run can be read after it:
    // the log pointed there, or one of an earlier version that could not be moved to the state folder.
    QSet<QString> keep {QStringLiteral("Keymoor.log")};
    const QFileInfo log(Log::logFilePath());
    if (!m_cacheFolder.isEmpty() && log.absoluteDir() == QDir(m_cacheFolder)) {
        keep.insert(log.fileName());
    }
    removeEntries(m_cacheFolder, keep, "Error removing cached file at path: %1");
}

void LibraryHousekeeping::runAll() const
{
    cleanupOrphanedAttachments();
    cleanupOrphanedIcons();
    cleanupCachedFiles();
}
