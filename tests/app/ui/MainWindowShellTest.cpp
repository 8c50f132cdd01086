#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "email/ZREmailParser.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "support/WidgetLookup.h"
#include "ui/AttachmentActions.h"
#include "ui/AttachmentListView.h"
#include "ui/ImportApplicationMenu.h"
#include "ui/MainToolbar.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowCommandState.h"
#include "ui/PreferencesController.h"
#include "ui/ProductActions.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductIconWell.h"
#include "ui/ProductListModel.h"
#include "ui/ToolbarCustomizeDialog.h"
#include "ui/WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList split(const char* items)
{
    return QString::fromLatin1(items).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* topMenu(MainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions()) {
        if (action->menu() && action->text().remove(QLatin1Char('&')) == title) {
            return action->menu();
        }
    }
    return nullptr;
}

class MainWindowShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        m_first = UiTestLibrary::addProduct(m_context, QStringLiteral("Alpha"), {}, QStringLiteral("A-1"));
        m_second = UiTestLibrary::addProduct(m_context, QStringLiteral("Beta"));
        ASSERT_TRUE(m_controller->saveAction());
    }
    void TearDown() override { ZREmailParser::setDefaultMailReaderAppNameProvider({}); }

    std::unique_ptr<MainWindow> openWindow()
    {
        auto window = std::make_unique<MainWindow>(m_controller.get());
        window->show();
        return window;
    }

    static void rightPress(QAbstractItemView* view, int row)
    {
        const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
        QMouseEvent press(QEvent::MouseButtonPress, point, view->viewport()->mapToGlobal(point), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    Persistence::ObjectContext* m_context = nullptr;
    ProductEntity* m_first = nullptr;
    ProductEntity* m_second = nullptr;
};

TEST_F(MainWindowShellTest, SavedToolbarTakesTheDefaultMailProgramsItemAtStart)
{
    ZREmailParser::setDefaultMailReaderAppNameProvider(
        [] { return std::optional<QString>(QStringLiteral("Outlook")); });
    UserDefaults& defaults = m_library.defaults();
    ASSERT_TRUE(MainToolbarLayout::saveItems(defaults, split("NewItem RemoveItem Separator ImportMail SearchItem")));
    auto window = openWindow();
    EXPECT_EQ(child<MainToolbar>(*window, "mainToolbar")->itemIdentifiers(),
              split("NewItem RemoveItem Separator ImportOutlook SearchItem"));
    EXPECT_EQ(*MainToolbarLayout::savedItems(defaults), child<MainToolbar>(*window, "mainToolbar")->itemIdentifiers());
    const QList<QAction*> shown = child<MainToolbar>(*window, "mainToolbar")->actions();
    EXPECT_TRUE(shown.contains(window->attachmentActions()->importOutlookAction()));
    EXPECT_FALSE(shown.contains(window->attachmentActions()->importMailAction()));
    EXPECT_EQ(window->attachmentActions()->importOutlookAction()->iconText(),
              localizedString(QStringLiteral("OutlookToolbarButton")));
}

TEST_F(MainWindowShellTest, ToolbarFollowsMailPreferencesAndTheCustomisedChoice)
{
    auto window = openWindow();
    MainToolbar* toolbar = child<MainToolbar>(*window, "mainToolbar");
    EXPECT_EQ(toolbar->itemIdentifiers(), MainToolbarLayout::defaultItems(toolbar->mailSettings()));
    EXPECT_TRUE(toolbar->itemIdentifiers().contains(QStringLiteral("ImportMail")));

    // Choosing both programs by hand shows both, with nothing saved yet.
    UserPreferences& prefs = m_controller->userPrefs();
    prefs.setAutoDetectEmailReader(false);
    prefs.setEnableMicrosoftOutlook(true);
    emit window->preferencesController()->preferenceChanged(PreferenceKeys::EnableMicrosoftOutlook);
    EXPECT_TRUE(toolbar->itemIdentifiers().contains(QStringLiteral("ImportOutlook")));
    EXPECT_TRUE(toolbar->itemIdentifiers().contains(QStringLiteral("ImportMail")));

    // The dialog's choice is saved; then switching Mail off replaces its item in place.
    ToolbarCustomizeDialog dialog(MainToolbarLayout::allowedItems(toolbar->mailSettings()),
                                  MainToolbarLayout::defaultItems(toolbar->mailSettings()),
                                  split("NewItem ImportMail"));
    child<QListWidget>(dialog, "chosenList")->setCurrentRow(0);
    dialog.moveSelected(1);
    child<QListWidget>(dialog, "availableList")->setCurrentRow(0); // "RemoveItem", the first one not chosen
    dialog.addSelected();
    EXPECT_EQ(dialog.items(), split("ImportMail NewItem RemoveItem"));
    toolbar->setItems(dialog.items());
    prefs.setEnableAppleMail(false);
    emit window->preferencesController()->preferenceChanged(PreferenceKeys::EnableAppleMail);
    EXPECT_EQ(toolbar->itemIdentifiers(), split("ImportOutlook NewItem RemoveItem"));
    EXPECT_EQ(*MainToolbarLayout::savedItems(m_library.defaults()), split("ImportOutlook NewItem RemoveItem"));
}

TEST_F(MainWindowShellTest, ToolbarItemsFollowTheSelectionAndTheTab)
{
    auto window = openWindow();
    child<ProductTableView>(*window, "productsTable")->clearSelection();
    EXPECT_FALSE(window->removeProductAction()->isEnabled());
    EXPECT_FALSE(window->attachmentActions()->attachFileAction()->isEnabled());
    EXPECT_FALSE(window->productActions()->copySerialAction()->isEnabled()); // nothing to copy from

    ASSERT_TRUE(window->selectProduct(m_second)); // no serial number
    EXPECT_TRUE(window->removeProductAction()->isEnabled());
    EXPECT_FALSE(window->productActions()->copySerialAction()->isEnabled());

    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("shell-note.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("note");
    file.close();
    ASSERT_TRUE(m_controller->attachDocumentsToSelectedProduct({path}, true));
    m_controller->waitForAttachmentImports();
    QCoreApplication::processEvents();
    ASSERT_EQ(child<QTabWidget>(*window, "productTabs")->currentWidget(),
              child<AttachmentListView>(*window, "attachmentsView"));
    ASSERT_EQ(child<AttachmentListView>(*window, "attachmentsView")->selectedAttachments().size(), 1);
    EXPECT_TRUE(window->attachmentActions()->removeAttachmentAction()->isEnabled());
    EXPECT_TRUE(child<QAction>(*window, "openAttachedFileWindow")->isEnabled());
    EXPECT_FALSE(child<QAction>(*window, "scanEmail")->isEnabled());

    child<QTabWidget>(*window, "productTabs")->setCurrentIndex(1); // a page of fields
    EXPECT_FALSE(window->attachmentActions()->removeAttachmentAction()->isEnabled());
    EXPECT_FALSE(child<QAction>(*window, "exportSelectedAttachments")->isEnabled());
    QFile::remove(path);
}

TEST_F(MainWindowShellTest, MenusCarryLocateSyncAndTheWindowList)
{
    auto window = openWindow();
    QMenu* product = topMenu(*window, QStringLiteral("Product"));
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->actions().value(1), window->productActions()->locateAction());
    EXPECT_EQ(window->productActions()->locateAction()->text(), QStringLiteral("Locate App"));
    QMenu* file = topMenu(*window, QStringLiteral("File"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->actions().value(4), window->importApplicationMenu()->discoverSoftwareAction());
    EXPECT_EQ(file->actions().value(5), window->syncAction());

    window->windowMenu()->rebuild();
    const QStringList items = menuTexts(child<QMenu>(*window, "windowMenu"));
    EXPECT_EQ(items.value(0), QStringLiteral("Minimize"));
    EXPECT_TRUE(items.contains(QStringLiteral("Keymoor")));
}

TEST_F(MainWindowShellTest, ArrowsMoveASingleSelectionAndStopAtTheEnds)
{
    auto window = openWindow();
    QApplication::setActiveWindow(window.get());
    ProductTableView* table = child<ProductTableView>(*window, "productsTable");
    table->setFocus();
    window->selectFirstProduct();
    const QList<ProductEntity*> first = window->selectedProducts();

    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(window->selectedProducts(), first);
    QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(window->selectedProducts().size(), 1);
    EXPECT_EQ(window->productListModel()->rowOf(window->selectedProducts().first()), 1);
    const int last = window->productListModel()->rowCount() - 1;
    for (int press = 0; press < last + 2; ++press) {
        QTest::keyClick(table, Qt::Key_Down);
    }
    ASSERT_EQ(window->selectedProducts().size(), 1);
    EXPECT_EQ(window->productListModel()->rowOf(window->selectedProducts().first()), last);
}

TEST_F(MainWindowShellTest, RightClickOutsideTheSelectionSelectsOnlyThatRow)
{
    auto window = openWindow();
    ProductTableView* table = child<ProductTableView>(*window, "productsTable");
    table->selectAll();
    const int count = window->productListModel()->rowCount();
    ASSERT_EQ(window->selectedProducts().size(), count);
    EXPECT_FALSE(window->removeProductAction()->isEnabled()) << "Keymoor's own record is among them";
    EXPECT_FALSE(window->productActions()->copySerialAction()->isEnabled()) << "whose serial?";
    rightPress(table, 1);
    EXPECT_EQ(window->selectedProducts().size(), count); // inside the selection: kept

    table->selectRow(0);
    rightPress(table, 2);
    ASSERT_EQ(window->selectedProducts().size(), 1);
    EXPECT_EQ(window->productListModel()->rowOf(window->selectedProducts().first()), 2);
    QMenu menu;
    table->fillContextMenu(&menu);
    EXPECT_TRUE(menu.actions().contains(window->removeProductAction()));
    EXPECT_TRUE(menu.actions().contains(window->productActions()->copySerialAction()));
}

TEST_F(MainWindowShellTest, AWiderWindowWidensTheListTooAndNoPaneCollapses)
{
    auto window = openWindow();
    window->setMinimumSize(0, 0);
    window->resize(1040, 720);
    QSplitter* splitter = child<QSplitter>(*window, "sourceListSplitter");
    splitter->setSizes({300, 700});
    QCoreApplication::processEvents();
    const int listWidth = splitter->sizes().at(0);

    window->resize(1600, 720);
    QCoreApplication::processEvents();
    EXPECT_GT(splitter->sizes().at(0), listWidth);

    window->resize(500, 720);
    QCoreApplication::processEvents();
    EXPECT_GE(splitter->sizes().at(1), 350);
    EXPECT_GE(splitter->sizes().at(0), 100);

    splitter->setSizes({0, 1000}); // no pane collapses
    EXPECT_GE(splitter->sizes().at(0), 100);
}

TEST_F(MainWindowShellTest, IconWellFramesAnAcceptedDragAndTheListShowsTheDroppedIcon)
{
    auto window = openWindow();
    ASSERT_TRUE(window->selectProduct(m_second));
    ProductIconWell* well = child<ProductDetailView>(*window, "detailView")->iconWell();
    QImage picture(20, 20, QImage::Format_ARGB32);
    picture.fill(Qt::darkRed);
    QMimeData data;
    data.setImageData(picture);

    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(well, &enter);
    EXPECT_TRUE(well->isHighlighted());
    const QImage framed = well->grab().toImage();
    EXPECT_EQ(framed.pixelColor(2, well->height() / 2), well->palette().color(QPalette::Highlight));
    QDragLeaveEvent leave;
    QApplication::sendEvent(well, &leave);
    EXPECT_FALSE(well->isHighlighted());

    QApplication::sendEvent(well, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(well, &drop);
    EXPECT_FALSE(well->isHighlighted());
    QCoreApplication::processEvents();
    const ProductListModel* model = window->productListModel();
    const QIcon listed
        = model->index(model->rowOf(m_second), ProductListModel::TitleColumn).data(Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(listed.isNull());
    EXPECT_EQ(listed.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::darkRed));
}

} // namespace
