#include "ZRTableView.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>

ZRTableView::ZRTableView(QWidget* parent)
    : QTableView(parent)
{ }

ZRTableView::~ZRTableView() = default;

int ZRTableView::selectedRow() const
{
    if (!selectionModel()) {
        return -1;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), current.parent())) {
        return current.row();
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    int last = -1;
    for (const QModelIndex& index : rows) {
        last = std::max(last, index.row());
    }
    return last;
}

void ZRTableView::selectOnly(int row)
{
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void ZRTableView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const int key = event->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        emit deleteKeyPressed(selectedRow());
        event->accept();
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && !(event->modifiers() & chords) && model()) {
        const int target = selectedRow() + (key == Qt::Key_Up ? -1 : 1);
        if (target >= 0 && target < model()->rowCount()) {
            selectOnly(target);
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ZRTableView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && !selectionModel()->isRowSelected(index.row(), index.parent())) {
            selectOnly(index.row());
        }
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void ZRTableView::fillContextMenu(QMenu* menu) const
{
    if (m_fillContextMenu) {
        m_fillContextMenu(menu);
    }
}

void ZRTableView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The event comes through the viewport, in its coordinates.
        const QModelIndex index = indexAt(event->pos());
        if (index.isValid() && !selectionModel()->isRowSelected(index.row(), index.parent())) {
            selectOnly(index.row());
        }
    }
    QMenu menu(this);
    fillContextMenu(&menu);
    if (!menu.isEmpty()) {
        menu.exec(event->globalPos());
    }
    event->accept();
}
