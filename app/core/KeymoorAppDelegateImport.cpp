#include "KeymoorAppDelegate.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "import/KMImportHelperRecordsOperation.h"
#include "import/KMImportKeymoorDataFileOperation.h"
#include "import/KMImportMacHeist3DataFileOperation.h"
#include "import/MailScriptHelper.h"
#include "import/SerialKeeperImporter.h"
#include "library/BackgroundJobTracker.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>

using namespace Persistence;

namespace {

// The kind of background job of the imports of other programs' files.
const QString FileImportJob = QStringLiteral("KMImportOperation");

// Starts an import of each path with the extension (ignoring case); answers the others in order.
QStringList takePathsWithExtension(const QStringList& paths, const QString& extension,
                                   const std::function<void(const QString&)>& import)
{
    QStringList rest;
    for (const QString& path : paths) {
        if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0) {
            import(path);
        } else {
            rest.append(path);
        }
    }
    return rest;
}

} // namespace

QStringList KeymoorAppDelegate::importKeymoorDataFiles(const QStringList& paths)
{
    return takePathsWithExtension(paths, QStringLiteral("keymoor"),
                                  [this](const QString& path) { actionImportKeymoorPlist(path); });
}

QStringList KeymoorAppDelegate::importMacHeist3DataFiles(const QStringList& paths)
{
    return takePathsWithExtension(paths, QStringLiteral("appshelf"),
                                  [this](const QString& path) { actionImportAppShelfXML(path); });
}

void KeymoorAppDelegate::actionImportKeymoorPlist(const QString& path)
{
    if (ObjectContext* context = managedObjectContext()) {
        startImportOperation(std::make_unique<KMImportKeymoorDataFileOperation>(
            path, LibraryPaths::libraryBundlePath(), context->coordinator(), applicationLocator()));
    }
}

void KeymoorAppDelegate::actionImportAppShelfXML(const QString& path)
{
    if (ObjectContext* context = managedObjectContext()) {
        startImportOperation(std::make_unique<KMImportMacHeist3DataFileOperation>(
            path, LibraryPaths::libraryBundlePath(), context->coordinator(), applicationLocator()));
    }
}

void KeymoorAppDelegate::actionImportSerialKeeperXML(const QString& path)
{
    if (ObjectContext* context = managedObjectContext()) {
        startImportOperation(std::make_unique<SerialKeeperImporter>(path, LibraryPaths::libraryBundlePath(),
                                                                    context->coordinator(), applicationLocator()));
    }
}

bool KeymoorAppDelegate::actionImportYojimboSerialNumbers(bool overwrite)
{
    const QString helperName = QStringLiteral("YojimboHelper");
    const QString helperPath = MailScriptHelper::sharedHelper().pathForScript(helperName);
    if (helperPath.isEmpty()) {
        showMissingScriptAlert(helperName);
        return false;
    }
    ObjectContext* context = managedObjectContext();
    if (!context) {
        return false;
    }
    startImportOperation(std::make_unique<KMImportHelperRecordsOperation>(
        helperPath, overwrite, LibraryPaths::libraryBundlePath(), context->coordinator(), applicationLocator()));
    return true;
}

void KeymoorAppDelegate::startImportOperation(std::unique_ptr<KMImportOperation> operation)
{
    if (m_ui) {
        m_ui->startProgress(localizedString(QStringLiteral("ImportTextProgressMessage")));
    }
    // What the import saves reaches the main context on the main thread, before its completion.
    connect(operation->managedObjectContext(), &ObjectContext::didSave, m_session->openedContext(),
            &ObjectContext::mergeChangesFromSaveNotice, Qt::QueuedConnection);
    std::shared_ptr<KMImportOperation> job = std::move(operation);
    m_session->jobs().start(
        FileImportJob,
        [job]() -> std::optional<QString> {
            job->start();
            if (const auto error = job->error()) {
                return error->description;
            }
            return std::nullopt;
        },
        [this, job] { importOperationDidFinish(*job); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void KeymoorAppDelegate::importOperationDidFinish(const KMImportOperation& done)
{
    ImportCounts counts = done.counts();
    counts.failed = done.alert() || done.error() ? 1 : 0;
    addImportCounts(counts);
    emit m_session->productsChanged();
    // Several imports may run at once; the sheet stays until the last one is done.
    if (m_ui && runningFileImports() == 0) {
        m_ui->stopProgress();
    }
    if (m_ui) {
        if (const auto alert = done.alert()) {
            m_ui->runAlert(*alert);
        }
        if (const auto error = done.error()) {
            m_ui->presentError(*error);
        }
    }
}

void KeymoorAppDelegate::waitForFileImports()
{
    m_session->jobs().waitFor(FileImportJob);
}

int KeymoorAppDelegate::runningFileImports() const
{
    return m_session->jobs().runningCount(FileImportJob);
}

ImportCounts KeymoorAppDelegate::takeImportCounts()
{
    const std::lock_guard locker(m_importCountsMutex);
    const ImportCounts counts = m_importCounts;
    m_importCounts = {};
    return counts;
}

void KeymoorAppDelegate::addImportCounts(const ImportCounts& counts)
{
    const std::lock_guard locker(m_importCountsMutex);
    m_importCounts += counts;
}
