#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>
#include <memory>

namespace {

using Result = CliResult;

class MaintenanceCommandsTest : public ::testing::Test
{
protected:
    MaintenanceCommandsTest()
    {
        Log::setEchoToStandardError(false);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        registerCommands(m_commandLine);
    }
    ~MaintenanceCommandsTest() override { QLocale::setDefault(QLocale::system()); }

    Result run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }
    QJsonArray products()
    {
        const Result result = run({QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        QJsonArray list = QJsonDocument::fromJson(result.out.toUtf8()).array();
        // Identity aside (the store's own keys), the catalogue is what the person sees.
        for (auto&& value : list) {
            QJsonObject product = value.toObject();
            QJsonArray attachments;
            for (const QJsonValue& attachment : product.value(QStringLiteral("attachments")).toArray()) {
                QJsonObject file = attachment.toObject();
                file.remove(QStringLiteral("path"));
                attachments.append(file);
            }
            product.insert(QStringLiteral("attachments"), attachments);
            // The icon file is named by its UUID; the folder it is in belongs to the user.
            const QString icon = product.value(QStringLiteral("iconFile")).toString();
            if (!icon.isEmpty()) {
                product.insert(QStringLiteral("iconFile"), QFileInfo(icon).fileName());
            }
            value = product;
        }
        return list;
    }
    void addProducts()
    {
        ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Zeta \"Z\" Suite"),
                       QStringLiteral("serialNumber=ZZ-1"), QStringLiteral("purchasePrice=1299.5")})
                      .status,
                  0);
        ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Alpha"),
                       QStringLiteral("productVersion=3")})
                      .status,
                  0);
        const QString file = m_scratch.filePath(QStringLiteral("licence.txt"));
        QFile licence(file);
        ASSERT_TRUE(licence.open(QIODevice::WriteOnly));
        licence.write("licence text");
        licence.close();
        ASSERT_EQ(run({QStringLiteral("attach"), QStringLiteral("Alpha"), file, QStringLiteral("--no-scan")}).status,
                  0);
    }

    std::unique_ptr<TemporaryUserFolders> m_folders = std::make_unique<TemporaryUserFolders>();
    QTemporaryDir m_scratch;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(MaintenanceCommandsTest, AnExportFolderImportedIntoAnEmptyLibraryReproducesTheList)
{
    addProducts();
    const QJsonArray before = products();
    Result exported = run({QStringLiteral("export"), QStringLiteral("folder"), m_scratch.path()});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.contains(QStringLiteral("Keymoor Export")));

    m_folders = std::make_unique<TemporaryUserFolders>();
    const Result imported = run({QStringLiteral("import"), QStringLiteral("library"),
                                 m_scratch.filePath(QStringLiteral("Keymoor Export")), QStringLiteral("--replace")});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(products(), before);

    EXPECT_EQ(run({QStringLiteral("import"), QStringLiteral("library"), m_scratch.path()}).status, 1);
    EXPECT_EQ(products(), before);
    EXPECT_EQ(run({QStringLiteral("import"), QStringLiteral("library"), m_scratch.path(), QStringLiteral("--merge"),
                   QStringLiteral("--replace")})
                  .status,
              2);
}

TEST_F(MaintenanceCommandsTest, TheCsvExportWritesOneQuotedLinePerProductSortedByTitle)
{
    addProducts();
    const QString target = m_scratch.filePath(QStringLiteral("out.csv"));
    Result result = run({QStringLiteral("export"), QStringLiteral("csv"), target, QStringLiteral("--fields"),
                         QStringLiteral("title,purchasePrice,productVersion,serialNumber")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // three products and the empty rest after the last line feed
    EXPECT_EQ(lines.at(0), QByteArray("\"Alpha\",,\"3\","));
    EXPECT_TRUE(lines.at(1).startsWith("\"Keymoor\",,"));
    EXPECT_EQ(lines.at(2), QByteArray("\"Zeta 'Z' Suite\",1299.5,,\"ZZ-1\""));
    EXPECT_TRUE(lines.at(3).isEmpty());

    result = run({QStringLiteral("export"), QStringLiteral("csv"), target, QStringLiteral("--delimiter"),
                  QStringLiteral("tab"), QStringLiteral("--header")});
    ASSERT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(QStringLiteral("out 1.csv")));
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("csv"), target, QStringLiteral("--fields"),
                   QStringLiteral("title,nonsense")})
                  .status,
              2);
}

TEST_F(MaintenanceCommandsTest, BackupsGoToTheBackupFolderUnderFreshNames)
{
    addProducts();
    const Result first = run({QStringLiteral("backup")});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const Result second = run({QStringLiteral("backup")});
    EXPECT_TRUE(first.out.endsWith(QStringLiteral("Backup/Keymoor.kmlib\n"))) << first.out.toStdString();
    EXPECT_TRUE(second.out.endsWith(QStringLiteral("Backup/Keymoor 1.kmlib\n"))) << second.out.toStdString();
}

TEST_F(MaintenanceCommandsTest, LicenceFieldsSurviveTheExportFolderAndTheCsvRoundTrip)
{
    addProducts();
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("Alpha"), QStringLiteral("licenseType=subscription"),
                   QStringLiteral("expiryDate=2027-01-15"), QStringLiteral("renewalDate=2026-12-31"),
                   QStringLiteral("renewalPeriodMonths=12"), QStringLiteral("renewalPrice=1299.5"),
                   QStringLiteral("seats=0"), QStringLiteral("remindDaysBefore=7"), QStringLiteral("archived=yes")})
                  .status,
              0);
    const QJsonArray before = products();
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("folder"), m_scratch.path()}).status, 0);
    const QString csv = m_scratch.filePath(QStringLiteral("licence.csv"));
    const QString fields = QStringLiteral("title,licenseType,expiryDate,renewalDate,renewalPeriodMonths,renewalPrice,"
                                          "seats,remindDaysBefore,archived");
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("csv"), csv, QStringLiteral("--fields"), fields}).status,
              0);

    m_folders = std::make_unique<TemporaryUserFolders>();
    const Result imported = run({QStringLiteral("import"), QStringLiteral("library"),
                                 m_scratch.filePath(QStringLiteral("Keymoor Export")), QStringLiteral("--replace")});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(products(), before);

    // Into a fresh library through the delimited import: the same licence, read back field by field.
    m_folders = std::make_unique<TemporaryUserFolders>();
    const Result fromCsv = run({QStringLiteral("import"), QStringLiteral("csv"), csv, QStringLiteral("--map"), fields,
                                QStringLiteral("--quote"), QStringLiteral("double")});
    ASSERT_EQ(fromCsv.status, 0) << fromCsv.err.toStdString();
    QJsonObject original;
    QJsonObject copy;
    for (const QJsonValue& value : before) {
        if (value[QStringLiteral("title")] == QStringLiteral("Alpha")) {
            original = value.toObject();
        }
    }
    for (const QJsonValue& value : products()) {
        if (value[QStringLiteral("title")] == QStringLiteral("Alpha")) {
            copy = value.toObject();
        }
    }
    for (const QString& key : fields.split(u',')) {
        EXPECT_EQ(copy.value(key), original.value(key)) << key.toStdString();
    }
    EXPECT_EQ(copy.value(QStringLiteral("expiryDate")).toString(), QStringLiteral("2027-01-15"));
}
