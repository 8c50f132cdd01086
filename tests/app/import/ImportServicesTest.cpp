#include "../attachments/SessionTestLibrary.h"
#include "desktop/ApplicationLocator.h"
#include "import/DelimitedTextOptions.h"
#include "import/ImportService.h"
#include "persistence/StoreError.h"

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
            if (m_failSaves) {
                *error
                    = StoreError {StoreError::Code::IoError, QStringLiteral("disk full"), QStringLiteral("injected")};
                return false;
            }
            return context->save(error);
        });
    }

    ImportService m_imports {m_session, [] { return ApplicationLocator(QStringList()); }};
    std::atomic<bool> m_failSaves = false;
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

TEST_F(ImportServicesTest, ABundleImportSavesThroughTheSessionAndCountsAFailedSave)
{
    const QString sample = QStringLiteral(KEYMOOR_TEST_DATA_DIR "/record/Sample.app");
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
