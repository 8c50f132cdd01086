#include "ProductListColumns.h"

#include "ProductListModel.h"

#include <QHeaderView>
#include <QMenu>

ProductListColumns::ProductListColumns(QHeaderView* header)
    : QObject(header)
    , m_header(header)
{
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu menu(m_header);
        fillMenu(&menu);
        menu.exec(m_header->mapToGlobal(position));
    });
}

ProductListColumns::~ProductListColumns() = default;

void ProductListColumns::fillMenu(QMenu* menu)
{
    const QAbstractItemModel* model = m_header->model();
    if (!model) {
        return;
    }
    for (int column = 0; column < model->columnCount(); ++column) {
        if (column == ProductListModel::TitleColumn) {
            continue;
        }
        QAction* action = menu->addAction(model->headerData(column, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!m_header->isSectionHidden(column));
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            m_header->setSectionHidden(column, !shown);
            emit columnsChanged();
        });
    }
}

void ProductListColumns::showTitleOnly()
{
    for (int column = 0; column < m_header->count(); ++column) {
        m_header->setSectionHidden(column, column != ProductListModel::TitleColumn);
    }
}
