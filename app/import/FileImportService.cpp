#include "FileImportService.h"

#include "ImportTally.h"
#include "KMImportHelperRecordsOperation.h"
#include "KMImportKeymoorDataFileOperation.h"
#include "KMImportMacHeist3DataFileOperation.h"
#include "MailScriptHelper.h"
#include "MissingScriptAlert.h"
#include "SerialKeeperImporter.h"
#include "TextImportService.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>

using namespace Persistence;

namespace {

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

FileImportService::FileImportService(LibrarySession& session, ImportTally& tally, ApplicationLocatorSource locators,
                                     QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_tally(tally)
    , m_locators(std::move(locators))
{ }

FileImportService::~FileImportService() = default;

QStringList FileImportService::importKeymoorDataFiles(const QStringList& paths)
{
    return takePathsWithExtension(paths, QStringLiteral("keymoor"),
                                  [this](const QString& path) { actionImportKeymoorPlist(path); });
}

QStringList FileImportService::importMacHeist3DataFiles(const QStringList& paths)
{
    return takePathsWithExtension(paths, QStringLiteral("appshelf"),
                                  [this](const QString& path) { actionImportAppShelfXML(path); });
}

void FileImportService::actionImportKeymoorPlist(const QString& path)
{
    if (ObjectContext* context = m_session.managedObjectContext()) {
        startImportOperation(std::make_unique<KMImportKeymoorDataFileOperation>(path, LibraryPaths::libraryBundlePath(),
                                                                                context->coordinator(), m_locators()));
    }
}

void FileImportService::actionImportAppShelfXML(const QString& path)
{
    if (ObjectContext* context = m_session.managedObjectContext()) {
        startImportOperation(std::make_unique<KMImportMacHeist3DataFileOperation>(
            path, LibraryPaths::libraryBundlePath(), context->coordinator(), m_locators()));
    }
}

void FileImportService::actionImportSerialKeeperXML(const QString& path)
{
    if (ObjectContext* context = m_session.managedObjectContext()) {
        startImportOperation(std::make_unique<SerialKeeperImporter>(path, LibraryPaths::libraryBundlePath(),
                                                                    context->coordinator(), m_locators()));
    }
}

bool FileImportService::actionImportYojimboSerialNumbers(bool overwrite)
{
    const QString helperName = QStringLiteral("YojimboHelper");
    const QString helperPath = MailScriptHelper::sharedHelper().pathForScript(helperName);
    if (helperPath.isEmpty()) {
        showMissingScriptAlert(m_session.userInterface(), helperName);
        return false;
    }
    ObjectContext* context = m_session.managedObjectContext();
    if (!context) {
        return false;
    }
    startImportOperation(std::make_unique<KMImportHelperRecordsOperation>(
        helperPath, overwrite, LibraryPaths::libraryBundlePath(), context->coordinator(), m_locators()));
    return true;
}

void FileImportService::startImportOperation(std::unique_ptr<KMImportOperation> operation)
{
    if (UserInterface* ui = m_session.userInterface()) {
        ui->startProgress(localizedString(QStringLiteral("ImportingProgressMessage")));
    }
    // What the import saves reaches the main context on the main thread, before its completion.
    connect(operation->managedObjectContext(), &ObjectContext::didSave, m_session.openedContext(),
            &ObjectContext::mergeChangesFromSaveNotice, Qt::QueuedConnection);
    std::shared_ptr<KMImportOperation> job = std::move(operation);
    m_session.jobs().start(
        ImportJob,
        [job]() -> std::optional<QString> {
            job->start();
            if (const auto error = job->error()) {
                return error->description;
            }
            return std::nullopt;
        },
        [this, job] { importOperationDidFinish(*job); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void FileImportService::importOperationDidFinish(const KMImportOperation& done)
{
    ImportCounts counts = done.counts();
    counts.failed = done.alert() || done.error() ? 1 : 0;
    m_tally.add(counts);
    emit m_session.productsChanged();
    UserInterface* ui = m_session.userInterface();
    // Several imports may run at once; the sheet stays until the last one is done.
    if (ui && m_session.jobs().runningCount({ImportJob, TextImportService::ImportJob}) == 0) {
        ui->stopProgress();
    }
    if (ui) {
        if (const auto alert = done.alert()) {
            ui->runAlert(*alert);
        }
        if (const auto error = done.error()) {
            ui->presentError(*error);
        }
    }
}

void FileImportService::waitForFileImports()
{
    m_session.jobs().waitFor(ImportJob);
}

int FileImportService::runningFileImports() const
{
    return m_session.jobs().runningCount(ImportJob);
}
