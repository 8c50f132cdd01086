// Files handed to the application and the application-bundle import of the application controller:
// the open-files dispatch, the four import commands with their open panel, and the main-thread end
// of each background import (merge, counts, selection, or the error of a failed save).
#include "KeymoorAppDelegate.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "import/KMImportProductsOperation.h"
#include "library/BackgroundJobTracker.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QFileInfo>

using namespace Persistence;

namespace {

// The kind of background job of the application-bundle import.
const QString ProductImportJob = QStringLiteral("KMImportProductsOperation");

QStringList bundleExtensions()
{
    return {QStringLiteral("app"), QStringLiteral("prefpane"), QStringLiteral("bundle"), QStringLiteral("wdgt")};
}

} // namespace

void KeymoorAppDelegate::openFiles(const QStringList& paths)
{
    const QStringList remaining = importMacHeist3DataFiles(importKeymoorDataFiles(paths));
    if (!remaining.isEmpty()) {
        importProductsFromFiles(remaining);
    }
}

bool KeymoorAppDelegate::importProductsFromFiles(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return false;
    }
    if (m_session->isReadOnly() || !managedObjectContext()) {
        Log::write(QStringLiteral("Error importing application: the library is not open for changes."));
        return false;
    }
    // The operation reports on the queue's thread; the main context is only touched on the main
    // thread, when the job completes.
    auto outcome = std::make_shared<KMImportProductsOperation::Outcome>();
    auto operation = std::make_shared<KMImportProductsOperation>(
        paths, m_session->openedContext()->coordinator(), applicationLocator(),
        [outcome](const KMImportProductsOperation::Outcome& result) { *outcome = result; });
    operation->setSaver([this](ObjectContext* context, StoreError* error) { return saveContext(context, error); });
    m_session->jobs().start(
        ProductImportJob,
        [operation, outcome]() -> std::optional<QString> {
            operation->main();
            if (outcome->saved) {
                return std::nullopt;
            }
            return outcome->error.toString();
        },
        [this, outcome] {
            if (outcome->saved) {
                productImportSaved(outcome->saveNotice, outcome->createdIDs);
            } else {
                productImportFailed(outcome->error);
            }
        },
        BackgroundJobTracker::Placement::Queue, this);
    return true;
}

void KeymoorAppDelegate::productImportSaved(const SaveNotice& notice, const QList<ObjectID>& createdIDs)
{
    if (m_session->openedContext()) {
        ContextLocker locker(m_session->openedContext());
        m_session->openedContext()->mergeChangesFromSaveNotice(notice);
    }
    addImportCounts(ImportCounts {int(createdIDs.size()), 0});
    if (!createdIDs.isEmpty()) {
        emit m_session->productsChanged();
    }
    emit selectAndScrollToProduct(createdIDs.isEmpty() ? ObjectID() : createdIDs.first());
}

void KeymoorAppDelegate::productImportFailed(const StoreError& error)
{
    addImportCounts(ImportCounts {0, 0, 1});
    if (m_ui) {
        m_ui->presentError(PresentableError {error.description, QString(), error.failureReason});
    }
}

void KeymoorAppDelegate::waitForProductImports()
{
    m_session->jobs().waitFor(ProductImportJob);
}

int KeymoorAppDelegate::runningProductImports() const
{
    return m_session->jobs().runningCount(ProductImportJob);
}

void KeymoorAppDelegate::importNewProduct()
{
    importProductWithStartingPath(m_prefs->importAppPath(), bundleExtensions(), QStringLiteral("app"));
}

void KeymoorAppDelegate::importPrefPane()
{
    importProductWithStartingPath(QStringLiteral("~/Library/PreferencePanes"), bundleExtensions(),
                                  QStringLiteral("prefpane"));
}

void KeymoorAppDelegate::importPlugin()
{
    importProductWithStartingPath(QStringLiteral("~/Library/Plug-ins"), {}, QStringLiteral("plugin"));
}

void KeymoorAppDelegate::importWidget()
{
    importProductWithStartingPath(QStringLiteral("~/Library/Widgets"), bundleExtensions(), QStringLiteral("widget"));
}

void KeymoorAppDelegate::importProductWithStartingPath(const QString& startingPath,
                                                       const QStringList& allowedExtensions, const QString& kind)
{
    if (!m_ui) {
        return;
    }
    OpenPanelOptions options;
    options.startFolder = UserPreferences::expandTildeInPath(startingPath, QDir::homePath());
    if (options.startFolder.isEmpty() || !QFileInfo(options.startFolder).isDir()) {
        options.startFolder = QDir::homePath();
    }
    // Bundles are folders here, so folders can be chosen too; the import keeps only software.
    options.chooseFiles = true;
    options.chooseFolders = true;
    options.allowsMultipleSelection = true;
    options.allowedExtensions = allowedExtensions;
    const std::optional<QStringList> chosen = m_ui->runOpenPanel(options);
    if (!chosen) {
        return;
    }
    if (kind == QLatin1String("app") && !chosen->isEmpty()) {
        m_prefs->setImportAppPath(QFileInfo(QDir::cleanPath(chosen->first())).absolutePath());
    }
    if (!chosen->isEmpty()) {
        importProductsFromFiles(*chosen);
    }
}
