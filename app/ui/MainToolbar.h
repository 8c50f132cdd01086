#pragma once

#include "MainToolbarLayout.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QToolBar>

#include <functional>

class QAction;
class UserDefaults;

// The main window's toolbar ("mainToolbar"): shows the saved choice of items, or the default ones,
// and lets the person choose and order them (Customize Toolbar… in its context menu). The choice is
// saved in the settings at once. The items' actions belong to the window; the toolbar only shows them.
class MainToolbar : public QToolBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainToolbar)

public:
    using MailSettingsProvider = std::function<MainToolbarLayout::MailSettings()>;

    MainToolbar(UserDefaults& defaults, MailSettingsProvider mailSettings, QWidget* parent = nullptr);
    ~MainToolbar() override;

    // The action of an item (a QWidgetAction for the search field). Not owned.
    void setItemAction(const QString& identifier, QAction* action);
    QAction* itemAction(const QString& identifier) const { return m_actions.value(identifier); }

    // Brings the saved mail items in step with the mail preferences, then shows the items
    // (at start-up and whenever a mail preference changes).
    void reload();
    // Saves the items as the person's choice and shows them.
    void setItems(const QStringList& items);
    QStringList itemIdentifiers() const { return m_items; }
    MainToolbarLayout::MailSettings mailSettings() const { return m_mailSettings(); }

    // Opens the dialog that chooses and orders the items.
    void customize();
    QAction* customizeAction() const { return m_customize; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void rebuild();
    void clearItems();
    void addLayoutItem(const QString& identifier);

    UserDefaults& m_defaults;
    MailSettingsProvider m_mailSettings;
    QHash<QString, QPointer<QAction>> m_actions;
    QStringList m_items;
    QAction* m_customize = nullptr;
};
