#include "ImportTestLibrary.h"
#include "desktop/ApplicationLocator.h"
#include "import/MailScriptHelper.h"
#include "support/TestData.h"

#include <QDateTime>

namespace {

using Persistence::FetchRequest;

QString importFixture(const char* name)
{
    return testDataPath("/import/") + QString::fromUtf8(name);
}

class CatalogueFileImportTest : public ImportTestLibrary
{
protected:
    ImportCounts finish()
    {
        m_delegate->waitForFileImports();
        EXPECT_FALSE(m_ui.isProgressShown());
        return m_delegate->takeImportCounts();
    }
};

TEST_F(CatalogueFileImportTest, ProductDataFilesInXmlAndBinaryFormAddEveryEntry)
{
    const int before = count(QStringLiteral("Product"));
    const QStringList rest = m_delegate->importKeymoorDataFiles(
        {importFixture("products.keymoor"), importFixture("shelf.appshelf"), importFixture("products-binary.keymoor")});
    EXPECT_EQ(rest, QStringList {importFixture("shelf.appshelf")});
    const ImportCounts counts = finish();
    EXPECT_EQ(counts.added, 6);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(count(QStringLiteral("Product")), before + 6);

    const auto lumen = productsTitled(QStringLiteral("Lumen Paint"));
    ASSERT_EQ(lumen.size(), 2);
    ProductEntity* product = lumen.first();
    EXPECT_EQ(product->productVersion(), QStringLiteral("3.1"));
    EXPECT_EQ(product->serialNumber(), QStringLiteral("LP-1234-5678"));
    EXPECT_EQ(product->registeredName(), QStringLiteral("Ann Example"));
    EXPECT_EQ(product->purchasePrice()->toString(), QStringLiteral("29.95"));
    EXPECT_EQ(product->purchaseDate().toUTC().date(), QDate(2009, 3, 4));
    EXPECT_EQ(product->commentsString(), QStringLiteral("Upgrade price, with a comma"));
    EXPECT_EQ(product->productEmail(), QStringLiteral("support@lumen.example.com"));
    EXPECT_EQ(product->purchaseOrderNumber(), QStringLiteral("LUM-42"));

    // A price written as text is read as a decimal; a date as text is parsed.
    const auto tidy = productsTitled(QStringLiteral("Tidy Disk"));
    ASSERT_EQ(tidy.size(), 2);
    EXPECT_EQ(tidy.first()->purchasePrice()->toString(), QStringLiteral("12.50"));
    EXPECT_EQ(tidy.first()->purchaseDate().date(), QDate(2009, 3, 3));
    // Products are always added: the two files gave two of each.
    EXPECT_EQ(productsTitled(QStringLiteral("Tidy Disk")).size(), 2);
}

TEST_F(CatalogueFileImportTest, AnInstalledApplicationsBundleInformationWinsOverTheFile)
{
    qputenv(ApplicationLocator::PathVariable, QFile::encodeName(testDataPath("/record")));
    const QString path = writeFile(QStringLiteral("sample.keymoor"), R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array><dict>
<key>appName</key><string>Sample.app</string><key>purchaseVersion</key><string>0.1</string>
</dict></array></plist>)");
    m_delegate->actionImportKeymoorPlist(path);
    finish();
    qunsetenv(ApplicationLocator::PathVariable);
    ProductEntity* sample = only(QStringLiteral("Sample"));
    ASSERT_TRUE(sample);
    EXPECT_NE(sample->productVersion(), QStringLiteral("0.1"));
    EXPECT_FALSE(sample->bundleIdentifier().isEmpty());
}

TEST_F(CatalogueFileImportTest, UnreadableFilesImportNothingAndSaySo)
{
    const int before = count(QStringLiteral("Product"));
    m_delegate->importKeymoorDataFiles({writeFile(QStringLiteral("junk.KEYMOOR"), "not a property list"),
                                        writeFile(QStringLiteral("dict.keymoor"), R"(<?xml version="1.0"?>
<plist version="1.0"><dict><key>appName</key><string>X</string></dict></plist>)")});
    m_delegate->importMacHeist3DataFiles({m_scratch.filePath(QStringLiteral("missing.appshelf"))});
    const ImportCounts counts = finish();
    EXPECT_EQ(counts.failed, 3);
    EXPECT_EQ(count(QStringLiteral("Product")), before);
    EXPECT_EQ(m_ui.errors().size(), 3);
    EXPECT_TRUE(logged(QStringLiteral("Couldn't open .keymoor file.")));
    EXPECT_TRUE(logged(QStringLiteral("Missing import file.")));
}

TEST_F(CatalogueFileImportTest, MacHeistEntriesUpdateProductsOfTheSameTitleAndKeepCommas)
{
    m_product->setSerialNumber(QStringLiteral("NN-OLD"));
    m_product->setPublisher(QStringLiteral("Northwind"));
    ASSERT_TRUE(m_delegate->saveAction());
    const int before = count(QStringLiteral("Product"));
    EXPECT_TRUE(m_delegate->importMacHeist3DataFiles({importFixture("shelf.appshelf")}).isEmpty());
    const ImportCounts counts = finish();
    EXPECT_EQ(counts.updated, 1);
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(count(QStringLiteral("Product")), before + 1);

    // The main context sees the update without a refetch of its own.
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("NN-UPDATED"));
    EXPECT_EQ(m_product->publisher(), QStringLiteral("Northwind"));
    EXPECT_EQ(m_product->purchasePrice()->toString(), QStringLiteral("29.95"));
    EXPECT_EQ(m_product->purchaseOrderNumber(), QStringLiteral("Bundle, spring 2010"));
    EXPECT_EQ(m_product->commentsString(), QStringLiteral("Came with the bundle, no upgrades"));
    EXPECT_EQ(m_product->purchaseDate().date(), QDate(2010, 5, 6));

    // "Free" has no digits: no price. The missing keys leave their fields empty.
    ProductEntity* comet = only(QStringLiteral("Comet Mail"));
    ASSERT_TRUE(comet);
    EXPECT_FALSE(comet->purchasePrice());
    EXPECT_TRUE(comet->productWebsite().isEmpty());
}

TEST_F(CatalogueFileImportTest, SerialKeeperRowsBecomeProductsSharingTheirEntrysValues)
{
    m_delegate->actionImportSerialKeeperXML(importFixture("serial-keeper.xml"));
    EXPECT_EQ(finish().added, 3);
    const auto harbor = productsTitled(QStringLiteral("Harbor FTP"));
    ASSERT_EQ(harbor.size(), 2);
    ProductEntity* first = harbor.at(0)->serialNumber() == u"HFTP-1111-AAAA" ? harbor.at(0) : harbor.at(1);
    ProductEntity* second = first == harbor.at(0) ? harbor.at(1) : harbor.at(0);
    EXPECT_EQ(first->publisher(), QStringLiteral("Harbor Labs"));
    EXPECT_EQ(second->publisher(), QStringLiteral("Harbor Labs"));
    EXPECT_EQ(second->commentsString(), QStringLiteral("Two seats, office and laptop"));
    EXPECT_EQ(first->registeredEmail(), QStringLiteral("ann@example.com"));
    EXPECT_EQ(first->purchasePrice()->toString(), QStringLiteral("19.99"));
    EXPECT_EQ(first->purchaseDate().date(), QDate(2009, 3, 3));
    EXPECT_EQ(second->serialNumber(), QStringLiteral("HFTP-2222-BBBB"));
    EXPECT_EQ(second->registeredCompany(), QStringLiteral("Example & Sons"));
    // Named by its ControlName, not its ListHeading.
    EXPECT_EQ(second->purchaseOrderNumber(), QStringLiteral("ORD-77"));
    EXPECT_NE(second->registeredName(), QStringLiteral("ORD-77"));
    EXPECT_EQ(only(QStringLiteral("Quill Writer"))->productVersion(), QStringLiteral("4.2"));
}

TEST_F(CatalogueFileImportTest, MalformedSerialKeeperXmlReportsWhereAndImportsNothing)
{
    const int before = count(QStringLiteral("Product"));
    m_delegate->actionImportSerialKeeperXML(importFixture("serial-keeper-malformed.xml"));
    EXPECT_EQ(finish().failed, 1);
    EXPECT_EQ(count(QStringLiteral("Product")), before);
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("Error Parsing XML File"));
    EXPECT_TRUE(m_ui.alerts().first().message.contains(QLatin1String("at line: 12, column: ")));
}

TEST_F(CatalogueFileImportTest, HelperRecordsAreImportedAndMalformedOnesSkipped)
{
    QTemporaryDir helpers;
    const QString helper = helpers.filePath(QStringLiteral("YojimboHelper"));
    QFile file(helper);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n[ \"$1\" = getSerialNumberItems ] || exit 2\n"
               "printf 'Northwind Notes\\tNN-HELPER\\tAnn\\t\\t\\tfrom the helper\\tMarch 3, 2009\\0'\n"
               "printf 'Short\\trecord\\0'\n"
               "printf 'Orbit Clock\\tOC-1\\t\\t\\t\\t\\t\\0'\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    MailScriptHelper::sharedHelper().setSearchFolders({helpers.path()});
    EXPECT_TRUE(m_delegate->actionImportYojimboSerialNumbers(true));
    const ImportCounts counts = finish();
    MailScriptHelper::sharedHelper().setSearchFolders({});
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.updated, 1);
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("NN-HELPER"));
    EXPECT_EQ(m_product->purchaseDate().date(), QDate(2009, 3, 3));
    EXPECT_TRUE(logged(QStringLiteral("WARNING: import detected invalid record, skipping.")));
    EXPECT_TRUE(only(QStringLiteral("Orbit Clock")));

    MailScriptHelper::sharedHelper().setSearchFolders({m_scratch.path()});
    EXPECT_FALSE(m_delegate->actionImportYojimboSerialNumbers(true));
    MailScriptHelper::sharedHelper().setSearchFolders({});
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("Missing Script"));
}

} // namespace
