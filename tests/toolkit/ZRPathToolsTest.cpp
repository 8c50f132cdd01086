#include "ZRPathTools.h"

#include "ToolkitTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ZRPathTools : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    void makeFile(const QString& name) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }

    void makeFolder(const QString& name) const { ASSERT_TRUE(QDir().mkpath(path(name))); }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ZRPathTools, FreePathComesBackUnchanged)
{
    EXPECT_EQ(ZR_safeFilePath(path("report.txt")), path("report.txt"));
    // Nothing is created.
    EXPECT_FALSE(QFile::exists(path("report.txt")));
}

TEST_F(ZRPathTools, CounterIsHexadecimalBeforeTheExtension)
{
    makeFile("report.txt");
    EXPECT_EQ(ZR_safeFilePath(path("report.txt")), path("report 1.txt"));
    for (int n = 1; n <= 9; ++n) {
        makeFile(QStringLiteral("report %1.txt").arg(n));
    }
    EXPECT_EQ(ZR_safeFilePath(path("report.txt")), path("report a.txt"));
    for (const char* taken :
         {"report a.txt", "report b.txt", "report c.txt", "report d.txt", "report e.txt", "report f.txt"}) {
        makeFile(taken);
    }
    EXPECT_EQ(ZR_safeFilePath(path("report.txt")), path("report 10.txt"));
}

TEST_F(ZRPathTools, AFolderTakesANameToo)
{
    makeFile("Keymoor.kmlib");
    makeFolder("Keymoor 1.kmlib");
    EXPECT_EQ(ZR_safeFilePath(path("Keymoor.kmlib")), path("Keymoor 2.kmlib"));
}

TEST_F(ZRPathTools, NameWithoutExtensionGetsTheCounterAtTheEnd)
{
    makeFolder("Backup");
    EXPECT_EQ(ZR_safeFilePath(path("Backup")), path("Backup 1"));
    // A trailing slash names the same folder.
    EXPECT_EQ(ZR_safeFilePath(path("Backup/")), path("Backup 1"));
    makeFolder("Keymoor Export");
    makeFolder("Keymoor Export 1");
    EXPECT_EQ(ZR_safeFilePath(path("Keymoor Export")), path("Keymoor Export 2"));
}

TEST_F(ZRPathTools, OnlyTheLastExtensionOfTheLastComponentCounts)
{
    makeFolder("v1.2");
    makeFile("v1.2/archive.tar.gz");
    EXPECT_EQ(ZR_safeFilePath(path("v1.2/archive.tar.gz")), path("v1.2/archive.tar 1.gz"));
    makeFile("v1.2/notes");
    EXPECT_EQ(ZR_safeFilePath(path("v1.2/notes")), path("v1.2/notes 1"));
    // A leading dot marks a hidden name, not an extension; a trailing dot starts none either.
    makeFile(".profile");
    EXPECT_EQ(ZR_safeFilePath(path(".profile")), path(".profile 1"));
    makeFile("odd.");
    EXPECT_EQ(ZR_safeFilePath(path("odd.")), path("odd. 1"));
}

TEST_F(ZRPathTools, DanglingSymbolicLinkTakesItsName)
{
    // Writing through a dangling link would create its target somewhere else.
    ASSERT_TRUE(QFile::link(path("missing-target"), path("export.csv")));
    EXPECT_EQ(ZR_safeFilePath(path("export.csv")), path("export 1.csv"));
}

TEST_F(ZRPathTools, ClassicPathJoinsComponentsWithColons)
{
    makeFolder("Mail: Attachments");
    const QString classic = ZR_hfsStylePath(path("Mail: Attachments/receipt.pdf"));
    const QString folderName = QFileInfo(m_folder.path()).fileName();
    // A colon inside a name becomes a slash, and a file needs no colon at the end.
    EXPECT_TRUE(classic.endsWith(QStringLiteral(":%1:Mail/ Attachments:receipt.pdf").arg(folderName)))
        << classic.toStdString();
    // The volume name comes first and is not empty.
    EXPECT_FALSE(classic.startsWith(QLatin1Char(':'))) << classic.toStdString();
    // A folder is taken as a file, too.
    EXPECT_TRUE(ZR_hfsStylePath(path("Mail: Attachments/")).endsWith(QStringLiteral(":Mail/ Attachments")));
    EXPECT_TRUE(ZR_hfsStylePath(QString()).isEmpty());
}
