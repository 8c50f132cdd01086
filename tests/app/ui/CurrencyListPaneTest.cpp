#include "ui/CurrencyListPane.h"

#include "UiTestLibrary.h"
#include "persistence/UndoManager.h"
#include "support/ScriptedUserInterface.h"
#include "support/WidgetLookup.h"
#include "ui/CurrencyPaneList.h"
#include "ui/PreferencesController.h"
#include "ui/PreferencesPane.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

class CurrencyListPaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        ASSERT_TRUE(m_controller->saveAction());
        m_context->undoManager()->removeAllActions();
    }

    QStringList listed() const
    {
        QStringList texts;
        for (const CurrencyPaneList::Currency& currency : CurrencyPaneList(m_context, m_locale).currencies()) {
            texts.append(currency.code.isEmpty() ? currency.symbol : currency.symbol + u' ' + currency.code);
        }
        return texts;
    }

    // Runs an edit that must be refused, and checks that the message says `expected` and that the
    // list is as it was.
    template<typename Edit>
    void expectRefused(Edit edit, const QString& expected)
    {
        const QStringList before = listed();
        QString error;
        EXPECT_FALSE(edit(error));
        EXPECT_TRUE(error.contains(expected)) << error.toStdString() << " lacks " << expected.toStdString();
        EXPECT_EQ(listed(), before);
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    Persistence::ObjectContext* m_context = nullptr;
    QLocale m_locale {QLocale::English, QLocale::UnitedStates};
};

} // namespace

TEST_F(CurrencyListPaneTest, EditsAreCheckedAndEachIsOneUndoableChange)
{
    CurrencyPaneList list(m_context, m_locale);
    const QStringList defaults = listed();
    ASSERT_GE(defaults.size(), 4);
    EXPECT_EQ(defaults.first(), QStringLiteral("$ USD")) << "the default currencies carry their codes";

    QString error;
    ASSERT_TRUE(list.add(QStringLiteral(" cad "), QStringLiteral("cad"), &error)) << error.toStdString();
    EXPECT_EQ(listed().last(), QStringLiteral("CAD CAD")) << "a typed code is kept in capitals";
    EXPECT_EQ(list.guessedCode(QStringLiteral("£")), QStringLiteral("GBP"));

    const auto add = [&](const char* symbol, const char* code) {
        return [&list, symbol, code](QString& message) {
            return list.add(QString::fromUtf8(symbol), QString::fromUtf8(code), &message);
        };
    };
    expectRefused(add("  ", "USD"), QStringLiteral("symbol or code"));
    expectRefused(add("CAD", "CAD"), QStringLiteral("already in the list"));
    expectRefused(add("Gold", ""), QStringLiteral("ISO code"));
    expectRefused(add("Gold", "ZZQ"), QStringLiteral("\"ZZQ\" is no known"));
    expectRefused(add("C$", "CAD"), QStringLiteral("CAD is already the code of CAD"));
    const int last = int(listed().size()) - 1;
    expectRefused([&](QString& message) { return list.setCode(last, QStringLiteral("bananas"), &message); },
                  QStringLiteral("no known"));
    expectRefused([&](QString& message) { return list.move(0, -1, &message); }, QStringLiteral("cannot move"));
    expectRefused([&](QString& message) { return list.move(last, 1, &message); }, QStringLiteral("cannot move"));
    expectRefused([&](QString& message) { return list.remove(last + 1, &message); }, QStringLiteral("Choose"));

    // Products bought in a currency keep it in the list.
    for (const char* title : {"One", "Two"}) {
        UiTestLibrary::addProduct(m_context, QString::fromLatin1(title))->setPurchaseCurrency(QStringLiteral("CAD"));
    }
    expectRefused([&](QString& message) { return list.remove(last, &message); }, QStringLiteral("2 product(s)"));

    // Moving renumbers the order; undo takes back one whole edit at a time.
    ASSERT_TRUE(list.move(last, -1, &error));
    ASSERT_TRUE(list.setCode(0, QStringLiteral("usd"), &error));
    QStringList moved = defaults;
    moved.insert(moved.size() - 1, QStringLiteral("CAD CAD"));
    moved[0] = QStringLiteral("$ USD");
    EXPECT_EQ(listed(), moved);
    m_context->undo();
    m_context->undo();
    QStringList added = defaults;
    added.append(QStringLiteral("CAD CAD"));
    EXPECT_EQ(listed(), added);

    ASSERT_TRUE(list.remove(1, &error)) << "no product is bought in the second currency";
    EXPECT_EQ(listed().size(), added.size() - 1);
    m_context->undo();
    EXPECT_EQ(listed(), added);
}

TEST_F(CurrencyListPaneTest, GeneralPreferencesListAddAndEditCurrencies)
{
    PreferencesController preferences(*m_controller);
    PreferencesPane* general = preferences.pane(QString::fromLatin1(PreferencesController::GeneralPane));
    if (!general) {
        preferences.window();
        general = preferences.pane(QString::fromLatin1(PreferencesController::GeneralPane));
    }
    ASSERT_NE(general, nullptr);
    general->load();
    auto* pane = child<CurrencyListPane>(*general, "currencyList");
    auto* table = child<QTableWidget>(*pane, "currencyTable");
    ASSERT_EQ(table->rowCount(), listed().size());
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("$"));

    // The code is guessed as the symbol is typed and can be changed before adding.
    child<QLineEdit>(*pane, "currencyNewSymbol")->setText(QStringLiteral("£"));
    EXPECT_EQ(child<QLineEdit>(*pane, "currencyNewCode")->text(), QStringLiteral("GBP"));
    child<QLineEdit>(*pane, "currencyNewSymbol")->setText(QStringLiteral("C$"));
    child<QLineEdit>(*pane, "currencyNewCode")->setText(QStringLiteral("CAD"));
    child<QPushButton>(*pane, "currencyAdd")->click();
    const int added = table->rowCount() - 1;
    EXPECT_EQ(table->item(added, 0)->text(), QStringLiteral("C$"));
    EXPECT_EQ(table->currentRow(), added);
    EXPECT_TRUE(child<QLabel>(*pane, "currencyMessage")->text().isEmpty());

    child<QPushButton>(*pane, "currencyUp")->click();
    EXPECT_EQ(table->item(added - 1, 0)->text(), QStringLiteral("C$"));
    EXPECT_EQ(table->currentRow(), added - 1);

    // A code typed into the list is checked; a refused one shows why and the cell goes back.
    table->item(added - 1, 1)->setText(QStringLiteral("xyz"));
    EXPECT_TRUE(child<QLabel>(*pane, "currencyMessage")->text().contains(QStringLiteral("XYZ")));
    EXPECT_EQ(table->item(added - 1, 1)->text(), QStringLiteral("CAD"));
    table->item(0, 1)->setText(QStringLiteral("usd"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("USD"));
    EXPECT_EQ(listed().first(), QStringLiteral("$ USD"));

    table->selectRow(0);
    UiTestLibrary::addProduct(m_context, QStringLiteral("Editor"))->setPurchaseCurrency(QStringLiteral("$"));
    child<QPushButton>(*pane, "currencyRemove")->click();
    EXPECT_TRUE(child<QLabel>(*pane, "currencyMessage")->text().contains(QStringLiteral("product(s)")));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("$"));
}
