#include "cli/ImportCommands.h"

#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/ProductCommands.h"
#include "support/TestData.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString importFixture(const char* name)
{
    return testDataPath("/import/") + QString::fromUtf8(name);
}

class ImportCommandsTest : public ::testing::Test
{
protected:
    ImportCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerProductCommands(m_commandLine);
        registerImportCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QJsonArray products()
    {
        const CliResult result = run({QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(result.status, 0);
        return QJsonDocument::fromJson(result.out.toUtf8()).array();
    }

    QJsonObject productTitled(const QString& title)
    {
        for (const QJsonValue& value : products()) {
            if (value.toObject().value(QStringLiteral("title")).toString() == title) {
                return value.toObject();
            }
        }
        return {};
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

const QStringList CsvImport {QStringLiteral("import"),
                             QStringLiteral("csv"),
                             importFixture("products.csv"),
                             QStringLiteral("--map"),
                             QStringLiteral("title,productVersion,serialNumber,purchasePrice,commentsString"),
                             QStringLiteral("--header"),
                             QStringLiteral("--quote"),
                             QStringLiteral("double")};

TEST_F(ImportCommandsTest, ACsvFileBecomesProductsAndImportingItAgainWithUpdateAddsNothing)
{
    CliResult result = run(CsvImport);
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QLatin1String("Added 3 product(s), updated 0 product(s).")));
    const int count = int(products().size());
    const QJsonObject gamma = productTitled(QStringLiteral("Gamma, the Game"));
    EXPECT_EQ(gamma.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("GG-4444-5555"));
    EXPECT_EQ(gamma.value(QStringLiteral("purchasePrice")).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(productTitled(QStringLiteral("Alpha Editor")).value(QStringLiteral("commentsString")).toString(),
              QStringLiteral("Bought in the spring sale, with upgrade"));

    result = run(CsvImport + QStringList {QStringLiteral("--update")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QLatin1String("Added 0 product(s), updated 3 product(s).")));
    EXPECT_EQ(products().size(), count);
}

TEST_F(ImportCommandsTest, WrongArgumentsChangeNothing)
{
    const int count = int(products().size());
    const QList<QStringList> wrong {
        {QStringLiteral("import"), QStringLiteral("csv"), importFixture("products.csv")},
        {QStringLiteral("import"), QStringLiteral("csv"), importFixture("products.csv"), QStringLiteral("--map"),
         QStringLiteral("serialNumber,productVersion")},
        {QStringLiteral("import"), QStringLiteral("csv"), importFixture("products.csv"), QStringLiteral("--map"),
         QStringLiteral("title,price")},
        {QStringLiteral("import"), QStringLiteral("csv"), importFixture("products.csv"), QStringLiteral("--map"),
         QStringLiteral("title"), QStringLiteral("--field-delimiter"), QStringLiteral("pipe")},
    };
    for (const QStringList& arguments : wrong) {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
    EXPECT_EQ(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("/no/such.csv"),
                   QStringLiteral("--map"), QStringLiteral("title")})
                  .status,
              1);
    EXPECT_EQ(run({QStringLiteral("import"), QStringLiteral("/no/such.keymoor")}).status, 1);
    EXPECT_EQ(products().size(), count);
}

TEST_F(ImportCommandsTest, FilesAreImportedByKindAndOthersAreSkipped)
{
    QTemporaryDir scratch;
    const QString text = scratch.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Just some notes.\n");
    file.close();
    const CliResult result = run({QStringLiteral("import"), importFixture("products.keymoor"),
                                  importFixture("shelf.appshelf"), testDataPath("/record/Sample.app"), text});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QLatin1String("skipping")));
    EXPECT_TRUE(result.out.contains(QLatin1String("Added 6 product(s)")));
    EXPECT_EQ(productTitled(QStringLiteral("Lumen Paint")).value(QStringLiteral("serialNumber")).toString(),
              QStringLiteral("LP-1234-5678"));
    EXPECT_EQ(productTitled(QStringLiteral("Comet Mail")).value(QStringLiteral("serialNumber")).toString(),
              QStringLiteral("CM-1"));
    EXPECT_FALSE(productTitled(QStringLiteral("Sample")).isEmpty());
}

TEST_F(ImportCommandsTest, SerialKeeperExportsReportFaultsWithTheirPlace)
{
    CliResult result
        = run({QStringLiteral("import"), QStringLiteral("serial-keeper"), importFixture("serial-keeper.xml")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QLatin1String("Added 3 product(s)")));
    const int count = int(products().size());
    result = run(
        {QStringLiteral("import"), QStringLiteral("serial-keeper"), importFixture("serial-keeper-malformed.xml")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains(QLatin1String("line: 12")));
    EXPECT_EQ(products().size(), count);
}

} // namespace
