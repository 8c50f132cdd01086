#include "ui/MailDrop.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/AttachmentListView.h"
#include "ui/MailLicenceCommands.h"
#include "ui/MailLicenceSheet.h"
#include "ui/MainWindow.h"
#include "ui/ProductTableView.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>
#include <memory>

namespace {

const QString MailFixtures = testDataPath("/ui/mail/");
const QString Profile = testDataPath("/ui/mail/profiles/abcd1234.default");
const QString InboxAddress = QStringLiteral("mailbox-message://nobody@Local%20Folders/Inbox");

std::unique_ptr<QMimeData> urlData(const QStringList& lines)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/uri-list"), lines.join(QStringLiteral("\r\n")).toUtf8());
    return data;
}

// A mail program's message address as Thunderbird offers it (the text of its own format).
std::unique_ptr<QMimeData> addressData(const QString& address)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/x-moz-message"), address.toUtf8());
    return data;
}

std::unique_ptr<QMimeData> fileData(const QStringList& paths)
{
    QStringList lines;
    for (const QString& path : paths) {
        lines.append(QUrl::fromLocalFile(path).toString());
    }
    return urlData(lines);
}

std::unique_ptr<QMimeData> messageData(const QByteArray& message)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("message/rfc822"), message);
    return data;
}

} // namespace

// Which drops count as mail, and where each list sends them.
TEST(MailDropTest, MailIsRecognisedByFormatAddressAndFileContents)
{
    using DropAction = AttachmentListView::DropAction;
    const QString mbox = MailFixtures + QStringLiteral("purchases.mbox");
    const QString suffixlessMbox = Profile + QStringLiteral("/Mail/Local Folders/Inbox");
    const QString eml = testDataPath("/maintenance/purchase-receipt.eml");
    const QString notes = testDataPath("/bundles/plain-text-notes.txt");
    struct Case
    {
        const char* what;
        std::unique_ptr<QMimeData> data;
        bool mail;
        DropAction onAttachments;
    };
    Case cases[] = {
        {"message data", messageData("From: a@example.com\r\n\r\nHi"), true, DropAction::AttachMail},
        {"an mbox file", fileData({mbox}), true, DropAction::AttachMail},
        {"a Thunderbird folder file without suffix", fileData({suffixlessMbox}), true, DropAction::AttachMail},
        {"a saved message stays a plain file attachment", fileData({eml}), true, DropAction::AttachFiles},
        {"a message address", addressData(InboxAddress + QStringLiteral("#0")), true, DropAction::AttachMail},
        {"a text file", fileData({notes}), false, DropAction::AttachFiles},
        {"mail mixed with a text file", fileData({mbox, notes}), false, DropAction::AttachFiles},
        {"a web address", urlData({QStringLiteral("https://example.com/mail")}), false, DropAction::Refuse},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(MailDrop::holdsMail(test.data.get()), test.mail);
        EXPECT_EQ(ProductTableView::acceptsDrop(test.data.get()), test.mail);
        EXPECT_EQ(AttachmentListView::dropAction(test.data.get(), false, true), test.onAttachments);
    }
}

TEST(MailDropTest, ThunderbirdAddressesLeadToTheFolderMboxAndTheMessageAtTheOffset)
{
    // The third message of the fixture starts at byte 710.
    const std::optional<MailMessagePlace> place
        = MailDrop::thunderbirdPlace(InboxAddress + QStringLiteral("#710"), Profile);
    ASSERT_TRUE(place);
    EXPECT_EQ(QDir::cleanPath(place->path), QDir::cleanPath(Profile + QStringLiteral("/Mail/Local Folders/Inbox")));
    EXPECT_EQ(place->offset, 710);

    const std::optional<MailMessagePlace> nested = MailDrop::thunderbirdPlace(
        QStringLiteral("mailbox-message://nobody@Local%20Folders/Archive/2023#0"), Profile);
    ASSERT_TRUE(nested);
    EXPECT_TRUE(nested->path.endsWith(QStringLiteral("Local Folders/Archive.sbd/2023")));

    // Thunderbird hands the address as UTF-16 text of its own format.
    auto data = std::make_unique<QMimeData>();
    const QString address = InboxAddress + QStringLiteral("#710");
    data->setData(QStringLiteral("text/x-moz-message"),
                  QByteArray(reinterpret_cast<const char*>(address.utf16()), address.size() * 2));
    const MailDrop drop = MailDrop::read(data.get(), Profile);
    ASSERT_EQ(drop.messages.size(), 1);
    EXPECT_TRUE(drop.messages.first().startsWith("From: Bluefin Apps")) << drop.messages.first().left(60).constData();
    EXPECT_TRUE(drop.unresolved.isEmpty());
}

TEST(MailDropTest, AddressesThatLeadNowhereAreKeptAsUnresolved)
{
    const QStringList nowhere = {
        QStringLiteral("imap-message://jane@imap.example.com/INBOX#12"), // not a local folder
        QStringLiteral("mailbox-message://nobody@Local%20Folders/Missing#0"),
        QStringLiteral("mailbox-message://nobody@Local%20Folders/../../secrets#0"),
        QStringLiteral("mailbox-message://nobody@Local%20Folders/Inbox#first"),
        InboxAddress + QStringLiteral("#5"), // inside a message, not at its start
    };
    for (const QString& address : nowhere) {
        const MailDrop drop = MailDrop::read(addressData(address).get(), Profile);
        EXPECT_TRUE(drop.messages.isEmpty()) << address.toStdString();
        EXPECT_EQ(drop.unresolved, QStringList {address});
    }
}

class MailDropWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        m_window = std::make_unique<MainWindow>(m_delegate.get());
        m_window->mailLicenceCommands()->setDefaultMailProgramId(QStringLiteral("none.desktop"));
    }

    bool dropOnProducts(const QMimeData* data)
    {
        return child<ProductTableView>(*m_window, "productsTable")->acceptDrop(data);
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(MailDropWindowTest, AnUnresolvedAddressExplainsHowToSaveTheMessageInstead)
{
    EXPECT_TRUE(dropOnProducts(urlData({QStringLiteral("imap-message://jane@imap.example.com/INBOX#12")}).get()));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, localizedString(QStringLiteral("MailDropUnresolvedTitle")));
    EXPECT_TRUE(m_ui.alerts().first().message.contains(QStringLiteral("imap.example.com")));
    EXPECT_EQ(m_window->mailLicenceCommands()->sheet(), nullptr);
}

TEST_F(MailDropWindowTest, MailDroppedOnTheProductsOpensTheSheetOnIt)
{
    const QString mbox = MailFixtures + QStringLiteral("purchases.mbox");
    EXPECT_TRUE(dropOnProducts(fileData({mbox}).get()));
    MailLicenceSheet* sheet = m_window->mailLicenceCommands()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->sourcePaths(), QStringList {mbox});

    // Message data is saved as a file first, so the sheet reads it like any other.
    const QByteArray message = "From: Shop <shop@example.com>\r\nSubject: Hello\r\n\r\nHi\r\n";
    EXPECT_TRUE(dropOnProducts(messageData(message).get()));
    sheet = m_window->mailLicenceCommands()->sheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->sourcePaths().size(), 1);
    QFile saved(sheet->sourcePaths().first());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), message);
    EXPECT_TRUE(m_ui.alerts().isEmpty());
}
