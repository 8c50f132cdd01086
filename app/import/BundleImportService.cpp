#include "BundleImportService.h"

#include "FileImportService.h"
#include "ImportTally.h"
#include "KMImportProductsOperation.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/SoftwareFolders.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QFileInfo>

using namespace Persistence;

namespace {

QStringList bundleExtensions()
{
    return {QStringLiteral("app"), QStringLiteral("prefpane"), QStringLiteral("bundle"), QStringLiteral("wdgt")};
}

} // namespace

BundleImportService::BundleImportService(LibrarySession& session, ImportTally& tally, FileImportService& files,
                                         ApplicationLocatorSource locators, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_tally(tally)
    , m_files(files)
    , m_locators(std::move(locators))
{ }

BundleImportService::~BundleImportService() = default;

void BundleImportService::openFiles(const QStringList& paths)
{
    const QStringList remaining = m_files.importMacHeist3DataFiles(m_files.importKeymoorDataFiles(paths));
    if (!remaining.isEmpty()) {
        importProductsFromFiles(remaining);
    }
}

bool BundleImportService::importProductsFromFiles(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return false;
    }
    if (m_session.isReadOnly() || !m_session.managedObjectContext()) {
        Log::write(QStringLiteral("Error importing application: the library is not open for changes."));
        return false;
    }
    // The operation reports on the queue's thread; the main context is only touched on the main
    // thread, when the job completes.
    auto outcome = std::make_shared<KMImportProductsOperation::Outcome>();
    auto operation = std::make_shared<KMImportProductsOperation>(
        paths, m_session.openedContext()->coordinator(), m_locators(),
        [outcome](const KMImportProductsOperation::Outcome& result) { *outcome = result; });
    LibrarySession* session = &m_session;
    operation->setSaver(
        [session](ObjectContext* context, StoreError* error) { return session->saveContext(context, error); });
    m_session.jobs().start(
        ImportJob,
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

void BundleImportService::productImportSaved(const SaveNotice& notice, const QList<ObjectID>& createdIDs)
{
    if (ObjectContext* context = m_session.openedContext()) {
        ContextLocker locker(context);
        context->mergeChangesFromSaveNotice(notice);
    }
    m_tally.add(ImportCounts {int(createdIDs.size()), 0});
    if (!createdIDs.isEmpty()) {
        emit m_session.productsChanged();
    }
    emit selectAndScrollToProduct(createdIDs.isEmpty() ? ObjectID() : createdIDs.first());
}

void BundleImportService::productImportFailed(const StoreError& error)
{
    m_tally.add(ImportCounts {0, 0, 1});
    if (UserInterface* ui = m_session.userInterface()) {
        ui->presentError(PresentableError {error.description, QString(), error.failureReason});
    }
}

void BundleImportService::waitForProductImports()
{
    m_session.jobs().waitFor(ImportJob);
}

int BundleImportService::runningProductImports() const
{
    return m_session.jobs().runningCount(ImportJob);
}

void BundleImportService::importNewProduct()
{
    // A remembered folder that has gone away gives way to the default, an applications folder that
    // exists. Desktop entries and AppImages are applications here as much as bundles are.
    UserPreferences& prefs = m_session.userPrefs();
    QString start = prefs.importAppPath();
    if (!QFileInfo(UserPreferences::expandTildeInPath(start, QDir::homePath())).isDir()) {
        start = prefs.expandedPath(PreferenceKeys::ImportAppPath);
    }
    importProductWithStartingPath(
        start, bundleExtensions() + QStringList {QStringLiteral("desktop"), QStringLiteral("AppImage")},
        QStringLiteral("app"));
}

void BundleImportService::importPrefPane()
{
    importProductWithStartingPath(
        SoftwareFolders::existingBundleFolder(SoftwareFolders::BundleKind::PreferencePane, QDir::homePath()),
        bundleExtensions(), QStringLiteral("prefpane"));
}

void BundleImportService::importPlugin()
{
    importProductWithStartingPath(
        SoftwareFolders::existingBundleFolder(SoftwareFolders::BundleKind::Plugin, QDir::homePath()), {},
        QStringLiteral("plugin"));
}

void BundleImportService::importWidget()
{
    importProductWithStartingPath(
        SoftwareFolders::existingBundleFolder(SoftwareFolders::BundleKind::Widget, QDir::homePath()),
        bundleExtensions(), QStringLiteral("widget"));
}

void BundleImportService::importProductWithStartingPath(const QString& startingPath,
                                                        const QStringList& allowedExtensions, const QString& kind)
{
    UserInterface* ui = m_session.userInterface();
    if (!ui) {
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
    const std::optional<QStringList> chosen = ui->runOpenPanel(options);
    if (!chosen) {
        return;
    }
    if (kind == QLatin1String("app") && !chosen->isEmpty()) {
        m_session.userPrefs().setImportAppPath(QFileInfo(QDir::cleanPath(chosen->first())).absolutePath());
    }
    if (!chosen->isEmpty()) {
        importProductsFromFiles(*chosen);
    }
}
