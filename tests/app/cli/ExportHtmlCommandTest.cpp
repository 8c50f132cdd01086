// export html over a real library: the embedded catalogue, read back by an independent
// implementation (Python's html.parser and cryptography), equals what list --json prints; the icons
// travel beside it keyed by uuid, sealed too when the catalogue is; nothing readable is left in an
// encrypted page; hostile titles stay inside their element; the remembered folder; and the
// passphrase files and arguments it refuses.
#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "../../support/TestData.h"
#include "base/Log.h"
#include "cli/Commands.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
        return QJsonDocument::fromJson(pythonOutput({page}, passphrase)).array();
    }

    // The icon map the page holds, read the same way.
    static QJsonObject pythonReadsIcons(const QString& page, const QByteArray& passphrase = {})
    {
        return QJsonDocument::fromJson(pythonOutput({page, QStringLiteral("--icons")}, passphrase)).object();
    }

    static QByteArray pythonOutput(const QStringList& pageArguments, const QByteArray& passphrase)
    {
        QStringList arguments = QStringList {testDataPath("/phone/open_page.py")} + pageArguments;
        if (!passphrase.isEmpty()) {
            arguments << QString::fromUtf8(passphrase);
        }
        QProcess python;
        python.start(pythonProgram(), arguments);
        EXPECT_TRUE(python.waitForFinished(120000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return python.readAllStandardOutput();
    }

    // Gives the product titled `title` an icon made from a wide picture (stored square, with
    // transparent bands) and answers its uuid.
    QString setIcon(const QString& title, const QColor& colour)
    {
        QImage picture(300, 150, QImage::Format_ARGB32);
        picture.fill(colour);
        const QString file = path(title + QStringLiteral(".png"));
        EXPECT_TRUE(picture.save(file, "PNG"));
        const CliResult set
            = run({QStringLiteral("set"), title, QStringLiteral("--icon"), file, QStringLiteral("--json")});
        EXPECT_EQ(set.status, 0) << set.err.toStdString();
        return QJsonDocument::fromJson(set.out.toUtf8()).object().value(QStringLiteral("uuid")).toString();
    }

    // The JSON object in the page's script element `id`, read plainly.
    static QJsonObject elementObject(const QByteArray& page, const QByteArray& id)
    {
        const QByteArray opening = "id=\"" + id + "\">";
        const qsizetype start = page.indexOf(opening) + opening.size();
        return QJsonDocument::fromJson(page.mid(start, page.indexOf("</script>", start) - start)).object();
    }

    // The image of a data URL, when it is a PNG one.
    static QImage pngOfDataUrl(const QString& url)
    {
        const QString prefix = QStringLiteral("data:image/png;base64,");
        if (!url.startsWith(prefix)) {
            return {};
        }
        QByteArray bytes = QByteArray::fromBase64(url.mid(prefix.size()).toLatin1());
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        return reader.format() == "png" ? reader.read() : QImage();
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
    const QJsonObject envelope = elementObject(bytes, "keymoor-data");
    EXPECT_GE(envelope.value(QStringLiteral("iterations")).toInt(), 600000);
    EXPECT_EQ(QByteArray::fromBase64(envelope.value(QStringLiteral("salt")).toString().toLatin1()).size(), 16);
    EXPECT_EQ(QByteArray::fromBase64(envelope.value(QStringLiteral("iv")).toString().toLatin1()).size(), 12);
    EXPECT_FALSE(bytes.contains("not encrypted"));
    // Nothing outside the file is loaded.
    EXPECT_FALSE(bytes.contains("http://") || bytes.contains("https://") || bytes.contains(" src=\""));
}

TEST_F(ExportHtmlCommandTest, IconsTravelKeyedByUuidSealedUnderTheSameKeyWithAnIVOfTheirOwn)
{
    addProducts();
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Broken Icon App")}).status, 0);
    const QString uuid = setIcon(QStringLiteral("Test App"), Qt::red);
    const QString broken = setIcon(QStringLiteral("Broken Icon App"), Qt::blue);
    // Every product with a readable icon (a new library has one of its own), not the one whose
    // stored icon is damaged, none without an icon ("Other App").
    QStringList expected;
    for (const QJsonValue& value : listJson()) {
        const QJsonObject product = value.toObject();
        const QString iconFile = product.value(QStringLiteral("iconFile")).toString();
        if (product.value(QStringLiteral("uuid")).toString() == broken) {
            QFile file(iconFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("no image at all");
        } else if (!iconFile.isEmpty()) {
            expected.append(product.value(QStringLiteral("uuid")).toString());
        }
    }
    ASSERT_TRUE(expected.contains(uuid));
    const QString plain = path(QStringLiteral("Plain.html"));
    const QString sealed = path(QStringLiteral("Sealed.html"));
    const QString passphraseFile = writeFile(QStringLiteral("pass"), Passphrase + "\n");
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("html"), plain}).status, 0);
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("html"), sealed, QStringLiteral("--passphrase-file"),
                   passphraseFile})
                  .status,
              0);

    for (const QJsonObject& icons : {pythonReadsIcons(plain), pythonReadsIcons(sealed, Passphrase)}) {
        QStringList keys = icons.keys();
        keys.sort();
        expected.sort();
        EXPECT_EQ(keys, expected);
        const QImage icon = pngOfDataUrl(icons.value(uuid).toString());
        EXPECT_EQ(icon.size(), QSize(64, 64)); // the stored square icon, scaled down
        EXPECT_EQ(icon.pixelColor(32, 32), QColor(Qt::red));
        EXPECT_EQ(icon.pixelColor(32, 2).alpha(), 0); // the band above the wide picture stays clear
    }

    // No PNG signature (raw or in base64) and no product uuid in clear.
    const QByteArray bytes = readAll(sealed);
    for (const QString& clear :
         expected + QStringList {QStringLiteral("base64,iVBOR"), QStringLiteral("iVBORw0KGgo")}) {
        EXPECT_FALSE(bytes.contains(clear.toLatin1())) << clear.toStdString();
    }
    EXPECT_FALSE(bytes.contains("\x89PNG"));
    const QJsonObject data = elementObject(bytes, "keymoor-data");
    const QJsonObject icons = elementObject(bytes, "keymoor-icons");
    EXPECT_EQ(icons.value(QStringLiteral("salt")), data.value(QStringLiteral("salt")));
    EXPECT_FALSE(icons.value(QStringLiteral("iv")).toString().isEmpty());
    EXPECT_NE(icons.value(QStringLiteral("iv")), data.value(QStringLiteral("iv")));
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
