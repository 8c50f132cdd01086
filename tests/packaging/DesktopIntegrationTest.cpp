#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

QString packagingPath(const QString& name)
{
    return QStringLiteral(KEYMOOR_PACKAGING_DIR "/") + name;
}

QString readText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The values of one repeated element of an XML file, in order.
QStringList elementTexts(const QString& path, const QString& element, const QString& attribute = {})
{
    QStringList values;
    QXmlStreamReader reader(readText(path));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == element) {
            values.append(attribute.isEmpty() ? reader.readElementText()
                                              : reader.attributes().value(attribute).toString());
        }
    }
    EXPECT_FALSE(reader.hasError()) << path.toStdString() << ": " << reader.errorString().toStdString();
    return values;
}

// The MIME types the desktop entry says Keymoor opens.
QStringList desktopEntryMimeTypes()
{
    const QRegularExpression line(QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match
        = line.match(readText(packagingPath(QStringLiteral("org.keymoor.Keymoor.desktop"))));
    return match.captured(1).split(u';', Qt::SkipEmptyParts);
}

// A shared MIME database of the system's types and Keymoor's, built with update-mime-database the
// way a package installation builds it, and asked through a child process.
class DesktopIntegrationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        const QString packages = m_folder.filePath(QStringLiteral("share/mime/packages"));
        ASSERT_TRUE(QDir().mkpath(packages));
        ASSERT_TRUE(QFile::copy(packagingPath(QStringLiteral("org.keymoor.Keymoor.mime.xml")),
                                packages + QStringLiteral("/org.keymoor.Keymoor.xml")));
        QProcess update;
        update.setProcessEnvironment(environment());
        update.start(QStringLiteral("update-mime-database"), {m_folder.filePath(QStringLiteral("share/mime"))});
        ASSERT_TRUE(update.waitForFinished());
        ASSERT_EQ(update.exitCode(), 0);
        // It only warns about an unknown element or a malformed pattern, and goes on.
        EXPECT_EQ(update.readAllStandardError(), QByteArray());
    }

    // The scratch database first, then the system's.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                           m_folder.filePath(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
        return environment;
    }

    QStringList ask(const QStringList& arguments)
    {
        QProcess lookup;
        lookup.setProcessEnvironment(environment());
        lookup.start(QStringLiteral(KEYMOOR_MIME_TYPE_OF), arguments);
        EXPECT_TRUE(lookup.waitForFinished());
        return QString::fromUtf8(lookup.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QString fileNamed(const QString& name, const QString& contentFrom)
    {
        const QString path = m_folder.filePath(name);
        EXPECT_TRUE(QFile::copy(contentFrom, path));
        return path;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(DesktopIntegrationTest, ProductFilesAreKnownByTheirExtensionWhateverTheirContent)
{
    const QStringList types = ask({
        fileNamed(QStringLiteral("products.keymoor"), testDataPath("/import/products.keymoor")),
        fileNamed(QStringLiteral("binary.keymoor"), testDataPath("/import/products-binary.keymoor")),
        fileNamed(QStringLiteral("LOUD.KEYMOOR"), testDataPath("/import/products.keymoor")),
        fileNamed(QStringLiteral("shelf.appshelf"), testDataPath("/import/shelf.appshelf")),
        fileNamed(QStringLiteral("Shelf.AppShelf"), testDataPath("/import/shelf.appshelf")),
    });
    EXPECT_EQ(
        types,
        QStringList({QStringLiteral("application/x-keymoor-product"), QStringLiteral("application/x-keymoor-product"),
                     QStringLiteral("application/x-keymoor-product"), QStringLiteral("application/x-appshelf"),
                     QStringLiteral("application/x-appshelf")}));
}

TEST_F(DesktopIntegrationTest, EveryTypeTheDesktopEntryOpensIsKnown)
{
    const QStringList opened = desktopEntryMimeTypes();
    ASSERT_FALSE(opened.isEmpty());
    QStringList arguments;
    for (const QString& type : opened) {
        arguments << QStringLiteral("--known") << type;
    }
    const QStringList answers = ask(arguments);
    ASSERT_EQ(answers.size(), opened.size());
    for (qsizetype i = 0; i < opened.size(); ++i) {
        EXPECT_EQ(answers.at(i), QStringLiteral("known")) << opened.at(i).toStdString();
    }
}

TEST_F(DesktopIntegrationTest, OwnTypesAreOpenedByTheEntryAndProvidedByTheMetainfo)
{
    const QStringList own = elementTexts(packagingPath(QStringLiteral("org.keymoor.Keymoor.mime.xml")),
                                         QStringLiteral("mime-type"), QStringLiteral("type"));
    ASSERT_EQ(own.size(), 2);
    const QStringList opened = desktopEntryMimeTypes();
    const QStringList provided
        = elementTexts(packagingPath(QStringLiteral("org.keymoor.Keymoor.metainfo.xml")), QStringLiteral("mediatype"));
    EXPECT_EQ(provided, own);
    for (const QString& type : own) {
        EXPECT_TRUE(opened.contains(type)) << type.toStdString();
    }
    // The entry, the metainfo and the icons all go by the one application ID.
    EXPECT_EQ(
        elementTexts(packagingPath(QStringLiteral("org.keymoor.Keymoor.metainfo.xml")), QStringLiteral("launchable")),
        QStringList {QStringLiteral("org.keymoor.Keymoor.desktop")});
    EXPECT_TRUE(readText(packagingPath(QStringLiteral("org.keymoor.Keymoor.desktop")))
                    .contains(QLatin1String("\nIcon=org.keymoor.Keymoor\n")));
}
