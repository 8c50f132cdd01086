#include "ui/SpendingWindow.h"

#include "UiTestLibrary.h"
#include "support/ScriptedUserInterface.h"
#include "support/WidgetLookup.h"
#include "ui/MainWindow.h"
#include "ui/WindowMenu.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTableWidget>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include <gtest/gtest.h>

namespace {

class SpendingWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        buy(QStringLiteral("Editor"), "29.95", QStringLiteral("$"), 2019);
        buy(QStringLiteral("Fonts"), "20", QStringLiteral("€"), 2019);
        buy(QStringLiteral("Compiler"), "70", QStringLiteral("$"), 2020);
        ASSERT_TRUE(m_controller->saveAction());
    }

    ProductEntity* buy(const QString& title, const char* price, const QString& currency, int year)
    {
        ProductEntity* product = UiTestLibrary::addProduct(m_context, title);
        product->setPurchaseCurrency(currency);
        product->setPurchasePrice(Persistence::Decimal::fromString(QString::fromLatin1(price)));
        product->setPurchaseDate(QDateTime(QDate(year, 3, 1), QTime(12, 0)));
        return product;
    }

    static QStringList tableLines(const QTableWidget* table)
    {
        QStringList lines;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column) {
                cells.append(table->item(row, column)->text());
            }
            lines.append(cells.join(u' '));
        }
        return lines;
    }

    // "currency: bar per year" for every bar set of the chart.
    static QStringList bars(const QChartView* view)
    {
        QStringList sets;
        const QList<QAbstractSeries*> series = view->chart()->series();
        if (series.size() != 1) {
            return {QStringLiteral("%1 series").arg(series.size())};
        }
        for (const QBarSet* set : static_cast<QBarSeries*>(series.first())->barSets()) {
            QStringList values;
            for (int index = 0; index < set->count(); ++index) {
                values.append(QString::number(set->at(index)));
            }
            sets.append(set->label() + QStringLiteral(": ") + values.join(u' '));
        }
        return sets;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    Persistence::ObjectContext* m_context = nullptr;
};

} // namespace

TEST_F(SpendingWindowTest, WindowMenuOpensOneWindowFilledFromTheLibrary)
{
    MainWindow main(m_controller.get());
    main.windowMenu()->rebuild();
    auto* item = child<QMenu>(main, "windowMenu")->findChild<QAction*>(QStringLiteral("showSpending"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Spending"));
    item->trigger();
    item->trigger();
    const QList<SpendingWindow*> windows = main.findChildren<SpendingWindow*>();
    ASSERT_EQ(windows.size(), 1) << "choosing it again brings the same window forward";
    SpendingWindow* window = windows.first();
    EXPECT_TRUE(window->isVisible());

    // Keymoor's own record, bought today, has no price and makes the last year.
    const QStringList lines = tableLines(child<QTableWidget>(*window, "spendingTable"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3),
              QStringList({QStringLiteral("2019 EUR 20.00 1 0.00"), QStringLiteral("2019 USD 29.95 1 0.00"),
                           QStringLiteral("2020 USD 70.00 1 0.00")}));
    const QString thisYear = QString::number(QDate::currentDate().year());
    EXPECT_EQ(lines[3], thisYear + QStringLiteral(" USD 0.00 1 0.00"));
    // One bar set per currency, one bar per year; no year of a currency is a bar of nothing.
    EXPECT_EQ(bars(child<QChartView>(*window, "spendingChart")),
              QStringList({QStringLiteral("EUR: 20 0 0"), QStringLiteral("USD: 29.95 70 0")}));
}

TEST_F(SpendingWindowTest, FollowsSavedChangesAndTheChosenGrouping)
{
    SpendingWindow window(m_controller.get());
    window.show();
    ProductEntity* cloud = buy(QStringLiteral("Cloud"), "10", QStringLiteral("$"), 2020);
    cloud->setRenewalPrice(Persistence::Decimal::fromString(QStringLiteral("5")));
    cloud->setRenewalPeriodMonths(1);
    ASSERT_TRUE(m_controller->saveAction());
    const auto* table = child<QTableWidget>(window, "spendingTable");
    EXPECT_TRUE(tableLines(table).contains(QStringLiteral("2020 USD 80.00 2 60.00"))) << "refilled after the save";

    child<QComboBox>(window, "spendingGrouping")->setCurrentIndex(2); // by currency
    EXPECT_EQ(tableLines(table),
              QStringList({QStringLiteral("EUR EUR 20.00 1 0.00"), QStringLiteral("USD USD 109.95 4 60.00")}));
    // The chart stays per year whatever the table shows.
    EXPECT_EQ(bars(child<QChartView>(window, "spendingChart")).value(1), QStringLiteral("USD: 29.95 80 0"));
}
