#pragma once

#include "desktop/ApplicationLocator.h"
#include "persistence/ObjectID.h"
#include "persistence/SaveNotice.h"
#include "persistence/StoreError.h"

#include <QList>
#include <QRunnable>
#include <QStringList>

#include <functional>
#include <memory>

class ProductEntity;

namespace Persistence {
class ObjectContext;
class StoreCoordinator;
} // namespace Persistence

// One batch of installed software (applications, desktop entries, AppImages, preference panes,
// plug-ins, widgets, programs) or Yojimbo export files turned into new products, on a thread of the
// background queue. It works in an object context of its own over the main store coordinator, saves
// once, and hands what the save wrote back as identifiers through its completion (called on the
// operation's thread); the caller merges them into the main context on the main thread. Importing
// the same application twice gives two products.
class KMImportProductsOperation : public QRunnable
{
public:
    struct Outcome
    {
        bool saved = false;
        Persistence::StoreError error; // why the save failed
        Persistence::SaveNotice saveNotice; // what the save wrote, for other contexts to merge
        QList<Persistence::ObjectID> createdIDs; // the new products in the order of the files
    };
    using Completion = std::function<void(const Outcome& outcome)>;
    // Writes the operation's context; the controller passes its own so tests can make saving fail.
    using Saver = std::function<bool(Persistence::ObjectContext* context, Persistence::StoreError* error)>;

    KMImportProductsOperation(const QStringList& files, std::shared_ptr<Persistence::StoreCoordinator> coordinator,
                              ApplicationLocator locator, Completion completion);
    ~KMImportProductsOperation() override;
    KMImportProductsOperation(const KMImportProductsOperation&) = delete;
    KMImportProductsOperation& operator=(const KMImportProductsOperation&) = delete;

    void setSaver(Saver saver) { m_saver = std::move(saver); }
    QStringList filesToImport() const { return m_files; }

    void run() override { main(); }
    // Imports every file in order and saves. When the save fails it is logged ("Error importing
    // application."), the icon files written for the batch are removed, and nothing of the batch is
    // kept. The completion follows either way.
    void main();

    // A new product in the operation's context for one file, or null: the file is no importable
    // software, is Keymoor itself, or no product could be made.
    ProductEntity* importProductForFullPath(const QString& path);
    // The operation's context, made on first use by the calling thread; null (logged) on failure.
    Persistence::ObjectContext* managedObjectContext();

    // Whether the file is importable software or a Yojimbo export: a desktop entry of an
    // application, an AppImage, a program, or a bundle folder
    // with its Info.plist whose kind is application, preference pane, plug-in, widget or package; a
    // plain text file when it is a Yojimbo export; another file when its type's description calls
    // it a plug-in. A folder that is no bundle counts only with the exact extension "app" or
    // "prefpane". The library folder (".kmlib") never counts.
    static bool isApp(const QString& path);
    // Whether the path is Keymoor itself: a bundle named "Keymoor.app", the running program, a
    // folder that holds the running program, or a desktop entry that starts it.
    static bool isApplicationItself(const QString& path);

private:
    static bool isAppOfKnownType(const QString& path);
    void removeIconFilesOfBatch();

    QStringList m_files;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    ApplicationLocator m_locator;
    Completion m_completion;
    Saver m_saver;
    std::unique_ptr<Persistence::ObjectContext> m_context;
    bool m_contextAttempted = false;
    Persistence::SaveNotice m_lastSaveNotice;
};
