// The window's import of password managers' exports: the menu command, the preview sheet, one
// change that undo takes back, and Cancel writing nothing.
#include "ui/ForeignImportSheet.h"

#include "UiTestLibrary.h"
#include "import/ForeignImportService.h"
#include "library/BackgroundJobTracker.h"
#include "persistence/FetchRequest.h"
#include "persistence/ObjectContext.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/ImportApplicationMenu.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

class ForeignImportSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        ASSERT_TRUE(m_controller->managedObjectContext());
        m_window = std::make_unique<MainWindow>(m_controller.get());
        m_window->show();
    }

    // Chooses the fixture in the open panel, runs the menu command and waits for the reading.
    ForeignImportSheet* openWith(const char* file)
    {
        // Sheets closed before are gone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_ui.queueOpenPanelResult(QStringList {testDataPath("/import/foreign/") + QLatin1String(file)});
        m_window->importApplicationMenu()->foreignImportAction()->trigger();
        auto* sheet = m_window->findChild<ForeignImportSheet*>(QStringLiteral("foreignImportSheet"));
        if (sheet) {
            EXPECT_TRUE(sheet->isReading());
            m_controller->jobs().waitFor(ForeignImportService::ReadJob);
        }
        return sheet;
    }

    int products() const
    {
        const auto all
            = m_controller->managedObjectContext()->execute(Persistence::FetchRequest(QStringLiteral("Product")));
        return all ? int(all->size()) : -1;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(ForeignImportSheetTest, ThePreviewListsTheLicencesAndImportAddsThemInOneUndoStep)
{
    const int before = products();
    QPointer<ForeignImportSheet> sheet = openWith("bitwarden.json");
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->isReading());
    EXPECT_EQ(products(), before); // nothing written yet
    QTableWidget* table = child<QTableWidget>(*sheet, "foreignImportTable");
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), u"Pixel Forge");
    EXPECT_EQ(table->item(0, 1)->text(), u"PF-2024-XYZ");
    EXPECT_EQ(table->item(0, 2)->text(), u"new");
    EXPECT_TRUE(child<QLabel>(*sheet, "foreignImportStatus")->text().contains(QLatin1String("2 skipped")));
    child<QPushButton>(*sheet, "foreignImportButton")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!sheet || !sheet->isVisible());
    EXPECT_EQ(products(), before + 3);
    m_controller->managedObjectContext()->undo();
    EXPECT_EQ(products(), before);
}

TEST_F(ForeignImportSheetTest, ASecondLookShowsWhatIsAlreadyThereAndOffersNothing)
{
    ForeignImportSheet* first = openWith("enpass.json");
    ASSERT_NE(first, nullptr);
    first->importRecords();
    ForeignImportSheet* second = openWith("enpass.json");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(child<QTableWidget>(*second, "foreignImportTable")->item(0, 2)->text(), u"already there");
    EXPECT_FALSE(child<QPushButton>(*second, "foreignImportButton")->isEnabled());
}

TEST_F(ForeignImportSheetTest, AnUnreadableExportIsShownAndCloses)
{
    const int before = products();
    QPointer<ForeignImportSheet> sheet = openWith("bitwarden-encrypted.json");
    QCoreApplication::processEvents();
    EXPECT_TRUE(!sheet || !sheet->isVisible());
    ASSERT_EQ(m_ui.errors().size(), 1);
    EXPECT_TRUE(m_ui.errors().first().recoverySuggestion.contains(QLatin1String("encrypted")));
    EXPECT_EQ(products(), before);
}
