#include "ZRApplicationFolders.h"

#include "ToolkitTestSupport.h"
#include "ZRLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <optional>

namespace {

// Points the XDG folders at a fresh folder and records log lines and fatal errors for one test.
class ZRApplicationFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedData = qgetenv("XDG_DATA_HOME");
        m_savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome()));
        ZRLog::setHandler([this](const QString& line) { m_lines.append(line); });
        ZR_setFatalErrorHandler([this](const ZRError& error) { m_fatal = error; });
    }

    void TearDown() override
    {
        ZR_setFatalErrorHandler(nullptr);
        ZRLog::setHandler(nullptr);
        qputenv("XDG_DATA_HOME", m_savedData);
        qputenv("XDG_CACHE_HOME", m_savedCache);
        QCoreApplication::setApplicationName(QStringLiteral("Keymoor"));
    }

    QString dataHome() const { return m_root.filePath(QStringLiteral("data")); }
    QString cacheHome() const { return m_root.filePath(QStringLiteral("cache")); }

    static void makeFile(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_root;
    QByteArray m_savedData;
    QByteArray m_savedCache;
    QStringList m_lines;
    std::optional<ZRError> m_fatal;
};

} // namespace

TEST_F(ZRApplicationFolders, SupportFolderIsCreatedPrivateWithItsParents)
{
    ZRError error;
    const QString folder = ZR_applicationSupportFolder(&error);
    EXPECT_EQ(folder, dataHome() + QStringLiteral("/Keymoor"));
    const QFileInfo info(folder);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), QFile::Permissions());
    // A second call finds it.
    EXPECT_EQ(ZR_applicationSupportFolder(), folder);
}

TEST_F(ZRApplicationFolders, SupportFolderBlockedByAFileIsAnError)
{
    ASSERT_TRUE(QDir().mkpath(dataHome()));
    makeFile(dataHome() + QStringLiteral("/Keymoor"));
    ZRError error;
    EXPECT_TRUE(ZR_applicationSupportFolder(&error).isEmpty());
    EXPECT_TRUE(error.description.contains(QStringLiteral("is not a folder"))) << error.description.toStdString();
    EXPECT_EQ(m_lines.size(), 1);
}

TEST_F(ZRApplicationFolders, SupportFolderThatCannotBeCreatedIsAnError)
{
    makeFile(dataHome()); // the parent is a file
    ZRError error;
    EXPECT_TRUE(ZR_applicationSupportFolder(&error).isEmpty());
    EXPECT_FALSE(error.description.isEmpty());
    EXPECT_FALSE(QFileInfo(dataHome()).isDir());
}

TEST_F(ZRApplicationFolders, WithoutAnApplicationNameNoFolderIsUsed)
{
    // An empty name would make the shared base folder the application's own, and the cache folder
    // is emptied at quit.
    QCoreApplication::setApplicationName(QStringLiteral(".."));
    ZRError error;
    EXPECT_TRUE(ZR_applicationSupportFolder(&error).isEmpty());
    EXPECT_TRUE(ZR_applicationCacheFolder().isEmpty());
    ASSERT_TRUE(m_fatal.has_value());
    EXPECT_FALSE(QFileInfo::exists(dataHome()));
}

TEST_F(ZRApplicationFolders, CacheFolderIsCreatedOrFound)
{
    const QString folder = ZR_applicationCacheFolder();
    EXPECT_EQ(folder, cacheHome() + QStringLiteral("/Keymoor"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(ZR_applicationCacheFolder(), folder);
    EXPECT_FALSE(m_fatal.has_value());
    EXPECT_TRUE(m_lines.isEmpty());
}

TEST_F(ZRApplicationFolders, CacheFolderBlockedByAFileIsFatal)
{
    ASSERT_TRUE(QDir().mkpath(cacheHome()));
    const QString blocked = cacheHome() + QStringLiteral("/Keymoor");
    makeFile(blocked);
    EXPECT_TRUE(ZR_applicationCacheFolder().isEmpty());
    ASSERT_TRUE(m_fatal.has_value());
    EXPECT_EQ(m_fatal->domain, QStringLiteral("Keymoor"));
    EXPECT_EQ(m_fatal->code, -999);
    EXPECT_EQ(m_fatal->description, QStringLiteral("Cache/temp path is not a valid directory"));
    EXPECT_EQ(m_lines, QStringList {QStringLiteral("ERROR cache/temp path is not a valid directory: ") + blocked});
    EXPECT_TRUE(QFileInfo(blocked).isFile());
}

TEST_F(ZRApplicationFolders, CacheFolderThatCannotBeCreatedIsFatal)
{
    makeFile(cacheHome());
    EXPECT_TRUE(ZR_applicationCacheFolder().isEmpty());
    ASSERT_TRUE(m_fatal.has_value());
    ASSERT_EQ(m_lines.size(), 1);
    EXPECT_TRUE(m_lines.front().startsWith(QStringLiteral("ERROR creating cache/temp directory: ")));
    EXPECT_TRUE(m_lines.front().contains(m_fatal->description));
}
