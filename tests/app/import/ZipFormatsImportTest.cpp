// A 1Password export and a Snipe-IT licence list through the whole import: products, attached
// documents, and nothing new the second time.
#include "ImportTestLibrary.h"
#include "ZipFixture.h"
#include "import/ForeignImportService.h"
#include "model/AttachmentEntity.h"

using Action = ForeignImportPlan::Action;

class ZipFormatsImportTest : public ImportTestLibrary
{
protected:
    void SetUp() override
    {
        ImportTestLibrary::SetUp();
        m_service = std::make_unique<ForeignImportService>(m_delegate->session());
        m_export = m_files.filePath(QStringLiteral("Personal.1pux"));
        QFile file(m_export);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(zipFixture(zipEntriesOfFolder(testDataPath("/import/foreign/onepassword/"))));
    }
    void TearDown() override
    {
        m_service.reset();
        ImportTestLibrary::TearDown();
    }

    ForeignImportPlan plan()
    {
        const ForeignReadResult read
            = ForeignImportService::readFiles({m_export, testDataPath("/import/foreign/snipeit/licenses-import.csv")});
        EXPECT_FALSE(read.error) << read.error.value_or(QString()).toStdString();
        ForeignImportPlan plan;
        QString error;
        EXPECT_TRUE(m_service->plan(read, &plan, &error)) << error.toStdString();
        return plan;
    }

    QTemporaryDir m_files;
    QString m_export;
    std::unique_ptr<ForeignImportService> m_service;
};

TEST_F(ZipFormatsImportTest, BothFormatsImportOnceWithTheirDocuments)
{
    QString error;
    ASSERT_TRUE(m_service->import(plan(), &error)) << error.toStdString();
    ProductEntity* forge = only(QStringLiteral("PixelForge")); // listed twice with one key: added once
    ASSERT_NE(forge, nullptr);
    EXPECT_EQ(forge->serialNumber(), u"AAAA-BBBB-CCCC");
    // The expiry lands in its field, or in the notes where the catalogue keeps none.
    EXPECT_TRUE(forge->expiryDate() == QDate(2026, 1, 1)
                || forge->commentsString().contains(QLatin1String("2026-01-01")));
    EXPECT_EQ(forge->purchaseDate().date(), QDate(2023, 1, 15));
    EXPECT_EQ(forge->seats(), 3);
    EXPECT_FALSE(forge->commentsString().contains(QLatin1String("Seats")));
    QStringList names;
    for (const AttachmentEntity* attachment : forge->attachedFiles()) {
        names.append(attachment->name());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList {QStringLiteral("invoice.pdf"), QStringLiteral("receipt.pdf")}));
    ProductEntity* suite = only(QStringLiteral("Photo Suite"));
    ASSERT_NE(suite, nullptr);
    EXPECT_TRUE(suite->expiryDate() == QDate(2027, 3, 1)
                || suite->commentsString().contains(QLatin1String("2027-03-01")));
    EXPECT_EQ(suite->purchaseOrderNumber(), u"PO-77");
    EXPECT_NE(only(QStringLiteral("Sound Desk")), nullptr);

    const ForeignImportPlan again = plan();
    EXPECT_EQ(again.count(Action::Add), 0);
    EXPECT_EQ(again.count(Action::Update), 0);
}
