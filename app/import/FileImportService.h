#pragma once

#include "ApplicationLocatorSource.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class ImportTally;
class KMImportOperation;
class LibrarySession;

// The imports of other programs' files and records: Keymoor's product data files, MacHeist 3 data
// files, The Serial Keeper's XML export and the records of the Yojimbo helper. Each runs on a
// thread of its own under the progress sheet; what it saves reaches the main context before its
// completion, which counts it and shows what it has to say.
class FileImportService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileImportService)

public:
    // The kind of background job of these imports.
    static inline const QString ImportJob = QStringLiteral("KMImportOperation");

    FileImportService(LibrarySession& session, ImportTally& tally, ApplicationLocatorSource locators,
                      QObject* parent = nullptr);
    ~FileImportService() override;

    // Start one import of each path whose extension is "keymoor" (respectively "appshelf"),
    // ignoring case, each on a thread of its own; answer the other paths in their order.
    QStringList importKeymoorDataFiles(const QStringList& paths);
    QStringList importMacHeist3DataFiles(const QStringList& paths);
    // Each starts one import of the file on a thread of its own, under the progress sheet: Keymoor's
    // product data file, a MacHeist 3 data file, The Serial Keeper's XML export. When it has
    // finished, the window re-fetches its list and what the import has to say is shown.
    void actionImportKeymoorPlist(const QString& path);
    void actionImportAppShelfXML(const QString& path);
    void actionImportSerialKeeperXML(const QString& path);
    // Imports the records the helper "YojimboHelper" hands over (updating products of the same
    // title when `overwrite`); a missing helper is reported and answers false.
    bool actionImportYojimboSerialNumbers(bool overwrite);
    // Runs the event loop until every file import started here has finished (command line, tests).
    void waitForFileImports();
    int runningFileImports() const;

private:
    void startImportOperation(std::unique_ptr<KMImportOperation> operation);
    void importOperationDidFinish(const KMImportOperation& operation);

    LibrarySession& m_session;
    ImportTally& m_tally;
    ApplicationLocatorSource m_locators;
};
