#include "../model/AttachmentTestLibrary.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "model/ZRAttachmentContent.h"
#include "prefs/UserPreferences.h"

#include <QCoreApplication>
#include <QDir>

namespace {

class AttachmentFlowTest : public AttachmentTestLibrary
{
protected:
    void SetUp() override
    {
        AttachmentTestLibrary::SetUp();
        m_delegate->setSelectedProductProvider([this] { return m_selected; });
        m_selected = m_product;
    }

    bool attachAndWait(const QStringList& paths)
    {
        const bool accepted = m_delegate->attachDocumentsToSelectedProduct(paths, true);
        m_delegate->waitForAttachmentImports();
        QCoreApplication::processEvents();
        return accepted;
    }

    QStringList storedFiles() const
    {
        return QDir(LibraryPaths::attachmentsPath()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    ProductEntity* m_selected = nullptr;
};

TEST_F(AttachmentFlowTest, AttachesFilesInTheBackgroundAndSelectsTheFirstNewOne)
{
    QList<AttachmentEntity*> selected;
    QObject::connect(m_delegate.get(), &KeymoorAppDelegate::selectAttachment,
                     [&selected](AttachmentEntity* attachment) { selected.append(attachment); });
    const QString text = writeFile(QStringLiteral("licence.txt"), "KEY-1");
    const QString pdf = writeFile(QStringLiteral("receipt.pdf"), "%PDF");
    ASSERT_TRUE(attachAndWait({text, pdf}));

    const QList<AttachmentEntity*> attached = m_product->attachedFiles();
    ASSERT_EQ(attached.size(), 2);
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(selected.first()->name(), QStringLiteral("licence.txt"));
    EXPECT_EQ(storedFiles().size(), 2);
    // The importer saved its own context; the main context has nothing left to save about them.
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(m_delegate->runningAttachmentImports(), 0);
}

TEST_F(AttachmentFlowTest, AListWithAnUnsupportedTypeAttachesNothing)
{
    const QString text = writeFile(QStringLiteral("licence.txt"), "KEY-1");
    const QString app = writeFile(QStringLiteral("Tool.app"), "bundle");
    EXPECT_FALSE(attachAndWait({text, app}));
    EXPECT_TRUE(logged(QStringLiteral("unsuppored attachment type")));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, localizedString(QStringLiteral("UnsupportedAttachmentType")));
    EXPECT_TRUE(m_product->attachedFiles().isEmpty());
    EXPECT_TRUE(storedFiles().isEmpty());
}

TEST_F(AttachmentFlowTest, WithNoProductSelectedAttachingSucceedsAndDoesNothing)
{
    m_selected = nullptr;
    EXPECT_TRUE(attachAndWait({writeFile(QStringLiteral("licence.txt"), "KEY-1")}));
    EXPECT_TRUE(attachAndWait({}));
    EXPECT_EQ(count(QStringLiteral("AttachedFile")), 0);
    EXPECT_TRUE(storedFiles().isEmpty());
    EXPECT_TRUE(m_ui.calls().isEmpty());
}

TEST_F(AttachmentFlowTest, AnAttachedPurchaseEmailFillsTheProduct)
{
    ASSERT_TRUE(attachAndWait({fixture(QStringLiteral("purchase-with-serial.eml"))}));
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("NWN-4821-7730-QK19"));
    EXPECT_EQ(m_product->registeredEmail(), QStringLiteral("jane.appleseed@example.com"));
    EXPECT_EQ(m_product->purchaseDate().toUTC(), QDateTime(QDate(2023, 3, 14), QTime(10, 15), Qt::UTC));
    ASSERT_EQ(m_product->attachedFiles().size(), 1);
    EXPECT_NE(dynamic_cast<AttachedEmail*>(m_product->attachedFiles().first()), nullptr);
    EXPECT_TRUE(m_ui.questions().isEmpty());
    EXPECT_TRUE(m_ui.alerts().isEmpty());
}

TEST_F(AttachmentFlowTest, ScanningAsksBeforeReplacingASerialAndKeepsItWhenDeclined)
{
    m_product->setSerialNumber(QStringLiteral("OLD-SERIAL"));
    ASSERT_TRUE(m_delegate->saveAction());
    m_ui.queueAlertAnswer(1); // "NoButton"
    ASSERT_TRUE(attachAndWait({fixture(QStringLiteral("purchase-with-serial.eml"))}));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_TRUE(m_ui.alerts().first().title.contains(QStringLiteral("NWN-4821-7730-QK19")));
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("OLD-SERIAL"));

    m_ui.queueAlertAnswer(0); // "ReplaceButton"
    ASSERT_TRUE(attachAndWait({fixture(QStringLiteral("purchase-with-serial.eml"))}));
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("NWN-4821-7730-QK19"));
}

TEST_F(AttachmentFlowTest, ScanningOnImportFollowsThePreference)
{
    m_delegate->userPrefs().setScanEmailUponImport(false);
    ASSERT_TRUE(attachAndWait({fixture(QStringLiteral("purchase-with-serial.eml"))}));
    EXPECT_TRUE(m_product->serialNumber().isEmpty());

    // Attaching at once (the mail-client path) never scans, whatever the preference.
    m_delegate->userPrefs().setScanEmailUponImport(true);
    ASSERT_TRUE(
        m_delegate->attachDocumentsToSelectedProduct({fixture(QStringLiteral("purchase-with-serial.eml"))}, false));
    EXPECT_EQ(m_product->attachedFiles().size(), 2);
    EXPECT_TRUE(m_product->serialNumber().isEmpty());
}

TEST_F(AttachmentFlowTest, TheProgressSheetShowsForJobsAboveTwoMebibytes)
{
    const QString small1 = writeFile(QStringLiteral("one.bin"), QByteArray(1048576, 'a'));
    const QString small2 = writeFile(QStringLiteral("two.bin"), QByteArray(1048576, 'b'));
    ASSERT_TRUE(attachAndWait({small1, small2}));
    EXPECT_FALSE(m_ui.calls().join(u'\n').contains(QStringLiteral("progress start")));

    const QString large = writeFile(QStringLiteral("manual.pdf"), QByteArray(3 * 1000 * 1000, 'c'));
    ASSERT_TRUE(attachAndWait({large}));
    EXPECT_TRUE(m_ui.calls().contains(QStringLiteral("progress start: ")
                                      + localizedString(QStringLiteral("AttachDocumentProgressMessage"))));
    EXPECT_FALSE(m_ui.isProgressShown());
}

TEST_F(AttachmentFlowTest, ARawMessageIsAttachedThroughACacheFile)
{
    const QString raw = QStringLiteral("From: store@example.com\nTo: jane@example.com\nSubject: Thanks\n"
                                       "Content-Type: text/plain\n\nSerial Number: RAW-1234-5678\n");
    ASSERT_TRUE(m_delegate->attachEmailRawSourceToSelectedProduct(raw, true));
    m_delegate->waitForAttachmentImports();
    ASSERT_EQ(m_product->attachedFiles().size(), 1);
    EXPECT_EQ(m_product->attachedFiles().first()->name(), QStringLiteral("Thanks"));
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("RAW-1234-5678"));
}

TEST_F(AttachmentFlowTest, RemovingAskForTheSelectionWithItsOwnTexts)
{
    AttachmentEntity* a = m_product->attachDocument(writeFile(QStringLiteral("a/receipt.pdf"), "a"));
    AttachmentEntity* b = m_product->attachDocument(writeFile(QStringLiteral("b/receipt.pdf"), "b"));
    AttachmentEntity* c = m_product->attachDocument(writeFile(QStringLiteral("notes.txt"), "c"));
    ASSERT_TRUE(a && b && c);

    m_ui.queueAlertAnswer(1); // Cancel
    EXPECT_FALSE(m_delegate->removeAttachedFiles({a, b}));
    m_ui.queueAlertAnswer(1);
    EXPECT_FALSE(m_delegate->removeAttachedFiles({a, c}));
    ASSERT_EQ(m_ui.alerts().size(), 2);
    EXPECT_EQ(m_ui.alerts().at(0).title,
              localizedFormat(QStringLiteral("DeleteNamedAttachmentFormat"), {QStringLiteral("receipt.pdf")}));
    EXPECT_EQ(m_ui.alerts().at(0).message, localizedString(QStringLiteral("DeleteAttachedFileMessage")));
    EXPECT_EQ(m_ui.alerts().at(1).title, localizedString(QStringLiteral("DeleteMultipleAttachments")));
    EXPECT_EQ(m_product->attachedFiles().size(), 3);

    m_ui.queueAlertAnswer(0); // Delete
    EXPECT_TRUE(m_delegate->removeAttachedFiles({c}));
    EXPECT_EQ(m_product->attachedFiles().size(), 2);
}

TEST_F(AttachmentFlowTest, ExportingRemembersTheFolderAndWritesEveryFile)
{
    AttachmentEntity* a = m_product->attachDocument(writeFile(QStringLiteral("a/receipt.pdf"), "a"));
    AttachmentEntity* b = m_product->attachDocument(writeFile(QStringLiteral("b/receipt.pdf"), "b"));
    AttachmentEntity* lost = m_product->attachDocument(writeFile(QStringLiteral("lost.txt"), "lost"));
    ASSERT_TRUE(a && b && lost);
    ASSERT_TRUE(QFile::remove(lost->contentPath()));
    QTemporaryDir target;
    QList<QStringList> exported;
    QObject::connect(m_delegate.get(), &KeymoorAppDelegate::attachmentsExported,
                     [&](const QStringList& written, const QStringList& failed) { exported << written << failed; });
    ASSERT_TRUE(m_delegate->exportSelectedAttachmentsToFolder({a, lost, b}, target.path()));
    EXPECT_TRUE(m_ui.isProgressShown());
    m_delegate->waitForAttachmentExports();
    EXPECT_FALSE(m_ui.isProgressShown());
    ASSERT_EQ(exported.size(), 2);
    EXPECT_EQ(exported.at(0),
              (QStringList {target.filePath(QStringLiteral("receipt.pdf")),
                            target.filePath(QStringLiteral("receipt 1.pdf"))}));
    EXPECT_EQ(readAll(target.filePath(QStringLiteral("receipt 1.pdf"))), QByteArray("b"));
    EXPECT_EQ(m_delegate->userPrefs().exportAttachmentPath(), target.path());
    // The attachment that could not be written is named to the person, not passed over.
    EXPECT_EQ(exported.at(1), QStringList {QStringLiteral("lost.txt")});
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_TRUE(m_ui.alerts().first().message.contains(QLatin1String("lost.txt")));

    EXPECT_FALSE(m_delegate->exportSelectedAttachmentsToFolder({a}, QString()));
}

TEST_F(AttachmentFlowTest, FilesOfADeletedProductAreGoneAfterQuitting)
{
    ProductEntity* kept = m_context->insert<ProductEntity>(QStringLiteral("Product"));
    kept->setTitle(QStringLiteral("Kept"));
    ASSERT_TRUE(attachAndWait({writeFile(QStringLiteral("one.txt"), "1"), writeFile(QStringLiteral("two.txt"), "2")}));
    m_selected = kept;
    ASSERT_TRUE(attachAndWait({writeFile(QStringLiteral("three.txt"), "3")}));
    ASSERT_EQ(storedFiles().size(), 3);
    const QString keptFile = kept->attachedFiles().first()->content()->uuid();

    m_ui.queueAlertAnswer(0);
    ASSERT_TRUE(m_delegate->removeProducts({m_product}));
    ASSERT_TRUE(m_delegate->saveAction());
    EXPECT_EQ(storedFiles().size(), 3); // deleting the record leaves its files until the quit
    m_delegate->applicationShouldTerminate();
    EXPECT_EQ(storedFiles(), QStringList {keptFile});
}

} // namespace
