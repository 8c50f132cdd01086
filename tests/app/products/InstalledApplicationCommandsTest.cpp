// Launch, reveal and refresh of products whose applications are desktop entries and AppImages,
// over the software fixture, with a launcher that only records.
#include "../../platform/desktop/RecordingLauncher.h"
#include "../../support/TemporaryHome.h"
#include "../../support/TemporaryUserFolders.h"
#include "InstalledSoftwareFixture.h"
#include "base/Log.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "products/DesktopLauncherProvider.h"
#include "products/ProductApplicationCommands.h"
#include "support/ScriptedUserInterface.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class InstalledApplicationCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        m_session.initializeDefaultData();
        ASSERT_NE(m_session.managedObjectContext(), nullptr);
        m_desktop.setLauncher(&m_launcher);
    }

    ProductEntity* product(const QString& title, const QString& identifier = QString())
    {
        auto* product = m_session.managedObjectContext()->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        product->setBundleIdentifier(identifier);
        return product;
    }

    // An AppImage (by its name) in ~/Applications, one of the folders bare AppImages are found in.
    QString installAppImage(const QString& name)
    {
        QDir().mkpath(m_home.path() + QStringLiteral("/Applications"));
        const QString path = m_home.path() + QStringLiteral("/Applications/") + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not really a program");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    TemporaryHome m_home;
    TemporaryUserFolders m_folders;
    InstalledSoftwareFixture m_software;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    LibrarySession m_session {&m_ui, LibrarySession::OpenMode::ReadWrite, &m_defaults};
    RecordingLauncher m_launcher;
    DesktopLauncherProvider m_desktop;
    ProductApplicationCommands m_commands {m_session, m_desktop};
};

TEST_F(InstalledApplicationCommandsTest, LaunchStartsTheEntryOrTheAppImageAndSaysWhyNot)
{
    QString error;
    // By title (the entry's Name), else by the desktop-file ID.
    ASSERT_TRUE(m_commands.launchApplication(product(QStringLiteral("Ledger Book")), &error)) << error.toStdString();
    ASSERT_TRUE(
        m_commands.launchApplication(product(QStringLiteral("Renamed"), QStringLiteral("vendor-marker")), &error))
        << error.toStdString();
    ASSERT_EQ(m_launcher.launched.size(), 2);
    EXPECT_EQ(m_launcher.launched[0].id, QStringLiteral("org.example.Ledger"));
    EXPECT_EQ(m_launcher.launched[1].id, QStringLiteral("vendor-marker"));
    EXPECT_EQ(m_launcher.launched[1].path, InstalledSoftwareFixture::entry(QStringLiteral("vendor/marker.desktop")));

    const QString appImage = installAppImage(QStringLiteral("Seachart-0.9.3-x86_64.AppImage"));
    ASSERT_TRUE(m_commands.launchApplication(product(QStringLiteral("Seachart")), &error)) << error.toStdString();
    ASSERT_EQ(m_launcher.programs.size(), 1);
    EXPECT_EQ(m_launcher.programs[0].first, appImage);
    EXPECT_TRUE(m_launcher.opened.isEmpty()) << "nothing went through the desktop's file opener";

    m_launcher.startError = QStringLiteral("no display to start it on");
    EXPECT_FALSE(m_commands.launchApplication(product(QStringLiteral("Northwind")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Northwind"))) << error.toStdString();
    EXPECT_TRUE(error.contains(m_launcher.startError)) << error.toStdString();

    m_launcher.startError.clear();
    const int launches = int(m_launcher.launched.size());
    error.clear();
    EXPECT_FALSE(m_commands.launchApplication(m_session.ownProduct(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(m_commands.launchApplication(product(QStringLiteral("Not Installed")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Not Installed"))) << error.toStdString();
    EXPECT_FALSE(m_commands.launchApplication(product(QString()), &error));
    EXPECT_EQ(m_launcher.launched.size(), launches);
}

TEST_F(InstalledApplicationCommandsTest, RevealAndRefreshFindTheEntryByItsId)
{
    ProductEntity* northwind = product(QStringLiteral("Old Name"), QStringLiteral("org.example.Northwind"));
    northwind->setProductVersion(QStringLiteral("1.0"));
    northwind->setPublisher(QStringLiteral("Kept Publisher"));

    ASSERT_TRUE(m_commands.revealAppInFinder(northwind));
    ASSERT_EQ(m_launcher.shown.size(), 1);
    EXPECT_EQ(m_launcher.shown[0].value(0).toLocalFile(),
              InstalledSoftwareFixture::entry(QStringLiteral("org.example.Northwind.desktop")));

    ASSERT_TRUE(m_commands.updateInfoForApp(northwind));
    EXPECT_EQ(northwind->title(), QStringLiteral("Northwind"));
    EXPECT_EQ(northwind->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_EQ(northwind->publisher(), QStringLiteral("Kept Publisher")) << "a refresh leaves the publisher";
    EXPECT_FALSE(northwind->externalIcon().isEmpty());

    // Refresh All: one lookup for all; a product of no installed application stays as it is.
    ProductEntity* ledger = product(QStringLiteral("ledger book"));
    ProductEntity* unknown = product(QStringLiteral("Unknown"), QStringLiteral("org.example.Unknown"));
    EXPECT_EQ(m_commands.updateAllAppInfo({ledger, unknown, northwind}), 2);
    EXPECT_EQ(ledger->title(), QStringLiteral("Ledger Book"));
    EXPECT_EQ(ledger->bundleIdentifier(), QStringLiteral("org.example.Ledger"));
    EXPECT_EQ(ledger->productVersion(), QStringLiteral("3.10"));
    EXPECT_EQ(unknown->title(), QStringLiteral("Unknown"));
}

} // namespace
