#include "MaintenanceTestLibrary.h"
#include "base/AppInfo.h"
#include "base/Localization.h"
#include "persistence/StoreCoordinator.h"

using namespace Persistence;

namespace {

// A store written by the model of an older version, filled through its own context.
struct OldStore
{
    OldStore(int version, const QString& path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        coordinator = std::make_shared<StoreCoordinator>(ZRDataMigrator::managedObjectModelForVersion(version));
        PersistentStore* store = coordinator->addStore(StoreType::SQLite, path);
        EXPECT_TRUE(store) << version;
        coordinator->setMetadata(store, {{QStringLiteral("ZRModelVersion"), version}});
        context = std::make_unique<ObjectContext>(coordinator);
    }
    ManagedObject* insert(const QString& entity, const QVariantMap& values)
    {
        ManagedObject* object = context->insertObject(entity);
        for (auto it = values.begin(); it != values.end(); ++it) {
            EXPECT_TRUE(object->setValue(it.key(), it.value())) << it.key().toStdString();
        }
        return object;
    }
    std::shared_ptr<StoreCoordinator> coordinator;
    std::unique_ptr<ObjectContext> context;
};

} // namespace

class UpgradeTest : public MaintenanceTestLibrary
{
protected:
    // What every older library below holds, as the current version shows it.
    void expectUpgradedCatalogue(const QString& title)
    {
        const auto products = fingerprint();
        ASSERT_TRUE(products.count(title)) << title.toStdString();
        auto* product = static_cast<ProductEntity*>(
            context()
                ->execute(
                    FetchRequest(QStringLiteral("Product"), Predicate::keyPathEquals(QStringLiteral("title"), title)))
                ->first());
        EXPECT_EQ(product->serialNumber(), QStringLiteral("OLD-123"));
        ASSERT_NE(product->appIcon(), nullptr);
        EXPECT_FALSE(QImage(product->appIcon()->filePath()).isNull());
        QStringList names;
        for (AttachmentEntity* attachment : product->attachedFiles()) {
            names << attachment->name();
            EXPECT_EQ(readAll(attachment->contentPath()), QByteArray("bytes of ") + attachment->name().toUtf8());
        }
        names.sort();
        EXPECT_EQ(names, (QStringList {QStringLiteral("licence.txt"), QStringLiteral("receipt.eml")}));
        EXPECT_TRUE(logged(QStringLiteral("Upgrade Completed.")));
    }
};

TEST_F(UpgradeTest, StoresOfEachOlderVersionAreBackedUpAndUpgradedAtStart)
{
    for (const int version : {5, 6}) {
        TemporaryUserFolders folders;
        m_log.clear();
        {
            OldStore old(version, LibraryPaths::persistentStoreURL());
            ManagedObject* product = old.insert(QStringLiteral("Product"),
                                                {{QStringLiteral("title"), QStringLiteral("Old")},
                                                 {QStringLiteral("serialNumber"), QStringLiteral("OLD-123")}});
            for (const QString& name : {QStringLiteral("licence.txt"), QStringLiteral("receipt.eml")}) {
                const QByteArray bytes = QByteArray("bytes of ") + name.toUtf8();
                ManagedObject* file = old.insert(QStringLiteral("AttachedFile"), {{QStringLiteral("name"), name}});
                file->setToOne(QStringLiteral("product"), product);
                if (version == 5) {
                    file->setValue(QStringLiteral("content"), bytes);
                } else {
                    ManagedObject* content = old.insert(QStringLiteral("AttachmentContent"), {});
                    content->setToOne(QStringLiteral("attachment"), file);
                    FolderCopy::copyFile(writeFile(name, bytes),
                                         static_cast<ZRAttachmentContent*>(content)->filePath());
                }
            }
            if (version == 5) {
                product->setValue(QStringLiteral("icon"), pngBytes(qRgb(0, 0, 255)));
            } else {
                auto* icon = static_cast<IconEntity*>(old.insert(QStringLiteral("Icon"), {}));
                icon->setToOne(QStringLiteral("product"), product);
                FolderCopy::copyFile(writeFile(QStringLiteral("icon.png"), pngBytes(qRgb(0, 0, 255))),
                                     icon->filePath());
            }
            ASSERT_TRUE(old.context->save());
        }
        const QByteArray oldStore = readAll(LibraryPaths::persistentStoreURL());
        start();
        expectUpgradedCatalogue(QStringLiteral("Old"));
        EXPECT_EQ(ZRDataMigrator::versionForStoreURL(LibraryPaths::persistentStoreURL()), AppInfo::modelVersion());
        EXPECT_EQ(
            readAll(QDir(ZRDataMigrator::backupFolderPath()).filePath(QStringLiteral("Keymoor.kmlib/Keymoor.data"))),
            oldStore);
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(LibraryPaths::persistentStoreURL()).absolutePath()
                                       + QStringLiteral("/Keymoor 1.data")));
        m_delegate.reset();
    }
}

TEST_F(UpgradeTest, ALegacyStoreBesideTheLibraryIsMigratedIntoItInTwoPasses)
{
    start();
    context()->insert<ProductEntity>(QStringLiteral("Product"))->setTitle(QStringLiteral("Already Here"));
    ASSERT_TRUE(m_delegate->saveAction());
    m_delegate.reset();
    {
        OldStore old(4, LibraryPaths::legacyPersistentStoreURL());
        old.coordinator->setMetadata(old.coordinator->firstStore(), {}); // the oldest stores carry no version
        ManagedObject* product = old.insert(QStringLiteral("Product"),
                                            {{QStringLiteral("title"), QStringLiteral("Legacy")},
                                             {QStringLiteral("serialNumber"), QStringLiteral("OLD-123")},
                                             {QStringLiteral("icon"), pngBytes(qRgb(9, 9, 9))}});
        for (const QString& name :
             {QStringLiteral("licence.txt"), QStringLiteral("receipt.eml"), QStringLiteral("empty")}) {
            ManagedObject* file
                = old.insert(name.endsWith(u"eml") ? QStringLiteral("EmailReceipt") : QStringLiteral("AttachedFile"),
                             {{QStringLiteral("name"), name}});
            file->setToOne(QStringLiteral("product"), product);
            if (name != u"empty") {
                ManagedObject* content
                    = old.insert(QStringLiteral("AttachmentContent"),
                                 {{QStringLiteral("contentData"), QByteArray("bytes of ") + name.toUtf8()}});
                content->setToOne(QStringLiteral("attachment"), file);
            }
        }
        ASSERT_TRUE(old.context->save());
    }
    const QByteArray legacy = readAll(LibraryPaths::legacyPersistentStoreURL());
    start();
    EXPECT_TRUE(logged(QStringLiteral("Upgrading legacy library format...")));
    EXPECT_TRUE(logged(QStringLiteral("********* Migrating Legacy Library **********")));
    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::legacyPersistentStoreURL()));
    EXPECT_EQ(readAll(QDir(ZRDataMigrator::backupFolderPath()).filePath(QStringLiteral("Keymoor.data"))), legacy);
    EXPECT_TRUE(fingerprint().count(QStringLiteral("Already Here")));
    // The attachment without content has no content record; the others have their bytes.
    auto* product = static_cast<ProductEntity*>(
        context()
            ->execute(FetchRequest(QStringLiteral("Product"),
                                   Predicate::keyPathEquals(QStringLiteral("title"), QStringLiteral("Legacy"))))
            ->first());
    for (AttachmentEntity* attachment : product->attachedFiles()) {
        if (attachment->name() == u"empty") {
            EXPECT_EQ(attachment->content(), nullptr);
            attachment->product()->removeAttachedFile(attachment);
        }
    }
    EXPECT_EQ(migrator().counter(MigrationProgress::Counter::Attachments), 2);
    expectUpgradedCatalogue(QStringLiteral("Legacy"));
}

TEST_F(UpgradeTest, NewerStoresAndTooLittleFreeSpaceAreRefusedWithoutChangingAByte)
{
    {
        OldStore old(6, LibraryPaths::persistentStoreURL());
        old.insert(QStringLiteral("Product"), {{QStringLiteral("title"), QStringLiteral("Kept")}});
        ASSERT_TRUE(old.context->save());
    }
    const QString store = LibraryPaths::persistentStoreURL();
    const QByteArray before = readAll(store);
    m_delegate = std::make_unique<KeymoorAppDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
    // Free space equal to the store's size is not enough.
    m_delegate->dataMigrator()->setFreeSpaceProvider(
        [store](const QString&) { return quint64(QFileInfo(store).size()); });
    EXPECT_EQ(m_delegate->managedObjectContext(), nullptr);
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, localizedString(QStringLiteral("LowDiskSpace")));
    EXPECT_EQ(readAll(store), before);
    EXPECT_FALSE(QFileInfo::exists(ZRDataMigrator::backupFolderPath()));
    m_delegate.reset();

    {
        auto model = ZRDataMigrator::managedObjectModelForVersion(AppInfo::modelVersion());
        StoreCoordinator coordinator(model);
        QFile::remove(store);
        PersistentStore* newer = coordinator.addStore(StoreType::SQLite, store);
        coordinator.setMetadata(newer, {{QStringLiteral("ZRModelVersion"), AppInfo::modelVersion() + 1}});
        ObjectContext writer(std::shared_ptr<StoreCoordinator>(&coordinator, [](StoreCoordinator*) {}));
        writer.insertObject(QStringLiteral("Currency"));
        ASSERT_TRUE(writer.save());
    }
    const QByteArray newer = readAll(store);
    m_delegate = std::make_unique<KeymoorAppDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
    EXPECT_EQ(m_delegate->managedObjectContext(), nullptr);
    EXPECT_EQ(m_ui.alerts().last().title, localizedString(QStringLiteral("NewerLibraryDetected")));
    EXPECT_EQ(m_ui.alerts().last().style, AlertStyle::Critical);
    EXPECT_EQ(readAll(store), newer);
}

TEST_F(UpgradeTest, BackupsNeverReplaceEachOther)
{
    start();
    const QString first = migrator().backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
    const QString second = migrator().backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("Keymoor.kmlib"));
    EXPECT_EQ(QFileInfo(second).fileName(), QStringLiteral("Keymoor 1.kmlib"));
    EXPECT_TRUE(migrator().backupPersistentStoreForURL(QString()).isEmpty());
    EXPECT_TRUE(logged(QStringLiteral("Missing persistent sore URL")));
    EXPECT_EQ(QFileInfo(ZRDataMigrator::fileNameForMigrationBackup()).fileName(),
              QStringLiteral("MigrationBackup.xml"));
}

TEST_F(UpgradeTest, ALegacyXmlLibraryReplacesTheCatalogueAndOneWithoutItsDocumentTypeIsRefused)
{
    start();
    fillLibrary();
    const auto before = fingerprint();
    EXPECT_EQ(migrator().importFromXML(fixture(QStringLiteral("legacy-without-document-type.xml")), false),
              ZRDataMigrator::ImportResult::Refused);
    EXPECT_TRUE(logged(QStringLiteral("ERROR: Import file is not a valid Keymoor Export.")));
    EXPECT_EQ(m_ui.alerts().last().message, QStringLiteral("Try using XML Import instead."));
    EXPECT_EQ(fingerprint(), before);

    const QString xml = m_scratch.filePath(QStringLiteral("older.xml"));
    {
        auto coordinator = std::make_shared<StoreCoordinator>(ZRDataMigrator::managedObjectModelForVersion(4));
        ASSERT_TRUE(coordinator->addStore(StoreType::XML, xml));
        ObjectContext old(coordinator);
        ManagedObject* product = old.insertObject(QStringLiteral("Product"));
        product->setValue(QStringLiteral("title"), QStringLiteral("From XML"));
        ManagedObject* file = old.insertObject(QStringLiteral("AttachedFile"));
        file->setValue(QStringLiteral("name"), QStringLiteral("notes.txt"));
        file->setToOne(QStringLiteral("product"), product);
        ManagedObject* content = old.insertObject(QStringLiteral("AttachmentContent"));
        content->setValue(QStringLiteral("contentData"), QByteArrayLiteral("xml bytes"));
        content->setToOne(QStringLiteral("attachment"), file);
        ASSERT_TRUE(old.save());
    }
    // Even asked to merge, the older library takes the catalogue's place.
    EXPECT_EQ(migrator().importFromXML(xml, false), ZRDataMigrator::ImportResult::Imported);
    const auto after = fingerprint();
    ASSERT_EQ(after.size(), 1u);
    auto* product = static_cast<ProductEntity*>(context()->execute(FetchRequest(QStringLiteral("Product")))->first());
    EXPECT_EQ(product->title(), QStringLiteral("From XML"));
    ASSERT_EQ(product->attachedFiles().size(), 1);
    EXPECT_EQ(readAll(product->attachedFiles().first()->contentPath()), QByteArrayLiteral("xml bytes"));
}

TEST_F(UpgradeTest, ACommandThatOnlyLooksUpgradesAnOlderLibraryToo)
{
    {
        OldStore old(6, LibraryPaths::persistentStoreURL());
        old.insert(QStringLiteral("Product"), {{QStringLiteral("title"), QStringLiteral("Looked At")}});
        ASSERT_TRUE(old.context->save());
    }
    KeymoorAppDelegate reader(&m_ui, KeymoorAppDelegate::OpenMode::ReadOnly, &m_defaults);
    ObjectContext* looking = reader.managedObjectContext();
    ASSERT_NE(looking, nullptr) << reader.openError().toStdString();
    EXPECT_EQ(looking->execute(FetchRequest(QStringLiteral("Product")))->size(), 1);
    EXPECT_EQ(ZRDataMigrator::versionForStoreURL(LibraryPaths::persistentStoreURL()), AppInfo::modelVersion());
}
