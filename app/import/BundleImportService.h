#pragma once

#include "ApplicationLocatorSource.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class FileImportService;
class ImportTally;
class LibrarySession;

namespace Persistence {
struct SaveNotice;
struct StoreError;
} // namespace Persistence

// Files handed to the application (opened with Keymoor or dropped on its products list) and the
// import of installed software: each batch of application bundles, preference panes, plug-ins,
// widgets, programs or Yojimbo exports becomes new products in one background import, merged into
// the main context on the main thread, after which the first new product is to be selected.
class BundleImportService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BundleImportService)

public:
    // The kind of background job of the application-bundle import.
    static inline const QString ImportJob = QStringLiteral("KMImportProductsOperation");

    BundleImportService(LibrarySession& session, ImportTally& tally, FileImportService& files,
                        ApplicationLocatorSource locators, QObject* parent = nullptr);
    ~BundleImportService() override;

    // Keymoor's own data files, then MacHeist 3 data files, each start an import of their own; the
    // remaining paths go, in their order, to one application-bundle import.
    void openFiles(const QStringList& paths);
    // Queues one background import that makes a product of each path that is importable software
    // or a Yojimbo export, saves them together (through the session's saver), merges them into the
    // main context and then asks for the first new product to be selected (selectAndScrollToProduct).
    // Answers whether it was queued: not without paths or a writable library.
    bool importProductsFromFiles(const QStringList& paths);
    // Runs the event loop until every bundle import queued here has been merged (command line, tests).
    void waitForProductImports();
    int runningProductImports() const;

    // The import commands, each with its own starting folder and kind: applications (starting in,
    // and remembering, "Import App Path"), preference panes, plug-ins (any file) and widgets.
    void importNewProduct();
    void importPrefPane();
    void importPlugin();
    void importWidget();
    // Asks for files (and bundle folders) in the open panel, starting in `startingPath` ("~" for the
    // home folder; the home folder when it does not exist) and offering files with the extensions
    // given (every file when none are). For the kind "app" the folder of the first chosen path
    // becomes the next "Import App Path". The chosen paths go to importProductsFromFiles.
    void importProductWithStartingPath(const QString& startingPath, const QStringList& allowedExtensions,
                                       const QString& kind);

signals:
    // A background import made products: the first of them (a null identifier when the import made
    // none) should be selected in the products list and scrolled to.
    void selectAndScrollToProduct(const Persistence::ObjectID& productID);

private:
    void productImportSaved(const Persistence::SaveNotice& notice, const QList<Persistence::ObjectID>& createdIDs);
    void productImportFailed(const Persistence::StoreError& error);

    LibrarySession& m_session;
    ImportTally& m_tally;
    FileImportService& m_files;
    ApplicationLocatorSource m_locators;
};
