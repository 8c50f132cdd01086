#include "LicenceFilterBar.h"

#include "base/Localization.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

LicenceFilterBar::LicenceFilterBar(QLineEdit* search, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("licenceFilterBar"));
    m_dueSoon = filterButton(QStringLiteral("dueSoonFilter"), QStringLiteral("DueSoonFilter"),
                             QStringLiteral("DueSoonFilterToolTip"));
    m_expired = filterButton(QStringLiteral("expiredFilter"), QStringLiteral("ExpiredFilter"),
                             QStringLiteral("ExpiredFilterToolTip"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_dueSoon);
    layout->addWidget(m_expired);
    layout->addWidget(search);
}

QToolButton* LicenceFilterBar::filterButton(const QString& name, const QString& textKey, const QString& toolTipKey)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(localizedString(textKey));
    button->setToolTip(localizedString(toolTipKey));
    button->setCheckable(true);
    button->setAutoRaise(true);
    connect(button, &QToolButton::toggled, this, [this] { emit filtersChanged(filters()); });
    return button;
}

ProductListModel::LicenceFilters LicenceFilterBar::filters() const
{
    return {m_dueSoon->isChecked(), m_expired->isChecked()};
}
