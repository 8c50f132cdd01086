#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/AppInfo.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/LicenceFieldText.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"
#include "support/TestData.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>
#include <map>

using namespace Persistence;

namespace {

// A library written by the program of model version 7 (two products with every kind of value, a
// text file, an e-mail, a binary file and an icon), with what that program's `list --json` printed.
QString fixtureLibrary()
{
    return testDataPath("/upgrade/version7.kmlib");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Relative path -> hash of every file in the folder but the store.
std::map<QString, QByteArray> fileHashes(const QString& folder)
{
    std::map<QString, QByteArray> hashes;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        if (!relative.startsWith(QLatin1String("Keymoor.data"))) {
            hashes[relative] = QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
        }
    }
    return hashes;
}

// Products by title; the icon file by its name, as the folder it is in belongs to the user.
std::map<QString, QJsonObject> byTitle(const QJsonArray& products)
{
    std::map<QString, QJsonObject> result;
    for (const QJsonValue& value : products) {
        QJsonObject product = value.toObject();
        const QString icon = product.value(QStringLiteral("iconFile")).toString();
        if (!icon.isEmpty()) {
            product.insert(QStringLiteral("iconFile"), QFileInfo(icon).fileName());
        }
        result[product.value(QStringLiteral("title")).toString()] = product;
    }
    return result;
}

// Puts the fixture in place of the (empty) library of the test's user folders.
void installFixture()
{
    const QString library = LibraryPaths::libraryBundlePath();
    QDir(library).removeRecursively();
    QDir().mkpath(QFileInfo(library).absolutePath());
    QString error;
    ASSERT_TRUE(FolderCopy::copyItem(fixtureLibrary(), library, &error)) << error.toStdString();
}

class UpgradeFromVersion7Test : public ::testing::Test
{
protected:
    UpgradeFromVersion7Test()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(UpgradeFromVersion7Test, EveryProductFileAndIconSurvivesWithTheLicenceFieldsEmpty)
{
    installFixture();
    const QString library = LibraryPaths::libraryBundlePath();
    const QString store = LibraryPaths::persistentStoreURL();
    ASSERT_EQ(ZRDataMigrator::versionForStoreURL(store), 7);
    const QByteArray oldStore = readAll(store);

    const CliResult listed = runCommandLine(m_commandLine, {QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(ZRDataMigrator::versionForStoreURL(store), AppInfo::modelVersion());

    const auto before = byTitle(QJsonDocument::fromJson(readAll(testDataPath("/upgrade/version7-list.json"))).array());
    const auto after = byTitle(QJsonDocument::fromJson(listed.out.toUtf8()).array());
    ASSERT_EQ(before.size(), 3u);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [title, old] : before) {
        ASSERT_TRUE(after.count(title)) << title.toStdString();
        const QJsonObject& upgraded = after.at(title);
        for (auto it = old.begin(); it != old.end(); ++it) {
            EXPECT_EQ(upgraded.value(it.key()), it.value()) << title.toStdString() << " " << it.key().toStdString();
        }
        for (const QString& key : LicenceFieldText::keys()) {
            EXPECT_TRUE(upgraded.contains(key)) << key.toStdString();
            EXPECT_TRUE(upgraded.value(key).isNull()) << title.toStdString() << " " << key.toStdString();
        }
    }

    // Attached files and icons byte for byte, and the old store kept as a backup.
    EXPECT_EQ(fileHashes(library), fileHashes(fixtureLibrary()));
    EXPECT_EQ(fileHashes(library).size(), 5u);
    EXPECT_EQ(readAll(QDir(ZRDataMigrator::backupFolderPath()).filePath(QStringLiteral("Keymoor.kmlib/Keymoor.data"))),
              oldStore);

    // The currencies learnt their ISO codes.
    std::map<QString, QString> codes;
    {
        auto coordinator
            = std::make_shared<StoreCoordinator>(ZRDataMigrator::managedObjectModelForVersion(AppInfo::modelVersion()));
        ASSERT_TRUE(coordinator->addStore(StoreType::SQLite, store));
        ObjectContext context(coordinator);
        const auto currencies = context.execute(FetchRequest(QStringLiteral("Currency")));
        ASSERT_TRUE(currencies && !currencies->isEmpty());
        for (const ManagedObject* currency : *currencies) {
            codes[currency->value(QStringLiteral("currencySymbol")).toString()]
                = currency->value(QStringLiteral("currencyCode")).toString();
        }
    }
    EXPECT_EQ(codes[QStringLiteral("$")], QStringLiteral("USD"));
    EXPECT_EQ(codes[QStringLiteral("\u20AC")], QStringLiteral("EUR"));

    // The upgraded library takes the new fields.
    const CliResult set = runCommandLine(m_commandLine,
                                         {QStringLiteral("set"), QStringLiteral("Alpha Tool"),
                                          QStringLiteral("expiryDate=2027-01-15"), QStringLiteral("seats=2")});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    const QJsonObject alpha = showProductJson(m_commandLine, QStringLiteral("Alpha Tool"));
    EXPECT_EQ(alpha.value(QStringLiteral("expiryDate")).toString(), QStringLiteral("2027-01-15"));
    EXPECT_EQ(alpha.value(QStringLiteral("purchasePrice")).toString(), QStringLiteral("19.90"));
}
