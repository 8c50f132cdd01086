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
#include "persistence/ObjectContext.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

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
    KMImportOperation* job = operation.get();
    job->setCompletion([this](KMImportOperation* done) {
        QMetaObject::invokeMethod(
            this, [this, done] { importOperationDidFinish(done); }, Qt::QueuedConnection);
    });
    QThread* thread = QThread::create([job] { job->start(); });
    thread->setObjectName(QStringLiteral("KMImportOperation"));
    m_fileImports.push_back(RunningFileImport {std::move(operation), thread});
    thread->start();
}

void KeymoorAppDelegate::importOperationDidFinish(KMImportOperation* operation)
{
    auto running = std::find_if(m_fileImports.begin(), m_fileImports.end(),
                                [operation](const RunningFileImport& r) { return r.operation.get() == operation; });
    if (running == m_fileImports.end()) {
        return;
    }
    running->thread->wait();
    delete running->thread;
    std::unique_ptr<KMImportOperation> done = std::move(running->operation);
    m_fileImports.erase(running);

    ImportCounts counts = done->counts();
    counts.failed = done->alert() || done->error() ? 1 : 0;
    addImportCounts(counts);
    emit m_session->productsChanged();
    // Several imports may run at once; the sheet stays until the last one is done.
    if (m_ui && m_fileImports.empty()) {
        m_ui->stopProgress();
    }
    if (m_ui) {
        if (const auto alert = done->alert()) {
            m_ui->runAlert(*alert);
        }
        if (const auto error = done->error()) {
            m_ui->presentError(*error);
        }
    }
}

void KeymoorAppDelegate::waitForFileImports()
{
    QEventLoop loop;
    while (!m_fileImports.empty()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
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
