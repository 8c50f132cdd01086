#include "UiTestLibrary.h"
#include "support/WidgetLookup.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesController.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductTableView.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DetailKeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_product = UiTestLibrary::addProduct(m_controller->managedObjectContext(), QStringLiteral("Alpha"),
                                              QStringLiteral("2.1"), QStringLiteral("A-1"));
        m_window = std::make_unique<MainWindow>(m_controller.get());
        m_window->resize(1024, 700);
        m_window->show();
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        ASSERT_TRUE(m_window->selectProduct(m_product));
        m_tabs = child<QTabWidget>(*m_window, "productTabs");
        m_table = child<ProductTableView>(*m_window, "productsTable");
    }

    // The widgets Tab visits after `start`, by object name, up to and including the product list.
    std::string tabWalk(QWidget* start)
    {
        start->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int step = 0; step < 40; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (!focus) {
                visited.append(QStringLiteral("<nothing>"));
                break;
            }
            visited.append(focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                                         : focus->objectName());
            if (focus == m_table) {
                break;
            }
            EXPECT_TRUE(focus->isVisible()) << "Tab went to the hidden " << visited.last().toStdString();
        }
        return visited.join(QLatin1Char(' ')).toStdString();
    }

    // Focusable controls whose accessible name is empty. Parts of a control (the text field of a
    // spin or combo box) and widgets that hand their focus to another are named by that control.
    static std::string unnamedControls(const QWidget& window)
    {
        QStringList unnamed;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() || widget->window() != &window) {
                continue;
            }
            if (qobject_cast<QLineEdit*>(widget)
                && (qobject_cast<QAbstractSpinBox*>(widget->parentWidget())
                    || qobject_cast<QComboBox*>(widget->parentWidget()))) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
                unnamed.append(QStringLiteral("%1 \"%2\"")
                                   .arg(QLatin1String(widget->metaObject()->className()), widget->objectName()));
            }
        }
        return unnamed.join(QLatin1Char('\n')).toStdString();
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    ProductEntity* m_product = nullptr;
    std::unique_ptr<MainWindow> m_window;
    QTabWidget* m_tabs = nullptr;
    ProductTableView* m_table = nullptr;
};

} // namespace

TEST_F(DetailKeyboardTest, TabGoesFromTheTabBarThroughThePageShownAndBackToTheList)
{
    m_tabs->setCurrentIndex(1);
    EXPECT_EQ(tabWalk(m_tabs->tabBar()),
              "title productVersion publisher productWebsite productEmail bundleIdentifier productsTable");
    m_tabs->setCurrentIndex(3);
    EXPECT_EQ(tabWalk(m_tabs->tabBar()),
              "purchaseDate purchasePrice purchaseCurrency purchaseOrderNumber productsTable");
    // Every page starts at its first field and ends back in the list, never somewhere unseen.
    for (int page = 0; page < m_tabs->count(); ++page) {
        m_tabs->setCurrentIndex(page);
        const std::string walk = tabWalk(m_tabs->tabBar());
        EXPECT_TRUE(walk.ends_with("productsTable")) << "page " << page << ": " << walk;
        EXPECT_EQ(walk.find("<nothing>"), std::string::npos) << "page " << page << ": " << walk;
    }
    m_tabs->setCurrentIndex(m_tabs->count() - 1);
    EXPECT_EQ(tabWalk(m_tabs->tabBar()), "comments productsTable");
}

TEST_F(DetailKeyboardTest, ANewProductsTitleIsFocusedAndInViewFromAnyPage)
{
    m_tabs->setCurrentIndex(m_tabs->count() - 2); // the licence page, far from the title
    m_window->addProduct();
    auto* detail = child<ProductDetailView>(*m_window, "detailView");
    QWidget* title = detail->editorForKey(QStringLiteral("title"));
    EXPECT_EQ(QApplication::focusWidget(), title);
    EXPECT_TRUE(title->isVisible());
    EXPECT_FALSE(title->visibleRegion().isEmpty());
}

TEST_F(DetailKeyboardTest, EveryFocusableControlHasAnAccessibleName)
{
    EXPECT_EQ(unnamedControls(*m_window), "");

    PreferencesController* preferences = m_window->preferencesController();
    preferences->showWindow();
    for (const QString& pane : PreferencesController::paneIdentifiers()) {
        preferences->setActiveViewByIdentifier(pane);
        EXPECT_EQ(unnamedControls(*preferences->window()), "") << pane.toStdString();
    }
}
