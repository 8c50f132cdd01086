#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

using Result = CliResult;

class ProductCommandsTest : public ::testing::Test
{
protected:
    ProductCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    Result run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QJsonArray listJson()
    {
        const Result result = run({QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).array();
    }

    static QByteArray storeHash()
    {
        QFile file(LibraryPaths::persistentStoreURL());
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(ProductCommandsTest, AddedProductsAppearInTheListBesideKeymoorsOwnRecord)
{
    EXPECT_EQ(listJson().size(), 0) << "looking at a library that does not exist shows nothing";
    const Result added = run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Test App"),
                              QStringLiteral("serialNumber=ABC-123"), QStringLiteral("purchasePrice=29.95"),
                              QStringLiteral("purchaseDate=2009-03-25"), QStringLiteral("commentsString=two\nlines")});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();

    const QJsonArray products = listJson();
    ASSERT_EQ(products.size(), 2);
    QJsonObject app;
    QStringList titles;
    for (const QJsonValue& value : products) {
        titles.append(value[QStringLiteral("title")].toString());
        if (value[QStringLiteral("title")] == QStringLiteral("Test App")) {
            app = value.toObject();
        }
    }
    EXPECT_TRUE(titles.contains(QStringLiteral("Keymoor")));
    EXPECT_EQ(app.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("ABC-123"));
    EXPECT_EQ(app.value(QStringLiteral("purchasePrice")).toString(), QStringLiteral("29.95"));
    EXPECT_TRUE(app.value(QStringLiteral("purchaseDate")).toString().startsWith(QStringLiteral("2009-03-2")));
    EXPECT_EQ(app.value(QStringLiteral("commentsString")).toString(), QStringLiteral("two\nlines"));
    EXPECT_EQ(app.value(QStringLiteral("uuid")).toString().size(), 36);
    EXPECT_TRUE(app.contains(QStringLiteral("registeredEmail")));
    EXPECT_FALSE(app.contains(QStringLiteral("comments")));

    const Result shown = run({QStringLiteral("show"), QStringLiteral("test app"), QStringLiteral("--json")});
    ASSERT_EQ(shown.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(shown.out.toUtf8()).object(), app);
}

TEST_F(ProductCommandsTest, BadInputIsRefusedAndChangesNothing)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Editor")}).status, 0);
    const QByteArray before = storeHash();

    const QList<QStringList> refused = {
        {QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Other"),
         QStringLiteral("purchasePrice=abc")},
        {QStringLiteral("add"), QStringLiteral("noSuchField=1")},
        {QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("serialNumber=NEW"),
         QStringLiteral("purchaseDate=someday")},
        {QStringLiteral("set"), QStringLiteral("Missing"), QStringLiteral("serialNumber=NEW")},
        {QStringLiteral("set"), QStringLiteral("Keymoor"), QStringLiteral("title=Renamed")},
        {QStringLiteral("remove"), QStringLiteral("Keymoor")},
        {QStringLiteral("remove"), QStringLiteral("Missing")},
        {QStringLiteral("add"), QStringLiteral("--frobnicate")},
    };
    for (const QStringList& arguments : refused) {
        const Result result = run(arguments);
        EXPECT_NE(result.status, 0) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(storeHash(), before);
    EXPECT_EQ(listJson().size(), 2);
}

TEST_F(ProductCommandsTest, SetChangesAndClearsFieldsAndRemoveDeletes)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Editor"),
                   QStringLiteral("serialNumber=OLD"), QStringLiteral("publisher=Acme")})
                  .status,
              0);
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("serialNumber=NEW"),
                   QStringLiteral("publisher=")})
                  .status,
              0);
    const Result shown = run({QStringLiteral("show"), QStringLiteral("Editor"), QStringLiteral("--json")});
    const QJsonObject editor = QJsonDocument::fromJson(shown.out.toUtf8()).object();
    EXPECT_EQ(editor.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("NEW"));
    EXPECT_TRUE(editor.value(QStringLiteral("publisher")).isNull());

    // Two products of one title must be named by UUID.
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Editor")}).status, 0);
    EXPECT_NE(run({QStringLiteral("remove"), QStringLiteral("Editor")}).status, 0);
    ASSERT_EQ(run({QStringLiteral("remove"), editor.value(QStringLiteral("uuid")).toString()}).status, 0);
    EXPECT_EQ(listJson().size(), 2);
}
