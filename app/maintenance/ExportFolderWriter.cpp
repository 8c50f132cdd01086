#include "maintenance/ExportFolderWriter.h"

#include "ZRPathTools.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "maintenance/StoreVersionReader.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>

using namespace Persistence;

ExportFolderWriter::ExportFolderWriter(MigrationReporter& reporter, ObjectGraphCopier& copier)
    : m_reporter(reporter)
    , m_copier(copier)
{ }

QString ExportFolderWriter::performBackgroundExportToPath(const QString& folder)
{
    m_reporter.showProgressPanel(localizedString(QStringLiteral("ExportingProgressMessage")));
    QString exportFolder;
    bool exported = false;
    {
        // A coordinator of its own over the library's store, so the export reads what is saved.
        const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
        auto coordinator = model ? std::make_shared<StoreCoordinator>(model) : nullptr;
        PersistentStore::Options readOnly;
        readOnly.readOnly = true;
        if (coordinator
            && coordinator->addStore(StoreType::SQLite, LibraryPaths::persistentStoreURL(), nullptr, readOnly)) {
            ObjectContext context(coordinator);
            exported = exportManagedObjectContext(&context, folder, &exportFolder);
        } else {
            Log::write(QStringLiteral("Error initializing persistent store for URL:%1")
                           .arg(LibraryPaths::persistentStoreURL()));
        }
    }
    if (!exported) {
        Log::write(QStringLiteral("Export to %1 failed!").arg(folder));
    }
    m_reporter.endProgressSheet();
    return exported ? exportFolder : QString();
}

bool ExportFolderWriter::exportManagedObjectContext(ObjectContext* source, const QString& folder, QString* exportFolder)
{
    const QString operation = QStringLiteral("ZRDataMigrator::exportManagedObjectContext");
    if (!source) {
        Log::write(QStringLiteral("%1 Source MangedObjectContext Argument is Null! Export Failed!").arg(operation));
        return false;
    }
    if (folder.isEmpty()) {
        Log::write(QStringLiteral("%1 XML Export Path Argument is Null! Export Failed!").arg(operation));
        return false;
    }
    const QString target = ZR_safeFilePath(QDir(folder).filePath(QStringLiteral("Keymoor Export")));
    if (exportFolder) {
        *exportFolder = target;
    }
    if (!QDir().mkpath(target)) {
        Log::write(QStringLiteral("Error creating export folder: %1 error: %2")
                       .arg(target, QStringLiteral("cannot create the folder")));
        return false;
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QDir exportDir(target);
    QString error;
    if (!FolderCopy::copyItem(LibraryPaths::attachmentsPath(), exportDir.filePath(QStringLiteral("Attachments")),
                              &error)) {
        Log::write(QStringLiteral("Failed to copy attachments: %1").arg(error));
        return false;
    }
    if (!FolderCopy::copyItem(LibraryPaths::iconsPath(), exportDir.filePath(QStringLiteral("Icons")), &error)) {
        Log::write(QStringLiteral("Failed to copy icons: %1").arg(error));
        return false;
    }
    const int current = StoreVersionReader::currentModelVersion();
    const auto model = StoreVersionReader::managedObjectModelForVersion(current);
    auto coordinator = model ? std::make_shared<StoreCoordinator>(model) : nullptr;
    StoreError storeError;
    PersistentStore* store = coordinator
        ? coordinator->addStore(StoreType::XML, exportDir.filePath(QStringLiteral("Keymoor.xml")), &storeError)
        : nullptr;
    if (!store) {
        Log::write(QStringLiteral("%1: Error creating Managed Object Context!").arg(operation));
        return false;
    }
    coordinator->setMetadata(store, {{QStringLiteral("ZRModelVersion"), current}});
    ObjectContext destination(coordinator);
    return m_copier.copyManagedObjectContext(source, &destination);
}
