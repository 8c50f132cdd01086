// Importing password managers' licences into a library: what lands where, duplicate safety, one
// undo step, and a failed import that leaves everything as it was.
#include "ImportTestLibrary.h"
#include "import/ForeignFormatRegistry.h"
#include "import/ForeignImportService.h"
#include "library/BackgroundJobTracker.h"
#include "model/AttachmentEntity.h"
#include "persistence/StoreError.h"
#include "persistence/UndoManager.h"

using namespace Persistence;
using Action = ForeignImportPlan::Action;

class ForeignImportTest : public ImportTestLibrary
{
protected:
    void SetUp() override
    {
        ImportTestLibrary::SetUp();
        m_service = std::make_unique<ForeignImportService>(m_delegate->session());
    }
    void TearDown() override
    {
        m_service.reset();
        ImportTestLibrary::TearDown();
    }

    ForeignImportPlan planFor(const char* file)
    {
        const ForeignReadResult read
            = ForeignImportService::readFiles({testDataPath("/import/foreign/") + QLatin1String(file)});
        EXPECT_FALSE(read.error);
        ForeignImportPlan plan;
        QString error;
        EXPECT_TRUE(m_service->plan(read, &plan, &error)) << error.toStdString();
        return plan;
    }

    bool importFile(const char* file)
    {
        QString error;
        const bool imported = m_service->import(planFor(file), &error).has_value();
        EXPECT_TRUE(imported) << error.toStdString();
        return imported;
    }

    ProductEntity* addProduct(const QString& title, const QString& serial)
    {
        auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        product->setSerialNumber(serial);
        EXPECT_TRUE(m_delegate->saveAction());
        return product;
    }

    std::unique_ptr<ForeignImportService> m_service;
};

TEST_F(ForeignImportTest, LicencesBecomeProductsWithEveryFieldKept)
{
    ASSERT_TRUE(importFile("keepass.xml"));
    ProductEntity* orbit = only(QStringLiteral("Orbit Paint"));
    ASSERT_NE(orbit, nullptr);
    EXPECT_EQ(orbit->serialNumber(), u"OP-1234-5678");
    EXPECT_EQ(orbit->registeredName(), u"Dana Quill");
    EXPECT_EQ(orbit->productWebsite(), u"https://orbitpaint.example.net");
    EXPECT_EQ(orbit->purchaseDate().date(), QDate(2024, 3, 15));
    EXPECT_EQ(orbit->purchasePrice(), Decimal::fromString(u"49.99"));
    const QString notes = orbit->commentsString();
    EXPECT_TRUE(notes.startsWith(QLatin1String("Family licence\n\nImported fields\n"))) << notes.toStdString();
    EXPECT_TRUE(notes.contains(QLatin1String("Group: Personal/Software Licences")));
    EXPECT_TRUE(notes.contains(QLatin1String("Expires: 2027-06-30")));
    ASSERT_EQ(orbit->attachedFiles().size(), 1);
    EXPECT_EQ(orbit->attachedFiles().first()->name(), u"licence.txt");
    EXPECT_TRUE(orbit->attachedFiles().first()->contentString()->startsWith(QLatin1String("Orbit Paint licence")));

    ASSERT_TRUE(importFile("enpass.json"));
    ProductEntity* loom = only(QStringLiteral("Vector Loom"));
    ASSERT_NE(loom, nullptr);
    EXPECT_EQ(loom->publisher(), u"Loomworks");
    EXPECT_EQ(loom->purchasePrice(), Decimal::fromString(u"79.00"));
    EXPECT_TRUE(loom->commentsString().contains(QLatin1String("Support PIN: 8812")));
}

TEST_F(ForeignImportTest, AnImportTwiceChangesNothingTheSecondTime)
{
    ASSERT_TRUE(importFile("bitwarden.json"));
    const int products = count(QStringLiteral("Product"));
    const ForeignImportPlan again = planFor("bitwarden.json");
    EXPECT_EQ(again.count(Action::Add), 0);
    EXPECT_EQ(again.count(Action::Update), 0);
    EXPECT_EQ(again.count(Action::AlreadyThere), 3);
    EXPECT_EQ(again.skippedNotLicence, 2);
    QString error;
    ASSERT_TRUE(m_service->import(again, &error));
    EXPECT_EQ(count(QStringLiteral("Product")), products);
    EXPECT_EQ(only(QStringLiteral("Pixel Forge"))->commentsString().count(QLatin1String("Imported fields")), 1);
}

TEST_F(ForeignImportTest, TitlesMatchIgnoringCaseAndSerialsDecide)
{
    ProductEntity* unlicensed = addProduct(QStringLiteral("orbit paint"), {});
    unlicensed->setProductVersion(QStringLiteral("2.0"));
    unlicensed->setCommentsString(QStringLiteral("Mine"));
    addProduct(QStringLiteral("QUILLWRITER PRO"), QStringLiteral("QW-OLD"));
    const ForeignImportPlan plan = planFor("keepass.xml");
    ASSERT_EQ(plan.items.size(), 2);
    for (const ForeignImportPlan::Item& item : plan.items) {
        // The product without a serial takes the licence; a different serial is a second licence.
        EXPECT_EQ(item.action, item.record.title == u"Orbit Paint" ? Action::Update : Action::Add);
    }
    QString error;
    ASSERT_TRUE(m_service->import(plan, &error));
    EXPECT_EQ(unlicensed->serialNumber(), u"OP-1234-5678");
    EXPECT_EQ(unlicensed->title(), u"orbit paint");
    EXPECT_EQ(unlicensed->productVersion(), u"2.0"); // filled fields are kept
    EXPECT_EQ(unlicensed->productWebsite(), u"https://orbitpaint.example.net"); // empty ones are filled
    EXPECT_TRUE(unlicensed->commentsString().startsWith(QLatin1String("Mine\n\nFamily licence")));
    EXPECT_EQ(productsTitled(QStringLiteral("Quillwriter Pro")).size(), 1);
}

TEST_F(ForeignImportTest, ALicenceListedTwiceIsAddedOnce)
{
    ForeignReadResult read;
    ForeignRecord record;
    record.title = QStringLiteral("Twice");
    record.serialNumber = QStringLiteral("T-1");
    read.records = {record, record};
    record.title = QStringLiteral("twice ");
    read.records.append(record);
    ForeignImportPlan plan;
    QString error;
    ASSERT_TRUE(m_service->plan(read, &plan, &error));
    EXPECT_EQ(plan.count(Action::Add), 1);
    EXPECT_EQ(plan.count(Action::AlreadyThere), 2);
}

TEST_F(ForeignImportTest, UndoTakesTheWholeImportBack)
{
    UndoManager* undo = m_context->undoManager();
    ASSERT_NE(undo, nullptr);
    ProductEntity* unlicensed = addProduct(QStringLiteral("Orbit Paint"), {});
    undo->removeAllActions();
    const int products = count(QStringLiteral("Product"));
    ASSERT_TRUE(importFile("keepass.xml"));
    EXPECT_EQ(count(QStringLiteral("Product")), products + 1);
    m_context->undo();
    EXPECT_FALSE(undo->canUndo());
    EXPECT_EQ(count(QStringLiteral("Product")), products);
    EXPECT_TRUE(unlicensed->serialNumber().isEmpty());
}

TEST_F(ForeignImportTest, AFailedSaveLeavesTheCatalogueAsItWas)
{
    ProductEntity* unlicensed = addProduct(QStringLiteral("Orbit Paint"), {});
    const int products = count(QStringLiteral("Product"));
    const ForeignImportPlan plan = planFor("keepass.xml");
    m_delegate->session().setContextSaver([](ObjectContext*, StoreError* error) {
        return setError(error, StoreError::Code::IoError, QStringLiteral("disk full"));
    });
    QString error;
    EXPECT_FALSE(m_service->import(plan, &error));
    EXPECT_TRUE(error.contains(QLatin1String("disk full"))) << error.toStdString();
    EXPECT_EQ(count(QStringLiteral("Product")), products);
    EXPECT_TRUE(unlicensed->serialNumber().isEmpty());
    m_delegate->session().setContextSaver({});
    ASSERT_TRUE(m_delegate->saveAction());
    EXPECT_TRUE(productsTitled(QStringLiteral("Quillwriter Pro")).isEmpty());
}

TEST_F(ForeignImportTest, AnyBadFileRefusesTheWholeBatch)
{
    const ForeignReadResult read = ForeignImportService::readFiles(
        {testDataPath("/import/foreign/keepass.xml"), testDataPath("/import/foreign/bitwarden-encrypted.json")});
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.error->startsWith(QLatin1String("bitwarden-encrypted.json: "))) << read.error->toStdString();
    EXPECT_TRUE(read.records.isEmpty());
}

TEST_F(ForeignImportTest, ReadingRunsOnTheTracker)
{
    std::optional<ForeignReadResult> read;
    m_service->startReading({testDataPath("/import/foreign/enpass.json")},
                            [&read](const ForeignReadResult& result) { read = result; });
    EXPECT_EQ(m_delegate->jobs().runningCount(ForeignImportService::ReadJob), 1);
    m_delegate->jobs().waitFor(ForeignImportService::ReadJob);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->records.size(), 1);
    EXPECT_EQ(read->format, u"Enpass JSON");
}
