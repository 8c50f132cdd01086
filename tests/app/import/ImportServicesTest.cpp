#include "../attachments/SessionTestLibrary.h"
#include "desktop/ApplicationLocator.h"
#include "import/DelimitedTextOptions.h"
#include "import/ImportService.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/StoreCoordinator.h"
#include "persistence/StoreError.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

#include <memory>
#include <vector>

using namespace Persistence;

namespace {

// The imports on a bare session, looking for applications nowhere.
class ImportServicesTest : public SessionTestLibrary
{
protected:
    void SetUp() override
    {
        SessionTestLibrary::SetUp();
        m_session.setContextSaver([this](ObjectContext* context, StoreError* error) {
            m_savedOffTheMainThread = QThread::currentThread() != qApp->thread();
            if (m_failSaves) {
                *error
                    = StoreError {StoreError::Code::IoError, QStringLiteral("disk full"), QStringLiteral("injected")};
                return false;
            }
            return context->save(error);
        });
    }

    // The titles of the products the store holds: what a fresh context sees.
    QStringList storedTitles() const
    {
        auto fresh = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_context->coordinator());
        const auto products = fresh->execute(FetchRequest(QStringLiteral("Product")));
        QStringList titles;
        for (ManagedObject* product : *products) {
            titles.append(static_cast<ProductEntity*>(product)->title());
        }
        titles.sort();
        return titles;
    }

    TextImportService& text() { return m_imports.text(); }

    ImportService m_imports {m_session, [] { return ApplicationLocator(QStringList()); }};
    std::atomic<bool> m_failSaves = false;
    std::atomic<bool> m_savedOffTheMainThread = false;
    const QStringList m_titleSerial {QStringLiteral("title"), QStringLiteral("serialNumber")};
};

TEST_F(ImportServicesTest, TheTallySumsImportsFromEveryThreadUntilItIsTaken)
{
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back(QThread::create([this] {
            for (int n = 0; n < 500; ++n) {
                m_imports.addImportCounts(ImportCounts {1, 2, 0});
            }
        }));
        threads.back()->start();
    }
    m_imports.addImportCounts(ImportCounts {0, 0, 1});
    for (const auto& thread : threads) {
        thread->wait();
    }
    const ImportCounts counts = m_imports.takeImportCounts();
    EXPECT_EQ(counts.added, 2000);
    EXPECT_EQ(counts.updated, 4000);
    EXPECT_EQ(counts.failed, 1);
    const ImportCounts again = m_imports.takeImportCounts();
    EXPECT_EQ(again.added + again.updated + again.failed, 0);
}

TEST_F(ImportServicesTest, TextImportsThatChangeNothingSayWhyInTheirOwnWords)
{
    const DelimitedRows rows {{QStringLiteral("Alpha"), QStringLiteral("A-1")}};
    EXPECT_FALSE(
        m_imports.text().importProductsArray(rows, {QStringLiteral("serialNumber"), QStringLiteral("-")}, false));
    const QString missing = m_scratch.filePath(QStringLiteral("missing.csv"));
    EXPECT_FALSE(m_imports.text().importTextFile(missing, DelimitedTextOptions(), {QStringLiteral("title")}, false));

    ASSERT_EQ(m_ui.errors().size(), 2);
    EXPECT_EQ(m_ui.errors().at(0).description, QStringLiteral("Nothing was imported."));
    EXPECT_EQ(m_ui.errors().at(0).recoverySuggestion, QStringLiteral("No column is imported as the title."));
    EXPECT_EQ(m_ui.errors().at(1).description, QStringLiteral("The file \"%1\" could not be read.").arg(missing));
    EXPECT_EQ(m_ui.errors().at(1).recoverySuggestion, QStringLiteral("Nothing was imported."));
    const ImportCounts counts = m_imports.takeImportCounts();
    EXPECT_EQ(counts.added + counts.updated, 0);
    EXPECT_FALSE(m_ui.isProgressShown());
}

TEST_F(ImportServicesTest, BackgroundTextImportsSaveOffTheMainThreadUnderOneProgressSheet)
{
    int listChanges = 0;
    QObject::connect(&m_session, &LibrarySession::productsChanged, [&listChanges] { ++listChanges; });
    ASSERT_TRUE(text().startTextFileImport(writeFile(QStringLiteral("a.csv"), "Alpha,A-1\nBeta,B-2\n"),
                                           DelimitedTextOptions(), m_titleSerial, false));
    ASSERT_TRUE(text().startTextFileImport(writeFile(QStringLiteral("b.csv"), "Gamma,G-3\n"), DelimitedTextOptions(),
                                           m_titleSerial, false));
    EXPECT_TRUE(m_ui.isProgressShown());
    EXPECT_EQ(text().runningTextImports(), 2);

    text().waitForTextImports();
    EXPECT_TRUE(m_savedOffTheMainThread);
    // The sheet stayed until the last import ended.
    EXPECT_FALSE(m_ui.isProgressShown());
    EXPECT_EQ(m_ui.calls().filter(QStringLiteral("progress stop")).size(), 1);
    EXPECT_EQ(listChanges, 2);
    EXPECT_EQ(m_imports.takeImportCounts().added, 3);
    EXPECT_EQ(storedTitles(), (QStringList {"Alpha", "Beta", "Gamma", "Keymoor", "Northwind Notes"}));
    // The main context took in what the jobs saved.
    const auto gamma = m_context->execute(
        FetchRequest(QStringLiteral("Product"), *Predicate::fromFormat(QStringLiteral("title == 'Gamma'"))));
    ASSERT_EQ(gamma->size(), 1);
    EXPECT_EQ(static_cast<ProductEntity*>(gamma->first())->serialNumber(), QStringLiteral("G-3"));
    EXPECT_TRUE(m_ui.errors().isEmpty());
}

TEST_F(ImportServicesTest, ACancelledBackgroundTextImportKeepsNothing)
{
    QByteArray rows;
    for (int i = 0; i < 50; ++i) {
        rows += "Row " + QByteArray::number(i) + ",R-" + QByteArray::number(i) + "\n";
    }
    const QString path = writeFile(QStringLiteral("rows.csv"), rows);
    const QStringList before = storedTitles();
    int listChanges = 0;
    QObject::connect(&m_session, &LibrarySession::productsChanged, [&listChanges] { ++listChanges; });
    {
        // Holding the store keeps the job at its first read (the titles to update) until the
        // cancel has been asked for.
        QMutexLocker store(&m_context->coordinator()->mutex());
        ASSERT_TRUE(text().startTextFileImport(path, DelimitedTextOptions(), m_titleSerial, true));
        text().cancelTextImports();
    }
    text().waitForTextImports();
    EXPECT_FALSE(m_ui.isProgressShown());
    EXPECT_TRUE(m_ui.errors().isEmpty());
    EXPECT_EQ(listChanges, 0);
    EXPECT_EQ(storedTitles(), before);
    const ImportCounts counts = m_imports.takeImportCounts();
    EXPECT_EQ(counts.added + counts.updated, 0);
}

TEST_F(ImportServicesTest, AFailedBackgroundTextImportIsShownAndKeepsNothing)
{
    const QStringList before = storedTitles();
    m_failSaves = true;
    ASSERT_TRUE(text().startTextFileImport(writeFile(QStringLiteral("a.csv"), "Alpha,A-1\n"), DelimitedTextOptions(),
                                           m_titleSerial, false));
    const QString missing = m_scratch.filePath(QStringLiteral("missing.csv"));
    ASSERT_TRUE(text().startTextFileImport(missing, DelimitedTextOptions(), m_titleSerial, false));
    text().waitForTextImports();
    m_failSaves = false;

    ASSERT_EQ(m_ui.errors().size(), 2);
    QStringList descriptions;
    for (const PresentableError& error : m_ui.errors()) {
        descriptions.append(error.description);
        EXPECT_EQ(error.recoverySuggestion, QStringLiteral("Nothing was imported."));
    }
    EXPECT_TRUE(descriptions.contains(QStringLiteral("The imported products could not be saved.")));
    EXPECT_TRUE(descriptions.contains(QStringLiteral("The file \"%1\" could not be read.").arg(missing)));
    EXPECT_FALSE(m_ui.isProgressShown());
    EXPECT_EQ(storedTitles(), before);
    const auto alpha = m_context->execute(
        FetchRequest(QStringLiteral("Product"), *Predicate::fromFormat(QStringLiteral("title == 'Alpha'"))));
    EXPECT_TRUE(alpha->isEmpty());

    // Without a column for the title nothing starts.
    EXPECT_FALSE(text().startTextFileImport(missing, DelimitedTextOptions(), {QStringLiteral("serialNumber")}, false));
    EXPECT_EQ(text().runningTextImports(), 0);
}

TEST_F(ImportServicesTest, ABundleImportSavesThroughTheSessionAndCountsAFailedSave)
{
    const QString sample = testDataPath("/record/Sample.app");
    QList<ObjectID> selections;
    QObject::connect(&m_imports.bundles(), &BundleImportService::selectAndScrollToProduct,
                     [&selections](const ObjectID& id) { selections.append(id); });

    m_failSaves = true;
    ASSERT_TRUE(m_imports.bundles().importProductsFromFiles({sample}));
    m_imports.bundles().waitForProductImports();
    m_failSaves = false;
    ImportCounts counts = m_imports.takeImportCounts();
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_TRUE(selections.isEmpty());
    ASSERT_EQ(m_ui.errors().size(), 1);
    EXPECT_EQ(m_ui.errors().first().description, QStringLiteral("disk full"));

    ASSERT_TRUE(m_imports.bundles().importProductsFromFiles({sample}));
    m_imports.bundles().waitForProductImports();
    counts = m_imports.takeImportCounts();
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.failed, 0);
    ASSERT_EQ(selections.size(), 1);
    EXPECT_NE(m_context->existingObjectWithID(selections.first()), nullptr);
}

} // namespace
