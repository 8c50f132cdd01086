#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "plist/PropertyList.h"

#include <QFile>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

using Result = CliResult;

class ReportCommandsTest : public ::testing::Test
{
protected:
    ReportCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    Result run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    void add(const QString& title, const QString& serial)
    {
        const Result result
            = run({QStringLiteral("add"), QStringLiteral("--title"), title, QStringLiteral("serialNumber=") + serial});
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
    }

    QString path(const QString& name) const { return m_scratch.filePath(name); }

    TemporaryUserFolders m_folders;
    QTemporaryDir m_scratch;
    CommandLine m_commandLine;
};

TEST_F(ReportCommandsTest, ReportWritesOnePagePerProductWithEachSerial)
{
    add(QStringLiteral("Tessera"), QStringLiteral("TS-0001"));
    add(QStringLiteral("Lantern"), QStringLiteral("LN-0002"));
    EXPECT_TRUE(m_commandLine.needsGuiApplication({QStringLiteral("report")}));
    EXPECT_FALSE(m_commandLine.needsGuiApplication({QStringLiteral("sync")}));

    const Result all = run(
        {QStringLiteral("report"), QStringLiteral("--all"), QStringLiteral("--pdf"), path(QStringLiteral("all.pdf"))});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(path(QStringLiteral("all.pdf"))), QPdfDocument::Error::None);
    ASSERT_EQ(pdf.pageCount(), 3); // Keymoor's own record, Lantern, Tessera
    EXPECT_TRUE(pdf.getAllText(1).text().contains(QLatin1String("LN-0002")));
    EXPECT_TRUE(pdf.getAllText(2).text().contains(QLatin1String("TS-0001")));
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("all.pdf"))) & 0x0077, 0) << "readable by its owner only";

    const Result continuous = run({QStringLiteral("report"), QStringLiteral("--pdf"), path(QStringLiteral("c.pdf")),
                                   QStringLiteral("--continuous")});
    ASSERT_EQ(continuous.status, 0) << continuous.err.toStdString();
    QPdfDocument flowing;
    ASSERT_EQ(flowing.load(path(QStringLiteral("c.pdf"))), QPdfDocument::Error::None);
    EXPECT_EQ(flowing.pageCount(), 2);

    const Result one = run({QStringLiteral("report"), QStringLiteral("tessera"), QStringLiteral("--pdf"),
                            path(QStringLiteral("one.pdf"))});
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    QPdfDocument single;
    ASSERT_EQ(single.load(path(QStringLiteral("one.pdf"))), QPdfDocument::Error::None);
    ASSERT_EQ(single.pageCount(), 1);
    EXPECT_FALSE(single.getAllText(0).text().contains(QLatin1String("LN-0002")));
}

TEST_F(ReportCommandsTest, ReportRefusesWrongUsageAndWritesNothing)
{
    const QString pdf = path(QStringLiteral("r.pdf"));
    struct Case
    {
        QStringList arguments;
        int status;
    };
    const QList<Case> cases = {
        {{QStringLiteral("report")}, 2},
        {{QStringLiteral("report"), QStringLiteral("--pdf")}, 2},
        {{QStringLiteral("report"), QStringLiteral("Tessera"), QStringLiteral("--all"), QStringLiteral("--pdf"), pdf},
         2},
        {{QStringLiteral("report"), QStringLiteral("--pdf"), pdf, QStringLiteral("--one-per-page"),
          QStringLiteral("--continuous")},
         2},
        {{QStringLiteral("report"), QStringLiteral("No Such Product"), QStringLiteral("--pdf"), pdf}, 1},
        {{QStringLiteral("report"), QStringLiteral("--pdf"), path(QStringLiteral("missing/r.pdf"))}, 1},
    };
    for (const Case& c : cases) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

TEST_F(ReportCommandsTest, SyncWritesAPropertyListIntoTheNamedFolder)
{
    add(QStringLiteral("Tessera"), QStringLiteral("TS-0001"));
    const QString folder = path(QStringLiteral("Dropbox"));
    const Result result = run({QStringLiteral("sync"), folder});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const auto plist = PropertyList::fromFile(folder + QStringLiteral("/Private/Keymoor/MobileSync/sync.plist"));
    ASSERT_TRUE(plist);
    EXPECT_EQ(plist->toMap().value(QStringLiteral("products")).toList().size(), 2);

    EXPECT_EQ(run({QStringLiteral("sync"), path(QStringLiteral("no/such/folder"))}).status, 1);
    EXPECT_EQ(run({QStringLiteral("sync"), QStringLiteral("--json")}).status, 2);
    // No folder named and none chosen in the preferences (no Dropbox here).
    const Result unnamed = run({QStringLiteral("sync")});
    EXPECT_EQ(unnamed.status, 1);
    EXPECT_TRUE(unnamed.err.contains(QLatin1String("no sync folder")));
}

} // namespace
