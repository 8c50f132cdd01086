#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "library/LibraryLock.h"
#include "persistence/SqliteDatabase.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LibraryCheckTest : public ::testing::Test
{
protected:
    LibraryCheckTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }
    CliResult check(QStringList options = {}) { return run(QStringList {QStringLiteral("check")} + options); }
    QJsonObject checkJson(QStringList options = {})
    {
        const CliResult result = check(options << QStringLiteral("--json"));
        return QJsonDocument::fromJson(result.out.toUtf8()).object();
    }
    static QSet<QString> kinds(const QJsonArray& findings)
    {
        QSet<QString> names;
        for (const QJsonValue& finding : findings) {
            names.insert(finding.toObject().value(QStringLiteral("kind")).toString());
        }
        return names;
    }

    QString supportFolder() const { return m_folders.dataHome() + QStringLiteral("/Keymoor"); }
    QString library() const { return supportFolder() + QStringLiteral("/Keymoor.kmlib"); }
    QString attachments() const { return library() + QStringLiteral("/Attachments"); }
    QString icons() const { return library() + QStringLiteral("/Icons"); }
    QString store() const { return library() + QStringLiteral("/Keymoor.data"); }
    QStringList orphanFolders() const
    {
        return QDir(supportFolder()).entryList({QStringLiteral("Keymoor Orphans *")}, QDir::Dirs);
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A product with two attached files and an icon; answers the product's JSON.
    QJsonObject makeLibrary()
    {
        write(m_scratch.filePath(QStringLiteral("receipt.pdf")), "receipt");
        write(m_scratch.filePath(QStringLiteral("manual.txt")), "manual");
        EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Northwind Notes")}).status, 0);
        EXPECT_EQ(
            run({QStringLiteral("attach"), QStringLiteral("Northwind Notes"),
                 m_scratch.filePath(QStringLiteral("receipt.pdf")), m_scratch.filePath(QStringLiteral("manual.txt"))})
                .status,
            0);
        EXPECT_EQ(run({QStringLiteral("set"), QStringLiteral("Northwind Notes"), QStringLiteral("--icon"),
                       testDataPath("/toolkit/bundles/BinaryInfo.app/Contents/Resources/Binary.png")})
                      .status,
                  0);
        return showProductJson(m_commandLine, QStringLiteral("Northwind Notes"));
    }

    // Removes the stored file of receipt.pdf and puts files no record names into both folders.
    QString breakFiles(const QJsonObject& product)
    {
        QString receipt;
        for (const QJsonValue& value : product.value(QStringLiteral("attachments")).toArray()) {
            if (value.toObject().value(QStringLiteral("name")).toString() == u"receipt.pdf") {
                receipt = value.toObject().value(QStringLiteral("uuid")).toString();
            }
        }
        EXPECT_TRUE(QFile::remove(attachments() + u'/' + receipt));
        write(attachments() + QStringLiteral("/stray"), "stray attachment");
        write(icons() + QStringLiteral("/stray-icon"), "stray icon");
        return receipt;
    }

    void executeSql(const QString& sql)
    {
        Persistence::SqliteDatabase db;
        ASSERT_TRUE(db.open(store(), false, false));
        ASSERT_TRUE(db.exec(sql)) << db.errorMessage().toStdString();
    }

    TemporaryUserFolders m_folders;
    QTemporaryDir m_scratch;
    CommandLine m_commandLine;
};

TEST_F(LibraryCheckTest, WithoutALibraryNothingIsWrongAndNothingIsCreated)
{
    const CliResult plain = check();
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_TRUE(plain.out.contains(QStringLiteral("no library yet")));
    const QJsonObject json = checkJson({QStringLiteral("--repair"), QStringLiteral("--yes")});
    EXPECT_FALSE(json.value(QStringLiteral("exists")).toBool());
    EXPECT_TRUE(json.value(QStringLiteral("clean")).toBool());
    EXPECT_TRUE(json.value(QStringLiteral("findings")).toArray().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(library()));
}

TEST_F(LibraryCheckTest, WrongUsageExitsWithTwo)
{
    EXPECT_EQ(check({QStringLiteral("--yes")}).status, 2);
    EXPECT_EQ(check({QStringLiteral("extra")}).status, 2);
    EXPECT_EQ(check({QStringLiteral("--fix")}).status, 2);
}

TEST_F(LibraryCheckTest, AnIntactLibraryIsInOrder)
{
    makeLibrary();
    const CliResult result = check();
    EXPECT_EQ(result.status, 0) << result.out.toStdString();
    EXPECT_EQ(result.out.trimmed().count(u'\n'), 0); // the summary line alone
    EXPECT_TRUE(checkJson().value(QStringLiteral("clean")).toBool());
}

TEST_F(LibraryCheckTest, MissingAndStrayFilesAreFoundWithoutChangingAnything)
{
    const QJsonObject product = makeLibrary();
    const QString receipt = breakFiles(product);

    const CliResult result = check();
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.contains(QStringLiteral("\"Northwind Notes\"")));
    EXPECT_TRUE(result.out.contains(attachments() + QStringLiteral("/stray")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("3 problem(s)")));

    const QJsonObject json = checkJson();
    EXPECT_FALSE(json.value(QStringLiteral("clean")).toBool());
    const QJsonArray findings = json.value(QStringLiteral("findings")).toArray();
    EXPECT_EQ(kinds(findings),
              (QSet<QString> {QStringLiteral("missing-attachment-file"), QStringLiteral("orphaned-attachment-file"),
                              QStringLiteral("orphaned-icon-file")}));
    for (const QJsonValue& value : findings) {
        const QJsonObject finding = value.toObject();
        if (finding.value(QStringLiteral("kind")).toString() == u"missing-attachment-file") {
            EXPECT_EQ(finding.value(QStringLiteral("path")).toString(), attachments() + u'/' + receipt);
            EXPECT_EQ(finding.value(QStringLiteral("product")), product.value(QStringLiteral("uuid")));
            EXPECT_EQ(finding.value(QStringLiteral("productTitle")).toString(), QStringLiteral("Northwind Notes"));
        }
        EXPECT_FALSE(finding.value(QStringLiteral("message")).toString().isEmpty());
    }
    EXPECT_TRUE(QFileInfo::exists(attachments() + QStringLiteral("/stray")));
    EXPECT_TRUE(orphanFolders().isEmpty());
}

TEST_F(LibraryCheckTest, RepairWithYesMovesStrayFilesBesideTheLibraryAndRemovesDeadRecords)
{
    breakFiles(makeLibrary());
    const CliResult repaired = check({QStringLiteral("--repair"), QStringLiteral("--yes")});
    EXPECT_EQ(repaired.status, 0) << repaired.out.toStdString() << repaired.err.toStdString();

    const QStringList folders = orphanFolders();
    ASSERT_EQ(folders.size(), 1);
    const QDir moved(supportFolder() + u'/' + folders.first());
    EXPECT_EQ(read(moved.filePath(QStringLiteral("Attachments/stray"))), QByteArray("stray attachment"));
    EXPECT_EQ(read(moved.filePath(QStringLiteral("Icons/stray-icon"))), QByteArray("stray icon"));
    EXPECT_FALSE(QFileInfo::exists(attachments() + QStringLiteral("/stray")));

    const QJsonArray left = showProductJson(m_commandLine, QStringLiteral("Northwind Notes"))
                                .value(QStringLiteral("attachments"))
                                .toArray();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("manual.txt"));
    EXPECT_EQ(check().status, 0);
}

TEST_F(LibraryCheckTest, RepairAnsweredNoOnlyMovesStrayFiles)
{
    breakFiles(makeLibrary());
    const QJsonObject json = checkJson({QStringLiteral("--repair")});
    EXPECT_FALSE(json.value(QStringLiteral("clean")).toBool());
    const QJsonObject repair = json.value(QStringLiteral("repair")).toObject();
    EXPECT_EQ(repair.value(QStringLiteral("movedFiles")).toInt(), 2);
    EXPECT_EQ(repair.value(QStringLiteral("removedRecords")).toInt(), 0);
    EXPECT_EQ(repair.value(QStringLiteral("keptRecords")).toInt(), 1);
    EXPECT_EQ(kinds(repair.value(QStringLiteral("remaining")).toArray()),
              QSet<QString> {QStringLiteral("missing-attachment-file")});
    EXPECT_EQ(showProductJson(m_commandLine, QStringLiteral("Northwind Notes"))
                  .value(QStringLiteral("attachments"))
                  .toArray()
                  .size(),
              2);
    EXPECT_EQ(check().status, 1);
}

TEST_F(LibraryCheckTest, RepairWaitsForTheLibraryLock)
{
    breakFiles(makeLibrary());
    LibraryLock window(library());
    ASSERT_TRUE(window.tryLock());
    const CliResult refused = check({QStringLiteral("--repair"), QStringLiteral("--yes")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.err.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(attachments() + QStringLiteral("/stray")));
    EXPECT_TRUE(orphanFolders().isEmpty());
}

TEST_F(LibraryCheckTest, ADamagedStoreIsFoundAndLeftAlone)
{
    makeLibrary();
    write(attachments() + QStringLiteral("/stray"), "stray attachment");
    QByteArray bytes = read(store());
    const int pageSize = (quint8(bytes[16]) << 8) | quint8(bytes[17]);
    ASSERT_GT(bytes.size(), 3 * pageSize);
    for (int offset = 2 * pageSize + 8; offset < 2 * pageSize + 200; ++offset) {
        bytes[offset] = char(0xA5);
    }
    write(store(), bytes);

    const QJsonObject json = checkJson();
    EXPECT_EQ(kinds(json.value(QStringLiteral("findings")).toArray()), QSet<QString> {QStringLiteral("damaged-store")});
    EXPECT_EQ(check().status, 1);

    const CliResult repair = check({QStringLiteral("--repair"), QStringLiteral("--yes")});
    EXPECT_EQ(repair.status, 1);
    EXPECT_EQ(read(store()), bytes);
    EXPECT_TRUE(QFileInfo::exists(attachments() + QStringLiteral("/stray")));
}

TEST_F(LibraryCheckTest, BrokenAndOneSidedReferencesAreMended)
{
    const QJsonObject product = makeLibrary();
    // An attached file of a product that does not exist, a product naming an icon that does not
    // exist while its icon still names it, and a stored-file record whose attached file lost it.
    executeSql(QStringLiteral("UPDATE t_AttachedFile SET r_product = 9999 WHERE a_name = 'receipt.pdf'"));
    executeSql(QStringLiteral("UPDATE t_Product SET r_appIcon = 9999 WHERE a_title = 'Northwind Notes'"));
    executeSql(QStringLiteral("UPDATE t_AttachedFile SET r_content = NULL WHERE a_name = 'manual.txt'"));
    // A second icon that names the product, which shows its own.
    executeSql(QStringLiteral("INSERT INTO t_Icon (pk, ent, a_uuid, r_product) SELECT 9000, 'Icon', 'SECOND-ICON', pk "
                              "FROM t_Product WHERE a_title = 'Northwind Notes'"));
    write(icons() + QStringLiteral("/SECOND-ICON"), "second icon");

    const QJsonObject json = checkJson();
    EXPECT_EQ(kinds(json.value(QStringLiteral("findings")).toArray()),
              (QSet<QString> {QStringLiteral("broken-reference"), QStringLiteral("inverse-mismatch"),
                              QStringLiteral("missing-attachment-file")}));

    const CliResult repaired = check({QStringLiteral("--repair"), QStringLiteral("--yes")});
    EXPECT_EQ(repaired.status, 0) << repaired.out.toStdString();
    const QJsonObject after = showProductJson(m_commandLine, QStringLiteral("Northwind Notes"));
    EXPECT_EQ(after.value(QStringLiteral("iconFile")), product.value(QStringLiteral("iconFile")));
    const QJsonArray files = after.value(QStringLiteral("attachments")).toArray();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("manual.txt"));
    // The receipt's record and the second icon went; their stored files are kept beside the library.
    ASSERT_EQ(orphanFolders().size(), 1);
    EXPECT_EQ(QDir(supportFolder() + u'/' + orphanFolders().first() + QStringLiteral("/Attachments"))
                  .entryList(QDir::Files)
                  .size(),
              1);
    EXPECT_EQ(read(supportFolder() + u'/' + orphanFolders().first() + QStringLiteral("/Icons/SECOND-ICON")),
              QByteArray("second icon"));
}

} // namespace
