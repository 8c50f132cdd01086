#include "ui/DiscoverSoftwareSheet.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "library/BackgroundJobTracker.h"
#include "support/TemporaryHome.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/DiscoveredSoftwareModel.h"
#include "ui/ImportApplicationMenu.h"
#include "ui/MainWindow.h"
#include "ui/ProductListModel.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

InstalledApplication application(const QString& id, const QString& title, const QString& version, SoftwareSource source,
                                 const QString& iconPath = QString())
{
    InstalledApplication application;
    application.id = id;
    application.title = title;
    application.version = version;
    application.source = source;
    application.iconPath = iconPath;
    application.path = QStringLiteral("/usr/share/applications/") + id + QStringLiteral(".desktop");
    return application;
}

// What a scan of a small machine finds: four applications to offer, one the catalogue has and
// one that asks not to be shown.
QList<DiscoveredApplication> fixtureScan()
{
    InstalledApplication hidden
        = application(QStringLiteral("org.example.Helper"), QStringLiteral("Helper"), {}, SoftwareSource::Deb);
    hidden.noDisplay = true;
    return {
        {application(QStringLiteral("io.snapcraft.Lantern"), QStringLiteral("Lantern"), QStringLiteral("3"),
                     SoftwareSource::Snap),
         false,
         {}},
        {application(QStringLiteral("org.example.Ledger"), QStringLiteral("Ledger"), QStringLiteral("1.0"),
                     SoftwareSource::Deb),
         true,
         {}},
        {application(QStringLiteral("org.example.Northwind"), QStringLiteral("Northwind"), QStringLiteral("2.1"),
                     SoftwareSource::Deb, testDataPath("/record/Sample.app/Contents/Resources/Sample.png")),
         false,
         {}},
        {hidden, false, {}},
        {application(QStringLiteral("org.example.Quill"), QStringLiteral("Quill"), {}, SoftwareSource::Flatpak),
         false,
         {}},
        {application(QStringLiteral("Tally-1.0-x86_64"), QStringLiteral("Tally"), QStringLiteral("1.0"),
                     SoftwareSource::AppImage),
         false,
         {}},
    };
}

QStringList shownTitles(QTableView* table)
{
    QStringList titles;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        titles.append(table->model()->index(row, DiscoveredSoftwareModel::NameColumn).data().toString());
    }
    return titles;
}

class DiscoverSoftwareSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        ASSERT_TRUE(m_controller->managedObjectContext());
        m_window = std::make_unique<MainWindow>(m_controller.get());
        m_window->show();
    }

    // Opens the sheet over the window with the fixture scan and waits for the scan.
    DiscoverSoftwareSheet* openScanned(DiscoverSoftwareSheet::Add add)
    {
        DiscoverSoftwareSheet* sheet = m_window->openDiscoverSoftwareSheet(fixtureScan, std::move(add));
        m_controller->jobs().waitFor(DiscoverSoftwareSheet::ScanJob);
        return sheet;
    }

    // Adds products named like the applications, in one saved change, as discovery does.
    DiscoverSoftwareSheet::Add recordingAdd()
    {
        return [this](const QList<InstalledApplication>& applications, QString*) {
            QList<ProductEntity*> products;
            for (const InstalledApplication& each : applications) {
                m_added.append(each.id);
                products.append(UiTestLibrary::addProduct(m_controller->managedObjectContext(), each.title));
            }
            EXPECT_TRUE(m_controller->saveAction());
            // Identifiers are permanent once saved.
            QList<Persistence::ObjectID> ids;
            for (const ProductEntity* product : products) {
                ids.append(product->objectID());
            }
            return std::optional<QList<Persistence::ObjectID>>(ids);
        };
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_added;
};

TEST_F(DiscoverSoftwareSheetTest, TheScanListsWhatTheCatalogueLacksAndTheFilterNarrowsIt)
{
    DiscoverSoftwareSheet* sheet = m_window->openDiscoverSoftwareSheet(fixtureScan, recordingAdd());
    ASSERT_NE(sheet, nullptr);
    // While the scan runs the sheet says so and offers nothing to add.
    EXPECT_TRUE(sheet->isScanning());
    EXPECT_TRUE(child<QProgressBar>(*sheet, "discoverBusyIndicator")->isVisible());
    EXPECT_FALSE(child<QPushButton>(*sheet, "discoverAddButton")->isEnabled());
    m_controller->jobs().waitFor(DiscoverSoftwareSheet::ScanJob);
    EXPECT_FALSE(sheet->isScanning());
    EXPECT_FALSE(child<QProgressBar>(*sheet, "discoverBusyIndicator")->isVisible());

    auto* table = child<QTableView>(*sheet, "discoverSoftwareTable");
    EXPECT_EQ(shownTitles(table),
              (QStringList {QStringLiteral("Lantern"), QStringLiteral("Northwind"), QStringLiteral("Quill"),
                            QStringLiteral("Tally")}));
    const QModelIndex northwind = table->model()->index(1, DiscoveredSoftwareModel::NameColumn);
    EXPECT_EQ(northwind.siblingAtColumn(DiscoveredSoftwareModel::VersionColumn).data().toString(),
              QStringLiteral("2.1"));
    EXPECT_EQ(northwind.siblingAtColumn(DiscoveredSoftwareModel::SourceColumn).data().toString(),
              QStringLiteral("deb"));

    // The filter matches name, ID and source, ignoring case.
    auto* filter = child<QLineEdit>(*sheet, "discoverFilterField");
    const std::pair<const char*, QStringList> cases[] = {
        {"FLATPAK", {QStringLiteral("Quill")}},
        {"org.example", {QStringLiteral("Northwind"), QStringLiteral("Quill")}},
        {"  lantern ", {QStringLiteral("Lantern")}},
        {"x86_64", {QStringLiteral("Tally")}},
        {"ledger", {}}, // in the catalogue already
        {"",
         {QStringLiteral("Lantern"), QStringLiteral("Northwind"), QStringLiteral("Quill"), QStringLiteral("Tally")}},
    };
    for (const auto& [text, titles] : cases) {
        filter->setText(QString::fromUtf8(text));
        EXPECT_EQ(shownTitles(table), titles) << text;
    }
    filter->setText(QStringLiteral("nothing like it"));
    EXPECT_FALSE(child<QPushButton>(*sheet, "discoverSelectAllButton")->isEnabled());
}

TEST_F(DiscoverSoftwareSheetTest, SelectAllTakesTheRowsShownAndAddFollowsTheCheckBoxes)
{
    DiscoverSoftwareSheet* sheet = openScanned(recordingAdd());
    auto* add = child<QPushButton>(*sheet, "discoverAddButton");
    auto* table = child<QTableView>(*sheet, "discoverSoftwareTable");
    EXPECT_FALSE(add->isEnabled());

    child<QLineEdit>(*sheet, "discoverFilterField")->setText(QStringLiteral("example"));
    child<QPushButton>(*sheet, "discoverSelectAllButton")->click();
    EXPECT_TRUE(add->isEnabled());
    child<QLineEdit>(*sheet, "discoverFilterField")->clear();
    // Rows the filter hid were left alone.
    EXPECT_EQ(sheet->model()->checkedCount(), 2);
    EXPECT_FALSE(sheet->model()->isChecked(0));

    // Unchecking through the view, as a click on the box does.
    for (int row : {1, 2}) {
        const QModelIndex box = table->model()->index(row, DiscoveredSoftwareModel::NameColumn);
        ASSERT_TRUE(box.flags() & Qt::ItemIsUserCheckable);
        ASSERT_TRUE(table->model()->setData(box, Qt::Unchecked, Qt::CheckStateRole));
    }
    EXPECT_FALSE(add->isEnabled());
    // Add with nothing checked does nothing.
    sheet->addChecked();
    EXPECT_TRUE(m_added.isEmpty());
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(DiscoverSoftwareSheetTest, AddingSelectsTheFirstNewProductAndClosesTheSheet)
{
    const qsizetype rowsBefore = m_window->productListModel()->products().size();
    // A search that would hide the new products gives way to them.
    m_window->searchField()->setText(QStringLiteral("no such product"));
    QPointer<DiscoverSoftwareSheet> sheet = openScanned(recordingAdd());
    QSignalSpy added(sheet.data(), &DiscoverSoftwareSheet::productsAdded);
    sheet->model()->setChecked(3, true); // Tally
    sheet->model()->setChecked(1, true); // Northwind
    child<QPushButton>(*sheet, "discoverAddButton")->click();

    // Both in one call, in the order of the rows.
    EXPECT_EQ(m_added, (QStringList {QStringLiteral("org.example.Northwind"), QStringLiteral("Tally-1.0-x86_64")}));
    ASSERT_EQ(added.size(), 1);
    EXPECT_TRUE(sheet.isNull() || !sheet->isVisible());
    EXPECT_TRUE(m_window->searchField()->text().isEmpty());
    ASSERT_EQ(m_window->selectedProducts().size(), 1);
    EXPECT_EQ(m_window->selectedProducts().first()->title(), QStringLiteral("Northwind"));
    EXPECT_EQ(m_window->productListModel()->products().size(), rowsBefore + 2);
}

TEST_F(DiscoverSoftwareSheetTest, AnAddThatFailsIsShownAndKeepsTheSheetOpen)
{
    const qsizetype rowsBefore = m_window->productListModel()->products().size();
    DiscoverSoftwareSheet* sheet = openScanned([](const QList<InstalledApplication>&, QString* error) {
        *error = QStringLiteral("The disk is full.");
        return std::optional<QList<Persistence::ObjectID>>();
    });
    QSignalSpy added(sheet, &DiscoverSoftwareSheet::productsAdded);
    sheet->selectAll();
    sheet->addChecked();

    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, localizedString(QStringLiteral("DiscoverSoftwareAddFailed")));
    EXPECT_EQ(m_ui.alerts().first().message, QStringLiteral("The disk is full."));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->model()->checkedCount(), 4); // the choice stays for another try
    EXPECT_TRUE(added.isEmpty());
    EXPECT_EQ(m_window->productListModel()->products().size(), rowsBefore);
}

TEST_F(DiscoverSoftwareSheetTest, AClosedSheetDropsALateScan)
{
    QPointer<DiscoverSoftwareSheet> sheet = m_window->openDiscoverSoftwareSheet(fixtureScan, recordingAdd());
    sheet->reject(); // deletes itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sheet.isNull());
    m_controller->jobs().waitFor(DiscoverSoftwareSheet::ScanJob);
    EXPECT_EQ(m_controller->jobs().runningCount(), 0);
}

TEST(DiscoveredSoftwareModel, IconsAreReadOnlyForTheRowsAskedFor)
{
    DiscoveredSoftwareModel model;
    model.setApplications({
        application(QStringLiteral("a"), QStringLiteral("A"), {}, SoftwareSource::Local,
                    testDataPath("/record/Sample.app/Contents/Resources/Sample.png")),
        application(QStringLiteral("b"), QStringLiteral("B"), {}, SoftwareSource::Local,
                    testDataPath("/bundles/plain-text-notes.txt")),
        application(QStringLiteral("c"), QStringLiteral("C"), {}, SoftwareSource::Local),
    });
    EXPECT_EQ(model.loadedIconCount(), 0);
    const QIcon icon = model.index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_EQ(model.loadedIconCount(), 1);
    EXPECT_FALSE(icon.isNull());
    EXPECT_LE(icon.availableSizes().value(0).width(), DiscoveredSoftwareModel::IconSize);
    // A file that is no image, or no icon at all, shows the generic one rather than a gap.
    EXPECT_FALSE(model.index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(model.index(2, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(model.loadedIconCount(), 3);
    model.setChecked(2, true);
    model.setApplications({});
    EXPECT_EQ(model.loadedIconCount(), 0);
    EXPECT_EQ(model.checkedCount(), 0);
}

class ImportMenuRuleTest : public ::testing::Test
{
protected:
    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    TemporaryHome m_home;
};

TEST_F(ImportMenuRuleTest, BundleCommandsAppearOnlyWithTheirFoldersAndDiscoveryIsInTheFileMenu)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    ImportApplicationMenu* menu = window.importApplicationMenu();
    EXPECT_TRUE(menu->importApplicationAction()->isVisible());
    EXPECT_FALSE(menu->importPreferencePaneAction()->isVisible());
    EXPECT_FALSE(menu->importPluginAction()->isVisible());
    EXPECT_FALSE(menu->importWidgetAction()->isVisible());

    // A folder made while the program runs counts from the next time the menu opens.
    ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("Library/Widgets")));
    auto* imports = child<QMenu>(window, "importApplicationMenu");
    emit imports->aboutToShow();
    EXPECT_TRUE(menu->importWidgetAction()->isVisible());
    EXPECT_FALSE(menu->importPluginAction()->isVisible());

    QAction* discover = menu->discoverSoftwareAction();
    const QList<QAction*> file = window.menuBar()->actions().first()->menu()->actions();
    const qsizetype at = file.indexOf(discover);
    ASSERT_GT(at, 0);
    EXPECT_EQ(file.at(at - 1), imports->menuAction());
    EXPECT_TRUE(discover->isEnabled());
    EXPECT_TRUE(discover->text().endsWith(QStringLiteral("…")));
}

} // namespace
