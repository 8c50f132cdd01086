// discover, launch and add --from-app over a fixture of installed software: desktop entries with
// AppStream metainfo and a theme icon, and a stub dpkg-query that owns one of them.
#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "../products/InstalledSoftwareFixture.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class SoftwareCommandsTest : public ::testing::Test
{
protected:
    SoftwareCommandsTest()
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

    // The discovered applications by ID.
    QHash<QString, QJsonObject> discovered(const QStringList& options = {})
    {
        QHash<QString, QJsonObject> byId;
        for (const QJsonValue& value :
             jsonOf(QStringList {QStringLiteral("discover"), QStringLiteral("--json")} + options)) {
            byId.insert(value[QStringLiteral("id")].toString(), value.toObject());
        }
        return byId;
    }

    static QByteArray storeHash()
    {
        QFile file(LibraryPaths::persistentStoreURL());
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    TemporaryUserFolders m_folders;
    InstalledSoftwareFixture m_software;
    CommandLine m_commandLine;
};

TEST_F(SoftwareCommandsTest, AddFromAppTakesTheFactsAndIconOfAnEntryByIdOrPath)
{
    const CliResult byId = run({QStringLiteral("add"), QStringLiteral("--from-app"),
                                QStringLiteral("org.example.Northwind"), QStringLiteral("--json")});
    ASSERT_EQ(byId.status, 0) << byId.err.toStdString();
    const QJsonObject northwind = QJsonDocument::fromJson(byId.out.toUtf8()).object();
    EXPECT_EQ(northwind[QStringLiteral("title")], QStringLiteral("Northwind"));
    // The package's upstream version wins over the metainfo's release.
    EXPECT_EQ(northwind[QStringLiteral("productVersion")], QStringLiteral("2.4.1"));
    EXPECT_EQ(northwind[QStringLiteral("publisher")], QStringLiteral("Northwind Software Ltd."));
    EXPECT_EQ(northwind[QStringLiteral("productWebsite")], QStringLiteral("https://northwind.example/"));
    EXPECT_EQ(northwind[QStringLiteral("productEmail")], QStringLiteral("support@northwind.example"));
    EXPECT_EQ(northwind[QStringLiteral("bundleIdentifier")], QStringLiteral("org.example.Northwind"));
    const QString icon = northwind[QStringLiteral("iconFile")].toString();
    ASSERT_FALSE(icon.isEmpty());
    EXPECT_TRUE(QFileInfo(icon).isFile());

    // By path, with a field given as well: the field wins. The newest release is the version.
    const CliResult byPath
        = run({QStringLiteral("add"), QStringLiteral("--from-app"),
               InstalledSoftwareFixture::entry(QStringLiteral("org.example.Ledger.desktop")),
               QStringLiteral("serialNumber=LB-1"), QStringLiteral("publisher=Me"), QStringLiteral("--json")});
    ASSERT_EQ(byPath.status, 0) << byPath.err.toStdString();
    const QJsonObject ledger = QJsonDocument::fromJson(byPath.out.toUtf8()).object();
    EXPECT_EQ(ledger[QStringLiteral("title")], QStringLiteral("Ledger Book"));
    EXPECT_EQ(ledger[QStringLiteral("productVersion")], QStringLiteral("3.10"));
    EXPECT_EQ(ledger[QStringLiteral("publisher")], QStringLiteral("Me"));
    EXPECT_EQ(ledger[QStringLiteral("serialNumber")], QStringLiteral("LB-1"));
    EXPECT_EQ(ledger[QStringLiteral("bundleIdentifier")], QStringLiteral("org.example.Ledger"));
    EXPECT_FALSE(ledger[QStringLiteral("iconFile")].toString().isEmpty()) << "a missing theme icon gives a file icon";

    const QByteArray before = storeHash();
    for (const QString& unknown : {QStringLiteral("org.example.Nowhere"), QStringLiteral("/no/such/app.desktop"),
                                   InstalledSoftwareFixture::root() + QStringLiteral("/metainfo")}) {
        const CliResult refused = run({QStringLiteral("add"), QStringLiteral("--from-app"), unknown});
        EXPECT_EQ(refused.status, 1) << unknown.toStdString();
        EXPECT_TRUE(refused.err.contains(unknown)) << refused.err.toStdString();
    }
    EXPECT_EQ(storeHash(), before);
}

TEST_F(SoftwareCommandsTest, DiscoverListsWhatTheCatalogueLacksWithoutMakingALibrary)
{
    QHash<QString, QJsonObject> found = discovered();
    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::persistentStoreLocation())) << "looking creates no library";
    EXPECT_EQ(QStringList(found.keys()).size(), 3) << QStringList(found.keys()).join(u' ').toStdString();
    EXPECT_FALSE(found.contains(QStringLiteral("org.example.Settings"))) << "NoDisplay entries are left out";
    const QJsonObject northwind = found.value(QStringLiteral("org.example.Northwind"));
    EXPECT_EQ(northwind[QStringLiteral("source")], QStringLiteral("deb"));
    EXPECT_EQ(northwind[QStringLiteral("version")], QStringLiteral("2.4.1"));
    EXPECT_EQ(northwind[QStringLiteral("publisher")], QStringLiteral("Northwind Software Ltd."));
    EXPECT_EQ(northwind[QStringLiteral("website")], QStringLiteral("https://northwind.example/"));
    EXPECT_EQ(northwind[QStringLiteral("path")],
              InstalledSoftwareFixture::entry(QStringLiteral("org.example.Northwind.desktop")));
    EXPECT_EQ(northwind[QStringLiteral("inCatalogue")], false);
    const QJsonObject ledger = found.value(QStringLiteral("org.example.Ledger"));
    EXPECT_EQ(ledger[QStringLiteral("source")], QStringLiteral("local"));
    EXPECT_EQ(ledger[QStringLiteral("version")], QStringLiteral("3.10"));
    EXPECT_EQ(found.value(QStringLiteral("vendor-marker"))[QStringLiteral("title")], QStringLiteral("Marker"));

    // In the catalogue: by identifier, or by title ignoring case.
    ASSERT_EQ(
        run({QStringLiteral("add"), QStringLiteral("--from-app"), QStringLiteral("org.example.Northwind")}).status, 0);
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("LEDGER book")}).status, 0);
    found = discovered();
    EXPECT_EQ(QStringList(found.keys()), QStringList {QStringLiteral("vendor-marker")});
    found = discovered({QStringLiteral("--all")});
    EXPECT_EQ(found.size(), 3);
    EXPECT_EQ(found.value(QStringLiteral("org.example.Northwind"))[QStringLiteral("inCatalogue")], true);
    EXPECT_EQ(found.value(QStringLiteral("org.example.Ledger"))[QStringLiteral("inCatalogue")], true);
    EXPECT_EQ(found.value(QStringLiteral("vendor-marker"))[QStringLiteral("inCatalogue")], false);

    const CliResult text = run({QStringLiteral("discover")});
    EXPECT_EQ(text.out, QStringLiteral("Marker  [local]  vendor-marker\n"));
}

TEST_F(SoftwareCommandsTest, DiscoverAddAddsAllOrNothing)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Existing")}).status, 0);
    const QByteArray before = storeHash();
    const CliResult unknown = run({QStringLiteral("discover"), QStringLiteral("--add"),
                                   QStringLiteral("org.example.Ledger"), QStringLiteral("org.example.Nowhere")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("org.example.Nowhere"))) << unknown.err.toStdString();
    EXPECT_EQ(storeHash(), before);
    EXPECT_EQ(run({QStringLiteral("discover"), QStringLiteral("--add")}).status, 2) << "--add needs IDs";
    EXPECT_EQ(run({QStringLiteral("discover"), QStringLiteral("org.example.Ledger")}).status, 2);

    const QJsonArray added
        = jsonOf({QStringLiteral("discover"), QStringLiteral("--add"), QStringLiteral("vendor-marker"),
                  QStringLiteral("org.example.Ledger"), QStringLiteral("--json")});
    ASSERT_EQ(added.size(), 2);
    EXPECT_EQ(added[0][QStringLiteral("title")], QStringLiteral("Marker"));
    EXPECT_EQ(added[1][QStringLiteral("title")], QStringLiteral("Ledger Book"));
    EXPECT_EQ(added[1][QStringLiteral("productWebsite")], QStringLiteral("https://ledger.example/"));
    EXPECT_EQ(added[1][QStringLiteral("uuid")].toString().size(), 36);
    EXPECT_EQ(jsonOf({QStringLiteral("list"), QStringLiteral("--json")}).size(), 4); // with Keymoor's own record
}

TEST_F(SoftwareCommandsTest, LaunchRunsTheExecOfTheEntryAndSaysWhyNot)
{
    QTemporaryDir scratch;
    const QString marker = scratch.filePath(QStringLiteral("marker"));
    qputenv("KEYMOOR_MARKER_FILE", QFile::encodeName(marker));
    ASSERT_EQ(run({QStringLiteral("discover"), QStringLiteral("--add"), QStringLiteral("vendor-marker")}).status, 0);
    const CliResult launched = run({QStringLiteral("launch"), QStringLiteral("marker")});
    ASSERT_EQ(launched.status, 0) << launched.err.toStdString();

    // The program runs detached: wait for the file it writes.
    QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(marker) && !deadline.hasExpired()) {
        QThread::msleep(20);
    }
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "the entry's program did not run";
    // Quoted words stay one argument each, escaped quotes are kept; the %U without files goes.
    EXPECT_EQ(written.readAll(), QByteArray("--greeting\ntwo words\nsay \"hi\"\n"));
    qunsetenv("KEYMOOR_MARKER_FILE");

    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Not Installed")}).status, 0);
    const CliResult missing = run({QStringLiteral("launch"), QStringLiteral("Not Installed")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Not Installed"))) << missing.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("launch"), QStringLiteral("Keymoor")}).status, 1);
    EXPECT_EQ(run({QStringLiteral("launch"), QStringLiteral("No Such Product")}).status, 1);
}

} // namespace
