#include "cli/RecordCommands.h"

#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/AttachmentCommands.h"
#include "cli/CommandLine.h"
#include "cli/ProductCommands.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopLauncher.h"
#include "support/TestData.h"

#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QString recordFixture(const QString& name)
{
    return testDataPath("/record/") + name;
}

class RecordingLauncher : public DesktopLauncher
{
public:
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return true;
    }
    bool showItems(const QList<QUrl>&) override { return false; }
    QList<QUrl> opened;
};

using Result = CliResult;

class RecordCommandsTest : public ::testing::Test
{
protected:
    RecordCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerProductCommands(m_commandLine);
        registerRecordCommands(m_commandLine, &m_launcher);
        // The fixture bundles are the installed applications of these tests.
        m_savedAppPath = qgetenv(ApplicationLocator::PathVariable);
        qputenv(ApplicationLocator::PathVariable, QFile::encodeName(recordFixture(QString())));
    }
    ~RecordCommandsTest() override { qputenv(ApplicationLocator::PathVariable, m_savedAppPath); }

    Result run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    QJsonObject show(const QString& title) { return showProductJson(m_commandLine, title); }

    int productCount()
    {
        const Result result = run({QStringLiteral("list"), QStringLiteral("--json")});
        return int(QJsonDocument::fromJson(result.out.toUtf8()).array().size());
    }

    void add(const QStringList& arguments)
    {
        const Result result = run(QStringList {QStringLiteral("add")} + arguments);
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
    }

    TemporaryUserFolders m_folders;
    RecordingLauncher m_launcher;
    CommandLine m_commandLine;
    QByteArray m_savedAppPath;
};

} // namespace

TEST_F(RecordCommandsTest, AddFromAppTakesNameVersionIdentifierWebsiteAndIcon)
{
    add({QStringLiteral("--from-app"), recordFixture(QStringLiteral("Sample.app")),
         QStringLiteral("serialNumber=SAMPLE-1"), QStringLiteral("purchaseDate=March 3, 2009")});

    const Result listed = run({QStringLiteral("list"), QStringLiteral("--json")});
    QJsonObject sample;
    for (const QJsonValue& value : QJsonDocument::fromJson(listed.out.toUtf8()).array()) {
        if (value[QStringLiteral("title")] == QStringLiteral("Sample")) {
            sample = value.toObject();
        }
    }
    ASSERT_FALSE(sample.isEmpty()) << listed.out.toStdString();
    EXPECT_EQ(sample[QStringLiteral("productVersion")], QStringLiteral("2.4.1"));
    EXPECT_EQ(sample[QStringLiteral("bundleIdentifier")], QStringLiteral("net.example.Sample"));
    EXPECT_EQ(sample[QStringLiteral("productWebsite")], QStringLiteral("http://example.net"));
    EXPECT_EQ(sample[QStringLiteral("publisher")], QStringLiteral("Example Software"));
    EXPECT_EQ(sample[QStringLiteral("serialNumber")], QStringLiteral("SAMPLE-1"));
    EXPECT_TRUE(sample[QStringLiteral("purchaseDate")].toString().startsWith(QStringLiteral("2009-03-0")));
    QImageReader icon(sample[QStringLiteral("iconFile")].toString());
    EXPECT_EQ(icon.format(), QByteArray("tiff"));
    EXPECT_EQ(icon.size(), QSize(512, 512));
}

TEST_F(RecordCommandsTest, RefusedBundlesAndIconsChangeNothing)
{
    add({QStringLiteral("--title"), QStringLiteral("Editor")});
    const QJsonObject before = show(QStringLiteral("Editor"));

    const QList<QStringList> refused = {
        {QStringLiteral("add"), QStringLiteral("--from-app"), recordFixture(QStringLiteral("not-an-image.txt"))},
        {QStringLiteral("add"), QStringLiteral("--from-app"), recordFixture(QStringLiteral("Missing.app"))},
        {QStringLiteral("add"), QStringLiteral("--from-app")},
        {QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("serialNumber=NEW"), QStringLiteral("--icon"),
         recordFixture(QStringLiteral("Missing.png"))},
        {QStringLiteral("refresh"), QStringLiteral("Editor")},
        {QStringLiteral("refresh"), QStringLiteral("Keymoor")},
    };
    for (const QStringList& arguments : refused) {
        const Result result = run(arguments);
        EXPECT_NE(result.status, 0) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(productCount(), 2);
    EXPECT_EQ(show(QStringLiteral("Editor")), before);
}

TEST_F(RecordCommandsTest, SetIconReplacesTheStoredIcon)
{
    add({QStringLiteral("--title"), QStringLiteral("Editor")});
    EXPECT_TRUE(show(QStringLiteral("Editor"))[QStringLiteral("iconFile")].isNull());
    const QString image = recordFixture(QStringLiteral("Sample.app/Contents/Resources/Sample.png"));
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("--icon"), image}).status, 0);
    const QString first = show(QStringLiteral("Editor"))[QStringLiteral("iconFile")].toString();
    ASSERT_TRUE(QFile::exists(first));

    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("--icon=") + image}).status, 0);
    const QString second = show(QStringLiteral("Editor"))[QStringLiteral("iconFile")].toString();
    EXPECT_NE(second, first);
    // The replaced icon's file goes with the housekeeping at the end of the command.
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(second));
}

TEST_F(RecordCommandsTest, RefreshFindsTheInstalledApplicationByIdentifierOrTitle)
{
    add({QStringLiteral("--title"), QStringLiteral("Sample"), QStringLiteral("productVersion=0.9"),
         QStringLiteral("publisher=Mine")});
    add({QStringLiteral("--title"), QStringLiteral("Renamed Tool"), QStringLiteral("bundleIdentifier=Solo")});
    add({QStringLiteral("--title"), QStringLiteral("Not Installed")});

    const Result one = run({QStringLiteral("refresh"), QStringLiteral("Sample")});
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    QJsonObject sample = show(QStringLiteral("Sample"));
    EXPECT_EQ(sample[QStringLiteral("productVersion")], QStringLiteral("2.4.1"));
    EXPECT_EQ(sample[QStringLiteral("publisher")], QStringLiteral("Mine"));
    EXPECT_FALSE(sample[QStringLiteral("iconFile")].isNull());

    const Result all = run({QStringLiteral("refresh")});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("Refreshed 2 of 3 products."))) << all.out.toStdString();
    EXPECT_EQ(show(QStringLiteral("BuildNumberOnly"))[QStringLiteral("productVersion")], QStringLiteral("1234"));
    EXPECT_EQ(show(QStringLiteral("Not Installed"))[QStringLiteral("productVersion")], QJsonValue());
}

TEST_F(RecordCommandsTest, OpenWebsiteHandsOnlyWebAddressesToTheDesktop)
{
    add({QStringLiteral("--title"), QStringLiteral("Plain"), QStringLiteral("productWebsite=example.com/plain")});
    add({QStringLiteral("--title"), QStringLiteral("Secure"), QStringLiteral("productWebsite=https://example.com/s")});
    add({QStringLiteral("--title"), QStringLiteral("Sneaky"), QStringLiteral("productWebsite=file:///etc/passwd")});
    add({QStringLiteral("--title"), QStringLiteral("Nowhere")});

    EXPECT_EQ(run({QStringLiteral("open-website"), QStringLiteral("Plain")}).status, 0);
    EXPECT_EQ(run({QStringLiteral("open-website"), QStringLiteral("Secure")}).status, 0);
    EXPECT_EQ(m_launcher.opened,
              (QList<QUrl> {QUrl(QStringLiteral("http://example.com/plain")),
                            QUrl(QStringLiteral("https://example.com/s"))}));

    for (const char* title : {"Sneaky", "Nowhere", "Missing"}) {
        const Result refused = run({QStringLiteral("open-website"), QString::fromLatin1(title)});
        EXPECT_EQ(refused.status, 1) << title;
        EXPECT_FALSE(refused.err.isEmpty()) << title;
    }
    EXPECT_EQ(m_launcher.opened.size(), 2);
}
