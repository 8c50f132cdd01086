#include "products/LinkCommands.h"

#include "../../platform/desktop/RecordingLauncher.h"
#include "base/AppInfo.h"
#include "base/Log.h"
#include "products/DesktopLauncherProvider.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(LinkCommandsTest, KeymoorsOwnPagesComeFromItsPropertyList)
{
    RecordingLauncher launcher;
    DesktopLauncherProvider desktop;
    desktop.setLauncher(&launcher);
    LinkCommands links(desktop);
    struct Case
    {
        const char* command;
        std::function<bool()> run;
        const char* key;
    };
    const Case cases[] = {
        {"openSupport", [&] { return links.openSupport(); }, "ZRSupportURL"},
        {"openFrequentlyAskedQuestionsSite", [&] { return links.openFrequentlyAskedQuestionsSite(); }, "KMFAQURL"},
        {"openReleaseNotesSite", [&] { return links.openReleaseNotesSite(); }, "KMReleaseNotesURL"},
        {"checkForUpdates", [&] { return links.checkForUpdates(); }, "KMReleaseNotesURL"},
    };
    for (const Case& c : cases) {
        launcher.opened.clear();
        const QString address = AppInfo::stringValue(QString::fromLatin1(c.key));
        ASSERT_FALSE(address.isEmpty()) << c.key;
        EXPECT_TRUE(c.run()) << c.command;
        EXPECT_EQ(launcher.opened, QList<QUrl> {QUrl(address)}) << c.command;
    }
}

TEST(LinkCommandsTest, AFailedHandOverIsLoggedUnderTheControllersOperationNames)
{
    QStringList log;
    Log::setEchoToStandardError(false);
    Log::setSink([&log](const QString& line) { log.append(line); });
    RecordingLauncher launcher;
    launcher.opensSucceed = false;
    DesktopLauncherProvider desktop;
    desktop.setLauncher(&launcher);
    LinkCommands links(desktop);
    EXPECT_FALSE(links.openStringAsURL(QStringLiteral("https://example.com")));
    EXPECT_FALSE(links.sendEmailTo(QStringLiteral("help@example.com"), QStringLiteral("Hi")));
    EXPECT_EQ(launcher.opened.size(), 2);
    Log::setSink({});
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log.at(0).startsWith(QLatin1String("KeymoorAppDelegate::openStringAsURL: ")))
        << log.at(0).toStdString();
    EXPECT_TRUE(log.at(1).startsWith(QLatin1String("KeymoorAppDelegate::sendEmailTo: "))) << log.at(1).toStdString();
}

TEST(DesktopLauncherProviderTest, ClearingTheLauncherPutsOneSystemLauncherBack)
{
    RecordingLauncher launcher;
    DesktopLauncherProvider desktop;
    DesktopLauncher* system = &desktop.launcher();
    EXPECT_NE(system, &launcher);
    desktop.setLauncher(&launcher);
    EXPECT_EQ(&desktop.launcher(), &launcher);
    desktop.setLauncher(nullptr);
    EXPECT_EQ(&desktop.launcher(), system);
}

} // namespace
