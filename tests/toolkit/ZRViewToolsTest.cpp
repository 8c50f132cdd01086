#include "ZRViewTools.h"

#include "ToolkitTestSupport.h"

#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// A list of products shown sorted by title and filtered, each row carrying its identifier in
// Qt::UserRole, as the catalogue's lists do.
class ZRViewTools : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::pair<const char*, int> products[] = {{"Zebra", 1}, {"Alpha", 2}, {"Hidden", 3}, {"Mango", 4}};
        for (const auto& [title, identifier] : products) {
            auto* item = new QStandardItem(QString::fromUtf8(title));
            item->setData(identifier, Qt::UserRole);
            m_model.appendRow(item);
        }
        m_arranged.setSourceModel(&m_model);
        m_arranged.setFilterRegularExpression(QStringLiteral("^(?!Hidden)"));
        m_arranged.sort(0);
        m_view.setModel(&m_arranged);
    }

    QStringList selectedTitles() const
    {
        QStringList titles;
        for (const QModelIndex& index : m_view.selectionModel()->selectedRows()) {
            titles.append(index.data().toString());
        }
        return titles;
    }

    QStandardItemModel m_model;
    QSortFilterProxyModel m_arranged;
    QListView m_view;
};

} // namespace

TEST_F(ZRViewTools, SelectingAnObjectAnswersItsArrangedRow)
{
    EXPECT_EQ(ZR_selectObject(&m_view, 1), 2); // Zebra sorts last among Alpha, Mango, Zebra
    EXPECT_EQ(selectedTitles(), QStringList {QStringLiteral("Zebra")});
    EXPECT_EQ(ZR_selectObject(&m_view, 2), 0);
    EXPECT_EQ(selectedTitles(), QStringList {QStringLiteral("Alpha")});
    EXPECT_EQ(m_view.currentIndex().data().toString(), QStringLiteral("Alpha"));
    // Another role finds rows by their title.
    EXPECT_EQ(ZR_selectObject(&m_view, QStringLiteral("Mango"), Qt::DisplayRole), 1);
}

TEST_F(ZRViewTools, NullObjectChangesNothingAndAbsentObjectClearsTheSelection)
{
    ASSERT_EQ(ZR_selectObject(&m_view, 4), 1);
    EXPECT_EQ(ZR_selectObject(&m_view, QVariant()), -1);
    EXPECT_EQ(selectedTitles(), QStringList {QStringLiteral("Mango")});
    // Filtered out of the arranged rows, so not found.
    EXPECT_EQ(ZR_selectObject(&m_view, 3), -1);
    EXPECT_TRUE(selectedTitles().isEmpty());
    EXPECT_EQ(ZR_selectObject(static_cast<QAbstractItemView*>(nullptr), 1), -1);
}

TEST_F(ZRViewTools, SelectedItemIsTheSelectedRowInColumnZero)
{
    QStandardItemModel tree;
    auto* parent = new QStandardItem(QStringLiteral("Mail"));
    parent->appendRow({new QStandardItem(QStringLiteral("Receipt")), new QStandardItem(QStringLiteral("2009"))});
    tree.appendRow(parent);
    QTreeView outline;
    outline.setModel(&tree);
    EXPECT_FALSE(ZR_selectedItem(&outline).isValid());
    const QModelIndex dateCell = tree.index(0, 1, tree.index(0, 0));
    outline.selectionModel()->setCurrentIndex(dateCell,
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QModelIndex selected = ZR_selectedItem(&outline);
    EXPECT_EQ(selected.data().toString(), QStringLiteral("Receipt"));
    EXPECT_EQ(selected.parent().data().toString(), QStringLiteral("Mail"));
}

TEST(ZRViewToolsScrolling, ScrollsToEitherEndOfTheDocument)
{
    QScrollArea area;
    auto* document = new QWidget;
    document->setFixedSize(800, 2000);
    area.setWidget(document);
    area.resize(200, 200);
    area.show();
    QScrollBar* vertical = area.verticalScrollBar();
    QScrollBar* horizontal = area.horizontalScrollBar();
    ASSERT_GT(vertical->maximum(), 0);
    horizontal->setValue(horizontal->maximum());

    ZR_scrollToBottom(&area);
    EXPECT_EQ(vertical->value(), vertical->maximum());
    EXPECT_EQ(horizontal->value(), horizontal->minimum());
    horizontal->setValue(horizontal->maximum());
    ZR_scrollToTop(&area);
    EXPECT_EQ(vertical->value(), vertical->minimum());
    EXPECT_EQ(horizontal->value(), horizontal->minimum());
    ZR_scrollToTop(nullptr);
}
