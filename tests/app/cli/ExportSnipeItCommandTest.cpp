#include "cli/ExportSnipeItCommand.h"

#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/MaintenanceCommands.h"
#include "cli/ProductCommands.h"
#include "import/SnipeItCsvReader.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
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

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.startsWith("\"Name\",\"Serial Number\",\"Licensed To Name\",\"Licensed To Email\""));
    const SnipeItCsvReader reader;
    ASSERT_TRUE(reader.recognises(bytes));
    const ForeignReadResult back = reader.read(bytes, {});
    ASSERT_FALSE(back.error);
    // The new library's own product comes along; rows are sorted by title ignoring case.
    QStringList titles;
    QHash<QString, ForeignRecord> byTitle;
    for (const ForeignRecord& record : back.records) {
        titles.append(record.title);
        byTitle.insert(record.title, record);
    }
    QStringList sorted = titles;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(titles, sorted);
    EXPECT_TRUE(exported.out.contains(QStringLiteral("Exported %1 product(s)").arg(titles.size())));
    // A double quote becomes an apostrophe; a comma stays inside its field.
    const ForeignRecord alpha = byTitle.value(QStringLiteral("alpha 'beta'"));
    EXPECT_EQ(alpha.serialNumber, QStringLiteral("A,1"));
    EXPECT_EQ(alpha.registeredName, QStringLiteral("Ada Example"));
    EXPECT_EQ(byTitle.value(QStringLiteral("Mid Tool")).registeredEmail, QStringLiteral("mid@example.com"));
    EXPECT_EQ(byTitle.value(QStringLiteral("Zeta Editor")).publisher, QStringLiteral("Zed"));
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
    const auto row = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(QStringLiteral("\"Office Pack\""));
    });
    ASSERT_NE(row, lines.end());
    const QStringList fields = row->split(QStringLiteral("\",\""));
    ASSERT_EQ(fields.size(), SnipeItCsvReader::importColumns().size());
    EXPECT_EQ(fields.at(6), QStringLiteral("2022-06-30"));
    EXPECT_TRUE(fields.at(7).startsWith(QStringLiteral("1200.5"))) << fields.at(7).toStdString();
    EXPECT_EQ(fields.at(9), QStringLiteral("2026-06-30"));
    EXPECT_EQ(fields.at(10), QStringLiteral("10"));
    EXPECT_EQ(fields.at(11), QStringLiteral("Software"));
}

} // namespace
