// Discovery and launch in the window over the installed-software fixture: desktop entries with
// metainfo and a theme icon, and a stub dpkg-query first on PATH.
#include "../../platform/desktop/RecordingLauncher.h"
#include "../products/InstalledSoftwareFixture.h"
#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "library/BackgroundJobTracker.h"
#include "support/WidgetLookup.h"
#include "ui/DiscoverSoftwareSheet.h"
#include "ui/DiscoveredSoftwareModel.h"
#include "ui/ImportApplicationMenu.h"
#include "ui/MainWindow.h"
#include "ui/ProductTableView.h"

#include <QAction>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class InstalledSoftwareWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        ASSERT_TRUE(m_controller->managedObjectContext());
        m_controller->setDesktopLauncher(&m_launcher);
        m_window = std::make_unique<MainWindow>(m_controller.get());
        m_window->show();
    }

    void TearDown() override
    {
        m_window.reset();
        if (m_controller) {
            m_controller->setDesktopLauncher(nullptr);
        }
    }

    // The row of the sheet's list showing the title; -1 when none does.
    static int rowOf(QTableView* table, const QString& title)
    {
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (table->model()->index(row, DiscoveredSoftwareModel::NameColumn).data().toString() == title) {
                return row;
            }
        }
        return -1;
    }

    InstalledSoftwareFixture m_software;
    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    RecordingLauncher m_launcher;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(InstalledSoftwareWindowTest, TheFileMenuDiscoversTheFixtureAndAddsWhatIsChecked)
{
    m_window->importApplicationMenu()->discoverSoftwareAction()->trigger();
    auto* sheet = child<DiscoverSoftwareSheet>(*m_window, "discoverSoftwareSheet");
    ASSERT_NE(sheet, nullptr);
    m_controller->jobs().waitFor(DiscoverSoftwareSheet::ScanJob);
    auto* table = child<QTableView>(*sheet, "discoverSoftwareTable");
    EXPECT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(rowOf(table, QStringLiteral("Settings Helper")), -1); // NoDisplay
    const int northwind = rowOf(table, QStringLiteral("Northwind"));
    const int marker = rowOf(table, QStringLiteral("Marker"));
    ASSERT_GE(northwind, 0);
    ASSERT_GE(marker, 0);
    const QModelIndex row = table->model()->index(northwind, DiscoveredSoftwareModel::NameColumn);
    EXPECT_EQ(row.siblingAtColumn(DiscoveredSoftwareModel::VersionColumn).data().toString(), QStringLiteral("2.4.1"));
    EXPECT_EQ(row.siblingAtColumn(DiscoveredSoftwareModel::SourceColumn).data().toString(), QStringLiteral("deb"));
    EXPECT_EQ(table->model()
                  ->index(marker, DiscoveredSoftwareModel::SourceColumn)
                  .data()
                  .toString()
                  .compare(QStringLiteral("local"), Qt::CaseInsensitive),
              0);

    ASSERT_TRUE(table->model()->setData(row, Qt::Checked, Qt::CheckStateRole));
    child<QPushButton>(*sheet, "discoverAddButton")->click();
    ASSERT_EQ(m_window->selectedProducts().size(), 1);
    ProductEntity* added = m_window->selectedProducts().first();
    EXPECT_EQ(added->title(), QStringLiteral("Northwind"));
    EXPECT_EQ(added->bundleIdentifier(), QStringLiteral("org.example.Northwind"));
    EXPECT_EQ(added->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_TRUE(m_ui.alerts().isEmpty());

    // Asked again, the sheet leaves out what the catalogue now has.
    m_window->showDiscoverSoftwareSheet();
    m_controller->jobs().waitFor(DiscoverSoftwareSheet::ScanJob);
    const auto sheets = m_window->findChildren<DiscoverSoftwareSheet*>();
    auto* again = child<QTableView>(*sheets.last(), "discoverSoftwareTable");
    EXPECT_EQ(rowOf(again, QStringLiteral("Northwind")), -1);
    EXPECT_EQ(again->model()->rowCount(), 2);
}

TEST_F(InstalledSoftwareWindowTest, ALaunchThatFailsIsShownWithItsReason)
{
    ProductEntity* product
        = UiTestLibrary::addProduct(m_controller->managedObjectContext(), QStringLiteral("Northwind"));
    ASSERT_TRUE(m_controller->saveAction());
    emit m_controller->productsChanged();
    ASSERT_TRUE(m_window->selectProduct(product));
    auto* launch = child<QAction>(*m_window, "launchApplication");
    ASSERT_TRUE(launch->isEnabled());

    m_launcher.startError = QStringLiteral("no display to start it on");
    launch->trigger();
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, localizedString(QStringLiteral("LaunchApplicationAlertTitle")));
    EXPECT_TRUE(m_ui.alerts().first().message.contains(QStringLiteral("no display to start it on")))
        << m_ui.alerts().first().message.toStdString();

    // A launch that works says nothing.
    m_launcher.startError.clear();
    launch->trigger();
    EXPECT_EQ(m_ui.alerts().size(), 1);
    ASSERT_EQ(m_launcher.launched.size(), 2);
    EXPECT_EQ(m_launcher.launched.last().id, QStringLiteral("org.example.Northwind"));
}

TEST_F(InstalledSoftwareWindowTest, ADroppedDesktopEntryBecomesTheSelectedProduct)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(InstalledSoftwareFixture::entry(QStringLiteral("org.example.Ledger.desktop")))});
    ASSERT_TRUE(child<ProductTableView>(*m_window, "productsTable")->acceptDrop(&data));
    m_controller->waitForProductImports();
    ASSERT_EQ(m_window->selectedProducts().size(), 1);
    EXPECT_EQ(m_window->selectedProducts().first()->title(), QStringLiteral("Ledger Book"));
    EXPECT_EQ(m_window->selectedProducts().first()->bundleIdentifier(), QStringLiteral("org.example.Ledger"));
}

} // namespace
