#include "import/YojimboImporter.h"

#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/ApplicationLocator.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Fixtures = testDataPath("/bundles/");

struct RecognitionCase
{
    const char* file;
    bool isExport;
};

class YojimboImporterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override { Log::setSink({}); }

    ProductEntity* newProduct()
    {
        return m_delegate.managedObjectContext()->insert<ProductEntity>(QStringLiteral("Product"));
    }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    KeymoorAppDelegate m_delegate {&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults};
    QStringList m_log;
};

TEST_F(YojimboImporterTest, AnExportNeedsAllFiveLabelledLinesInUtf8)
{
    const RecognitionCase cases[] = {
        {"yojimbo-export.txt", true},
        {"yojimbo-export-repeated-labels.txt", true},
        {"yojimbo-export-labels-without-space.txt", true},
        {"yojimbo-export-without-organization.txt", false},
        {"yojimbo-export-last-line-unterminated.txt", false},
        {"yojimbo-export-latin1.txt", false},
        {"plain-text-notes.txt", false},
        {"missing.txt", false},
        {"Clock.wdgt", false},
    };
    for (const RecognitionCase& test : cases) {
        EXPECT_EQ(YojimboImporter::fileIsYojimboExport(Fixtures + QLatin1String(test.file)), test.isExport)
            << test.file;
    }
    EXPECT_FALSE(YojimboImporter::fileIsYojimboExport(QString()));
}

TEST_F(YojimboImporterTest, OversizedFilesAreNotRead)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("big-export.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QFile fixture(Fixtures + QStringLiteral("yojimbo-export.txt"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    file.write(fixture.readAll());
    file.write(QByteArray(YojimboImporter::MaximumFileSize, '\n'));
    file.close();
    EXPECT_FALSE(YojimboImporter::fileIsYojimboExport(file.fileName()));
    ApplicationLocator locator({});
    ProductEntity* product = newProduct();
    const QString title = product->title();
    EXPECT_FALSE(YojimboImporter::importProduct(product, file.fileName(), locator));
    EXPECT_EQ(product->title(), title);
}

TEST_F(YojimboImporterTest, ValuesEndAtTheLineBreakAndOnlyTheFirstOfEachCounts)
{
    ApplicationLocator locator({});
    ProductEntity* product = newProduct();
    ASSERT_TRUE(YojimboImporter::importProduct(product, Fixtures + QStringLiteral("yojimbo-export-repeated-labels.txt"),
                                               locator));
    EXPECT_EQ(product->title(), QStringLiteral("Reverb Pro"));
    EXPECT_EQ(product->serialNumber(), QStringLiteral("FIRST-SERIAL"));
    EXPECT_EQ(product->registeredName(), QStringLiteral("Jane Appleseed"));
    EXPECT_EQ(product->registeredCompany(), QString());
    EXPECT_EQ(product->commentsString(), QStringLiteral("The first line of the notes"));
    EXPECT_TRUE(product->bundleIdentifier().isEmpty());
    EXPECT_EQ(product->appIcon(), nullptr);
}

TEST_F(YojimboImporterTest, LabelsWithoutTheirSpaceGiveEmptyValues)
{
    ApplicationLocator locator({});
    ProductEntity* product = newProduct();
    product->setSerialNumber(QStringLiteral("OLD"));
    ASSERT_TRUE(YojimboImporter::importProduct(
        product, Fixtures + QStringLiteral("yojimbo-export-labels-without-space.txt"), locator));
    EXPECT_TRUE(product->title().isEmpty());
    EXPECT_TRUE(product->serialNumber().isEmpty());
    EXPECT_TRUE(product->commentsString().isEmpty());
}

TEST_F(YojimboImporterTest, AnInstalledApplicationOfTheTitleGivesIconAndBundleInformation)
{
    ApplicationLocator locator({testDataPath("/record")});
    ProductEntity* product = newProduct();
    ASSERT_TRUE(YojimboImporter::importProduct(product, Fixtures + QStringLiteral("yojimbo-export.txt"), locator));
    EXPECT_EQ(product->title(), QStringLiteral("Sample"));
    EXPECT_EQ(product->serialNumber(), QStringLiteral("SAMPLE-1234-5678"));
    EXPECT_EQ(product->registeredName(), QStringLiteral("Jane Appleseed"));
    EXPECT_EQ(product->registeredCompany(), QStringLiteral("Example Software"));
    EXPECT_EQ(product->commentsString(), QStringLiteral("Bought in the spring sale"));
    EXPECT_EQ(product->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_EQ(product->bundleIdentifier(), QStringLiteral("net.example.Sample"));
    EXPECT_NE(product->appIcon(), nullptr);
}

TEST_F(YojimboImporterTest, AMissingProductOrPathIsRefusedWithALogLine)
{
    ApplicationLocator locator({});
    EXPECT_FALSE(YojimboImporter::importProduct(nullptr, Fixtures + QStringLiteral("yojimbo-export.txt"), locator));
    EXPECT_TRUE(m_log.last().endsWith(QStringLiteral("Product is required")));
    ProductEntity* product = newProduct();
    EXPECT_FALSE(YojimboImporter::importProduct(product, QString(), locator));
    EXPECT_TRUE(m_log.last().endsWith(QStringLiteral("Path is required")));
    EXPECT_EQ(product->title(), QStringLiteral("New Item"));
}

} // namespace
