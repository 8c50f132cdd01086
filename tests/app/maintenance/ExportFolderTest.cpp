#include "MaintenanceTestLibrary.h"

class ExportFolderTest : public MaintenanceTestLibrary
{
protected:
    QString exportLibrary()
    {
        const QString exported = migrator().performBackgroundExportToPath(m_exports.path());
        EXPECT_FALSE(exported.isEmpty());
        return exported;
    }
    QTemporaryDir m_exports;
};

TEST_F(ExportFolderTest, ExportThenReplaceIntoAnEmptyLibraryReproducesTheCatalogue)
{
    start();
    fillLibrary();
    const auto before = fingerprint();
    const int currencies = count(QStringLiteral("Currency"));
    const QString exported = exportLibrary();
    EXPECT_EQ(QFileInfo(exported).fileName(), QStringLiteral("Keymoor Export"));
    for (const char* entry : {"Keymoor.xml", "Attachments", "Icons"}) {
        EXPECT_TRUE(QFileInfo::exists(QDir(exported).filePath(QString::fromLatin1(entry)))) << entry;
    }
    EXPECT_EQ(QFileInfo(exportLibrary()).fileName(), QStringLiteral("Keymoor Export 1"));

    // A machine where Keymoor never ran.
    m_delegate.reset();
    TemporaryUserFolders fresh;
    start();
    EXPECT_EQ(migrator().importFromXML(exported, true), ZRDataMigrator::ImportResult::Imported);
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(count(QStringLiteral("Currency")), currencies); // the seeded currencies are not listed twice
    EXPECT_EQ(folderHashes(LibraryPaths::attachmentsPath()), folderHashes(QDir(exported).filePath("Attachments")));
    // What the main context shows is what a later start reads.
    m_delegate->applicationShouldTerminate();
    restart();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(QDir(ZRDataMigrator::backupFolderPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList {QStringLiteral("Keymoor.kmlib")});
}

TEST_F(ExportFolderTest, MergingIntoTheSameLibraryDoublesEveryProductWithoutTouchingAFile)
{
    start();
    fillLibrary();
    const auto before = fingerprint();
    const auto files = folderHashes(LibraryPaths::attachmentsPath());
    const auto icons = folderHashes(LibraryPaths::iconsPath());
    const QString exported = exportLibrary();

    // Choosing the export's Keymoor.xml imports the folder that holds it.
    ASSERT_EQ(migrator().importFromXML(QDir(exported).filePath(QStringLiteral("Keymoor.xml")), false),
              ZRDataMigrator::ImportResult::Imported);
    const auto after = fingerprint();
    EXPECT_EQ(after.size(), before.size() * 2);
    for (const auto& [title, values] : before) {
        EXPECT_EQ(after.at(title), values) << title.toStdString();
        EXPECT_EQ(after.at(title + u'+'), values) << title.toStdString();
    }
    // The old files are untouched, and every imported record names a file of its own.
    for (const auto& [name, digest] : files) {
        EXPECT_EQ(hash(QDir(LibraryPaths::attachmentsPath()).filePath(name)), digest);
    }
    EXPECT_EQ(folderHashes(LibraryPaths::attachmentsPath()).size(), files.size() * 2);
    EXPECT_EQ(folderHashes(LibraryPaths::iconsPath()).size(), icons.size() * 2);
    QSet<QString> names;
    QSet<QString> uuids;
    for (Persistence::ManagedObject* content : all(QStringLiteral("AttachmentContent"))) {
        names.insert(content->value(QStringLiteral("uuid")).toString());
    }
    for (Persistence::ManagedObject* product : all(QStringLiteral("Product"))) {
        uuids.insert(product->value(QStringLiteral("uuid")).toString());
    }
    EXPECT_EQ(names.size(), int(files.size() * 2));
    EXPECT_EQ(uuids.size(), int(before.size() * 2));
}

TEST_F(ExportFolderTest, AFileThatCannotBeCopiedInAMergeShowsAsMissingInsteadOfAnotherFile)
{
    start();
    fillLibrary();
    const QString exported = exportLibrary();
    const QString broken = QDir(QDir(exported).filePath(QStringLiteral("Attachments"))).entryList(QDir::Files).first();
    // Only the export's copy fails: the backup of the library copies a file of that name too.
    FolderCopy::setFileHookForTesting([broken](const QString& source) {
        return !(source.contains(QStringLiteral("Keymoor Export/")) && source.endsWith(broken));
    });

    ASSERT_EQ(migrator().importFromXML(exported, false), ZRDataMigrator::ImportResult::Imported);
    int missing = 0;
    for (Persistence::ManagedObject* object : all(QStringLiteral("AttachmentContent"))) {
        auto* content = static_cast<ZRAttachmentContent*>(object);
        if (!QFileInfo::exists(content->filePath())) {
            ++missing;
        }
    }
    EXPECT_EQ(missing, 1);
    // The original record still has its own file, and only it names that file.
    int naming = 0;
    for (Persistence::ManagedObject* object : all(QStringLiteral("AttachmentContent"))) {
        naming += object->value(QStringLiteral("uuid")).toString() == broken ? 1 : 0;
    }
    EXPECT_EQ(naming, 1);
}

TEST_F(ExportFolderTest, FoldersThatAreNoExportAreRefusedAndChangeNothing)
{
    start();
    fillLibrary();
    const auto before = fingerprint();
    QDir(m_exports.path()).mkpath(QStringLiteral("NoIcons"));
    writeFile(QStringLiteral("NoIcons/Keymoor.xml"), "x");
    QFile::copy(fixture(QStringLiteral("truncated-Keymoor.xml")), m_exports.filePath(QStringLiteral("Keymoor.xml")));
    QDir(m_exports.path()).mkpath(QStringLiteral("Icons"));

    EXPECT_EQ(migrator().importFromXML(m_scratch.filePath(QStringLiteral("NoIcons")), true),
              ZRDataMigrator::ImportResult::Refused);
    EXPECT_TRUE(logged(QStringLiteral("Error: Not a valid Keymoor library export folder!")));
    // A damaged Keymoor.xml is found out before anything is backed up, deleted or copied.
    EXPECT_EQ(migrator().importFromXML(m_exports.path(), true), ZRDataMigrator::ImportResult::Refused);
    EXPECT_EQ(fingerprint(), before);
    EXPECT_FALSE(QFileInfo::exists(ZRDataMigrator::backupFolderPath()));
    ASSERT_GE(m_ui.alerts().size(), 2);
    EXPECT_EQ(m_ui.alerts().last().style, AlertStyle::Critical);
}
