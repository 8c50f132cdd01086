#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "support/TestData.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

using Result = CliResult;

class AttachmentCommandsTest : public ::testing::Test
{
protected:
    AttachmentCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    Result run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QJsonObject show(const QString& title) { return showProductJson(m_commandLine, title); }

    static QString purchase() { return testDataPath("/attachments/purchase-with-serial.eml"); }

    static QStringList storedFiles()
    {
        return QDir(LibraryPaths::attachmentsPath()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

TEST_F(AttachmentCommandsTest, AnAttachedPurchaseEmailShowsWithWhatItsScanFound)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X")}).status, 0);
    const Result attached = run({QStringLiteral("attach"), QStringLiteral("X"), purchase()});
    ASSERT_EQ(attached.status, 0) << attached.err.toStdString();

    const QJsonObject product = show(QStringLiteral("X"));
    EXPECT_EQ(product.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("NWN-4821-7730-QK19"));
    EXPECT_EQ(product.value(QStringLiteral("registeredEmail")).toString(),
              QStringLiteral("jane.appleseed@example.com"));
    EXPECT_EQ(product.value(QStringLiteral("purchaseDate")).toString(), QStringLiteral("2023-03-14T10:15:00Z"));
    const QJsonArray attachments = product.value(QStringLiteral("attachments")).toArray();
    ASSERT_EQ(attachments.size(), 1);
    const QJsonObject attachment = attachments.first().toObject();
    EXPECT_EQ(attachment.value(QStringLiteral("name")).toString(), QStringLiteral("Your Northwind Notes licence"));
    EXPECT_EQ(attachment.value(QStringLiteral("kind")).toString(), QStringLiteral("email"));

    const QStringList files = storedFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first(), attachment.value(QStringLiteral("uuid")).toString());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(files.first())
                    .hasMatch());
}

TEST_F(AttachmentCommandsTest, TheReplaceQuestionIsAnsweredByTheFlags)
{
    ASSERT_EQ(
        run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X"), QStringLiteral("serialNumber=OLD")})
            .status,
        0);
    ASSERT_EQ(run({QStringLiteral("attach"), QStringLiteral("X"), purchase(), QStringLiteral("--keep")}).status, 0);
    EXPECT_EQ(show(QStringLiteral("X")).value(QStringLiteral("serialNumber")).toString(), QStringLiteral("OLD"));
    ASSERT_EQ(run({QStringLiteral("attach"), QStringLiteral("X"), purchase(), QStringLiteral("--no-scan"),
                   QStringLiteral("--replace")})
                  .status,
              0);
    EXPECT_EQ(show(QStringLiteral("X")).value(QStringLiteral("serialNumber")).toString(), QStringLiteral("OLD"));
    ASSERT_EQ(run({QStringLiteral("attach"), QStringLiteral("X"), purchase(), QStringLiteral("--replace")}).status, 0);
    EXPECT_EQ(show(QStringLiteral("X")).value(QStringLiteral("serialNumber")).toString(),
              QStringLiteral("NWN-4821-7730-QK19"));
    EXPECT_EQ(show(QStringLiteral("X")).value(QStringLiteral("attachments")).toArray().size(), 3);
}

TEST_F(AttachmentCommandsTest, BadInputAttachesNothing)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X")}).status, 0);
    QTemporaryDir scratch;
    QFile app(scratch.filePath(QStringLiteral("Tool.app")));
    ASSERT_TRUE(app.open(QIODevice::WriteOnly));
    app.close();
    const struct
    {
        QStringList arguments;
        int status;
    } cases[] = {
        {{QStringLiteral("attach"), QStringLiteral("X"), purchase(), scratch.filePath(QStringLiteral("missing.txt"))},
         1},
        {{QStringLiteral("attach"), QStringLiteral("X"), purchase(), app.fileName()}, 1},
        {{QStringLiteral("attach"), QStringLiteral("X"), scratch.path()}, 1},
        {{QStringLiteral("attach"), QStringLiteral("Nobody"), purchase()}, 1},
        {{QStringLiteral("attach"), QStringLiteral("X")}, 2},
        {{QStringLiteral("attach"), QStringLiteral("X"), purchase(), QStringLiteral("--keep"),
          QStringLiteral("--replace")},
         2},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
    EXPECT_TRUE(show(QStringLiteral("X")).value(QStringLiteral("attachments")).toArray().isEmpty());
    EXPECT_TRUE(storedFiles().isEmpty());
}

TEST_F(AttachmentCommandsTest, ListsAndExportsTheAttachments)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X")}).status, 0);
    ASSERT_EQ(run({QStringLiteral("attach"), QStringLiteral("X"), purchase(), purchase()}).status, 0);
    const Result listed = run({QStringLiteral("attachments"), QStringLiteral("X"), QStringLiteral("--json")});
    ASSERT_EQ(listed.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(listed.out.toUtf8()).array().size(), 2);

    QTemporaryDir target;
    const Result exported = run({QStringLiteral("export-attachments"), QStringLiteral("X"), target.path()});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files),
              (QStringList {QStringLiteral("Your Northwind Notes licence 1.eml"),
                            QStringLiteral("Your Northwind Notes licence.eml")}));
    EXPECT_EQ(run({QStringLiteral("export-attachments"), QStringLiteral("X"), target.filePath(QStringLiteral("none"))})
                  .status,
              1);
}

} // namespace
