#include "desktop/DesktopActions.h"

#include "RecordingLauncher.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

TEST(DesktopActions, OpensOnlyWebAddresses)
{
    const struct
    {
        const char* address;
        bool opened;
    } cases[] = {
        {"http://example.com/", true},
        {"https://example.com/store?id=1#top", true},
        {"HTTPS://Example.com", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"mailto:jane@example.com", false},
        {"ftp://example.com/", false},
        {"data:text/html,<b>x</b>", false},
        {"x-keymoor://store/Product/p1", false},
        {"http:///no-host", false},
        {"example.com", false},
        {"", false},
    };
    for (const auto& entry : cases) {
        RecordingLauncher launcher;
        DesktopActions actions(launcher);
        QString error;
        const QUrl url(QString::fromUtf8(entry.address));
        EXPECT_EQ(actions.openAddress(url, &error), entry.opened) << entry.address;
        if (entry.opened) {
            EXPECT_EQ(launcher.opened, QList<QUrl> {url}) << entry.address;
        } else {
            EXPECT_TRUE(launcher.opened.isEmpty()) << entry.address;
            EXPECT_FALSE(error.isEmpty()) << entry.address;
        }
    }
}

TEST(DesktopActions, OpensAndRevealsOnlyFilesThatExist)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("receipt.pdf"));
    QFile(file).open(QIODevice::WriteOnly);

    RecordingLauncher launcher;
    DesktopActions actions(launcher);
    EXPECT_TRUE(actions.openFile(file));
    EXPECT_EQ(launcher.opened, QList<QUrl> {QUrl::fromLocalFile(file)});

    EXPECT_TRUE(actions.revealFile(file));
    ASSERT_EQ(launcher.shown.size(), 1);
    EXPECT_EQ(launcher.shown.first(), QList<QUrl> {QUrl::fromLocalFile(file)});
    EXPECT_EQ(launcher.opened.size(), 1); // the file manager took it; no folder was opened

    QString error;
    launcher.opened.clear();
    launcher.shown.clear();
    EXPECT_FALSE(actions.openFile(folder.filePath(QStringLiteral("missing")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing")));
    EXPECT_FALSE(actions.revealFile(QString(), &error));
    EXPECT_TRUE(launcher.opened.isEmpty());
    EXPECT_TRUE(launcher.shown.isEmpty());
}

TEST(DesktopActions, RevealingWithoutAFileManagerOpensTheFolder)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Example.app"));
    QDir().mkpath(file);
    RecordingLauncher launcher;
    launcher.fileManagerPresent = false;
    DesktopActions actions(launcher);
    EXPECT_TRUE(actions.revealFile(file));
    EXPECT_EQ(launcher.shown.size(), 1);
    EXPECT_EQ(launcher.opened, QList<QUrl> {QUrl::fromLocalFile(folder.path())});

    launcher.opensSucceed = false;
    QString error;
    EXPECT_FALSE(actions.revealFile(file, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(actions.openFile(file, &error));
}

TEST(DesktopActions, ComposesMailWithAnEncodedSubject)
{
    const struct
    {
        const char* address;
        const char* subject;
        const char* url; // empty: refused
    } cases[] = {
        {"support@example.com", "Keymoor 1.0 Feedback", "mailto:support@example.com?subject=Keymoor%201.0%20Feedback"},
        {" support@example.com ", "", "mailto:support@example.com"},
        {"jane@example.com", "Fish & Chips? #1 = 100%",
         "mailto:jane@example.com?subject=Fish%20%26%20Chips%3F%20%231%20%3D%20100%25"},
        {"jane@example.com", "Grüße\r\nBcc: evil@example.com",
         "mailto:jane@example.com?subject=Gr%C3%BC%C3%9Fe%0D%0ABcc%3A%20evil%40example.com"},
        {"o'brien+keys@example.com", "", "mailto:o%27brien+keys@example.com"},
        {"what?cc=x@example.com", "", "mailto:what%3Fcc=x@example.com"},
        {"jane@example.com?bcc=evil@example.com", "", ""},
        {"jane@example.com,evil@example.com", "", ""},
        {"Jane <jane@example.com>", "", ""},
        {"jane@example.com\r\nBcc: x", "", ""},
        {"jane doe@example.com", "", ""},
        {"jane@", "", ""},
        {"@example.com", "", ""},
        {"not an address", "", ""},
        {"", "Subject", ""},
    };
    for (const auto& entry : cases) {
        RecordingLauncher launcher;
        DesktopActions actions(launcher);
        QString error;
        const bool composed
            = actions.composeMail(QString::fromUtf8(entry.address), QString::fromUtf8(entry.subject), &error);
        if (*entry.url) {
            EXPECT_TRUE(composed) << entry.address << ": " << error.toStdString();
            ASSERT_EQ(launcher.opened.size(), 1) << entry.address;
            EXPECT_EQ(launcher.opened.first().toEncoded().toStdString(), std::string(entry.url));
        } else {
            EXPECT_FALSE(composed) << entry.address;
            EXPECT_TRUE(launcher.opened.isEmpty()) << entry.address;
            EXPECT_FALSE(error.isEmpty()) << entry.address;
        }
    }

    RecordingLauncher failing;
    failing.opensSucceed = false;
    QString error;
    EXPECT_FALSE(DesktopActions(failing).composeMail(QStringLiteral("a@example.com"), QString(), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
