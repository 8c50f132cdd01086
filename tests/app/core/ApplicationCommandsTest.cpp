#include "../../support/TemporaryUserFolders.h"
#include "base/AppInfo.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/DesktopLauncher.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

QString recordFixture(const QString& name)
{
    return testDataPath("/record/") + name;
}

// Records what would have been handed to the desktop; nothing is ever opened.
class RecordingLauncher : public DesktopLauncher
{
public:
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return true;
    }
    bool showItems(const QList<QUrl>& files) override
    {
        shown.append(files);
        return true;
    }
    QList<QUrl> opened;
    QList<QUrl> shown;
};

class ApplicationCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
        m_defaults.setValue(QStringLiteral("Import App Path"), recordFixture(QString()));
        m_delegate = std::make_unique<KeymoorAppDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
        m_delegate->initializeDefaultData();
        m_delegate->setDesktopLauncher(&m_launcher);
        m_context = m_delegate->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        ASSERT_TRUE(m_delegate->saveAction());
        m_context->setUndoEnabled(true);
    }
    void TearDown() override
    {
        m_delegate.reset();
        Log::setSink({});
    }

    ProductEntity* product(const QString& title, const QString& identifier = QString())
    {
        auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        if (!identifier.isEmpty()) {
            product->setBundleIdentifier(identifier);
        }
        return product;
    }

    bool logged(const QString& start) const
    {
        return std::any_of(m_log.begin(), m_log.end(), [&](const QString& line) { return line.startsWith(start); });
    }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    RecordingLauncher m_launcher;
    QStringList m_log;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    Persistence::ObjectContext* m_context = nullptr;
};

TEST_F(ApplicationCommandsTest, OpensHttpAndHttpsAddressesAndRefusesEveryOtherScheme)
{
    struct Case
    {
        const char* text;
        const char* opened; // empty: nothing may be opened
    };
    const Case cases[] = {
        {"http://example.com/buy", "http://example.com/buy"},
        {"https://example.com/account", "https://example.com/account"},
        {"  www.example.com/support  ", "http://www.example.com/support"},
        {"example.com", "http://example.com"},
        {"file:///etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"ftp://example.com/file", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        m_launcher.opened.clear();
        const bool opened = m_delegate->openStringAsURL(QString::fromLatin1(c.text), QStringLiteral("Subject"));
        const QString expected = QString::fromLatin1(c.opened);
        EXPECT_EQ(opened, !expected.isEmpty()) << c.text;
        EXPECT_EQ(m_launcher.opened, expected.isEmpty() ? QList<QUrl>() : QList<QUrl> {QUrl(expected)}) << c.text;
    }
}

TEST_F(ApplicationCommandsTest, SupportAddressThatIsAnEmailWritesToItWithTheTitleAsSubject)
{
    ProductEntity* app = product(QStringLiteral("Tally & Sons"));
    app->setProductEmail(QStringLiteral("help@example.com"));
    ASSERT_TRUE(m_delegate->sendDeveloperEmail(app));
    ASSERT_EQ(m_launcher.opened.size(), 1);
    const QUrl mail = m_launcher.opened.first();
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), QStringLiteral("help@example.com"));
    // The subject cannot add header fields of its own.
    EXPECT_EQ(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), app->title());
    EXPECT_EQ(QUrlQuery(mail).queryItems().size(), 1);

    m_launcher.opened.clear();
    ASSERT_TRUE(m_delegate->sendFeedback());
    EXPECT_EQ(m_launcher.opened.first().path(), AppInfo::stringValue(QStringLiteral("ZRSupportEmail")));
    EXPECT_EQ(QUrlQuery(m_launcher.opened.first()).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Keymoor %1 Feedback").arg(AppInfo::prettyAppVersion()));
}

TEST_F(ApplicationCommandsTest, LaunchesByTitleThenIdentifierButNeverKeymoorItself)
{
    ASSERT_TRUE(m_delegate->launchApplication(product(QStringLiteral("Sample"))));
    ASSERT_TRUE(
        m_delegate->launchApplication(product(QStringLiteral("Renamed"), QStringLiteral("net.example.Sample"))));
    const QUrl sample = QUrl::fromLocalFile(QDir(recordFixture(QStringLiteral("Sample.app"))).absolutePath());
    EXPECT_EQ(m_launcher.opened, (QList<QUrl> {sample, sample}));

    m_launcher.opened.clear();
    EXPECT_FALSE(m_delegate->launchApplication(m_delegate->ownProduct()));
    EXPECT_TRUE(logged(QStringLiteral("Error in KeymoorAppDelegate::launchApplication: Can't launch myself")));
    EXPECT_FALSE(m_delegate->launchApplication(product(QStringLiteral("Not Installed"))));
    EXPECT_TRUE(logged(QStringLiteral("Error in KeymoorAppDelegate::launchApplication: Can not locate")));
    EXPECT_FALSE(m_delegate->launchApplication(product(QString())));
    EXPECT_TRUE(m_launcher.opened.isEmpty());
}

TEST_F(ApplicationCommandsTest, RevealShowsTheBundleFoundByIdentifierFirst)
{
    // The title names one bundle and the identifier another: the identifier wins.
    ASSERT_TRUE(m_delegate->revealAppInFinder(product(QStringLiteral("Sample"), QStringLiteral("Solo"))));
    ASSERT_EQ(m_launcher.shown.size(), 1);
    EXPECT_TRUE(m_launcher.shown.first().toLocalFile().endsWith(QStringLiteral("/BuildNumberOnly.app")));
    EXPECT_FALSE(m_delegate->revealAppInFinder(product(QStringLiteral("Not Installed"))));
    EXPECT_EQ(m_launcher.shown.size(), 1);
}

TEST_F(ApplicationCommandsTest, RefreshTakesNameVersionAndIconButLeavesPublisherAndIsOneUndoStep)
{
    ProductEntity* app = product(QStringLiteral("Old Name"), QStringLiteral("net.example.Sample"));
    app->setProductVersion(QStringLiteral("1.0"));
    app->setPublisher(QStringLiteral("Kept Publisher"));
    ASSERT_TRUE(m_delegate->saveAction());

    ASSERT_TRUE(m_delegate->updateInfoForApp(app));
    EXPECT_EQ(app->title(), QStringLiteral("Sample"));
    EXPECT_EQ(app->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_EQ(app->publisher(), QStringLiteral("Kept Publisher"));
    EXPECT_TRUE(app->productWebsite().isEmpty());
    ASSERT_NE(app->appIcon(), nullptr);

    m_context->undo();
    EXPECT_EQ(app->title(), QStringLiteral("Old Name"));
    EXPECT_EQ(app->productVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(app->appIcon(), nullptr);

    ProductEntity* missing = product(QStringLiteral("Not Installed"));
    EXPECT_EQ(m_delegate->updateAllAppInfo({app, missing}), 1);
    EXPECT_EQ(missing->title(), QStringLiteral("Not Installed"));
}

TEST_F(ApplicationCommandsTest, ChoosingThreeIconFilesLeavesTheLastAndRemembersItsFolder)
{
    QTemporaryDir folder;
    const auto writeImage = [&](const QString& name, Qt::GlobalColor color) {
        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(color);
        const QString path = folder.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    };
    const QStringList files
        = {writeImage(QStringLiteral("a.png"), Qt::red), writeImage(QStringLiteral("b.png"), Qt::green),
           writeImage(QStringLiteral("c.png"), Qt::blue)};
    ProductEntity* app = product(QStringLiteral("Iconic"));
    m_ui.queueOpenPanelResult(files);
    ASSERT_TRUE(m_delegate->addAppIcon(app));

    QByteArray bytes = app->externalIcon();
    QBuffer buffer(&bytes);
    EXPECT_EQ(QImageReader(&buffer).read().pixelColor(256, 256), QColor(Qt::blue));
    EXPECT_EQ(m_delegate->userPrefs().importIconPath(), folder.path());
    // One icon for this product besides the one of Keymoor's own record.
    const auto icons = m_context->execute(Persistence::FetchRequest(QStringLiteral("Icon")));
    EXPECT_EQ(icons->size(), 2);

    // Cancelling the panel changes nothing; removing gives the generic icon.
    EXPECT_FALSE(m_delegate->addAppIcon(app));
    const IconEntity* chosen = app->appIcon();
    ASSERT_TRUE(m_delegate->removeAppIcon(app));
    EXPECT_NE(app->appIcon(), chosen);
    EXPECT_FALSE(app->externalIcon().isEmpty());
}

TEST_F(ApplicationCommandsTest, LocatingTakesTheBundleInformationButNotItsIcon)
{
    ProductEntity* app = product(QStringLiteral("Unknown"));
    m_ui.queueOpenPanelResult(QStringList {recordFixture(QStringLiteral("BinaryInfo.app"))});
    ASSERT_TRUE(m_delegate->locateApp(app));
    EXPECT_EQ(m_ui.openPanels().first().startFolder, recordFixture(QString()));
    EXPECT_EQ(app->title(), QStringLiteral("Binary Sample"));
    EXPECT_EQ(app->publisher(), QStringLiteral("Binary Tools Ltd"));
    EXPECT_EQ(app->productWebsite(), QStringLiteral("http://tools.example.org"));
    EXPECT_EQ(app->appIcon(), nullptr);
}

} // namespace
