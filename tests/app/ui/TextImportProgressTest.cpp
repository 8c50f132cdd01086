#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "import/ImportService.h"
#include "persistence/StoreCoordinator.h"
#include "ui/ImportSheet.h"
#include "ui/MainWindow.h"
#include "ui/ProductListModel.h"
#include "ui/ProgressSheet.h"
#include "ui/QtUserInterface.h"

#include <QFile>
#include <QMutexLocker>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The import sheet's text import over the main window: it runs as a background job while the
// window's progress sheet shows (with Cancel) and its activity indicator moves.
class TextImportProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        ASSERT_NE(m_delegate->managedObjectContext(), nullptr);
        m_window = std::make_unique<MainWindow>(m_delegate.get());
        m_window->show();
        QByteArray rows;
        for (int i = 0; i < 40; ++i) {
            rows += "Imported " + QByteArray::number(i) + "\n";
        }
        const QString path = m_scratch.filePath(QStringLiteral("rows.csv"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(rows);
        file.close();
        m_controller.setImportTextFile(path);
        m_controller.setDestination(0, localizedString(QStringLiteral("ExportTitle")));
    }

    void importThroughTheSheet()
    {
        ImportSheet sheet(m_delegate.get(), &m_controller, {}, m_window.get());
        sheet.importAction();
    }

    int listed() const { return m_window->productListModel()->rowCount(); }

    UiTestLibrary m_library;
    QtUserInterface m_ui {nullptr};
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_window;
    ZRImportSheetController m_controller;
    QTemporaryDir m_scratch;
};

TEST_F(TextImportProgressTest, CancelStopsTheImportAndKeepsNothing)
{
    ProgressSheet* progress = m_ui.progressSheet();
    ASSERT_NE(progress, nullptr);
    const int before = listed();
    {
        // Holding the store keeps the job at its first read until Cancel has been clicked.
        QMutexLocker store(&m_delegate->managedObjectContext()->coordinator()->mutex());
        importThroughTheSheet();
        EXPECT_TRUE(progress->isShown());
        EXPECT_TRUE(progress->isAnimating());
        EXPECT_TRUE(progress->cancelButton()->isVisible());
        EXPECT_TRUE(m_window->activityIndicator()->isVisible());
        progress->cancelButton()->click();
        EXPECT_EQ(progress->message(), localizedString(QStringLiteral("ImportCancellingProgressMessage")));
        EXPECT_FALSE(progress->cancelButton()->isEnabled());
    }
    m_delegate->imports().text().waitForTextImports();
    EXPECT_FALSE(progress->isShown());
    EXPECT_FALSE(m_window->activityIndicator()->isVisible());
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(m_delegate->imports().takeImportCounts().added, 0);
}

TEST_F(TextImportProgressTest, AnImportThatRunsToTheEndFillsTheListAndTakesItsSheetAway)
{
    const int before = listed();
    importThroughTheSheet();
    EXPECT_TRUE(m_ui.progressSheet()->isShown());
    m_delegate->imports().text().waitForTextImports();
    EXPECT_FALSE(m_ui.progressSheet()->isShown());
    EXPECT_FALSE(m_window->activityIndicator()->isVisible());
    EXPECT_EQ(listed(), before + 40);

    // The Cancel of an import goes with its sheet: a later operation's sheet offers none.
    m_ui.startProgress(QStringLiteral("Working…"));
    EXPECT_FALSE(m_ui.progressSheet()->cancelButton()->isVisible());
    m_ui.stopProgress();
}

} // namespace
