#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class ApplicationLocator;

class KeymoorAppDelegate;
class ProductEntity;
class QAction;
class QMenu;
class QMenuBar;

// The menu items and toolbar buttons of the commands on a product's application, icon, registration
// values and addresses, and of Keymoor's own help pages. Each sends the controller's command with the
// window's selection; items that need a product, a value or an application are enabled only when
// there is one.
class ProductActions : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductActions)

public:
    using ProductsProvider = std::function<QList<ProductEntity*>()>;

    // `selection` answers the selected products, `listed` every product of the list in its order.
    ProductActions(KeymoorAppDelegate* delegate, ProductsProvider selection, ProductsProvider listed, QWidget* parent);
    ~ProductActions() override;

    // Adds the items to the Product menu (except Locate App, which the window places) and a new
    // Help menu.
    void addToProductMenu(QMenu* menu);
    void addHelpMenu(QMenuBar* menuBar);

    // Enables the items for the current selection. The installed applications are looked up once
    // and again each time the Product menu opens.
    void update();
    // The Product menu's context-menu items for a product row.
    void addToContextMenu(QMenu* menu);

    QAction* refreshAction() const { return m_refresh; }
    QAction* refreshAllAction() const { return m_refreshAll; }
    QAction* copySerialAction() const { return m_copySerial; }
    QAction* locateAction() const { return m_locate; }

signals:
    // What a command did, or why it did nothing, for the window's status bar.
    void statusMessage(const QString& message);

private:
    // Launches the product's application; a failure is shown in an alert with its reason.
    void launchApplication(ProductEntity* product);
    // Opens the website or support address of the first selected product that has one; says so
    // when none has.
    void openAddress(ProductEntity* first, QString (ProductEntity::*address)() const);
    void report(const QString& message);
    QAction* makeAction(const QString& text, const QString& objectName, std::function<void(ProductEntity*)> command);
    QAction* makeGlobalAction(const QString& text, const QString& objectName, std::function<void()> command);
    ProductEntity* firstSelected() const;
    ApplicationLocator& locator();

    QPointer<KeymoorAppDelegate> m_delegate;
    ProductsProvider m_selection;
    ProductsProvider m_listed;
    QWidget* m_parent;
    QAction* m_launch = nullptr;
    QAction* m_locate = nullptr;
    QAction* m_reveal = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_refreshAll = nullptr;
    QAction* m_addIcon = nullptr;
    QAction* m_removeIcon = nullptr;
    QAction* m_copySerial = nullptr;
    QAction* m_copyName = nullptr;
    QAction* m_copyEmail = nullptr;
    QAction* m_openWebsite = nullptr;
    QAction* m_sendDeveloperEmail = nullptr;
    QList<QAction*> m_helpActions;
    std::unique_ptr<ApplicationLocator> m_locator;
};
