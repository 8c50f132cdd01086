#include "MaintenanceTestLibrary.h"

// Imports that fail half-way: the library afterwards must hold exactly what it held before.
class ImportFailureTest : public MaintenanceTestLibrary
{
protected:
    void SetUp() override
    {
        MaintenanceTestLibrary::SetUp();
        start();
        fillLibrary();
        m_exported = migrator().performBackgroundExportToPath(m_exports.path());
        ASSERT_FALSE(m_exported.isEmpty());
        // The library then changes, so the import has something to overwrite or double.
        auto* product = context()->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(QStringLiteral("Only Here"));
        ASSERT_TRUE(product->attachDocument(writeFile(QStringLiteral("only.txt"), "only here")));
        ASSERT_TRUE(m_delegate->saveAction());
        m_before = fingerprint();
        m_files = folderHashes(LibraryPaths::attachmentsPath());
        m_icons = folderHashes(LibraryPaths::iconsPath());
    }
    void expectUnchanged()
    {
        EXPECT_EQ(fingerprint(), m_before);
        EXPECT_EQ(folderHashes(LibraryPaths::attachmentsPath()), m_files);
        EXPECT_EQ(folderHashes(LibraryPaths::iconsPath()), m_icons);
        m_delegate->applicationShouldTerminate();
        restart();
        EXPECT_EQ(fingerprint(), m_before);
    }

    QTemporaryDir m_exports;
    QString m_exported;
    std::map<QString, QString> m_before;
    std::map<QString, QString> m_files;
    std::map<QString, QString> m_icons;
};

TEST_F(ImportFailureTest, AFailureHalfWayThroughTheRecordsRestoresTheBackupInBothModes)
{
    for (const bool replace : {true, false}) {
        int copied = 0;
        migrator().setCopyObjectHook([&copied](const Persistence::ManagedObject*) { return ++copied != 6; });
        EXPECT_EQ(migrator().importFromXML(m_exported, replace), ZRDataMigrator::ImportResult::Restored) << replace;
        migrator().setCopyObjectHook({});
        EXPECT_TRUE(logged(QStringLiteral("Import Failed! Restoring...")));
        EXPECT_FALSE(m_delegate->isTerminationRequested());
        expectUnchanged();
    }
}

TEST_F(ImportFailureTest, AnExportFileThatCannotBeCopiedFailsAReplaceAndRestoresTheBackup)
{
    FolderCopy::setFileHookForTesting(
        [](const QString& source) { return !source.contains(QStringLiteral("Keymoor Export/Attachments/")); });
    EXPECT_EQ(migrator().importFromXML(m_exported, true), ZRDataMigrator::ImportResult::Restored);
    FolderCopy::setFileHookForTesting({});
    EXPECT_EQ(m_ui.alerts().last().style, AlertStyle::Critical);
    expectUnchanged();
}

TEST_F(ImportFailureTest, AFailedRestoreAsksTheApplicationToQuitAndKeepsTheBackup)
{
    bool quitAsked = false;
    QObject::connect(m_delegate.get(), &KeymoorAppDelegate::terminationRequested, [&quitAsked] { quitAsked = true; });
    migrator().setCopyObjectHook([](const Persistence::ManagedObject*) { return false; });
    EXPECT_EQ(migrator().importFromXML(m_exported, true), ZRDataMigrator::ImportResult::RestoreFailed);
    migrator().setCopyObjectHook({});
    QCoreApplication::processEvents();
    EXPECT_TRUE(quitAsked);
    EXPECT_TRUE(m_delegate->isTerminationRequested());
    EXPECT_TRUE(logged(QStringLiteral("Restore Failed!  Disaster!")));
    EXPECT_TRUE(logged(QStringLiteral("Terminate!")));
    ASSERT_FALSE(m_ui.alerts().isEmpty());
    EXPECT_EQ(m_ui.alerts().last().style, AlertStyle::Critical);
    // Nothing of the import was saved, and the backup is there to be restored by hand.
    EXPECT_TRUE(
        QFileInfo(QDir(ZRDataMigrator::backupFolderPath()).filePath(QStringLiteral("Keymoor.kmlib/Keymoor.data")))
            .isFile());
    expectUnchanged();
}

TEST_F(ImportFailureTest, RestoringALegacyBackupIsRefused)
{
    const QString legacy = writeFile(QStringLiteral("Keymoor.data"), "legacy");
    EXPECT_FALSE(migrator().restoreFromBackupURL(legacy));
    EXPECT_TRUE(logged(QStringLiteral("Backup file is in an old format and will not be restored.")));
    EXPECT_FALSE(m_delegate->isTerminationRequested());
    expectUnchanged();
}
