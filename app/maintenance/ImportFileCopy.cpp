#include "maintenance/ImportFileCopy.h"

#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "maintenance/FolderCopy.h"
#include "model/ZRManagedObject.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Copies every file of `from` into `to` under a fresh name and records the names; one file that
// fails is logged with `failureLine` and skipped.
void copyEachUnderFreshName(const QString& from, const QString& to, QHash<QString, QString>* mapping,
                            const char* failureLine)
{
    const QStringList names = QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString fresh = ZRManagedObject::newUUIDString();
        const QString target = QDir(to).filePath(fresh);
        QString copyError;
        if (FolderCopy::copyFile(QDir(from).filePath(name), target, &copyError)) {
            mapping->insert(name, fresh);
        } else {
            Log::write(QString::fromLatin1(failureLine).arg(QDir(from).filePath(name), target, copyError));
        }
    }
    FolderCopy::syncFileSystem(to);
}

} // namespace

bool ImportFileCopy::copyImportFiles(const QString& exportFolder, bool replace, ZRNameMappings* mappings)
{
    const QDir exportDir(exportFolder);
    const QString icons = exportDir.filePath(QStringLiteral("Icons"));
    const QString attachments = exportDir.filePath(QStringLiteral("Attachments"));
    return replace ? replaceFolders(icons, attachments) : mergeFolders(icons, attachments, mappings);
}

// Replaced only by complete copies; a copy that fails leaves the folder as it was and fails the
// import, which the restore then undoes.
bool ImportFileCopy::replaceFolders(const QString& icons, const QString& attachments)
{
    QString error;
    if (!FolderCopy::replaceFolderWithCopy(icons, LibraryPaths::iconsPath(), &error)) {
        Log::write(QStringLiteral("Error copying icons folder %1 to %2. Error: %3")
                       .arg(icons, LibraryPaths::iconsPath(), error));
        return false;
    }
    if (QFileInfo(attachments).isDir()
        && !FolderCopy::replaceFolderWithCopy(attachments, LibraryPaths::attachmentsPath(), &error)) {
        Log::write(QStringLiteral("Error copying attachments folder: %1 to path: %2 error: %3")
                       .arg(attachments, LibraryPaths::attachmentsPath(), error));
        return false;
    }
    return true;
}

bool ImportFileCopy::mergeFolders(const QString& icons, const QString& attachments, ZRNameMappings* mappings)
{
    copyEachUnderFreshName(icons, LibraryPaths::iconsPath(), &mappings->icons, "Error copying %1 to %2. Error: %3");
    if (QFileInfo(attachments).isDir()) {
        const QString library = LibraryPaths::attachmentsPath();
        if (!QFileInfo(library).isDir()) {
            Log::write(QStringLiteral("Error: Failed to create attachments folder for merged import: %1 error: %2")
                           .arg(library, QStringLiteral("cannot create the folder")));
            return false;
        }
        copyEachUnderFreshName(attachments, library, &mappings->attachments,
                               "Error copying attachments for merged import from: %1 to %2. Error: %3");
    }
    return true;
}
