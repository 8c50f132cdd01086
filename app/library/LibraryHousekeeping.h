#pragma once

#include <QSet>
#include <QString>

#include <optional>

namespace Persistence {
class ObjectContext;
}

// Removes what the catalogue no longer refers to: stored attachment and icon files whose records
// are gone (deleting a record never deletes its file at once, so undo can bring it back), and the
// scratch copies in the cache folder. Runs once per quit, under the context's lock.
class LibraryHousekeeping
{
public:
    LibraryHousekeeping(Persistence::ObjectContext* context, QString attachmentsFolder, QString iconsFolder,
                        QString cacheFolder);

    // The uuid of every "AttachmentContent" / "Icon" of the context (unsaved insertions included,
    // unsaved deletions excluded); nothing when the fetch fails.
    std::optional<QSet<QString>> allAttachmentFileNames() const;
    std::optional<QSet<QString>> allIconFileNames() const;

    void cleanupOrphanedAttachments() const;
    void cleanupOrphanedIcons() const;
    void cleanupCachedFiles() const;

    // The three in the order the quit sequence runs them.
    void runAll() const;

private:
    std::optional<QSet<QString>> uuidsOf(const QString& entityName) const;
    static void removeEntries(const QString& folder, const std::optional<QSet<QString>>& keep, const char* failureLine);

    Persistence::ObjectContext* m_context;
    QString m_attachmentsFolder;
    QString m_iconsFolder;
    QString m_cacheFolder;
};
