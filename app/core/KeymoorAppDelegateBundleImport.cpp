// Files handed to the application and the application-bundle import of the application controller:
// the open-files dispatch, the four import commands with their open panel, and the main-thread end
// of each background import (merge, counts, selection, or the error of a failed save).
#include "KeymoorAppDelegate.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "import/KMImportProductsOperation.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QThreadPool>

using namespace Persistence;

namespace {

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
    // Called on the operation's thread: the main context is only touched on the main thread, and a
    // controller that is gone by then drops the call.
    auto completion = [this](const KMImportProductsOperation::Outcome& outcome) {
        const auto finish = [this, outcome] {
            --m_runningProductImports;
            if (outcome.saved) {
                productImportSaved(outcome.saveNotice, outcome.createdIDs);
            } else {
                productImportFailed(outcome.error);
            }
        };
        QMetaObject::invokeMethod(this, finish, Qt::QueuedConnection);
    };
    auto* operation = new KMImportProductsOperation(paths, m_session->openedContext()->coordinator(),
                                                    applicationLocator(), std::move(completion));
    operation->setSaver([this](ObjectContext* context, StoreError* error) { return saveContext(context, error); });
    ++m_runningProductImports;
    m_session->backgroundOperationQueue()->start(operation);
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
    QEventLoop loop;
    while (m_runningProductImports > 0) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
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
