#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "support/WidgetLookup.h"
#include "ui/EditMenuActions.h"
#include "ui/MainWindow.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductListModel.h"
#include "ui/ProductTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Edit > Undo and Redo named after their step, and Cut, Copy, Paste and Select All over the focused
// field or the products list, in a shown main window.
class EditMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        ASSERT_NE(m_delegate->managedObjectContext(), nullptr);
    }

    void openWindow()
    {
        m_window = std::make_unique<MainWindow>(m_delegate.get());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        // What the library's set-up did is no step the person could undo.
        m_delegate->managedObjectContext()->undoManager()->removeAllActions();
        refreshEditMenu();
    }

    QMenu* editMenu() const
    {
        for (QAction* action : m_window->menuBar()->actions()) {
            if (action->text() == localizedString(QStringLiteral("MainEditMenu"))) {
                return action->menu();
            }
        }
        ADD_FAILURE() << "no Edit menu";
        return nullptr;
    }

    // The menu updates its items when it opens.
    void refreshEditMenu() const { emit editMenu()->aboutToShow(); }

    QAction* action(const char* name) const { return child<QAction>(*m_window, name); }
    QString undoText() const { return action("undoAction")->text(); }
    QString redoText() const { return action("redoAction")->text(); }

    QLineEdit* field(const char* key) const
    {
        return qobject_cast<QLineEdit*>(
            child<ProductDetailView>(*m_window, "detailView")->editorForKey(QString::fromLatin1(key)));
    }
    ProductTableView* list() const { return child<ProductTableView>(*m_window, "productsTable"); }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(EditMenuTest, UndoAndRedoNameTheStepTheyWouldTake)
{
    openWindow();
    EXPECT_EQ(undoText(), QStringLiteral("&Undo"));
    EXPECT_FALSE(action("undoAction")->isEnabled());
    EXPECT_EQ(redoText(), QStringLiteral("&Redo"));

    m_window->addProduct();
    EXPECT_EQ(undoText(), QStringLiteral("&Undo New Product"));
    QLineEdit* title = field("title");
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("Photon Editor"));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Typing in Title"));
    QLineEdit* publisher = field("publisher");
    QTest::keyClicks(publisher, QStringLiteral("Photon Works"));
    m_window->undo(); // finishes the publisher edit first, then undoes it
    EXPECT_EQ(publisher->text(), QString());
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Typing in Title"));
    EXPECT_EQ(redoText(), QStringLiteral("&Redo Typing in Publisher"));

    m_window->undo();
    m_window->undo();
    EXPECT_EQ(m_window->productListModel()->rowCount(), 1); // Keymoor's own record only
    EXPECT_EQ(undoText(), QStringLiteral("&Undo"));
    EXPECT_FALSE(action("undoAction")->isEnabled());
    EXPECT_EQ(redoText(), QStringLiteral("&Redo New Product"));
}

TEST_F(EditMenuTest, DeletingSeveralProductsIsOneNamedStep)
{
    Persistence::ObjectContext* context = m_delegate->managedObjectContext();
    QList<ProductEntity*> products;
    for (const char* title : {"Ant", "Bee", "Cat"}) {
        products.append(UiTestLibrary::addProduct(context, QString::fromLatin1(title)));
    }
    openWindow();
    const int before = m_window->productListModel()->rowCount();
    QItemSelectionModel* selection = list()->selectionModel();
    selection->clearSelection();
    for (ProductEntity* product : products) {
        const QModelIndex index = m_window->productListModel()->index(m_window->productListModel()->rowOf(product), 0);
        selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    m_ui.queueAlertAnswer(1); // cancelled: no step, and no name left behind for the next one
    m_window->removeSelectedProducts();
    refreshEditMenu();
    EXPECT_EQ(undoText(), QStringLiteral("&Undo"));

    m_ui.queueAlertAnswer(0);
    m_window->removeSelectedProducts();
    refreshEditMenu();
    EXPECT_EQ(m_window->productListModel()->rowCount(), before - 3);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Delete 3 Products"));

    action("undoAction")->trigger();
    EXPECT_EQ(m_window->productListModel()->rowCount(), before);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo"));
    EXPECT_EQ(redoText(), QStringLiteral("&Redo Delete 3 Products"));
    action("redoAction")->trigger();
    EXPECT_EQ(m_window->productListModel()->rowCount(), before - 3);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Delete 3 Products"));
}

TEST_F(EditMenuTest, MenuHoldsTheClipboardItemsInTheUsualPlaces)
{
    openWindow();
    QStringList names;
    for (QAction* item : editMenu()->actions()) {
        names.append(item->isSeparator() ? QStringLiteral("-") : item->objectName());
    }
    EXPECT_EQ(names.mid(0, 8),
              (QStringList {QStringLiteral("undoAction"), QStringLiteral("redoAction"), QStringLiteral("-"),
                            QStringLiteral("cutAction"), QStringLiteral("copyAction"), QStringLiteral("pasteAction"),
                            QStringLiteral("-"), QStringLiteral("selectAllAction")}));
    EXPECT_EQ(action("pasteAction")->shortcut(), QKeySequence(QKeySequence::Paste));
    EXPECT_EQ(action("selectAllAction")->shortcut(), QKeySequence(QKeySequence::SelectAll));
}

TEST_F(EditMenuTest, ItemsFollowTheFocusedFieldAndTheClipboard)
{
    openWindow();
    m_window->addProduct(); // focuses the title with its text selected
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    QLineEdit* title = field("title");
    ASSERT_TRUE(title->hasFocus());
    refreshEditMenu();
    EXPECT_TRUE(action("cutAction")->isEnabled());
    EXPECT_TRUE(action("copyAction")->isEnabled());
    EXPECT_TRUE(action("pasteAction")->isEnabled());

    title->deselect();
    refreshEditMenu();
    EXPECT_FALSE(action("cutAction")->isEnabled());
    EXPECT_FALSE(action("copyAction")->isEnabled());
    action("selectAllAction")->trigger();
    EXPECT_EQ(title->selectedText(), QStringLiteral("New Item"));

    // Copy from the menu, then Cut and Paste from the menu into the notes.
    action("copyAction")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("New Item"));
    title->setReadOnly(true);
    refreshEditMenu();
    EXPECT_FALSE(action("cutAction")->isEnabled()); // nothing may be taken out of a read-only field
    EXPECT_FALSE(action("pasteAction")->isEnabled());
    EXPECT_TRUE(action("copyAction")->isEnabled());
    title->setReadOnly(false);

    auto* notes = qobject_cast<QPlainTextEdit*>(
        child<ProductDetailView>(*m_window, "detailView")->editorForKey(QStringLiteral("comments")));
    ASSERT_NE(notes, nullptr);
    auto* pages = child<QTabWidget>(*m_window, "productTabs");
    for (int page = 0; pages && page < pages->count(); ++page) {
        if (pages->widget(page)->isAncestorOf(notes)) {
            pages->setCurrentIndex(page);
        }
    }
    notes->setFocus();
    action("pasteAction")->trigger();
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("New Item"));

    QApplication::clipboard()->clear();
    refreshEditMenu();
    EXPECT_FALSE(action("pasteAction")->isEnabled());
}

TEST_F(EditMenuTest, CtrlVInTheTitlePastesOnce)
{
    openWindow();
    m_window->addProduct();
    QApplication::clipboard()->setText(QStringLiteral("Pasted"));
    QLineEdit* title = field("title");
    ASSERT_TRUE(title->hasFocus());
    QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier); // replaces the selected text
    EXPECT_EQ(title->text(), QStringLiteral("Pasted"));
    QTest::keyClick(title, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Pasted"));
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 1); // Ctrl+A stayed in the field
}

TEST_F(EditMenuTest, InTheListSelectAllTakesEveryRowAndCopyGivesTitlesAndSerials)
{
    Persistence::ObjectContext* context = m_delegate->managedObjectContext();
    UiTestLibrary::addProduct(context, QStringLiteral("Sketch Pad"), {}, QStringLiteral("SK-1\nSK-2"));
    UiTestLibrary::addProduct(context, QStringLiteral("Mail\tSorter"), {}, QStringLiteral("MS-2"));
    UiTestLibrary::addProduct(context, QStringLiteral("Blank Slate"));
    openWindow();
    m_window->selectFirstProduct();
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_window->selectedProducts().size(), m_window->productListModel()->rowCount());

    QItemSelectionModel* selection = list()->selectionModel();
    selection->clearSelection();
    for (int row = 0; row < m_window->productListModel()->rowCount(); ++row) {
        if (m_window->productListModel()->product(row)->title() != QStringLiteral("Keymoor")) {
            selection->select(m_window->productListModel()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    // In list order; a serial of several lines stays on its product's line.
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Blank Slate\t\nMail Sorter\tMS-2\nSketch Pad\tSK-1 SK-2\n"));
    EXPECT_FALSE(action("cutAction")->isEnabled());
    EXPECT_FALSE(action("pasteAction")->isEnabled());
}

} // namespace
