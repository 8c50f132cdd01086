// The window's licence filters: the "Due Soon" and "Expired" buttons narrow the list together with
// the search, the status bar counts the due products, and the list shows each next licence date.
#include "UiTestLibrary.h"
#include "support/WidgetLookup.h"
#include "ui/LicenceFilterBar.h"
#include "ui/MainWindow.h"
#include "ui/ProductListModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class LicenceFiltersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        Persistence::ObjectContext* context = m_controller->managedObjectContext();
        ASSERT_NE(context, nullptr);
        const QDate today = QDate::currentDate();
        UiTestLibrary::addProduct(context, QStringLiteral("Soon Editor"), "1")->setExpiryDate(today.addDays(5));
        UiTestLibrary::addProduct(context, QStringLiteral("Soon Mailer"), "1")->setExpiryDate(today.addDays(20));
        UiTestLibrary::addProduct(context, QStringLiteral("Gone Editor"), "1")->setExpiryDate(today.addDays(-2));
        UiTestLibrary::addProduct(context, QStringLiteral("Far Editor"), "1")->setExpiryDate(today.addDays(200));
        ProductEntity* archived = UiTestLibrary::addProduct(context, QStringLiteral("Old Editor"), "1");
        archived->setExpiryDate(today.addDays(-30));
        archived->setArchived(true);
    }

    static QStringList listed(const MainWindow& window)
    {
        QStringList titles;
        for (const ProductEntity* product : window.productListModel()->products()) {
            titles.append(product->title());
        }
        titles.sort();
        return titles;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
};

} // namespace

TEST_F(LicenceFiltersTest, ButtonsNarrowTheListTogetherWithTheSearch)
{
    MainWindow window(m_controller.get());
    window.show();
    QToolButton* dueSoon = window.searchArea()->dueSoonButton();
    QToolButton* expired = window.searchArea()->expiredButton();
    ASSERT_EQ(listed(window).size(), 6) << "Keymoor's own record and the five products";

    dueSoon->click();
    EXPECT_EQ(listed(window), (QStringList {"Soon Editor", "Soon Mailer"}));
    QTest::keyClicks(window.searchField(), QStringLiteral("editor"));
    EXPECT_EQ(listed(window), (QStringList {"Soon Editor"}));
    expired->click();
    EXPECT_EQ(listed(window), (QStringList {"Gone Editor", "Soon Editor"})) << "both: either one";
    dueSoon->click();
    EXPECT_EQ(listed(window), (QStringList {"Gone Editor"})) << "archived products never show as expired";
    window.searchField()->clear();
    expired->click();
    EXPECT_EQ(listed(window).size(), 6);
}

TEST_F(LicenceFiltersTest, TheStatusBarCountsDueProductsAndTheListShowsTheirDates)
{
    MainWindow window(m_controller.get());
    window.show();
    QStringList texts;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>()) {
        texts.append(label->text());
    }
    EXPECT_TRUE(texts.filter(QStringLiteral("3 due")).size() == 1) << texts.join(u'|').toStdString();
    EXPECT_EQ(window.productListModel()->dueCount(), 3);

    const ProductListModel* model = window.productListModel();
    QHash<QString, QString> dueColumn;
    for (int row = 0; row < model->rowCount(); ++row) {
        dueColumn.insert(model->product(row)->title(),
                         model->index(row, ProductListModel::DueColumn).data().toString());
    }
    EXPECT_EQ(dueColumn.value(QStringLiteral("Far Editor")), QDate::currentDate().addDays(200).toString(Qt::ISODate));
    EXPECT_EQ(dueColumn.value(QStringLiteral("Gone Editor")), QDate::currentDate().addDays(-2).toString(Qt::ISODate));
    EXPECT_TRUE(dueColumn.value(QStringLiteral("Keymoor")).isEmpty());
    EXPECT_TRUE(dueColumn.value(QStringLiteral("Old Editor")).isEmpty()) << "archived";
}

TEST_F(LicenceFiltersTest, AnEditedDateMovesAProductIntoTheFilter)
{
    ProductListModel model(m_controller->managedObjectContext(), m_controller->userPrefs());
    model.setLicenceFilters({false, true});
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_TRUE(model.dependsOnKey(QStringLiteral("expiryDate")));
    EXPECT_TRUE(model.dependsOnKey(QStringLiteral("archived")));
    model.setLicenceFilters({});
    const auto far = std::find_if(model.products().begin(), model.products().end(),
                                  [](const ProductEntity* product) { return product->title() == u"Far Editor"; });
    ASSERT_NE(far, model.products().end());
    (*far)->setExpiryDate(QDate::currentDate().addDays(-1));
    model.refresh();
    model.setLicenceFilters({false, true});
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.dueCount(), 4);
}
