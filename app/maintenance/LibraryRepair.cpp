#include "maintenance/LibraryRepair.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "library/LibraryLock.h"
#include "maintenance/LibraryCheck.h"
#include "maintenance/LibraryCheckReport.h"
#include "maintenance/LibraryCheckSnapshot.h"
#include "maintenance/LibraryRepairPlan.h"
#include "persistence/SqliteDatabase.h"

#include <QDir>
#include <QFileInfo>

using namespace Persistence;

namespace {

using Key = LibraryCheckSnapshot::Key;

bool execute(SqliteDatabase& db, const QString& sql, const QVariantList& values)
{
    SqliteStatement statement = db.prepareUncached(sql);
    for (int i = 0; i < values.size(); ++i) {
        statement.bind(i + 1, values.at(i));
    }
    return statement.isValid() && statement.exec();
}

bool writeReferences(SqliteDatabase& db, const LibraryCheckTables& tables,
                     const LibraryRepairPlan::ReferenceChanges& changes)
{
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const LibraryCheckLink link = it.key().first;
        const QVariant value = it.value() ? QVariant(*it.value()) : QVariant();
        if (!execute(db,
                     QStringLiteral("UPDATE %1 SET %2 = ? WHERE pk = ?").arg(tables.table(link), tables.column(link)),
                     {value, it.key().second})) {
            return false;
        }
    }
    return true;
}

bool deleteRows(SqliteDatabase& db, const QString& table, const QList<Key>& keys)
{
    for (Key key : keys) {
        if (!execute(db, QStringLiteral("DELETE FROM %1 WHERE pk = ?").arg(table), {key})) {
            return false;
        }
    }
    return true;
}

bool writeRemoval(SqliteDatabase& db, const LibraryCheckTables& tables, const LibraryRepairPlan::Removal& removal)
{
    for (Key product : removal.productsLosingIcon) {
        if (!execute(
                db,
                QStringLiteral("UPDATE %1 SET %2 = NULL WHERE pk = ?")
                    .arg(tables.table(LibraryCheckLink::ProductIcon), tables.column(LibraryCheckLink::ProductIcon)),
                {product})) {
            return false;
        }
    }
    return deleteRows(db, tables.table(QStringLiteral("AttachedFile")), removal.files)
        && deleteRows(db, tables.table(QStringLiteral("AttachmentContent")), removal.contents)
        && deleteRows(db, tables.table(QStringLiteral("Icon")), removal.icons);
}

} // namespace

LibraryRepair::LibraryRepair(LibraryCheckLocation location, UserInterface* ui, QDateTime now)
    : m_location(std::move(location))
    , m_ui(ui)
    , m_now(std::move(now))
{ }

LibraryRepairResult LibraryRepair::run(const LibraryCheckReport& report) const
{
    LibraryRepairResult result;
    if (!report.libraryExists() || report.isClean()) {
        return result;
    }
    result.succeeded = false;
    if (!report.storeUsable()) {
        result.error = localizedString(QStringLiteral("CheckRepairStoreUnusable"));
        return result;
    }
    LibraryLock lock(m_location.libraryFolder);
    QString lockError;
    if (!lock.tryLock(&lockError)) {
        result.error = localizedString(QStringLiteral("LibraryInUse")) + QStringLiteral(": ") + lockError;
        return result;
    }
    SqliteDatabase db;
    if (!db.open(m_location.storePath, false, false) || !repairStore(db, result)) {
        result.error = localizedFormat(QStringLiteral("CheckRepairFailedFormat"), {db.errorMessage()});
        return result;
    }
    QString error;
    const auto snapshot = LibraryCheck::readSnapshot(db, &error);
    if (!snapshot) {
        result.error = localizedFormat(QStringLiteral("CheckRepairOrphansFailedFormat"), {error});
        return result;
    }
    moveOrphans(*snapshot, result);
    result.succeeded = result.unmovedFiles.isEmpty();
    return result;
}

bool LibraryRepair::repairStore(SqliteDatabase& db, LibraryRepairResult& result) const
{
    const auto tables = LibraryCheckTables::forCurrentModel();
    if (!tables || !db.exec(QStringLiteral("PRAGMA synchronous = FULL"))) {
        return false;
    }
    SqliteTransaction transaction(db);
    QString error;
    auto snapshot = LibraryCheck::readSnapshot(db, &error);
    if (!transaction.isActive() || !snapshot) {
        return false;
    }
    const auto changes = LibraryRepairPlan::mendReferences(*snapshot);
    if (!writeReferences(db, *tables, changes)) {
        return false;
    }
    const auto problems = snapshot->recordProblems(LibraryCheck::folderEntries(m_location.attachmentsFolder),
                                                   LibraryCheck::folderEntries(m_location.iconsFolder));
    const LibraryRepairPlan::Removal removal = LibraryRepairPlan::removalFor(*snapshot, problems);
    const bool remove = removal.count > 0 && askToRemove(removal.count);
    if (remove && !writeRemoval(db, *tables, removal)) {
        return false;
    }
    if (!transaction.commit()) {
        return false;
    }
    result.mendedReferences = int(changes.size());
    (remove ? result.removedRecords : result.keptRecords) = removal.count;
    Log::write(QStringLiteral("Library repair: %1 reference(s) mended, %2 record(s) removed, %3 kept")
                   .arg(result.mendedReferences)
                   .arg(result.removedRecords)
                   .arg(result.keptRecords));
    return true;
}

bool LibraryRepair::askToRemove(int count) const
{
    if (!m_ui) {
        return false;
    }
    Question question;
    question.style = AlertStyle::Warning;
    question.title = localizedFormat(QStringLiteral("CheckRemoveRecordsQuestionFormat"), {QString::number(count)});
    question.message = localizedString(QStringLiteral("CheckRemoveRecordsMessage"));
    question.yesButton = localizedString(QStringLiteral("CheckRemoveButton"));
    question.noButton = localizedString(QStringLiteral("CheckKeepButton"));
    return m_ui->ask(question) == Answer::Yes;
}

void LibraryRepair::moveOrphans(const LibraryCheckSnapshot& snapshot, LibraryRepairResult& result) const
{
    const QSet<QString> attachments
        = LibraryCheck::folderEntries(m_location.attachmentsFolder) - snapshot.contentUuids();
    const QSet<QString> icons = LibraryCheck::folderEntries(m_location.iconsFolder) - snapshot.iconUuids();
    if (attachments.isEmpty() && icons.isEmpty()) {
        return;
    }
    result.orphanFolder = orphanFolderPath();
    for (const QString& name : attachments) {
        moveInto(QDir(m_location.attachmentsFolder).filePath(name), QStringLiteral("Attachments"), result);
    }
    for (const QString& name : icons) {
        moveInto(QDir(m_location.iconsFolder).filePath(name), QStringLiteral("Icons"), result);
    }
}

bool LibraryRepair::moveInto(const QString& file, const QString& subfolder, LibraryRepairResult& result) const
{
    const QString folder = QDir(result.orphanFolder).filePath(subfolder);
    const QString target = QDir(folder).filePath(QFileInfo(file).fileName());
    // The folder holds copies of licence data: only its owner may enter it, as the library folder.
    const bool made = QDir().mkpath(folder)
        && QFile::setPermissions(result.orphanFolder,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!made || QFileInfo::exists(target) || !QDir().rename(file, target)) {
        Log::write(QStringLiteral("Library repair: could not move %1 to %2").arg(file, target));
        result.unmovedFiles.append(file);
        return false;
    }
    ++result.movedFiles;
    return true;
}

QString LibraryRepair::orphanFolderPath() const
{
    const QFileInfo library(m_location.libraryFolder);
    const QString base = library.completeBaseName() + QStringLiteral(" Orphans ")
        + m_now.toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    const QDir parent = library.absoluteDir();
    QString name = base;
    for (int counter = 1; parent.exists(name); ++counter) {
        name = base + u' ' + QString::number(counter);
    }
    return parent.filePath(name);
}
