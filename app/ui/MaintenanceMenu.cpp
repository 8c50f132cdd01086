#include "MaintenanceMenu.h"

#include "DelimitedExportSheet.h"
#include "MigrationProgressSheet.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "library/BackgroundJobTracker.h"
#include "maintenance/ZRDataMigrator.h"
#include "prefs/UserPreferences.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

// The kind of background job of the maintenance commands.
const QString MaintenanceJob = QStringLiteral("MaintenanceMenu");

QString expandedFolder(const QString& folder)
{
    return UserPreferences::expandTildeInPath(folder, QDir::homePath());
}

} // namespace

MaintenanceMenu::MaintenanceMenu(KeymoorAppDelegate* delegate, QWidget* window)
    : QObject(window)
    , m_delegate(delegate)
    , m_window(window)
    , m_sheet(new MigrationProgressSheet(window))
    , m_exportOptions(new QAction(localizedString(QStringLiteral("MaintenanceExportAsDelimitedTextMenuItem")), this))
    , m_exportFolder(new QAction(localizedString(QStringLiteral("MaintenanceExportLibraryFolderMenuItem")), this))
    , m_import(new QAction(localizedString(QStringLiteral("MaintenanceImportLibraryMenuItem")), this))
    , m_backup(new QAction(localizedString(QStringLiteral("MaintenanceBackUpLibraryMenuItem")), this))
{
    delegate->dataMigrator()->setProgress(m_sheet);
    connect(m_exportOptions, &QAction::triggered, this, &MaintenanceMenu::exportWithOptions);
    connect(m_exportFolder, &QAction::triggered, this, &MaintenanceMenu::exportToXML);
    connect(m_import, &QAction::triggered, this, &MaintenanceMenu::importLibrary);
    connect(m_backup, &QAction::triggered, this, &MaintenanceMenu::backUpLibrary);
}

MaintenanceMenu::~MaintenanceMenu()
{
    if (m_delegate) {
        // The running work reports to the progress sheet, which goes with the window.
        m_delegate->jobs().waitForWorkToReturn(MaintenanceJob);
        m_delegate->dataMigrator()->setProgress(nullptr);
    }
}

void MaintenanceMenu::addActionsTo(QMenu* menu)
{
    const bool available = m_delegate && m_delegate->managedObjectContext();
    for (QAction* action : {m_exportOptions, m_exportFolder, m_import, m_backup}) {
        action->setEnabled(available);
        menu->addAction(action);
    }
}

bool MaintenanceMenu::isRunning() const
{
    return m_delegate && m_delegate->jobs().runningCount(MaintenanceJob) > 0;
}

void MaintenanceMenu::setActionsEnabled(bool enabled)
{
    for (QAction* action : {m_exportOptions, m_exportFolder, m_import, m_backup}) {
        action->setEnabled(enabled);
    }
}

void MaintenanceMenu::runInBackground(std::function<void()> work, const QString& doneMessage)
{
    if (!m_delegate || isRunning()) {
        return;
    }
    setActionsEnabled(false);
    m_delegate->jobs().start(
        MaintenanceJob,
        [work = std::move(work)] {
            work();
            return std::optional<QString>();
        },
        [this, doneMessage] {
            setActionsEnabled(true);
            emit finished();
            emit statusMessage(doneMessage);
        },
        BackgroundJobTracker::Placement::OwnThread, this);
}

void MaintenanceMenu::exportWithOptions()
{
    if (!m_delegate || !m_delegate->saveAction()) {
        return;
    }
    DelimitedExportSheet sheet(m_delegate->dataMigrator(), m_window);
    if (sheet.exec() == 1) {
        exportToDelimitedText();
    }
}

void MaintenanceMenu::exportToDelimitedText()
{
    if (!m_delegate || !m_delegate->saveAction() || !m_delegate->userInterface()) {
        return;
    }
    SavePanelOptions options;
    options.prompt = localizedString(QStringLiteral("SaveDelimitedExport"));
    options.startFolder = expandedFolder(m_delegate->userPrefs().exportCSVPath());
    options.proposedName = QStringLiteral("KeymoorExport.txt");
    options.confirmOverwrite = false; // the export writes to the next free name instead
    const auto path = m_delegate->userInterface()->runSavePanel(options);
    if (!path) {
        return;
    }
    ZRDataMigrator* migrator = m_delegate->dataMigrator();
    const QString target = *path;
    runInBackground([migrator, target] { migrator->performBackgroundTextExportToPath(target); },
                    localizedString(QStringLiteral("StatusExportFinished")));
}

void MaintenanceMenu::exportToXML()
{
    if (!m_delegate || !m_delegate->saveAction() || !m_delegate->userInterface()) {
        return;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("ChooseExportFolder"));
    options.startFolder = expandedFolder(m_delegate->userPrefs().exportAttachmentPath());
    options.chooseFiles = false;
    options.chooseFolders = true;
    options.canCreateFolders = true;
    const auto paths = m_delegate->userInterface()->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return;
    }
    ZRDataMigrator* migrator = m_delegate->dataMigrator();
    const QString folder = paths->first();
    runInBackground([migrator, folder] { migrator->performBackgroundExportToPath(folder); },
                    localizedString(QStringLiteral("StatusExportFinished")));
}

void MaintenanceMenu::importLibrary()
{
    if (!m_delegate || !m_delegate->userInterface() || !m_delegate->managedObjectContext()) {
        return;
    }
    UserInterface* ui = m_delegate->userInterface();
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("ImportButton"));
    options.startFolder = expandedFolder(m_delegate->userPrefs().exportAttachmentPath());
    options.chooseFolders = true;
    const auto paths = ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return;
    }
    Question question;
    question.title = localizedString(QStringLiteral("ImportLibraryMergeQuestion"));
    question.message = localizedString(QStringLiteral("ImportLibraryMergeQuestionMessage"));
    question.yesButton = localizedString(QStringLiteral("ImportLibraryMergeButton"));
    question.noButton = localizedString(QStringLiteral("ImportLibraryReplaceButton"));
    question.cancelButton = localizedString(QStringLiteral("CancelButton"));
    const Answer answer = ui->ask(question);
    if (answer != Answer::Cancel) {
        importLibraryFromPath(paths->first(), answer == Answer::No);
    }
}

void MaintenanceMenu::importLibraryFromPath(const QString& path, bool replace)
{
    if (!m_delegate || !m_delegate->managedObjectContext() || !m_delegate->saveAction()) {
        return;
    }
    ZRDataMigrator* migrator = m_delegate->dataMigrator();
    runInBackground([migrator, path, replace] { migrator->performImportFromPath(path, replace); },
                    localizedString(QStringLiteral("StatusLibraryImportFinished")));
}

void MaintenanceMenu::backUpLibrary()
{
    if (!m_delegate || !m_delegate->saveAction()) {
        return;
    }
    ZRDataMigrator* migrator = m_delegate->dataMigrator();
    runInBackground(
        [migrator] {
            migrator->showProgressPanel(localizedString(QStringLiteral("BackingUpDataProgressMessage")));
            migrator->backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
            migrator->endProgressSheet();
        },
        localizedString(QStringLiteral("StatusBackupFinished")));
}
