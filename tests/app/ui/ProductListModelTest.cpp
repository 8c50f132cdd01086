#include "ui/ProductListModel.h"

#include "UiTestLibrary.h"
#include "model/IconEntity.h"
#include "prefs/UserPreferences.h"

#include <QBuffer>
#include <QImage>
#include <QTableView>

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
    // Versions compare by their numbers: 10.1 is the newest.
    EXPECT_EQ(titles(model).mid(0, 3), (QStringList {"Mail Sorter", "sketch Pad", "archiver"}));

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

// The search in memory against the store's own CONTAINS[c] over the same fields, as the list
// searched before: saved and unsaved products, accents and case, texts typed one key at a time and
// deleted again (the search narrows the previous matches), and values edited between refreshes.
TEST_F(ProductListModelTest, SearchFindsWhatTheStoresCaseInsensitiveContainsFinds)
{
    UiTestLibrary::addProduct(m_context, QStringLiteral("Éditeur Pro"), "3", "ÉD-1")
        ->setPublisher(QStringLiteral("Café"));
    UiTestLibrary::addProduct(m_context, QStringLiteral("editeur lite"), "1", "ed-2");
    ASSERT_TRUE(m_context->save());
    UiTestLibrary::addProduct(m_context, QStringLiteral("STRASSE Maps"), "2", "SM-3"); // unsaved

    const auto storeFinds = [this](const QString& text) {
        const QString format = QStringLiteral("title CONTAINS[c] %@ OR serialNumber CONTAINS[c] %@ OR publisher "
                                              "CONTAINS[c] %@ OR registeredName CONTAINS[c] %@ OR "
                                              "registeredEmail CONTAINS[c] %@");
        FetchRequest request(QStringLiteral("Product"), *Predicate::fromFormat(format, {text, text, text, text, text}));
        const auto objects = m_context->execute(request);
        QStringList found;
        for (ManagedObject* object : *objects) {
            found.append(static_cast<ProductEntity*>(object)->title());
        }
        found.sort();
        return found;
    };
    ProductListModel model(m_context, m_controller->userPrefs());
    const auto check = [&](const QString& text) {
        model.setFilterText(text);
        QStringList listed = titles(model);
        listed.sort();
        EXPECT_EQ(listed, storeFinds(text)) << qPrintable(text);
    };
    for (const QString& word : {QStringLiteral("éditeur"), QStringLiteral("CAFÉ"), QStringLiteral("ann@example"),
                                QStringLiteral("strasse"), QStringLiteral("s")}) {
        for (qsizetype length = 1; length <= word.size(); ++length) {
            check(word.left(length));
        }
        for (qsizetype length = word.size() - 1; length >= 1; --length) {
            check(word.left(length));
        }
    }
    check(QStringLiteral("editeur"));

    // A title edited while a search is shown: the next refresh searches the new value.
    check(QStringLiteral("sorter"));
    model.products().first()->setTitle(QStringLiteral("Mail Router"));
    model.refresh();
    EXPECT_TRUE(titles(model).isEmpty());
    check(QStringLiteral("router"));
}

// Icons are read only for rows asked about, once each, and not at all for rows never shown.
TEST_F(ProductListModelTest, ReadsIconsOnlyForTheRowsAskedAbout)
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    for (int i = 0; i < 200; ++i) {
        auto* product
            = UiTestLibrary::addProduct(m_context, QStringLiteral("Iconic %1").arg(i, 3, 10, QLatin1Char('0')));
        product->setAppIcon(m_context->insert<IconEntity>(QStringLiteral("Icon")));
    }
    ProductListModel model(m_context, m_controller->userPrefs());
    QList<const ProductEntity*> read;
    model.iconCache().setLoader([&](const ProductEntity* product) {
        read.append(product);
        return png;
    });

    const int row = model.rowOf(model.products().at(10));
    EXPECT_FALSE(model.index(row, ProductListModel::TitleColumn).data(Qt::DecorationRole).value<QIcon>().isNull());
    model.index(row, ProductListModel::TitleColumn).data(Qt::DecorationRole);
    EXPECT_EQ(read, QList<const ProductEntity*> {model.products().at(10)});
    // Other columns and roles read no icon.
    model.index(row + 1, ProductListModel::VersionColumn).data(Qt::DecorationRole);
    model.index(row + 1, ProductListModel::TitleColumn).data(Qt::DisplayRole);
    EXPECT_EQ(read.size(), 1);

    // A view reads the icons of the rows it paints, not of the whole list.
    read.clear();
    QTableView view;
    view.resize(300, 200);
    view.setModel(&model);
    view.show();
    view.grab();
    EXPECT_FALSE(read.isEmpty());
    EXPECT_LT(read.size(), 30);
    // A search hides rows without reading icons.
    const qsizetype painted = read.size();
    model.setFilterText(QStringLiteral("iconic 19"));
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_EQ(read.size(), painted);
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
