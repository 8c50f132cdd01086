#pragma once

#include "DiscoverSoftwareSheet.h"
#include "ProductTableView.h"
#include "persistence/ObjectID.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class AttachmentActions;
class AttachmentListView;
class EditMenuActions;
class MainToolbar;
class MainWindowCommandState;
class WindowMenu;
class ImportApplicationMenu;
class ZRImportSheetController;
class KeymoorAppDelegate;
class LicenceFilterBar;
class ProductActions;
class MaintenanceMenu;
class MailLicenceCommands;
class ProductDetailView;
class ProductEntity;
class ProductListColumns;
class ProductListModel;
class ProductSummaryView;
class StatusBarCount;
class PreferencesController;
class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QtPrintPanel;
class QSplitter;
class QTabWidget;
class QTableView;

namespace Persistence {
class ObjectContext;
} // namespace Persistence

// The main window: the products list with its search field beside the form of the selected
// product, the toolbar and the menus. Everything it changes goes through the controller or the
// controller's main context, whose undo manager drives Edit > Undo and Redo. When the library could
// not be opened the window still opens, with an empty, disabled list and the reason in its status
// bar, so the person sees why instead of a window that vanishes.
//
// If the controller's UserInterface is a QtUserInterface, its dialogs and progress sheet belong to
// this window from now on.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // `delegate` must not be null; the window may outlive it (it then does nothing).
    explicit MainWindow(KeymoorAppDelegate* delegate, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Selects the first row and scrolls to it (start-up).
    void selectFirstProduct();
    // Selects one product and scrolls to it; false when it is not in the list.
    bool selectProduct(ProductEntity* product);
    QList<ProductEntity*> selectedProducts() const;

    // The commands of the toolbar and the menus.
    void addProduct();
    void removeSelectedProducts();
    // Shows what a command did, or why it did nothing, for a few seconds in the status bar.
    void showStatusMessage(const QString& message);
    void undo();
    void redo();
    // The import sheet; its choices stay for the next time.
    void showImportSheet();
    // File > Discover Installed Software…: the discovery sheet over the controller's discovery.
    void showDiscoverSoftwareSheet();
    // The discovery sheet over this window, scanning with `scan` and adding with `add`; the first
    // product added is selected. Answers the sheet (it deletes itself when closed).
    DiscoverSoftwareSheet* openDiscoverSoftwareSheet(DiscoverSoftwareSheet::Scan scan, DiscoverSoftwareSheet::Add add,
                                                     DiscoverSoftwareSheet::CatalogueCheck check = {});

    ProductListModel* productListModel() const { return m_model; }
    ProductActions* productActions() const { return m_productActions; }
    QLineEdit* searchField() const { return m_search; }
    // The search field with the licence filters beside it, as the toolbar shows it.
    LicenceFilterBar* searchArea() const { return m_searchArea; }
    // The busy bar of the status bar, shown while background jobs run.
    QProgressBar* activityIndicator() const { return m_activity; }
    AttachmentActions* attachmentActions() const { return m_attachmentActions; }
    WindowMenu* windowMenu() const { return m_windowMenu; }
    // The enabling rules for the window's selection now.
    MainWindowCommandState commandState() const;
    QAction* newProductAction() const { return m_newAction; }
    QAction* removeProductAction() const { return m_removeAction; }
    MaintenanceMenu* maintenanceMenu() const { return m_maintenance; }
    QAction* syncAction() const { return m_syncAction; }
    ImportApplicationMenu* importApplicationMenu() const { return m_importMenu; }
    // File > Find Licences in Mail… and the mail dropped on the lists.
    MailLicenceCommands* mailLicenceCommands() const { return m_mailCommands; }
    // The preferences window of this main window (made on first use) and Edit > Preferences….
    PreferencesController* preferencesController();
    // Keeps the window's geometry, divider, list columns and tab for the next run (also on close).
    void saveWindowState();
    // Puts the cursor in the search field, wherever the toolbar keeps it.
    void focusSearchField();
    ProductSummaryView* summaryView() const { return m_summary; }
    StatusBarCount* countBar() const { return m_countBar; }
    ProductListColumns* listColumns() const { return m_columns; }
    // Edit > Cut, Copy, Paste and Select All.
    EditMenuActions* editMenuActions() const { return m_editActions; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void fillProductContextMenu(QMenu* menu);
    void buildCentralArea();
    void buildProductList();
    void setKeyboardOrder();
    void restoreWindowState();
    void refreshSummary();
    void openFirstAttachment();
    void buildActivityIndicator();
    void connectAttachments();
    void connectProductCommands();
    void connectMailFinder(QMenu* file);
    void showLibraryUnavailable();

    void refreshList();
    void scheduleRefresh();
    void restoreSelection(const QList<ProductEntity*>& products);
    void showSelection();
    void applySearch(const QString& text);
    void remindOfDueLicences();
    void productAdded(ProductEntity* product);
    void productsChanged();
    void productImported(const Persistence::ObjectID& productID);
    void afterUndoOrRedo();
    void updateActions();
    void updateCount();
    void buildReportActions();
    void addPreferencesAction(QMenu* menu);
    void showPreferencesPane(const QString& identifier);

    QPointer<KeymoorAppDelegate> m_delegate;
    Persistence::ObjectContext* m_context;
    ProductListModel* m_model = nullptr;
    ProductDetailView* m_detail = nullptr;
    AttachmentListView* m_attachments = nullptr;
    ProductActions* m_productActions = nullptr;
    AttachmentActions* m_attachmentActions = nullptr;
    MainToolbar* m_toolbar = nullptr;
    WindowMenu* m_windowMenu = nullptr;
    QTabWidget* m_tabs = nullptr;
    ProductTableView* m_table = nullptr;
    QLineEdit* m_search = nullptr;
    LicenceFilterBar* m_searchArea = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_listPane = nullptr;
    ProductSummaryView* m_summary = nullptr;
    StatusBarCount* m_countBar = nullptr;
    ProductListColumns* m_columns = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_activity = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_removeAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_findAction = nullptr;
    EditMenuActions* m_editActions = nullptr;
    MaintenanceMenu* m_maintenance = nullptr;
    ImportApplicationMenu* m_importMenu = nullptr;
    ZRImportSheetController* m_importSheetController = nullptr;
    MailLicenceCommands* m_mailCommands = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_printAllAction = nullptr;
    QAction* m_syncAction = nullptr;
    std::unique_ptr<QtPrintPanel> m_printPanel;
    QPointer<PreferencesController> m_preferences;
    QAction* m_preferencesAction = nullptr;
    bool m_refreshQueued = false;
    bool m_terminationAccepted = false;
};
