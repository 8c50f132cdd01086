// export html over a real library: the embedded catalogue, read back by an independent
// implementation (Python's html.parser and cryptography), equals what list --json prints; nothing
// readable is left in an encrypted page; hostile titles stay inside their element; the remembered
// folder; and the passphrase files and arguments it refuses.
#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "../../support/TestData.h"
#include "base/Log.h"
#include "cli/Commands.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Serial = QStringLiteral("SERIAL-7Q4-ZX9");
const QString Notes = QStringLiteral("bought at the autumn sale");
const QByteArray Passphrase("pass phrase é");

class ExportHtmlCommandTest : public ::testing::Test
{
protected:
    ExportHtmlCommandTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    void addProducts(const QString& title = QStringLiteral("Test App"))
    {
        ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), title,
                       QStringLiteral("serialNumber=") + Serial, QStringLiteral("commentsString=") + Notes})
                      .status,
                  0);
        ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Other App")}).status, 0);
    }

    QJsonArray listJson()
    {
        const CliResult listed = run({QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(listed.status, 0);
        return QJsonDocument::fromJson(listed.out.toUtf8()).array();
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray readAll(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The catalogue the page holds, as Python reads it (opened with `passphrase` when given).
    static QJsonArray pythonReads(const QString& page, const QByteArray& passphrase = {})
    {
        QStringList arguments {testDataPath("/phone/open_page.py"), page};
        if (!passphrase.isEmpty()) {
            arguments << QString::fromUtf8(passphrase);
        }
        QProcess python;
        python.start(pythonProgram(), arguments);
        EXPECT_TRUE(python.waitForFinished(120000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }

    // The system's Python, which has the cryptography package (scripts/setup installs it).
    static QString pythonProgram()
    {
        const QString system = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
        return system.isEmpty() ? QStringLiteral("python3") : system;
    }

    TemporaryUserFolders m_folders;
    QTemporaryDir m_dir;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(ExportHtmlCommandTest, EncryptedPageOpensWithThePassphraseToTheListAndShowsNothingInClear)
{
    addProducts();
    const QString passphraseFile = writeFile(QStringLiteral("pass"), Passphrase + "\r\nsecond line\n");
    const QString page = path(QStringLiteral("Catalogue.html"));
    const CliResult result = run(
        {QStringLiteral("export"), QStringLiteral("html"), page, QStringLiteral("--passphrase-file"), passphraseFile});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();

    const QJsonArray expected = listJson();
    ASSERT_GE(expected.size(), 2);
    EXPECT_EQ(pythonReads(page, Passphrase), expected);

    const QByteArray bytes = readAll(page);
    for (const QString& secret : {Serial, Notes, QStringLiteral("Test App"), QStringLiteral("Other App")}) {
        EXPECT_FALSE(bytes.contains(secret.toUtf8())) << secret.toStdString();
    }
    const qsizetype start = bytes.indexOf("id=\"keymoor-data\">") + 18;
    const QJsonObject envelope
        = QJsonDocument::fromJson(bytes.mid(start, bytes.indexOf("</script>", start) - start)).object();
    EXPECT_GE(envelope.value(QStringLiteral("iterations")).toInt(), 600000);
    EXPECT_EQ(QByteArray::fromBase64(envelope.value(QStringLiteral("salt")).toString().toLatin1()).size(), 16);
    EXPECT_EQ(QByteArray::fromBase64(envelope.value(QStringLiteral("iv")).toString().toLatin1()).size(), 12);
    EXPECT_FALSE(bytes.contains("not encrypted"));
    // Nothing outside the file is loaded.
    EXPECT_FALSE(bytes.contains("http://") || bytes.contains("https://") || bytes.contains(" src=\""));
}

TEST_F(ExportHtmlCommandTest, PlainPageHoldsTheListWrittenAtomicallyForTheOwnerOnly)
{
    addProducts();
    const QString page = path(QStringLiteral("Catalogue.html"));
    writeFile(QStringLiteral("Catalogue.html"), "old page");
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("html"), page}).status, 0);

    EXPECT_EQ(pythonReads(page), listJson());
    const QByteArray bytes = readAll(page);
    EXPECT_TRUE(bytes.contains("not encrypted"));
    EXPECT_TRUE(bytes.contains("default-src 'none'"));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    EXPECT_TRUE(QFile::permissions(page).testFlag(QFile::ReadOwner));
    EXPECT_EQ(QFile::permissions(page) & others, QFile::Permissions());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("Catalogue.html")});
}

TEST_F(ExportHtmlCommandTest, HostileTitlesStayInsideTheDataElement)
{
    const QString hostile = QStringLiteral("</script><script>alert(1)</script><!-- \u2028 \u2029 </SCRIPT");
    addProducts(hostile);
    const QString page = path(QStringLiteral("Catalogue.html"));
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("html"), page}).status, 0);

    const QJsonArray read = pythonReads(page);
    ASSERT_EQ(read, listJson());
    bool found = false;
    for (const QJsonValue& product : read) {
        found = found || product.toObject().value(QStringLiteral("title")).toString() == hostile;
    }
    EXPECT_TRUE(found);
    const QByteArray bytes = readAll(page);
    EXPECT_FALSE(bytes.contains("<!--"));
    EXPECT_FALSE(bytes.contains("\xE2\x80\xA8"));
    EXPECT_FALSE(bytes.contains("alert(1)</script>"));
}

TEST_F(ExportHtmlCommandTest, RemembersTheFolderAndPassphraseFileForExportsWithoutFile)
{
    addProducts();
    const CliResult unset = run({QStringLiteral("export"), QStringLiteral("html")});
    EXPECT_EQ(unset.status, 1);
    EXPECT_TRUE(unset.err.contains(QStringLiteral("no export folder remembered")));

    const QString passphraseFile = writeFile(QStringLiteral("pass"), Passphrase + "\n");
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("html"), path(QStringLiteral("First.html")),
                   QStringLiteral("--passphrase-file"), passphraseFile, QStringLiteral("--remember")})
                  .status,
              0);
    const CliResult again = run({QStringLiteral("export"), QStringLiteral("html")});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    const QString remembered = path(QStringLiteral("Keymoor.html"));
    EXPECT_TRUE(again.out.contains(remembered));
    EXPECT_EQ(pythonReads(remembered, Passphrase), listJson());
}

TEST_F(ExportHtmlCommandTest, RefusesBadPassphraseFilesAndArgumentsWritingNothing)
{
    addProducts();
    const QString page = path(QStringLiteral("Catalogue.html"));
    const QString empty = writeFile(QStringLiteral("empty"), "\nsecond line\n");
    const struct
    {
        QStringList arguments;
        int status;
        QString message;
    } cases[] = {
        {{page, QStringLiteral("--passphrase-file"), path(QStringLiteral("missing"))},
         1,
         QStringLiteral("cannot be read")},
        {{page, QStringLiteral("--passphrase-file"), empty}, 1, QStringLiteral("is empty")},
        {{page, page}, 2, QStringLiteral("usage")},
        {{QStringLiteral("--remember")}, 2, QStringLiteral("usage")},
        {{m_dir.path()}, 1, QStringLiteral("not a file")},
    };
    for (const auto& bad : cases) {
        const CliResult result = run(QStringList {QStringLiteral("export"), QStringLiteral("html")} + bad.arguments);
        EXPECT_EQ(result.status, bad.status) << bad.arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(bad.message, Qt::CaseInsensitive)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(page));
}
