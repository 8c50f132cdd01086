// `keymoor import FILE...` with password managers' exports: the dry run writes nothing, the import
// counts what it did, and a bad file is refused with everything left as it was.
#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/ImportCommands.h"
#include "cli/ProductCommands.h"
#include "support/TestData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QString foreign(const char* name)
{
    return testDataPath("/import/foreign/") + QString::fromUtf8(name);
}

class ForeignImportCommandTest : public ::testing::Test
{
protected:
    ForeignImportCommandTest()
    {
        Log::setEchoToStandardError(false);
        registerProductCommands(m_commandLine);
        registerImportCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QStringList titles()
    {
        const CliResult result = run({QStringLiteral("list"), QStringLiteral("--json")});
        QStringList found;
        for (const QJsonValue& product : QJsonDocument::fromJson(result.out.toUtf8()).array()) {
            found.append(product.toObject().value(QStringLiteral("title")).toString());
        }
        return found;
    }
    int productCount() { return int(titles().size()); }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(ForeignImportCommandTest, DryRunShowsThePlanAndWritesNothing)
{
    const int before = productCount();
    const CliResult result = run(
        {QStringLiteral("import"), QStringLiteral("--dry-run"), QStringLiteral("--json"), foreign("keepass.xml")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject plan = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_TRUE(plan.value(QStringLiteral("dryRun")).toBool());
    EXPECT_EQ(plan.value(QStringLiteral("added")).toInt(), 2);
    EXPECT_EQ(plan.value(QStringLiteral("skippedNotLicence")).toInt(), 1);
    const QJsonArray records = plan.value(QStringLiteral("records")).toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records.at(0).toObject().value(QStringLiteral("action")).toString(), u"add");
    EXPECT_EQ(productCount(), before);
}

TEST_F(ForeignImportCommandTest, ImportCountsAndASecondImportFindsEverythingThere)
{
    const QStringList import {QStringLiteral("import"), foreign("bitwarden.json"), foreign("keepassxc.csv")};
    const CliResult first = run(import);
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out.trimmed(), u"5 added, 0 updated, 0 already there, 3 skipped (not a licence)");
    const QStringList imported = titles();
    for (const char* title : {"Pixel Forge", "Soundbench", "Office Suite", "Tessellate CAD", "Glyph Studio"}) {
        EXPECT_TRUE(imported.contains(QLatin1String(title))) << title;
    }
    const CliResult second = run(import);
    EXPECT_EQ(second.out.trimmed(), u"0 added, 0 updated, 5 already there, 3 skipped (not a licence)");
    EXPECT_EQ(productCount(), imported.size());
}

TEST_F(ForeignImportCommandTest, ABadFileImportsNothing)
{
    const int before = productCount();
    const CliResult result
        = run({QStringLiteral("import"), foreign("enpass.json"), foreign("bitwarden-encrypted.json")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains(QLatin1String("encrypted"))) << result.err.toStdString();
    EXPECT_EQ(productCount(), before);
    // The preview options are for exports only.
    EXPECT_EQ(
        run({QStringLiteral("import"), QStringLiteral("--dry-run"), testDataPath("/import/products.keymoor")}).status,
        2);
}
