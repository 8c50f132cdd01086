#include "base/StartupFolders.h"

#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "support/TemporaryUserFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

void putFileAt(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(StartupFolders, AFreshAccountGetsItsCacheFolderAndNothingElse)
{
    TemporaryUserFolders folders;
    EXPECT_FALSE(StartupFolders::check().has_value());
    const QString name = QCoreApplication::applicationName();
    EXPECT_TRUE(QFileInfo(folders.cacheHome() + QLatin1Char('/') + name).isDir());
    EXPECT_FALSE(QFileInfo::exists(folders.dataHome() + QLatin1Char('/') + name));
}

TEST(StartupFolders, SomethingInTheWayIsNamedWithItsPath)
{
    const QString name = QCoreApplication::applicationName();
    {
        TemporaryUserFolders folders;
        const QString cache = folders.cacheHome() + QLatin1Char('/') + name;
        putFileAt(cache);
        const auto problem = StartupFolders::check();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->title, localizedString(QStringLiteral("MissingApplicationCacheFolder")));
        EXPECT_TRUE(problem->reason.contains(cache)) << problem->reason.toStdString();
    }
    {
        TemporaryUserFolders folders;
        const QString support = folders.dataHome() + QLatin1Char('/') + name;
        putFileAt(support);
        const auto problem = StartupFolders::check();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->title, localizedString(QStringLiteral("MissingApplicationSupportFolder")));
        EXPECT_TRUE(problem->reason.contains(support)) << problem->reason.toStdString();
    }
    {
        // A parent of the support folder that is a file makes the folder impossible to create.
        TemporaryUserFolders folders;
        QFile::remove(folders.dataHome());
        QDir().rmdir(folders.dataHome());
        putFileAt(folders.dataHome());
        const auto problem = StartupFolders::check();
        ASSERT_TRUE(problem.has_value());
        EXPECT_TRUE(problem->reason.contains(folders.dataHome())) << problem->reason.toStdString();
    }
    {
        TemporaryUserFolders folders;
        const QString support = folders.dataHome() + QLatin1Char('/') + name;
        QDir().mkpath(support);
        putFileAt(support + QStringLiteral("/Keymoor.kmlib"));
        const auto problem = StartupFolders::check();
        ASSERT_TRUE(problem.has_value());
        EXPECT_TRUE(problem->reason.contains(QStringLiteral("Keymoor.kmlib"))) << problem->reason.toStdString();
    }
}

TEST(StartupFolders, TheStateFolderFollowsXdgStateHome)
{
    TemporaryUserFolders folders;
    const QString name = QCoreApplication::applicationName();
    EXPECT_EQ(LibraryPaths::stateFolderLocation(), folders.stateHome() + QLatin1Char('/') + name);
    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::stateFolderLocation()));

    // A relative value is not a valid XDG folder: the default below the home folder applies.
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(LibraryPaths::stateFolderLocation(), QDir::home().filePath(QStringLiteral(".local/state/")) + name);
    qputenv("XDG_STATE_HOME", saved);
}

TEST(StartupFolders, TheStateFolderIsCreatedOwnerOnlyOrItsProblemShown)
{
    const QString name = QCoreApplication::applicationName();
    {
        TemporaryUserFolders folders;
        EXPECT_FALSE(StartupFolders::check().has_value());
        const QFileInfo state(folders.stateHome() + QLatin1Char('/') + name);
        EXPECT_TRUE(state.isDir());
        EXPECT_EQ(state.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    }
    {
        TemporaryUserFolders folders;
        const QString state = folders.stateHome() + QLatin1Char('/') + name;
        putFileAt(state);
        const auto problem = StartupFolders::check();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->title, localizedString(QStringLiteral("MissingApplicationStateFolder")));
        EXPECT_TRUE(problem->reason.contains(state)) << problem->reason.toStdString();
    }
}
