#include "prefs/SoftwareFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using SoftwareFolders::BundleKind;

class SoftwareFoldersTest : public ::testing::Test
{
protected:
    SoftwareFoldersTest()
        : m_home(m_dir.filePath(QStringLiteral("home")))
        , m_root(m_dir.filePath(QStringLiteral("root")))
    {
        QDir().mkpath(m_home);
        QDir().mkpath(m_root);
    }

    QString existing(BundleKind kind) const { return SoftwareFolders::existingBundleFolder(kind, m_home, m_root); }

    QTemporaryDir m_dir;
    QString m_home;
    QString m_root;
};

TEST_F(SoftwareFoldersTest, AKindOfBundleIsOfferedOnlyWhereAFolderOfThemExists)
{
    for (BundleKind kind : {BundleKind::PreferencePane, BundleKind::Plugin, BundleKind::Widget}) {
        EXPECT_TRUE(existing(kind).isEmpty());
    }

    ASSERT_TRUE(QDir(m_root).mkpath(QStringLiteral("Library/Internet Plug-Ins")));
    EXPECT_EQ(existing(BundleKind::Plugin), m_root + QStringLiteral("/Library/Internet Plug-Ins"));
    EXPECT_TRUE(existing(BundleKind::PreferencePane).isEmpty());
    EXPECT_TRUE(existing(BundleKind::Widget).isEmpty());

    // The home folder's own Library comes first.
    ASSERT_TRUE(QDir(m_home).mkpath(QStringLiteral("Library/Internet Plug-Ins")));
    EXPECT_EQ(existing(BundleKind::Plugin), m_home + QStringLiteral("/Library/Internet Plug-Ins"));

    // A file of the folder's name, or a folder of a near name, holds no bundles.
    ASSERT_TRUE(QDir(m_home).mkpath(QStringLiteral("Library/Plug-ins")));
    QFile widgets(m_home + QStringLiteral("/Library/Widgets"));
    ASSERT_TRUE(widgets.open(QIODevice::WriteOnly));
    widgets.close();
    EXPECT_TRUE(existing(BundleKind::Widget).isEmpty());
    ASSERT_TRUE(QDir(m_root).mkpath(QStringLiteral("Library/PreferencePanes")));
    EXPECT_EQ(existing(BundleKind::PreferencePane), m_root + QStringLiteral("/Library/PreferencePanes"));
}

TEST_F(SoftwareFoldersTest, TheFirstApplicationsFolderThatExistsElseHome)
{
    const QString missing = m_dir.filePath(QStringLiteral("share/applications"));
    const QString plainFile = m_dir.filePath(QStringLiteral("applications-file"));
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(SoftwareFolders::firstExistingFolder({}, m_home), m_home);
    EXPECT_EQ(SoftwareFolders::firstExistingFolder({QString(), missing, plainFile}, m_home), m_home);

    const QString system = m_dir.filePath(QStringLiteral("usr/share/applications"));
    ASSERT_TRUE(QDir().mkpath(system));
    EXPECT_EQ(SoftwareFolders::firstExistingFolder({missing, system + QStringLiteral("/")}, m_home), system);
}

} // namespace
