#include "maintenance/LibraryCheck.h"

#include "base/AppInfo.h"
#include "base/Localization.h"
#include "maintenance/LibraryCheckDescriber.h"
#include "maintenance/LibraryCheckSnapshot.h"
#include "persistence/SqliteDatabase.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>

using namespace Persistence;

namespace {

// Enough lines of SQLite's answer to show what is wrong without flooding the terminal.
constexpr int MaxIntegrityLines = 20;

} // namespace

LibraryCheck::LibraryCheck(LibraryCheckLocation location)
    : m_location(std::move(location))
{ }

LibraryCheckReport LibraryCheck::run() const
{
    LibraryCheckReport report(m_location);
    if (!m_location.hasStore()) {
        return report;
    }
    report.setLibraryExists(true);
    SqliteDatabase db;
    if (!db.open(m_location.storePath, true, false)) {
        addStoreFinding(
            report,
            localizedFormat(QStringLiteral("CheckUnreadableStoreFormat"), {m_location.storePath, db.errorMessage()}));
        return report;
    }
    if (!checkIntegrity(db, report) || !checkVersion(report)) {
        return report;
    }
    QString error;
    // One read transaction, so that a save by a running Keymoor cannot fall between the tables.
    db.exec(QStringLiteral("BEGIN"));
    const auto snapshot = readSnapshot(db, &error);
    db.exec(QStringLiteral("COMMIT"));
    if (!snapshot) {
        addStoreFinding(report,
                        localizedFormat(QStringLiteral("CheckUnreadableStoreFormat"), {m_location.storePath, error}));
        return report;
    }
    report.setStoreUsable(true);
    LibraryCheckDescriber(m_location, *snapshot)
        .describe(report, folderEntries(m_location.attachmentsFolder), folderEntries(m_location.iconsFolder));
    return report;
}

QSet<QString> LibraryCheck::folderEntries(const QString& folder)
{
    if (folder.isEmpty()) {
        return {};
    }
    const QStringList entries
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return QSet<QString>(entries.begin(), entries.end());
}

std::optional<LibraryCheckSnapshot> LibraryCheck::readSnapshot(SqliteDatabase& db, QString* error)
{
    const auto tables = LibraryCheckTables::forCurrentModel();
    if (!tables) {
        *error = QStringLiteral("the object model could not be loaded");
        return std::nullopt;
    }
    return LibraryCheckSnapshot::read(db, *tables, error);
}

bool LibraryCheck::checkIntegrity(SqliteDatabase& db, LibraryCheckReport& report) const
{
    SqliteStatement check = db.prepareUncached(QStringLiteral("PRAGMA integrity_check(%1)").arg(MaxIntegrityLines));
    QStringList problems;
    while (check.isValid() && check.next()) {
        // One answer may hold several lines under a heading naming the database.
        for (const QString& line : check.text(0).split(u'\n', Qt::SkipEmptyParts)) {
            if (line != u"ok" && !line.startsWith(QStringLiteral("***"))) {
                problems.append(line);
            }
        }
    }
    if (!check.isValid() || !check.succeeded()) {
        problems.append(db.errorMessage());
    }
    for (const QString& problem : std::as_const(problems)) {
        addStoreFinding(report,
                        localizedFormat(QStringLiteral("CheckDamagedStoreFormat"), {m_location.storePath, problem}));
    }
    return problems.isEmpty();
}

bool LibraryCheck::checkVersion(LibraryCheckReport& report) const
{
    StoreError error;
    const auto metadata = StoreCoordinator::metadataForStore(m_location.storePath, &error);
    if (!metadata) {
        addStoreFinding(
            report,
            localizedFormat(QStringLiteral("CheckUnreadableStoreFormat"), {m_location.storePath, error.toString()}));
        return false;
    }
    if (metadata->value(QStringLiteral("ZRModelVersion")).toInt() != AppInfo::modelVersion()) {
        report.add({LibraryCheckFinding::Kind::StoreVersion,
                    localizedFormat(QStringLiteral("CheckStoreVersionFormat"), {m_location.storePath}),
                    m_location.storePath,
                    {},
                    {}});
        return false;
    }
    return true;
}

void LibraryCheck::addStoreFinding(LibraryCheckReport& report, const QString& message) const
{
    report.add({LibraryCheckFinding::Kind::DamagedStore, message, m_location.storePath, {}, {}});
}
