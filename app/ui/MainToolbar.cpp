#include "MainToolbar.h"

#include "ToolbarCustomizeDialog.h"
#include "base/Localization.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

MainToolbar::MainToolbar(UserDefaults& defaults, MailSettingsProvider mailSettings, QWidget* parent)
    : QToolBar(localizedString(QStringLiteral("ToolbarTitle")), parent)
    , m_defaults(defaults)
    , m_mailSettings(std::move(mailSettings))
{
    setObjectName(QStringLiteral("mainToolbar"));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_customize = new QAction(localizedString(QStringLiteral("ToolbarCustomizeToolbarMenuItem")), this);
    m_customize->setObjectName(QStringLiteral("customizeToolbar"));
    connect(m_customize, &QAction::triggered, this, &MainToolbar::customize);
}

MainToolbar::~MainToolbar() = default;

void MainToolbar::setItemAction(const QString& identifier, QAction* action)
{
    // Every item's label is also what the customise dialog lists it as.
    const QString label = MainToolbarLayout::labelKey(identifier);
    if (!label.isEmpty()) {
        action->setIconText(localizedString(label));
        action->setToolTip(localizedString(MainToolbarLayout::toolTipKey(identifier)));
    }
    m_actions.insert(identifier, action);
}

void MainToolbar::reload()
{
    const MainToolbarLayout::MailSettings mail = m_mailSettings();
    MainToolbarLayout::syncSavedItems(m_defaults, mail);
    m_items = MainToolbarLayout::itemsToShow(m_defaults, mail);
    rebuild();
}

void MainToolbar::setItems(const QStringList& items)
{
    MainToolbarLayout::saveItems(m_defaults, items);
    m_items = MainToolbarLayout::itemsToShow(m_defaults, m_mailSettings());
    rebuild();
}

void MainToolbar::customize()
{
    const MainToolbarLayout::MailSettings mail = m_mailSettings();
    ToolbarCustomizeDialog dialog(MainToolbarLayout::allowedItems(mail), MainToolbarLayout::defaultItems(mail), m_items,
                                  this);
    if (dialog.exec() == QDialog::Accepted) {
        setItems(dialog.items());
    }
}

void MainToolbar::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(m_customize);
    menu.exec(event->globalPos());
    event->accept();
}

void MainToolbar::clearItems()
{
    const QList<QAction*> shown = actions();
    clear();
    // Separators and spaces are made for each showing; the items' own actions belong to the window.
    for (QAction* action : shown) {
        if (action->parent() == this && action != m_customize) {
            delete action;
        }
    }
}

void MainToolbar::addLayoutItem(const QString& identifier)
{
    if (identifier == QLatin1String(MainToolbarLayout::Separator)) {
        addSeparator();
        return;
    }
    auto* space = new QWidget(this);
    if (identifier == QLatin1String(MainToolbarLayout::FlexibleSpace)) {
        space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    } else {
        space->setFixedWidth(24);
    }
    addWidget(space);
}

void MainToolbar::rebuild()
{
    clearItems();
    for (const QString& identifier : std::as_const(m_items)) {
        if (MainToolbarLayout::isLayoutItem(identifier)) {
            addLayoutItem(identifier);
        } else if (QAction* action = m_actions.value(identifier)) {
            addAction(action);
        }
    }
}
