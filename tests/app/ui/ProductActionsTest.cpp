#include "ui/ProductActions.h"

#include "UiTestLibrary.h"
#include "desktop/DesktopLauncher.h"
#include "support/WidgetLookup.h"
#include "ui/MainWindow.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductIconWell.h"
#include "ui/ProductListModel.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

class RecordingLauncher : public DesktopLauncher
{
public:
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return true;
    }
    bool showItems(const QList<QUrl>&) override { return true; }
    QList<QUrl> opened;
};

class ProductActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_controller->setDesktopLauncher(&m_launcher);
        m_context = m_controller->managedObjectContext();
        m_product = UiTestLibrary::addProduct(m_context, QStringLiteral("Aardvark Editor"), QStringLiteral("2.0"));
        ASSERT_TRUE(m_controller->saveAction());
        m_window = std::make_unique<MainWindow>(m_controller.get());
        ASSERT_TRUE(m_window->selectProduct(m_product));
    }
    void TearDown() override
    {
        m_window.reset();
        m_controller.reset();
    }

    void drop(QWidget* target, QMimeData* data)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    RecordingLauncher m_launcher;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    Persistence::ObjectContext* m_context = nullptr;
    ProductEntity* m_product = nullptr;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(ProductActionsTest, ItemsFollowTheSelectedProductsValues)
{
    ProductActions* actions = m_window->productActions();
    actions->update();
    EXPECT_FALSE(actions->copySerialAction()->isEnabled());
    EXPECT_FALSE(child<QAction>(*m_window, "openWebsite")->isEnabled());

    m_product->setSerialNumber(QStringLiteral("AARD-0001"));
    m_product->setProductWebsite(QStringLiteral("aardvark.example/buy"));
    actions->update();
    actions->copySerialAction()->trigger();
    EXPECT_EQ(m_ui.clipboardText(), QStringLiteral("AARD-0001"));
    EXPECT_TRUE(m_ui.clipboardIsSensitive());
    child<QAction>(*m_window, "openWebsite")->trigger();
    EXPECT_EQ(m_launcher.opened, QList<QUrl> {QUrl(QStringLiteral("http://aardvark.example/buy"))});

    // Keymoor's own record is never launched, located or refreshed from a bundle.
    ProductEntity* own = m_controller->ownProduct();
    ASSERT_TRUE(m_window->selectProduct(own));
    actions->update();
    EXPECT_FALSE(child<QAction>(*m_window, "launchApplication")->isEnabled());
    EXPECT_FALSE(actions->locateAction()->isEnabled());
    const QString version = own->productVersion();
    actions->refreshAction()->trigger();
    EXPECT_EQ(own->productVersion(), version);
}

TEST_F(ProductActionsTest, ImageDroppedOnTheIconWellBecomesTheIconInFormAndList)
{
    QImage picture(30, 30, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    auto* data = new QMimeData;
    data->setImageData(picture);
    drop(child<ProductDetailView>(*m_window, "detailView")->iconWell(), data);

    ASSERT_NE(m_product->appIcon(), nullptr);
    QImage stored;
    stored.loadFromData(m_product->externalIcon());
    EXPECT_EQ(stored.pixelColor(256, 256), QColor(Qt::darkGreen));
    EXPECT_FALSE(child<ProductDetailView>(*m_window, "detailView")->iconWell()->pixmap().isNull());
    const ProductListModel* model = m_window->productListModel();
    const QModelIndex title = model->index(model->rowOf(m_product), ProductListModel::TitleColumn);
    EXPECT_FALSE(title.data(Qt::DecorationRole).value<QIcon>().isNull());
    m_window->productActions()->update();
    EXPECT_TRUE(child<QAction>(*m_window, "removeAppIcon")->isEnabled());
    delete data;
}

TEST_F(ProductActionsTest, RichTextNotesStayUntilEditedAndEditsAreUtf8)
{
    const QByteArray rtf("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Site licence\\par for ten seats}");
    m_product->setComments(rtf);
    child<ProductDetailView>(*m_window, "detailView")->setProduct(nullptr);
    child<ProductDetailView>(*m_window, "detailView")->setProduct(m_product);
    auto* notes = qobject_cast<QPlainTextEdit*>(
        child<ProductDetailView>(*m_window, "detailView")->editorForKey(QStringLiteral("comments")));
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("Site licence\nfor ten seats"));

    // Looking is no edit: the stored bytes stay as they are.
    child<ProductDetailView>(*m_window, "detailView")->commitEditing();
    EXPECT_EQ(m_product->comments(), rtf);

    notes->setPlainText(notes->toPlainText() + QStringLiteral(" \u2713"));
    notes->document()->setModified(true);
    child<ProductDetailView>(*m_window, "detailView")->commitEditing();
    EXPECT_EQ(m_product->comments(), QStringLiteral("Site licence\nfor ten seats \u2713").toUtf8());
}

} // namespace
