#include "SearchFieldKeys.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>

SearchFieldKeys::SearchFieldKeys(QLineEdit* field, QAbstractItemView* results)
    : QObject(field)
    , m_field(field)
    , m_results(results)
{
    m_field->installEventFilter(this);
}

SearchFieldKeys::~SearchFieldKeys() = default;

bool SearchFieldKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier) {
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Escape:
        if (m_field->text().isEmpty()) {
            return false;
        }
        m_field->clear();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterResults();
        return true;
    default:
        return false;
    }
}

void SearchFieldKeys::enterResults()
{
    QAbstractItemModel* model = m_results->model();
    if (!model || model->rowCount() == 0) {
        return;
    }
    QItemSelectionModel* selection = m_results->selectionModel();
    if (!selection->hasSelection()) {
        selection->setCurrentIndex(model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_results->setFocus(Qt::TabFocusReason);
    m_results->scrollTo(m_results->currentIndex());
}
