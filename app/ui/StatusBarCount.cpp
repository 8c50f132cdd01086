#include "StatusBarCount.h"

#include "base/Localization.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

StatusBarCount::StatusBarCount(QWidget* parent)
    : QWidget(parent)
    , m_add(new QToolButton(this))
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("listStatusBar"));
    m_add->setObjectName(QStringLiteral("addProductButton"));
    m_add->setText(QStringLiteral("+"));
    m_add->setAutoRaise(true);
    m_add->setToolTip(localizedString(QStringLiteral("NewItemToolbarButton")));
    m_add->setAccessibleName(localizedString(QStringLiteral("NewItemToolbarButton")));
    m_add->setFocusPolicy(Qt::NoFocus); // Ctrl+N does the same from the keyboard
    m_label->setObjectName(QStringLiteral("productCount"));
    m_label->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(m_add);
    layout->addWidget(m_label, 1);
    connect(m_add, &QToolButton::clicked, this, &StatusBarCount::addRequested);
}

StatusBarCount::~StatusBarCount() = default;

QString StatusBarCount::countText(int shown, int total)
{
    if (shown != total) {
        return localizedFormat(QStringLiteral("ProductCountFilteredStatusFormat"),
                               {QString::number(shown), QString::number(total)});
    }
    return total == 1 ? localizedString(QStringLiteral("ProductCountOneStatus"))
                      : localizedFormat(QStringLiteral("ProductCountStatusFormat"), {QString::number(total)});
}

void StatusBarCount::setCount(int shown, int total)
{
    m_label->setText(countText(shown, total));
}

QString StatusBarCount::text() const
{
    return m_label->text();
}
