#pragma once

#include "ZRKitGlobal.h"

#include <QModelIndex>
#include <QVariant>

class QAbstractItemView;
class QAbstractScrollArea;
class QItemSelectionModel;

// Operations on list, outline and scroll views (Qt Widgets). The list controller of a list is its
// view's model: the rows in the order the view shows them, so a view over a
// QSortFilterProxyModel searches the sorted and filtered rows.

// The row whose column 0 holds `object` under `role` becomes the single selection (and the current
// row) and its number is answered; when no row holds it, the selection is cleared and -1 is
// answered. A null `object` answers -1 and changes nothing.
ZRKIT_EXPORT int ZR_selectObject(QItemSelectionModel* selection, const QVariant& object, int role = Qt::UserRole);
ZRKIT_EXPORT int ZR_selectObject(QAbstractItemView* view, const QVariant& object, int role = Qt::UserRole);

// The selected row's index in column 0: the current row if it is selected, else the last selected
// row; invalid when nothing is selected.
ZRKIT_EXPORT QModelIndex ZR_selectedItem(QAbstractItemView* view);

// Scroll to the top-left or the bottom-left of the document.
ZRKIT_EXPORT void ZR_scrollToTop(QAbstractScrollArea* scrollArea);
ZRKIT_EXPORT void ZR_scrollToBottom(QAbstractScrollArea* scrollArea);
