#include "ZRViewTools.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QItemSelectionModel>
#include <QScrollBar>

namespace {

void scrollVertically(QAbstractScrollArea* scrollArea, bool toBottom)
{
    if (!scrollArea) {
        return;
    }
    QScrollBar* horizontal = scrollArea->horizontalScrollBar();
    horizontal->setValue(horizontal->minimum());
    QScrollBar* vertical = scrollArea->verticalScrollBar();
    vertical->setValue(toBottom ? vertical->maximum() : vertical->minimum());
}

} // namespace

int ZR_selectObject(QItemSelectionModel* selection, const QVariant& object, int role)
{
    if (!selection || !selection->model() || object.isNull()) {
        return -1;
    }
    const QAbstractItemModel* model = selection->model();
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 0);
        if (model->data(index, role) == object) {
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return row;
        }
    }
    selection->clearSelection();
    return -1;
}

int ZR_selectObject(QAbstractItemView* view, const QVariant& object, int role)
{
    return view ? ZR_selectObject(view->selectionModel(), object, role) : -1;
}

QModelIndex ZR_selectedItem(QAbstractItemView* view)
{
    if (!view || !view->selectionModel()) {
        return {};
    }
    const QItemSelectionModel* selection = view->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), current.parent())) {
        return current.siblingAtColumn(0);
    }
    const QModelIndexList rows = selection->selectedRows(0);
    return rows.isEmpty() ? QModelIndex() : rows.last();
}

void ZR_scrollToTop(QAbstractScrollArea* scrollArea)
{
    scrollVertically(scrollArea, false);
}

void ZR_scrollToBottom(QAbstractScrollArea* scrollArea)
{
    scrollVertically(scrollArea, true);
}
