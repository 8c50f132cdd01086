#include "ui/MainWindow.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "support/WidgetLookup.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductListModel.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    QLineEdit* titleField(MainWindow& window)
    {
        return qobject_cast<QLineEdit*>(
            child<ProductDetailView>(window, "detailView")->editorForKey(QStringLiteral("title")));
    }

    QStringList listedTitles(MainWindow& window)
    {
        QStringList titles;
        const ProductListModel* model = window.productListModel();
        for (int row = 0; row < model->rowCount(); ++row) {
            titles.append(model->index(row, ProductListModel::TitleColumn).data().toString());
        }
        return titles;
    }

    // Types into the title field and finishes the edit with Return, as a person would.
    void retitle(MainWindow& window, const QString& title)
    {
        QLineEdit* field = titleField(window);
        field->selectAll();
        QTest::keyClicks(field, title);
        QTest::keyClick(field, Qt::Key_Return);
        QCoreApplication::processEvents(); // the list follows edits on the next pass of the loop
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
};

TEST_F(MainWindowTest, TitleTypedBeforeQuittingIsThereAfterRestart)
{
    {
        auto controller = m_library.start(&m_ui);
        MainWindow window(controller.get());
        window.show();
        window.addProduct();
        ASSERT_EQ(window.selectedProducts().size(), 1);
        EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("New Item"));
        EXPECT_EQ(titleField(window)->selectedText(), QStringLiteral("New Item"));

        // Typed but never finished: quitting must still save it.
        QTest::keyClicks(titleField(window), QStringLiteral("Photon Editor"));
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
    }
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    EXPECT_TRUE(listedTitles(window).contains(QStringLiteral("Photon Editor")));
    EXPECT_FALSE(listedTitles(window).contains(QStringLiteral("New Item")));
    EXPECT_EQ(m_ui.unscriptedCalls(), 0);
}

TEST_F(MainWindowTest, UndoAndRedoOfATitleEditReachFormAndList)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    window.show();
    window.addProduct();
    retitle(window, QStringLiteral("Alpha Draw"));
    ASSERT_TRUE(listedTitles(window).contains(QStringLiteral("Alpha Draw")));
    EXPECT_TRUE(child<QAction>(window, "undoAction")->isEnabled());
    EXPECT_FALSE(child<QAction>(window, "redoAction")->isEnabled());

    child<QAction>(window, "undoAction")->trigger();
    EXPECT_EQ(titleField(window)->text(), QStringLiteral("New Item"));
    EXPECT_TRUE(listedTitles(window).contains(QStringLiteral("New Item")));
    EXPECT_FALSE(listedTitles(window).contains(QStringLiteral("Alpha Draw")));
    EXPECT_TRUE(child<QAction>(window, "redoAction")->isEnabled());

    child<QAction>(window, "redoAction")->trigger();
    EXPECT_EQ(titleField(window)->text(), QStringLiteral("Alpha Draw"));
    EXPECT_TRUE(listedTitles(window).contains(QStringLiteral("Alpha Draw")));
    ASSERT_EQ(window.selectedProducts().size(), 1);
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Alpha Draw"));
}

TEST_F(MainWindowTest, UndoingAnAddedProductEmptiesTheFormInsteadOfEditingAGhost)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    window.show();
    const int before = window.productListModel()->rowCount();
    window.addProduct();
    ASSERT_EQ(window.productListModel()->rowCount(), before + 1);

    window.undo();
    EXPECT_EQ(window.productListModel()->rowCount(), before);
    EXPECT_EQ(child<ProductDetailView>(window, "detailView")->product(), nullptr);
    EXPECT_FALSE(titleField(window)->isEnabled());
}

TEST_F(MainWindowTest, EditedTitleMovesInTheListAndKeepsItsSelection)
{
    auto controller = m_library.start(&m_ui);
    UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Beta"));
    UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Delta"));
    MainWindow window(controller.get());
    window.show();
    window.selectFirstProduct();
    ASSERT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Beta"));

    retitle(window, QStringLiteral("Zeta"));
    EXPECT_EQ(listedTitles(window),
              (QStringList {QStringLiteral("Delta"), QStringLiteral("Keymoor"), QStringLiteral("Zeta")}));
    ASSERT_EQ(window.selectedProducts().size(), 1);
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Zeta"));
}

TEST_F(MainWindowTest, RemovingAsksFirstAndNeverRemovesKeymoorsOwnRecord)
{
    auto controller = m_library.start(&m_ui);
    ProductEntity* victim = UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Old Tool"));
    MainWindow window(controller.get());
    window.show();

    ASSERT_TRUE(window.selectProduct(controller->ownProduct()));
    window.removeSelectedProducts();
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().last().title, localizedString(QStringLiteral("DeleteKeymoor")));
    EXPECT_TRUE(listedTitles(window).contains(QStringLiteral("Keymoor")));

    ASSERT_TRUE(window.selectProduct(victim));
    m_ui.queueAlertAnswer(1); // Cancel
    window.removeSelectedProducts();
    EXPECT_TRUE(listedTitles(window).contains(QStringLiteral("Old Tool")));

    m_ui.queueAlertAnswer(0); // Delete, this time with the Delete key in the list
    QApplication::setActiveWindow(&window);
    child<ProductTableView>(window, "productsTable")->setFocus();
    QTest::keyClick(child<ProductTableView>(window, "productsTable"), Qt::Key_Delete);
    EXPECT_EQ(m_ui.alerts().size(), 3);
    EXPECT_EQ(listedTitles(window), QStringList {QStringLiteral("Keymoor")});
    EXPECT_EQ(window.selectedProducts(), QList<ProductEntity*> {controller->ownProduct()});
    EXPECT_EQ(m_ui.pendingAnswers(), 0);
}

TEST_F(MainWindowTest, SearchNarrowsTheListAndANewProductClearsIt)
{
    auto controller = m_library.start(&m_ui);
    UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Sketch Pad"), {}, "SK-1");
    UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Mail Sorter"), {}, "MS-2");
    MainWindow window(controller.get());
    window.show();
    window.selectFirstProduct();
    ASSERT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Keymoor"));

    // The selected product is hidden: the first match takes its place in the list and the form.
    window.searchField()->setText(QStringLiteral("ms-2"));
    EXPECT_EQ(listedTitles(window), QStringList {QStringLiteral("Mail Sorter")});
    ASSERT_EQ(window.selectedProducts().size(), 1);
    EXPECT_EQ(child<ProductDetailView>(window, "detailView")->product(), window.selectedProducts().first());
    // A selection the search keeps stays as it is.
    window.searchField()->setText(QStringLiteral("m"));
    EXPECT_EQ(listedTitles(window), (QStringList {QStringLiteral("Keymoor"), QStringLiteral("Mail Sorter")}));
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Mail Sorter"));

    window.newProductAction()->trigger();
    EXPECT_TRUE(window.searchField()->text().isEmpty());
    EXPECT_EQ(listedTitles(window).size(), 4);
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("New Item"));
}

TEST_F(MainWindowTest, ALibraryHeldElsewhereOpensADisabledWindow)
{
    auto holder = m_library.start(&m_ui);
    ASSERT_NE(holder->managedObjectContext(), nullptr);

    ScriptedUserInterface secondUi;
    auto second = m_library.start(&secondUi);
    ASSERT_EQ(second->managedObjectContext(), nullptr);
    MainWindow window(second.get());
    window.show();
    EXPECT_EQ(window.productListModel()->rowCount(), 0);
    EXPECT_FALSE(child<ProductTableView>(window, "productsTable")->isEnabled());
    EXPECT_FALSE(window.newProductAction()->isEnabled());
    window.addProduct();
    window.undo();
    EXPECT_TRUE(window.close()); // nothing to save: quitting is allowed at once
}

} // namespace
