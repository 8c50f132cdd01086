#include "SessionTestLibrary.h"
#include "attachments/AttachmentExportService.h"
#include "attachments/AttachmentService.h"
#include "attachments/EmailRegistrationScan.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "prefs/UserPreferences.h"

#include <QCoreApplication>

using namespace Persistence;

namespace {

// The attachment services on a bare session; the registration writer records what it is given.
class AttachmentServicesTest : public SessionTestLibrary
{
protected:
    void SetUp() override
    {
        SessionTestLibrary::SetUp();
        m_attachments.setSelectedProductProvider([this] { return m_product; });
    }

    EmailRegistrationScan m_scan {m_session, [this](ProductEntity* product, const ZRRegistrationInfo& info) {
                                      m_events.append(QStringLiteral("scan %1 %2").arg(product->title(), info.serial));
                                      return true;
                                  }};
    AttachmentService m_attachments {m_session, m_scan};
    QStringList m_events;
};

TEST_F(AttachmentServicesTest, AnAttachedMessageIsScannedForItsOwnProductAndTheOverrideBeatsThePreference)
{
    ProductEntity* other = addProduct(QStringLiteral("Other"));
    auto* email
        = dynamic_cast<AttachedEmail*>(other->attachDocument(fixture(QStringLiteral("purchase-with-serial.eml"))));
    ASSERT_NE(email, nullptr);
    // The selection is m_product; the message belongs to `other`.
    EXPECT_TRUE(m_scan.scanEmailForRegistrationInfo(email));
    EXPECT_EQ(m_events, QStringList {QStringLiteral("scan Other NWN-4821-7730-QK19")});
    EXPECT_FALSE(m_scan.scanEmailForRegistrationInfo(nullptr));

    m_session.userPrefs().setScanEmailUponImport(true);
    m_scan.setScanEmailUponImportOverride(false);
    EXPECT_FALSE(m_scan.scanEmailUponImport());
    m_scan.setScanEmailUponImportOverride(std::nullopt);
    EXPECT_TRUE(m_scan.scanEmailUponImport());
    m_session.userPrefs().setScanEmailUponImport(false);
    m_scan.setScanEmailUponImportOverride(true);
    EXPECT_TRUE(m_scan.scanEmailUponImport());
}

TEST_F(AttachmentServicesTest, TheImporterCompletionSelectsThenAnnouncesThenScans)
{
    QObject::connect(&m_attachments, &AttachmentService::selectAttachment, [this](AttachmentEntity* attachment) {
        m_events.append(QStringLiteral("select ") + attachment->name());
    });
    QObject::connect(
        &m_attachments, &AttachmentService::attachDocumentsToProductCompleted,
        [this](const QList<ObjectID>& ids) { m_events.append(QStringLiteral("completed %1").arg(ids.size())); });
    int changes = 0;
    QObject::connect(&m_session, &LibrarySession::attachmentsChanged, [&changes] { ++changes; });

    ASSERT_TRUE(
        m_attachments.attachDocumentsToSelectedProduct({fixture(QStringLiteral("purchase-with-serial.eml"))}, true));
    m_attachments.waitForAttachmentImports();

    ASSERT_EQ(m_events.size(), 4) << m_events.join(u'|').toStdString();
    EXPECT_TRUE(m_events.at(0).startsWith(QStringLiteral("select ")));
    EXPECT_EQ(m_events.at(1), QStringLiteral("completed 1"));
    EXPECT_EQ(m_events.at(2), m_events.at(0));
    EXPECT_EQ(m_events.at(3), QStringLiteral("scan Northwind Notes NWN-4821-7730-QK19"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m_attachments.runningAttachmentImports(), 0);
}

TEST_F(AttachmentServicesTest, AMessageWhoseCacheFileCannotBeWrittenAttachesNothing)
{
    m_attachments.setCacheFileWriter([](const QByteArray&, const QString&, QString* error) {
        *error = QStringLiteral("disk full");
        return false;
    });
    EXPECT_FALSE(m_attachments.attachEmailRawSourceToSelectedProduct(QStringLiteral("Subject: x\n\nbody\n"), true));
    m_attachments.waitForAttachmentImports();
    EXPECT_TRUE(m_product->attachedFiles().isEmpty());
    // The operation keeps the name it is known by in the log.
    EXPECT_TRUE(logged(QStringLiteral("KeymoorAppDelegate::attachEmailRawSourceToSelectedProduct: Unable to write "
                                      "email to cache file:")));
    EXPECT_TRUE(logged(QStringLiteral("error: disk full")));
}

TEST_F(AttachmentServicesTest, RemovingAnnouncesEachProductOnceAndADeclinedRemovalKeepsEverything)
{
    ProductEntity* other = addProduct(QStringLiteral("Other"));
    const QList<AttachmentEntity*> attachments {m_product->attachDocument(writeFile(QStringLiteral("a.txt"), "a")),
                                                m_product->attachDocument(writeFile(QStringLiteral("b.txt"), "b")),
                                                other->attachDocument(writeFile(QStringLiteral("c.txt"), "c"))};
    QList<ProductEntity*> changed;
    QObject::connect(&m_session, &LibrarySession::attachmentsChanged,
                     [&changed](ProductEntity* product) { changed.append(product); });

    m_ui.queueAlertAnswer(1); // "CancelButton"
    EXPECT_FALSE(m_attachments.removeAttachedFiles(attachments));
    EXPECT_EQ(m_product->attachedFiles().size(), 2);
    EXPECT_TRUE(changed.isEmpty());

    m_ui.queueAlertAnswer(0);
    EXPECT_TRUE(m_attachments.removeAttachedFiles(attachments));
    EXPECT_TRUE(m_product->attachedFiles().isEmpty());
    EXPECT_TRUE(other->attachedFiles().isEmpty());
    EXPECT_EQ(changed.size(), 2);
    EXPECT_TRUE(changed.contains(m_product));
    EXPECT_TRUE(changed.contains(other));
}

TEST_F(AttachmentServicesTest, AttachmentsThatCouldNotBeExportedAreNamedToThePerson)
{
    AttachmentExportService exports(m_session);
    AttachmentEntity* attachment = m_product->attachDocument(writeFile(QStringLiteral("licence.txt"), "KEY"));
    ASSERT_TRUE(m_session.saveAction());
    QStringList failed;
    QObject::connect(&exports, &AttachmentExportService::attachmentsExported,
                     [&failed](const QStringList&, const QStringList& names) { failed = names; });

    // A file where the folder should be: nothing can be written into it.
    const QString blocked = writeFile(QStringLiteral("blocked"), "not a folder");
    ASSERT_TRUE(exports.exportSelectedAttachmentsToFolder({attachment}, blocked));
    exports.waitForAttachmentExports();

    EXPECT_EQ(failed, QStringList {QStringLiteral("licence.txt")});
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("Some attachments could not be exported"));
    EXPECT_EQ(m_ui.alerts().first().message,
              QStringLiteral("These were not written: licence.txt. The log file has the reason."));
    EXPECT_FALSE(m_ui.isProgressShown());
}

} // namespace
