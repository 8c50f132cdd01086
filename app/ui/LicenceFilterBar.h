#pragma once

#include "ProductListModel.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

// The search field with the "Due Soon" and "Expired" buttons beside it: checkable filters that
// narrow the list together with the search text.
class LicenceFilterBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LicenceFilterBar)

public:
    // Takes `search` into its layout.
    LicenceFilterBar(QLineEdit* search, QWidget* parent = nullptr);

    ProductListModel::LicenceFilters filters() const;
    QToolButton* dueSoonButton() const { return m_dueSoon; }
    QToolButton* expiredButton() const { return m_expired; }

signals:
    void filtersChanged(ProductListModel::LicenceFilters filters);

private:
    QToolButton* filterButton(const QString& name, const QString& textKey, const QString& toolTipKey);

    QToolButton* m_dueSoon = nullptr;
    QToolButton* m_expired = nullptr;
};
