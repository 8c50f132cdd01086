// Desktop entries and AppImages as dropped or chosen files, and discovery adding applications in
// one saved change, over the software fixture.
#include "../../support/TemporaryHome.h"
#include "../attachments/SessionTestLibrary.h"
#include "../products/InstalledSoftwareFixture.h"
#include "desktop/ApplicationLocator.h"
#include "import/ImportService.h"
#include "import/KMImportProductsOperation.h"
#include "import/SoftwareDiscoveryService.h"
#include "model/IconEntity.h"
#include "persistence/StoreError.h"
#include "software/InstalledSoftwareScanner.h"

#include <QCoreApplication>

using namespace Persistence;

namespace {

class InstalledApplicationImportTest : public SessionTestLibrary
{
protected:
    void SetUp() override
    {
        SessionTestLibrary::SetUp();
        m_session.setContextSaver([this](ObjectContext* context, StoreError* error) {
            if (m_failSaves) {
                *error = StoreError {StoreError::Code::IoError, QStringLiteral("disk full"), QString()};
                return false;
            }
            return context->save(error);
        });
    }

    QList<ProductEntity*> productsTitled(const QString& title) const
    {
        QList<ProductEntity*> found;
        const auto products = m_context->execute(FetchRequest(QStringLiteral("Product")));
        for (ManagedObject* object : *products) {
            auto* product = dynamic_cast<ProductEntity*>(object);
            if (product && product->title() == title) {
                found.append(product);
            }
        }
        return found;
    }

    TemporaryHome m_home;
    InstalledSoftwareFixture m_software;
    bool m_failSaves = false;
    ImportService m_imports {m_session, [] { return ApplicationLocator(QStringList()); }};
    SoftwareDiscoveryService m_discovery {m_session, [] { return ApplicationLocator(QStringList()); },
                                          [] { return InstalledSoftwareScanner(); }};
};

TEST_F(InstalledApplicationImportTest, DesktopEntriesOfApplicationsAndAppImagesCountAsSoftware)
{
    const QString link
        = writeFile(QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n");
    const QString garbage = writeFile(QStringLiteral("garbage.desktop"), QByteArray(64, '\xff'));
    const QString appImage = writeFile(QStringLiteral("Tool-1.0-x86_64.AppImage"), "an image");
    const QString self = writeFile(QStringLiteral("keymoor.desktop"),
                                   "[Desktop Entry]\nType=Application\nName=Me\nExec="
                                       + QCoreApplication::applicationFilePath().toUtf8() + " %F\n");
    EXPECT_TRUE(
        KMImportProductsOperation::isApp(InstalledSoftwareFixture::entry(QStringLiteral("vendor/marker.desktop"))));
    EXPECT_TRUE(KMImportProductsOperation::isApp(appImage));
    EXPECT_FALSE(KMImportProductsOperation::isApp(link));
    EXPECT_FALSE(KMImportProductsOperation::isApp(garbage));
    EXPECT_TRUE(KMImportProductsOperation::isApplicationItself(self));
    EXPECT_FALSE(KMImportProductsOperation::isApplicationItself(
        InstalledSoftwareFixture::entry(QStringLiteral("org.example.Northwind.desktop"))));
}

TEST_F(InstalledApplicationImportTest, ADroppedEntryBecomesAProductWithItsFactsAndIcon)
{
    ASSERT_TRUE(m_imports.bundles().importProductsFromFiles(
        {InstalledSoftwareFixture::entry(QStringLiteral("org.example.Northwind.desktop"))}));
    m_imports.bundles().waitForProductImports();
    const QList<ProductEntity*> found = productsTitled(QStringLiteral("Northwind"));
    ASSERT_EQ(found.size(), 1);
    const ProductEntity* northwind = found.first();
    EXPECT_EQ(northwind->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_EQ(northwind->bundleIdentifier(), QStringLiteral("org.example.Northwind"));
    EXPECT_EQ(northwind->publisher(), QStringLiteral("Northwind Software Ltd."));
    EXPECT_EQ(northwind->productEmail(), QStringLiteral("support@northwind.example"));
    EXPECT_FALSE(northwind->externalIcon().isEmpty());
}

TEST_F(InstalledApplicationImportTest, DiscoveryAddsInOneSaveAndKeepsNothingOfAFailedOne)
{
    const QList<DiscoveredApplication> candidates = m_discovery.discover(false);
    QStringList ids;
    for (const DiscoveredApplication& candidate : candidates) {
        ids.append(candidate.application.id);
    }
    // In title order; the product "Northwind Notes" is no application's name.
    EXPECT_EQ(ids,
              (QStringList {QStringLiteral("org.example.Ledger"), QStringLiteral("vendor-marker"),
                            QStringLiteral("org.example.Northwind")}));

    const int iconsBefore = int(m_context->execute(FetchRequest(QStringLiteral("Icon")))->size());
    m_failSaves = true;
    QString error;
    EXPECT_FALSE(m_discovery.addApplications(ids, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("disk full"))) << error.toStdString();
    EXPECT_TRUE(productsTitled(QStringLiteral("Northwind")).isEmpty());
    EXPECT_EQ(int(m_context->execute(FetchRequest(QStringLiteral("Icon")))->size()), iconsBefore);

    m_failSaves = false;
    int changed = 0;
    QObject::connect(&m_session, &LibrarySession::productsChanged, [&changed] { ++changed; });
    EXPECT_FALSE(
        m_discovery.addApplications({QStringLiteral("org.example.Ledger"), QStringLiteral("nowhere")}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nowhere")));
    const auto added = m_discovery.addApplications({QStringLiteral("org.example.Northwind")}, &error);
    ASSERT_TRUE(added) << error.toStdString();
    ASSERT_EQ(added->size(), 1);
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(m_context->hasChanges()) << "the products are saved";
    const auto* northwind = dynamic_cast<ProductEntity*>(m_context->objectWithID(added->first()));
    ASSERT_NE(northwind, nullptr);
    EXPECT_EQ(northwind->title(), QStringLiteral("Northwind"));
    EXPECT_FALSE(northwind->externalIcon().isEmpty());

    const QList<DiscoveredApplication> all = m_discovery.discover(true);
    const auto inCatalogue = std::count_if(all.begin(), all.end(), [](const auto& a) { return a.inCatalogue; });
    EXPECT_EQ(all.size(), 3);
    EXPECT_EQ(inCatalogue, 1);

    // The window scans on a worker without looking at the catalogue, then marks on the main thread.
    QList<DiscoveredApplication> scanned = m_discovery.installedApplications();
    ASSERT_EQ(scanned.size(), 3);
    EXPECT_TRUE(std::none_of(scanned.begin(), scanned.end(), [](const auto& a) { return a.inCatalogue; }));
    m_discovery.markInCatalogue(scanned);
    for (const DiscoveredApplication& discovered : scanned) {
        EXPECT_EQ(discovered.inCatalogue, discovered.application.id == QStringLiteral("org.example.Northwind"))
            << discovered.application.id.toStdString();
    }
}

} // namespace
