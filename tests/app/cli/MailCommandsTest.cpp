#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "support/TestData.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

class MailCommandsTest : public ::testing::Test
{
protected:
    MailCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QJsonArray jsonOf(const QStringList& arguments)
    {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).array();
    }

    static QString store(const QString& name) { return testDataPath("/email/licences/stores/") + name; }
    static QString mbox() { return store(QStringLiteral("purchases.mbox")); }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

const QStringList ProposalKeys = {
    QStringLiteral("date"),      QStringLiteral("email"),     QStringLiteral("from"),   QStringLiteral("inCatalogue"),
    QStringLiteral("messageId"), QStringLiteral("publisher"), QStringLiteral("serial"), QStringLiteral("source"),
    QStringLiteral("subject"),   QStringLiteral("title"),
};

} // namespace

TEST_F(MailCommandsTest, ScanListsEachPurchaseMailWithoutMakingALibrary)
{
    const CliResult result = run({QStringLiteral("mail"), QStringLiteral("scan"), mbox(), QStringLiteral("--json")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("5 messages read, 0 unreadable"))) << result.err.toStdString();
    const QJsonArray proposals = QJsonDocument::fromJson(result.out.toUtf8()).array();
    ASSERT_EQ(proposals.size(), 3) << result.out.toStdString();
    for (const QJsonValue& value : proposals) {
        EXPECT_EQ(value.toObject().keys(), ProposalKeys);
    }
    const QJsonObject first = proposals[0].toObject();
    EXPECT_EQ(first.value(QStringLiteral("title")).toString(), QStringLiteral("Northwind Pro 3"));
    EXPECT_EQ(first.value(QStringLiteral("serial")).toString(), QStringLiteral("NW3-1111-2222-3333"));
    EXPECT_EQ(first.value(QStringLiteral("email")).toString(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(first.value(QStringLiteral("date")).toString(), QStringLiteral("2021-05-10T10:00:00Z"));
    EXPECT_EQ(first.value(QStringLiteral("messageId")).toString(), QStringLiteral("<resend-10442@northwind.example>"));
    EXPECT_FALSE(first.value(QStringLiteral("inCatalogue")).toBool());
    const QJsonObject source = first.value(QStringLiteral("source")).toObject();
    EXPECT_EQ(source.value(QStringLiteral("path")).toString(), mbox());
    EXPECT_EQ(source.value(QStringLiteral("index")).toInt(-1), 1);
    EXPECT_EQ(proposals[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Lodestar Maps"));
    EXPECT_EQ(proposals[2].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Tidewatch 2"));
    // A Maildir message has no index in its file.
    const QJsonArray fromMaildir = jsonOf(
        {QStringLiteral("mail"), QStringLiteral("scan"), store(QStringLiteral("maildir")), QStringLiteral("--json")});
    ASSERT_EQ(fromMaildir.size(), 3);
    EXPECT_TRUE(
        fromMaildir[0].toObject().value(QStringLiteral("source")).toObject().value(QStringLiteral("index")).isNull());

    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::persistentStoreLocation()));
    const CliResult text = run({QStringLiteral("mail"), QStringLiteral("scan"), mbox()});
    EXPECT_EQ(text.out.count(u'\n'), 3);
    EXPECT_TRUE(
        text.out.startsWith(QStringLiteral("2021-05-10  Northwind Pro 3  [NW3-1111-2222-3333]  jane@example.com")))
        << text.out.toStdString();
}

TEST_F(MailCommandsTest, ImportAddsTheLicencesWithTheirMessageOnce)
{
    const QJsonArray added
        = jsonOf({QStringLiteral("mail"), QStringLiteral("import"), mbox(), QStringLiteral("--json")});
    ASSERT_EQ(added.size(), 3);
    const QJsonObject product = showProductJson(m_commandLine, QStringLiteral("Lodestar Maps"));
    EXPECT_EQ(product.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("LDS-8812-7734-2210"));
    EXPECT_EQ(product.value(QStringLiteral("publisher")).toString(), QStringLiteral("Lodestar"));
    EXPECT_EQ(product.value(QStringLiteral("registeredEmail")).toString(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(product.value(QStringLiteral("purchaseDate")).toString(), QStringLiteral("2020-09-14T07:12:00Z"));
    const QJsonArray attachments = product.value(QStringLiteral("attachments")).toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("email"));
    EXPECT_EQ(attachments[0].toObject().value(QStringLiteral("name")).toString(),
              QStringLiteral("Order #A1002 confirmation"));

    // The same messages from the Thunderbird profile are in the catalogue now: nothing more.
    EXPECT_TRUE(jsonOf({QStringLiteral("mail"), QStringLiteral("import"), mbox(), QStringLiteral("--json")}).isEmpty());
    EXPECT_TRUE(jsonOf({QStringLiteral("mail"), QStringLiteral("import"), store(QStringLiteral("thunderbird")),
                        QStringLiteral("--json")})
                    .isEmpty());
    const QJsonArray rescan
        = jsonOf({QStringLiteral("mail"), QStringLiteral("scan"), mbox(), QStringLiteral("--json")});
    for (const QJsonValue& value : rescan) {
        EXPECT_TRUE(value.toObject().value(QStringLiteral("inCatalogue")).toBool());
    }
}

TEST_F(MailCommandsTest, BadPathsAndDatesAreReported)
{
    const QString missing = m_folders.path() + QStringLiteral("/nowhere.mbox");
    const CliResult nothing = run({QStringLiteral("mail"), QStringLiteral("scan"), missing});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_TRUE(nothing.err.contains(missing)) << nothing.err.toStdString();

    // One readable store is enough; the other is named on stderr.
    const CliResult some = run({QStringLiteral("mail"), QStringLiteral("scan"), missing, mbox()});
    EXPECT_EQ(some.status, 0);
    EXPECT_TRUE(some.err.contains(missing));
    EXPECT_EQ(some.out.count(u'\n'), 3);

    EXPECT_EQ(run({QStringLiteral("mail"), QStringLiteral("scan"), mbox(), QStringLiteral("--since"),
                   QStringLiteral("last spring")})
                  .status,
              2);
    EXPECT_EQ(run({QStringLiteral("mail"), QStringLiteral("scan")}).status, 2);
    EXPECT_EQ(run({QStringLiteral("mail"), QStringLiteral("import"), missing}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::persistentStoreLocation()));

    const QJsonArray recent = jsonOf({QStringLiteral("mail"), QStringLiteral("scan"), mbox(), QStringLiteral("--since"),
                                      QStringLiteral("2021-01-01"), QStringLiteral("--json")});
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0].toObject().value(QStringLiteral("serial")).toString(), QStringLiteral("NW3-1111-2222-3333"));
}
