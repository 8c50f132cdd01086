#include "UiTestLibrary.h"
#include "support/WidgetLookup.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowState.h"
#include "ui/ProductCellDelegate.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductIconWell.h"
#include "ui/ProductListColumns.h"
#include "ui/ProductListModel.h"
#include "ui/ProductSummaryView.h"
#include "ui/ProductTableView.h"
#include "ui/StatusBarCount.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class MainWindowLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        m_alpha = UiTestLibrary::addProduct(m_context, QStringLiteral("Alpha"), QStringLiteral("2.1"),
                                            QStringLiteral("A-1"));
        m_beta = UiTestLibrary::addProduct(m_context, QStringLiteral("Beta"), QStringLiteral("12.0"));
        m_beta->setCommentsString(QStringLiteral("bought at the winter sale"));
        m_gamma = UiTestLibrary::addProduct(m_context, QStringLiteral("Gamma"), QStringLiteral("10.3"));
        ASSERT_TRUE(m_controller->saveAction());
    }

    std::unique_ptr<MainWindow> openWindow()
    {
        auto window = std::make_unique<MainWindow>(m_controller.get());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    static QStringList titles(const ProductListModel& model)
    {
        QStringList found;
        for (const ProductEntity* product : model.products()) {
            if (product->title() != u"Keymoor") {
                found.append(product->title());
            }
        }
        return found;
    }

    static QWidget* tabFrom(QWidget* widget)
    {
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Tab);
        return QApplication::focusWidget();
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    Persistence::ObjectContext* m_context = nullptr;
    ProductEntity* m_alpha = nullptr;
    ProductEntity* m_beta = nullptr;
    ProductEntity* m_gamma = nullptr;
};

TEST_F(MainWindowLayoutTest, TabGoesFromTheListThroughSearchAndSummaryToTheFieldsAndBack)
{
    auto window = openWindow();
    ASSERT_TRUE(window->selectProduct(m_alpha));
    auto* table = child<ProductTableView>(*window, "productsTable");
    auto* tabs = child<QTabWidget>(*window, "productTabs");
    auto* detail = child<ProductDetailView>(*window, "detailView");

    EXPECT_EQ(tabFrom(table), window->searchField()); // not the next cell of the list
    EXPECT_EQ(tabFrom(window->searchField()), window->summaryView()->copySerialButton());
    QWidget* afterSummary = tabFrom(window->summaryView()->copySerialButton());
    EXPECT_TRUE(afterSummary == tabs || tabs->isAncestorOf(afterSummary));

    tabs->setCurrentIndex(tabs->count() - 1); // the notes
    EXPECT_EQ(tabFrom(detail->editorForKey(QStringLiteral("comments"))), table);
}

TEST_F(MainWindowLayoutTest, TheAttachmentsComeFirstAndTheNotesFillTheirPage)
{
    auto window = openWindow();
    auto* tabs = child<QTabWidget>(*window, "productTabs");
    EXPECT_EQ(tabs->widget(0)->objectName(), QStringLiteral("attachmentsView"));
    EXPECT_EQ(tabs->widget(tabs->count() - 1),
              child<ProductDetailView>(*window, "detailView")->editorForKey(QStringLiteral("comments")));
    EXPECT_EQ(window->summaryView()->height(), ProductSummaryView::FixedHeight);
}

TEST_F(MainWindowLayoutTest, SearchLooksAtNotesCountsMatchesAndItsKeysClearOrEnterTheResults)
{
    auto window = openWindow();
    ASSERT_TRUE(window->selectProduct(m_alpha));
    QLineEdit* search = window->searchField();
    const int total = window->productListModel()->totalCount();

    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("WINTER"));
    EXPECT_EQ(titles(*window->productListModel()), QStringList {QStringLiteral("Beta")});
    EXPECT_EQ(window->countBar()->text(), QStringLiteral("1 of %1 products").arg(total));

    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), child<ProductTableView>(*window, "productsTable"));
    EXPECT_EQ(window->selectedProducts(), QList<ProductEntity*> {m_beta});

    search->setFocus();
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(window->countBar()->text(), QStringLiteral("%1 products").arg(total));
    EXPECT_EQ(window->selectedProducts(), QList<ProductEntity*> {m_beta}); // kept when the filter clears

    search->setText(QStringLiteral("no such product"));
    QTest::keyClick(search, Qt::Key_Down); // nothing to enter: the cursor stays
    EXPECT_EQ(QApplication::focusWidget(), search);
}

TEST_F(MainWindowLayoutTest, FindReachesTheSearchField)
{
    auto window = openWindow();
    child<ProductTableView>(*window, "productsTable")->setFocus();
    window->searchField()->setText(QStringLiteral("al"));
    window->focusSearchField();
    EXPECT_EQ(QApplication::focusWidget(), window->searchField());
    EXPECT_EQ(window->searchField()->selectedText(), QStringLiteral("al"));
}

TEST_F(MainWindowLayoutTest, SeveralSelectedProductsAreCountedNotEdited)
{
    auto window = openWindow();
    auto* table = child<ProductTableView>(*window, "productsTable");
    auto* detail = child<ProductDetailView>(*window, "detailView");
    ASSERT_TRUE(window->selectProduct(m_alpha));
    EXPECT_EQ(detail->product(), m_alpha);
    EXPECT_EQ(window->summaryView()->titleText(), QStringLiteral("Alpha"));

    const QModelIndex beta = window->productListModel()->index(window->productListModel()->rowOf(m_beta), 0);
    table->selectionModel()->select(beta, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(window->summaryView()->titleText(), QStringLiteral("2 products selected"));
    EXPECT_EQ(detail->product(), nullptr);
    EXPECT_FALSE(child<QTabWidget>(*window, "productTabs")->isEnabled());

    ASSERT_TRUE(window->selectProduct(m_beta));
    EXPECT_EQ(window->summaryView()->titleText(), QStringLiteral("Beta"));
    EXPECT_TRUE(child<QTabWidget>(*window, "productTabs")->isEnabled());
}

TEST_F(MainWindowLayoutTest, NewProductShowsItsTitleField)
{
    auto window = openWindow();
    auto* tabs = child<QTabWidget>(*window, "productTabs");
    tabs->setCurrentIndex(0);
    window->addProduct();
    QWidget* title = child<ProductDetailView>(*window, "detailView")->editorForKey(QStringLiteral("title"));
    EXPECT_TRUE(title->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), title);
}

TEST_F(MainWindowLayoutTest, WindowArrangementColumnsAndTabComeBackInTheNextRun)
{
    QList<int> sizes;
    {
        auto window = openWindow();
        window->resize(1100, 760);
        auto* splitter = child<QSplitter>(*window, "sourceListSplitter");
        splitter->setSizes({520, 580});
        sizes = splitter->sizes();
        QMenu menu;
        window->listColumns()->fillMenu(&menu);
        ASSERT_FALSE(menu.actions().isEmpty());
        menu.actions().first()->trigger(); // shows the version column
        child<QTabWidget>(*window, "productTabs")->setCurrentIndex(2);
        window->saveWindowState();
    }
    auto window = openWindow();
    QHeaderView* header = child<ProductTableView>(*window, "productsTable")->horizontalHeader();
    EXPECT_EQ(window->size(), QSize(1100, 760));
    EXPECT_EQ(child<QSplitter>(*window, "sourceListSplitter")->sizes(), sizes);
    EXPECT_FALSE(header->isSectionHidden(ProductListModel::VersionColumn));
    EXPECT_TRUE(header->isSectionHidden(ProductListModel::SerialColumn));
    EXPECT_EQ(child<QTabWidget>(*window, "productTabs")->currentIndex(), 2);
}

TEST_F(MainWindowLayoutTest, VersionsSortByTheirNumbersBothWays)
{
    ProductListModel model(m_context, m_controller->userPrefs());
    model.sort(ProductListModel::VersionColumn, Qt::AscendingOrder);
    EXPECT_EQ(titles(model), (QStringList {QStringLiteral("Alpha"), QStringLiteral("Gamma"), QStringLiteral("Beta")}));
    model.sort(ProductListModel::VersionColumn, Qt::DescendingOrder);
    EXPECT_EQ(titles(model), (QStringList {QStringLiteral("Beta"), QStringLiteral("Gamma"), QStringLiteral("Alpha")}));
}

TEST(ProductIconWellDrop, TheFirstOfSeveralFilesBecomesTheIcon)
{
    ProductIconWell well;
    QSignalSpy files(&well, &ProductIconWell::fileDropped);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/first.png")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/second.png"))});
    well.show();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&well, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&well, &drop);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first().first().toString(), QStringLiteral("/tmp/first.png"));
}

// Rows of the products list as the list would see them at 100,000 products.
class ManyRowsModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 100000; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole) {
            return QStringLiteral("Product %1").arg(index.row());
        }
        return role == ProductListModel::SecondaryTextRole ? QVariant(QStringLiteral("1.0 \u2014 Publisher"))
                                                           : QVariant();
    }
};

TEST(ProductCellDelegateRows, AHundredThousandRowsMakeNoWidgets)
{
    ManyRowsModel model;
    ProductTableView view;
    view.setModel(&model);
    view.setItemDelegateForColumn(0, new ProductCellDelegate(&view));
    view.resize(400, 600);
    view.show();
    QCoreApplication::processEvents();
    const qsizetype before = view.findChildren<QWidget*>().size();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    view.scrollToBottom();
    view.viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(view.findChildren<QWidget*>().size(), before);
    EXPECT_EQ(view.viewport()->findChildren<QWidget*>().size(), 0);
}

} // namespace
