#include "cli/ExportSnipeItCommand.h"

#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/MaintenanceCommands.h"
#include "cli/ProductCommands.h"
#include "import/SnipeItCsvReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExportSnipeItCommandTest : public ::testing::Test
{
protected:
    ExportSnipeItCommandTest()
    {
        Log::setEchoToStandardError(false);
        registerProductCommands(m_commandLine);
        registerMaintenanceCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
    QTemporaryDir m_output;
};

TEST_F(ExportSnipeItCommandTest, WritesOneRowPerProductByTitleThatReadsBack)
{
    for (const QStringList& product :
         {QStringList {QStringLiteral("Zeta Editor"), QStringLiteral("serialNumber=Z-1"),
                       QStringLiteral("publisher=Zed")},
          QStringList {QStringLiteral("alpha \"beta\""), QStringLiteral("serialNumber=A,1"),
                       QStringLiteral("registeredName=Ada Example")},
          QStringList {QStringLiteral("Mid Tool"), QStringLiteral("registeredEmail=mid@example.com")}}) {
        const CliResult added = run(QStringList {QStringLiteral("add"), QStringLiteral("--title")} + product);
        ASSERT_EQ(added.status, 0) << added.err.toStdString();
    }
    const QString file = m_output.filePath(QStringLiteral("licences.csv"));
    const CliResult exported = run({QStringLiteral("export"), QStringLiteral("snipeit"), file});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.contains(QStringLiteral("Exported 3 product(s)")));

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.startsWith("\"Name\",\"Serial Number\",\"Licensed To Name\",\"Licensed To Email\""));
    const SnipeItCsvReader reader;
    ASSERT_TRUE(reader.recognises(bytes));
    const ForeignReadResult back = reader.read(bytes, {});
    ASSERT_FALSE(back.error);
    ASSERT_EQ(back.records.size(), 3);
    // Sorted by title ignoring case; a double quote becomes an apostrophe, a comma stays inside.
    EXPECT_EQ(back.records.at(0).title, QStringLiteral("alpha 'beta'"));
    EXPECT_EQ(back.records.at(0).serialNumber, QStringLiteral("A,1"));
    EXPECT_EQ(back.records.at(0).registeredName, QStringLiteral("Ada Example"));
    EXPECT_EQ(back.records.at(1).title, QStringLiteral("Mid Tool"));
    EXPECT_EQ(back.records.at(1).registeredEmail, QStringLiteral("mid@example.com"));
    EXPECT_EQ(back.records.at(2).publisher, QStringLiteral("Zed"));
}

TEST_F(ExportSnipeItCommandTest, RefusedArgumentsAndPathsWriteNothing)
{
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("snipeit")}).status, 2);
    EXPECT_EQ(
        run({QStringLiteral("export"), QStringLiteral("snipeit"), QStringLiteral("a"), QStringLiteral("b")}).status, 2);
    const QString inMissingFolder = m_output.filePath(QStringLiteral("missing/licences.csv"));
    const CliResult result = run({QStringLiteral("export"), QStringLiteral("snipeit"), inMissingFolder});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_FALSE(QFile::exists(inMissingFolder));
}

TEST_F(ExportSnipeItCommandTest, LicenceLifeAndPurchaseColumnsAreFilled)
{
    const CliResult added = run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Office Pack"),
                                 QStringLiteral("seats=10"), QStringLiteral("expiryDate=2026-06-30"),
                                 QStringLiteral("purchaseDate=2022-06-30"), QStringLiteral("purchasePrice=1200.5")});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    const QString file = m_output.filePath(QStringLiteral("licences.csv"));
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("snipeit"), file}).status, 0);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3); // header, the product, the empty rest after the last line break
    const QStringList fields = lines.at(1).split(QStringLiteral("\",\""));
    ASSERT_EQ(fields.size(), SnipeItCsvReader::importColumns().size());
    EXPECT_EQ(fields.at(6), QStringLiteral("2022-06-30"));
    EXPECT_TRUE(fields.at(7).startsWith(QStringLiteral("1200.5"))) << fields.at(7).toStdString();
    EXPECT_EQ(fields.at(9), QStringLiteral("2026-06-30"));
    EXPECT_EQ(fields.at(10), QStringLiteral("10"));
    EXPECT_EQ(fields.at(11), QStringLiteral("Software"));
}

} // namespace
