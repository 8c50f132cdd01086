#include "ui/ProductListModel.h"

#include "UiTestLibrary.h"
#include "prefs/UserPreferences.h"

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

class ProductListModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        auto* sketch = UiTestLibrary::addProduct(m_context, QStringLiteral("sketch Pad"), "2.0", "SK-100");
        sketch->setPublisher(QStringLiteral("Inkwell Labs"));
        auto* mail = UiTestLibrary::addProduct(m_context, QStringLiteral("Mail Sorter"), "10.1", "MS-2\nSECOND LINE");
        mail->setRegisteredEmail(QStringLiteral("ann@example.org"));
        auto* archive = UiTestLibrary::addProduct(m_context, QStringLiteral("archiver"), "1.5");
        archive->setRegisteredName(QStringLiteral("Ann Smith"));
    }

    QStringList titles(const ProductListModel& model) const
    {
        QStringList list;
        for (const ProductEntity* product : model.products()) {
            list.append(product->title());
        }
        return list;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    ObjectContext* m_context = nullptr;
};

TEST_F(ProductListModelTest, FollowsThePreferredOrderIgnoringCaseOfText)
{
    ProductListModel byTitle(m_context, m_controller->userPrefs());
    EXPECT_EQ(titles(byTitle), (QStringList {"archiver", "Keymoor", "Mail Sorter", "sketch Pad"}));

    m_controller->userPrefs().setProductSortDescriptorsArray({SortOrderEntry {QStringLiteral("serialNumber"), false}});
    ProductListModel bySerial(m_context, m_controller->userPrefs());
    EXPECT_EQ(titles(bySerial).mid(0, 2), (QStringList {"sketch Pad", "Mail Sorter"}));
}

TEST_F(ProductListModelTest, ClickingAColumnSortsByItAndStoresTheChoice)
{
    ProductListModel model(m_context, m_controller->userPrefs());
    model.sort(ProductListModel::VersionColumn, Qt::DescendingOrder);
    // Versions compare as text, as the preference says for every key without "date" in its name.
    EXPECT_EQ(titles(model).mid(0, 3), (QStringList {"sketch Pad", "Mail Sorter", "archiver"}));

    const SortOrder stored = m_controller->userPrefs().productSortDescriptorsArray();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first().key, QStringLiteral("productVersion"));
    EXPECT_FALSE(stored.first().ascending);
    ProductListModel next(m_context, m_controller->userPrefs());
    EXPECT_EQ(titles(next), titles(model));
}

TEST_F(ProductListModelTest, SearchMatchesTheListedFieldsIgnoringCase)
{
    const struct
    {
        const char* text;
        QStringList expected;
    } cases[] = {
        {"", {"archiver", "Keymoor", "Mail Sorter", "sketch Pad"}},
        {"SKETCH", {"sketch Pad"}}, // title
        {"ms-2", {"Mail Sorter"}}, // serial number
        {"second line", {"Mail Sorter"}}, // a later line of the serial number
        {"inkwell", {"sketch Pad"}}, // publisher
        {"ANN@", {"Mail Sorter"}}, // registered e-mail
        {"smith", {"archiver"}}, // registered name
        {"  pad  ", {"sketch Pad"}}, // surrounding blanks are not searched for
        {"10.1", {}}, // the version is not searched
        {"*", {}}, // no wildcards: the text is taken literally
    };
    ProductListModel model(m_context, m_controller->userPrefs());
    for (const auto& entry : cases) {
        model.setFilterText(QString::fromUtf8(entry.text));
        EXPECT_EQ(titles(model), entry.expected) << entry.text;
    }
}

TEST_F(ProductListModelTest, RefreshKeepsPersistentIndexesWhenOnlyTheOrderChanges)
{
    ProductListModel model(m_context, m_controller->userPrefs());
    const QPersistentModelIndex mail = model.index(model.rowOf(model.products().at(2)), 0);
    ASSERT_EQ(mail.data().toString(), QStringLiteral("Mail Sorter"));

    model.products().at(2)->setTitle(QStringLiteral("Zip Mail"));
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(mail.row(), 3);
    EXPECT_EQ(mail.data().toString(), QStringLiteral("Zip Mail"));

    UiTestLibrary::addProduct(m_context, QStringLiteral("Another"));
    EXPECT_FALSE(model.refresh()); // a new member resets the model
    EXPECT_EQ(model.rowCount(), 5);
}

TEST_F(ProductListModelTest, ShowsMultiLineSerialsOnOneLine)
{
    ProductListModel model(m_context, m_controller->userPrefs());
    model.setFilterText(QStringLiteral("Mail"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, ProductListModel::SerialColumn).data().toString(), QStringLiteral("MS-2 SECOND LINE"));
    EXPECT_EQ(model.index(0, ProductListModel::SerialColumn).data(Qt::ToolTipRole).toString(),
              QStringLiteral("MS-2\nSECOND LINE"));
}

} // namespace
