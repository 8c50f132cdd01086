#include "MainWindow.h"

#include "AttachmentActions.h"
#include "AttachmentListModel.h"
#include "AttachmentListView.h"
#include "AttachmentWindows.h"
#include "EditMenuActions.h"
#include "ForeignImportSheet.h"
#include "ImportApplicationMenu.h"
#include "ImportFeedback.h"
#include "ImportSheet.h"
#include "LicenceFilterBar.h"
#include "MailLicenceCommands.h"
#include "MainToolbar.h"
#include "MainToolbarBuilder.h"
#include "MainWindowCommandState.h"
#include "MainWindowState.h"
#include "MaintenanceMenu.h"
#include "PhoneExportCommand.h"
#include "PreferencesController.h"
#include "ProductActions.h"
#include "ProductCellDelegate.h"
#include "ProductDetailView.h"
#include "ProductIconWell.h"
#include "ProductListColumns.h"
#include "ProductListModel.h"
#include "ProductSummaryView.h"
#include "ProductTableView.h"
#include "QtPrintPanel.h"
#include "QtUserInterface.h"
#include "SearchFieldKeys.h"
#include "SourceListSplitter.h"
#include "SpendingWindow.h"
#include "StatusBarCount.h"
#include "ToolbarIcons.h"
#include "UndoNaming.h"
#include "WindowMenu.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/ApplicationLocator.h"
#include "email/ZREmailParser.h"
#include "library/BackgroundJobTracker.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/AttachmentEntity.h"
#include "model/CurrencyCodes.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "products/LicenceDue.h"
#include "products/LicenceReminder.h"
#include "software/InstalledSoftwareScanner.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

MainWindow::MainWindow(KeymoorAppDelegate* delegate, QWidget* parent)
    : QMainWindow(parent)
    , m_delegate(delegate)
    , m_context(delegate->managedObjectContext())
{
    setWindowTitle(localizedString(QStringLiteral("KeymoorWindowTitle")));
    setObjectName(QStringLiteral("mainWindow"));
    setMinimumSize(720, 480);
    resize(1040, 720);
    if (auto* qtInterface = dynamic_cast<QtUserInterface*>(delegate->userInterface())) {
        qtInterface->setWindow(this);
    }

    buildActions();
    buildCentralArea();
    buildMenus();
    buildToolBar();
    setKeyboardOrder(); // once the search field sits in the toolbar

    connect(delegate, &KeymoorAppDelegate::productsChanged, this, &MainWindow::productsChanged);
    connect(delegate, &KeymoorAppDelegate::productAdded, this, &MainWindow::productAdded);
    connect(delegate, &KeymoorAppDelegate::selectAndScrollToProduct, this, &MainWindow::productImported);
    connect(delegate, &KeymoorAppDelegate::preferencesPaneRequested, this, &MainWindow::showPreferencesPane);
    delegate->setCommitEditingHandler([this] { m_detail->commitEditing(); });
    connectAttachments();
    connectProductCommands();
    restoreWindowState();
    if (!m_context) {
        showLibraryUnavailable();
    } else {
        m_table->setFocus(); // the list, not the search field, takes the keys at start
        remindOfDueLicences();
    }
    updateActions();
    updateCount();
}

MainWindow::~MainWindow()
{
    if (m_detail) {
        // Commit a field still being edited while the window is whole: the focus change of the
        // window's own destruction would otherwise commit it into a half-destroyed window.
        m_detail->commitEditing();
        disconnect(m_detail, nullptr, this, nullptr);
    }
    if (m_delegate) {
        if (m_delegate->printPanel() == m_printPanel.get()) {
            m_delegate->setPrintPanel(nullptr);
        }
        m_delegate->setCommitEditingHandler({});
        m_delegate->setSelectedProductProvider({});
    }
}

void MainWindow::connectAttachments()
{
    m_delegate->setSelectedProductProvider([this]() -> ProductEntity* {
        const QList<ProductEntity*> products = selectedProducts();
        return products.isEmpty() ? nullptr : products.first();
    });
    connect(m_delegate, &KeymoorAppDelegate::showAttachmentsTab, this,
            [this] { m_tabs->setCurrentWidget(m_attachments); });
    connect(m_delegate, &KeymoorAppDelegate::attachmentsChanged, this, [this](ProductEntity* product) {
        if (product == m_attachments->model()->product()) {
            m_attachments->reload();
        }
        m_detail->reload();
    });
    connect(m_delegate, &KeymoorAppDelegate::selectAttachment, this, [this](AttachmentEntity* attachment) {
        if (attachment && attachment->product() == m_attachments->model()->product()) {
            m_tabs->setCurrentWidget(m_attachments);
            m_attachments->selectAttachment(attachment);
        }
        m_detail->reload();
        scheduleRefresh();
    });
    auto* windows = new AttachmentWindows(m_delegate, this);
    connect(m_delegate, &KeymoorAppDelegate::attachedFileWindowRequested, windows, &AttachmentWindows::show);
    connect(m_attachments, &AttachmentListView::productChanged, this, [this] {
        m_detail->reload();
        scheduleRefresh();
        updateActions();
    });
}

void MainWindow::connectProductCommands()
{
    connect(m_delegate, &KeymoorAppDelegate::productChanged, this, [this] {
        m_detail->reload();
        scheduleRefresh();
    });
    // A drop on the icon well is for the product shown at the time of the drop.
    connect(m_detail->iconWell(), &ProductIconWell::fileDropped, this, [this](const QString& path) {
        if (m_delegate && m_detail->product()) {
            UndoNaming::runNamed(m_context, UndoNaming::changeIcon(),
                                 [&] { m_delegate->fileDroppedFile(m_detail->product(), path); });
        }
    });
    connect(m_detail->iconWell(), &ProductIconWell::imageDropped, this, [this](const QByteArray& bytes) {
        if (m_delegate && m_detail->product()) {
            UndoNaming::runNamed(m_context, UndoNaming::changeIcon(),
                                 [&] { m_delegate->fileDroppedImage(m_detail->product(), bytes); });
        }
    });
}

void MainWindow::buildActions()
{
    m_newAction
        = new QAction(ToolbarIcons::newItemIcon(), localizedString(QStringLiteral("NewItemToolbarButton")), this);
    m_newAction->setShortcut(QKeySequence::New);
    connect(m_newAction, &QAction::triggered, this, &MainWindow::addProduct);

    m_removeAction
        = new QAction(ToolbarIcons::removeItemIcon(), localizedString(QStringLiteral("DeleteItemToolbarButton")), this);
    connect(m_removeAction, &QAction::triggered, this, &MainWindow::removeSelectedProducts);

    m_saveAction = new QAction(localizedString(QStringLiteral("MainSaveMenuItem")), this);
    m_saveAction->setShortcut(QKeySequence::Save);
    connect(m_saveAction, &QAction::triggered, this, [this] {
        if (m_delegate) {
            m_delegate->saveAction();
        }
    });

    m_quitAction = new QAction(localizedString(QStringLiteral("MainQuitKeymoorMenuItem")), this);
    m_quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quitAction->setMenuRole(QAction::QuitRole);
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);

    m_undoAction = new QAction(localizedString(QStringLiteral("MainUndoMenuItem")), this);
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undo);
    m_redoAction = new QAction(localizedString(QStringLiteral("MainRedoMenuItem")), this);
    m_redoAction->setObjectName(QStringLiteral("redoAction"));
    m_redoAction->setShortcut(QKeySequence::Redo);
    connect(m_redoAction, &QAction::triggered, this, &MainWindow::redo);

    m_productActions = new ProductActions(
        m_delegate, [this] { return m_table ? selectedProducts() : QList<ProductEntity*>(); },
        [this] { return m_model ? m_model->products() : QList<ProductEntity*>(); }, this);
    connect(m_productActions, &ProductActions::statusMessage, this, &MainWindow::showStatusMessage);
    buildReportActions();

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchField"));
    m_search->setPlaceholderText(localizedString(QStringLiteral("SearchToolbarItem")));
    m_search->setToolTip(localizedString(QStringLiteral("SearchToolbarItemToolTip")));
    m_search->setClearButtonEnabled(true);
    m_search->setFixedWidth(240);
    m_search->setAccessibleName(localizedString(QStringLiteral("SearchToolbarItem")));
    connect(m_search, &QLineEdit::textChanged, this, &MainWindow::applySearch);
    m_searchArea = new LicenceFilterBar(m_search, this);
    connect(m_searchArea, &LicenceFilterBar::filtersChanged, this, [this] { applySearch(m_search->text()); });

    m_findAction = new QAction(localizedString(QStringLiteral("MainFindMenuItem")), this);
    m_findAction->setShortcut(QKeySequence::Find);
    connect(m_findAction, &QAction::triggered, this, [this] { focusSearchField(); });
    addAction(m_findAction); // the shortcut works wherever the field is (toolbar or its overflow)
}

// On a narrow window the toolbar keeps the field in its overflow: the overflow opens first.
void MainWindow::focusSearchField()
{
    if (!m_search->isVisible() && m_toolbar) {
        if (auto* more = m_toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
            more && more->isVisible()) {
            more->click();
        }
    }
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(localizedString(QStringLiteral("MainFileMenu")));
    file->addAction(m_newAction);
    file->addAction(m_saveAction);
    file->addSeparator();
    m_importMenu = new ImportApplicationMenu(m_delegate, this);
    m_importMenu->addMenuTo(file);
    m_maintenance = new MaintenanceMenu(m_delegate, this);
    m_maintenance->addActionsTo(file);
    connect(m_maintenance, &MaintenanceMenu::statusMessage, this, &MainWindow::showStatusMessage);
    file->addAction((new PhoneExportCommand(m_delegate, this))->action());
    connect(m_importMenu, &ImportApplicationMenu::importSheetRequested, this, &MainWindow::showImportSheet);
    connect(new ImportFeedback(m_delegate, this), &ImportFeedback::statusMessage, this, &MainWindow::showStatusMessage);
    connect(m_importMenu, &ImportApplicationMenu::discoverSoftwareRequested, this,
            &MainWindow::showDiscoverSoftwareSheet);
    connect(m_importMenu, &ImportApplicationMenu::foreignImportRequested, this, [this] {
        auto* sheet = ForeignImportSheet::chooseAndOpen(m_delegate->session(), m_delegate->userInterface(), this);
        if (sheet) {
            connect(sheet, &ForeignImportSheet::productsImported, this,
                    [this](const QList<Persistence::ObjectID>& ids) {
                        if (!ids.isEmpty()) {
                            productImported(ids.first());
                        }
                    });
        }
    });
    connect(m_delegate->dataMigrator(), &ZRDataMigrator::libraryReloaded, this, &MainWindow::productsChanged);
    // The sync command comes after the import commands, before the maintenance ones.
    const QList<QAction*> fileActions = file->actions();
    file->insertAction(fileActions.value(fileActions.indexOf(m_importMenu->discoverSoftwareAction()) + 1),
                       m_syncAction);
    file->addSeparator();
    file->addAction(m_printAction);
    file->addAction(m_printAllAction);
    file->addSeparator();
    file->addAction(m_quitAction);

    QMenu* edit = menuBar()->addMenu(localizedString(QStringLiteral("MainEditMenu")));
    edit->addAction(m_undoAction);
    edit->addAction(m_redoAction);
    m_editActions = new EditMenuActions(this, m_table, [this] { return selectedProducts(); });
    m_editActions->addTo(edit);
    connect(m_editActions, &EditMenuActions::statusMessage, this, &MainWindow::showStatusMessage);
    edit->addSeparator();
    edit->addAction(m_findAction);
    addPreferencesAction(edit);
    connect(edit, &QMenu::aboutToShow, this, &MainWindow::updateActions);

    QMenu* product = menuBar()->addMenu(localizedString(QStringLiteral("MainProductMenu")));
    product->addAction(m_newAction);
    product->addAction(m_productActions->locateAction());
    product->addAction(m_removeAction);
    m_productActions->addToProductMenu(product);
    m_attachmentActions = new AttachmentActions(m_delegate, m_attachments, this);
    m_attachmentActions->addToMenu(product);
    connect(product, &QMenu::aboutToShow, this, &MainWindow::updateActions);
    m_windowMenu = new WindowMenu(menuBar(), this);
    connect(m_windowMenu, &WindowMenu::spendingRequested, this, [this] { SpendingWindow::showFor(m_delegate, this); });
    m_productActions->addHelpMenu(menuBar());
    connectMailFinder(file);
}

void MainWindow::connectMailFinder(QMenu* file)
{
    m_mailCommands = new MailLicenceCommands(m_delegate, this);
    file->insertAction(file->actions().value(file->actions().indexOf(m_syncAction) + 1), m_mailCommands->findAction());
    connect(m_attachmentActions, &AttachmentActions::findLicencesInMailRequested, m_mailCommands,
            [this] { m_mailCommands->showSheet(); });
    connect(m_table, &ProductTableView::mailDropped, m_mailCommands, &MailLicenceCommands::productListDrop);
    connect(m_attachments, &AttachmentListView::mailDropped, m_mailCommands, &MailLicenceCommands::attachmentsDrop);
    connect(m_mailCommands, &MailLicenceCommands::statusMessage, this, &MainWindow::showStatusMessage);
    connect(m_mailCommands, &MailLicenceCommands::productsAdded, this, [this](const QList<Persistence::ObjectID>& ids) {
        if (!ids.isEmpty()) {
            productImported(ids.first());
        }
    });
}

void MainWindow::buildToolBar()
{
    m_toolbar = MainToolbarBuilder::build(*this, m_delegate->userPrefs());
}

void MainWindow::buildCentralArea()
{
    UserPreferences& prefs = m_delegate->userPrefs();
    m_model = new ProductListModel(m_context, prefs, this);
    buildProductList();

    m_detail = new ProductDetailView(m_context, prefs, this);
    connect(m_detail, &ProductDetailView::productEdited, this, [this](const QString& key) {
        UndoNaming::name(m_context, UndoNaming::typingIn(m_detail->editorForKey(key)));
        updateActions();
        refreshSummary();
        if (m_model->dependsOnKey(key)) {
            scheduleRefresh();
        }
    });
    m_summary = new ProductSummaryView(m_detail->iconWell(), this);

    m_attachments = new AttachmentListView(m_delegate, this);
    m_attachments->setAccessibleName(localizedString(QStringLiteral("MainAttachmentsTab")));
    connect(m_attachments->table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateActions);
    // The attachments come first, then the pages of fields.
    m_tabs = m_detail->pages();
    m_tabs->insertTab(0, m_attachments, localizedString(QStringLiteral("MainAttachmentsTab")));
    m_tabs->setCurrentIndex(0);
    m_tabs->setAccessibleName(localizedString(QStringLiteral("MainDetailsTab")));
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::updateActions);

    auto* details = new QWidget(this);
    auto* detailsLayout = new QVBoxLayout(details);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    detailsLayout->addWidget(m_summary);
    detailsLayout->addWidget(m_detail, 1);
    m_splitter = new SourceListSplitter(m_listPane, details, this);
    setCentralWidget(m_splitter);

    m_status = new QLabel(this);
    statusBar()->addPermanentWidget(m_status); // leaves room on the left for command messages
    buildActivityIndicator();
}

// The list with the bar under it: the plus button and the count.
void MainWindow::buildProductList()
{
    m_table = new ProductTableView(this);
    m_table->setObjectName(QStringLiteral("productsTable"));
    m_table->setAccessibleName(localizedString(QStringLiteral("ProductListAccessibleName")));
    connect(m_table, &ProductTableView::filesDropped, this, [this](const QStringList& paths) {
        if (m_delegate && m_context) {
            m_detail->commitEditing();
            m_delegate->openFiles(paths);
        }
    });
    connect(m_table, &ProductTableView::openRequested, this, &MainWindow::openFirstAttachment);
    m_table->setModel(m_model);
    m_table->setItemDelegateForColumn(ProductListModel::TitleColumn, new ProductCellDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights: the view never measures rows, so its cost does not grow with the list.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(ProductCellDelegate::rowHeight(m_table->font()));
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(ProductListModel::TitleColumn, QHeaderView::Stretch);
    header->setStretchLastSection(false);
    m_columns = new ProductListColumns(header);
    m_columns->showTitleOnly();
    connect(m_table, &ZRTableView::deleteKeyPressed, this, &MainWindow::removeSelectedProducts);
    m_table->setContextMenuFiller([this](QMenu* menu) { fillProductContextMenu(menu); });
    // The header shows the preferred order; clicking a column sorts by it and stores the choice.
    const SortOrder order = m_model->sortOrder();
    const int column = order.isEmpty() ? -1 : ProductListModel::columnForKey(order.first().key);
    const bool ascending = order.isEmpty() || order.first().ascending;
    header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_table->setSortingEnabled(true);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::showSelection);
    new SearchFieldKeys(m_search, m_table);

    m_countBar = new StatusBarCount(this);
    connect(m_countBar, &StatusBarCount::addRequested, this, &MainWindow::addProduct);
    m_listPane = new QWidget(this);
    auto* layout = new QVBoxLayout(m_listPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_countBar);
}

// Tab goes list -> search -> summary -> tabs -> the fields of the page shown (hidden pages are
// skipped), and from the last field of the page shown back to the list (focusNextPrevChild).
void MainWindow::setKeyboardOrder()
{
    QList<QWidget*> chain {m_table, m_search, m_summary->copySerialButton(), m_tabs->tabBar(), m_attachments->table()};
    QWidget* last = m_detail->editorForKey(QStringLiteral("comments"));
    QWidget* field = m_detail->editorForKey(QStringLiteral("title"));
    // The form's own order, from the title to the notes.
    for (int guard = 0; field && guard < 200; ++guard, field = field->nextInFocusChain()) {
        if (field->focusPolicy() & Qt::TabFocus) {
            chain.append(field);
        }
        if (field == last) {
            break;
        }
    }
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain.at(i - 1), chain.at(i));
    }
}

bool MainWindow::focusNextPrevChild(bool next)
{
    if (next && m_detail->isLastFieldShown(focusWidget())) {
        m_table->setFocus(Qt::TabFocusReason);
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
}

// A small busy bar in the status bar that moves while any background job runs.
void MainWindow::buildActivityIndicator()
{
    m_activity = new QProgressBar(this);
    m_activity->setObjectName(QStringLiteral("activityIndicator"));
    m_activity->setRange(0, 0);
    m_activity->setTextVisible(false);
    m_activity->setMaximumWidth(80);
    m_activity->setVisible(m_delegate->jobs().runningCount() > 0);
    statusBar()->addPermanentWidget(m_activity);
    connect(&m_delegate->jobs(), &BackgroundJobTracker::countChanged, m_activity,
            [this](int running) { m_activity->setVisible(running > 0); });
}

void MainWindow::fillProductContextMenu(QMenu* menu)
{
    updateActions();
    m_productActions->addToContextMenu(menu);
    menu->addSeparator();
    menu->addAction(m_removeAction);
}

void MainWindow::showLibraryUnavailable()
{
    m_table->setEnabled(false);
    m_search->setEnabled(false);
    m_detail->setEnabled(false);
    m_attachments->setEnabled(false);
    const QString reason = m_delegate->openError();
    m_status->setText(reason.isEmpty() ? localizedString(QStringLiteral("LibraryUnavailableStatus"))
                                       : localizedFormat(QStringLiteral("LibraryUnavailableStatusFormat"), {reason}));
}

QList<ProductEntity*> MainWindow::selectedProducts() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QList<ProductEntity*> products;
    for (int row : std::as_const(rows)) {
        if (ProductEntity* product = m_model->product(row)) {
            products.append(product);
        }
    }
    return products;
}

void MainWindow::selectFirstProduct()
{
    if (m_model->rowCount() > 0) {
        m_table->selectRow(0);
        m_table->scrollToTop();
    }
}

bool MainWindow::selectProduct(ProductEntity* product)
{
    const int row = m_model->rowOf(product);
    if (row < 0) {
        return false;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollTo(index);
    return true;
}

// One product selected is shown and edited; several are only counted (nothing would say which
// of them the form edits).
void MainWindow::showSelection()
{
    const QList<ProductEntity*> products = selectedProducts();
    ProductEntity* shown = products.size() == 1 ? products.first() : nullptr;
    m_detail->setProduct(shown);
    m_attachments->setProduct(shown);
    m_tabs->setEnabled(products.size() <= 1);
    refreshSummary();
    updateActions();
}

void MainWindow::refreshSummary()
{
    const QList<ProductEntity*> products = selectedProducts();
    if (products.size() > 1) {
        m_summary->showSelectionCount(int(products.size()));
    } else {
        m_summary->showProduct(m_detail->product());
    }
}

void MainWindow::openFirstAttachment()
{
    if (selectedProducts().size() != 1 || m_attachments->model()->rowCount() == 0) {
        statusBar()->showMessage(localizedString(QStringLiteral("NoAttachmentToOpenStatus")), 4000);
        return;
    }
    m_tabs->setCurrentWidget(m_attachments);
    m_attachments->table()->selectRow(0);
    m_attachments->openSelected();
}

void MainWindow::restoreSelection(const QList<ProductEntity*>& products)
{
    QItemSelection selection;
    for (ProductEntity* product : products) {
        const int row = m_model->rowOf(product);
        if (row >= 0) {
            selection.select(m_model->index(row, 0), m_model->index(row, ProductListModel::ColumnCount - 1));
        }
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        m_table->selectionModel()->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
    }
}

void MainWindow::refreshList()
{
    m_refreshQueued = false;
    const QList<ProductEntity*> selected = selectedProducts();
    if (!m_model->refresh()) {
        // A reset clears the selection without telling anyone: restore it and show the result.
        restoreSelection(selected);
        showSelection();
    }
    refreshSummary();
    updateCount();
    updateActions();
}

// Edits arrive while the form is being switched to another product; the list follows once that
// is done, so a refresh never pulls the selection away under it.
void MainWindow::scheduleRefresh()
{
    if (m_refreshQueued) {
        return;
    }
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, &MainWindow::refreshList, Qt::QueuedConnection);
}

void MainWindow::applySearch(const QString& text)
{
    const QList<ProductEntity*> selected = selectedProducts();
    const bool searched = m_model->setFilterText(text);
    if (!m_model->setLicenceFilters(m_searchArea->filters()) || !searched) {
        restoreSelection(selected);
        // When the search hides every selected product, the first match takes their place, so
        // the form never goes blank while matches are shown.
        if (!m_table->selectionModel()->hasSelection() && !selected.isEmpty() && m_model->rowCount() > 0) {
            m_table->selectRow(0);
        }
    }
    if (m_table->currentIndex().isValid()) {
        m_table->scrollTo(m_table->currentIndex());
    }
    showSelection();
    updateCount();
}

void MainWindow::addProduct()
{
    if (!m_delegate || !m_context) {
        return;
    }
    m_detail->commitEditing();
    // A new product must be seen: a search would hide it.
    m_search->clear();
    UndoNaming::runNamed(m_context, UndoNaming::newProduct(), [this] { m_delegate->addNewProduct(); });
    updateActions(); // Undo now names the new product
}

void MainWindow::productAdded(ProductEntity* product)
{
    refreshList();
    if (!selectProduct(product)) {
        Log::write(QStringLiteral("Warning: unable to select imported items."));
        return;
    }
    m_detail->focusTitle();
}

void MainWindow::productImported(const Persistence::ObjectID& productID)
{
    if (!m_context || productID.isNull()) {
        return;
    }
    refreshList();
    auto* product = dynamic_cast<ProductEntity*>(m_context->objectWithID(productID));
    if (product && m_model->rowOf(product) < 0 && !m_search->text().isEmpty()) {
        // The search hides the new product: show the whole list.
        m_search->clear();
    }
    if (!product || !selectProduct(product)) {
        Log::write(QStringLiteral("Warning: unable to select imported items."));
    }
}

void MainWindow::showDiscoverSoftwareSheet()
{
    if (!m_delegate || !m_context) {
        return;
    }
    // The scan runs on a worker with a discovery of its own, whose application lookup is made here
    // so that no preference is read off the main thread. The controller's jobs end before its
    // session, so the scan may outlive the sheet.
    const ApplicationLocator locator = m_delegate->applicationLocator();
    auto discovery = std::make_shared<SoftwareDiscoveryService>(
        m_delegate->session(), [locator] { return locator; }, [] { return InstalledSoftwareScanner(); });
    // The scan reads the disk only; the catalogue is compared on the main thread, where the
    // window's list reads the same context.
    openDiscoverSoftwareSheet(
        [discovery] { return discovery->installedApplications(); },
        [discovery, context = m_context](const QList<InstalledApplication>& applications, QString* error) {
            std::optional<QList<Persistence::ObjectID>> added;
            UndoNaming::runNamed(context, QString(), [&] {
                added = discovery->addApplications(applications, error);
                UndoNaming::name(context, UndoNaming::importProducts(added ? int(added->size()) : 0));
            });
            return added;
        },
        [discovery](QList<DiscoveredApplication>& applications) { discovery->markInCatalogue(applications); });
}

DiscoverSoftwareSheet* MainWindow::openDiscoverSoftwareSheet(DiscoverSoftwareSheet::Scan scan,
                                                             DiscoverSoftwareSheet::Add add,
                                                             DiscoverSoftwareSheet::CatalogueCheck check)
{
    if (!m_delegate) {
        return nullptr;
    }
    auto* sheet = new DiscoverSoftwareSheet(m_delegate->jobs(), m_delegate->userInterface(), std::move(scan),
                                            std::move(add), this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setCatalogueCheck(std::move(check));
    connect(sheet, &DiscoverSoftwareSheet::productsAdded, this, [this](const QList<Persistence::ObjectID>& ids) {
        if (!ids.isEmpty()) {
            productImported(ids.first());
        }
    });
    sheet->open();
    sheet->startScan();
    return sheet;
}

void MainWindow::productsChanged()
{
    refreshList();
    m_detail->reloadCurrencies();
    m_detail->reload();
}

void MainWindow::removeSelectedProducts()
{
    if (!m_delegate || !m_context) {
        return;
    }
    m_detail->commitEditing();
    const QList<ProductEntity*> products = selectedProducts();
    if (products.isEmpty()) {
        return;
    }
    const int firstRow = m_model->rowOf(products.first());
    bool removed = false;
    UndoNaming::runNamed(m_context, UndoNaming::deleteProducts(int(products.size())),
                         [&] { removed = m_delegate->removeProducts(products); });
    updateActions();
    if (removed && m_model->rowCount() > 0) {
        // The row that took the place of the removed ones is selected next.
        m_table->selectRow(std::min(firstRow, m_model->rowCount() - 1));
    }
    m_table->setFocus();
}

void MainWindow::showStatusMessage(const QString& message)
{
    constexpr int shownMilliseconds = 6000;
    statusBar()->showMessage(message, shownMilliseconds);
}

void MainWindow::undo()
{
    if (!m_context || !m_context->undoManager()) {
        return;
    }
    m_detail->commitEditing();
    m_context->undo();
    afterUndoOrRedo();
}

void MainWindow::redo()
{
    if (!m_context || !m_context->undoManager()) {
        return;
    }
    m_detail->commitEditing();
    m_context->redo();
    afterUndoOrRedo();
}

void MainWindow::afterUndoOrRedo()
{
    refreshList();
    m_detail->reload();
    updateActions();
}

MainWindowCommandState MainWindow::commandState() const
{
    const bool attachmentsShown = m_tabs->currentWidget() == m_attachments;
    MainWindowSelection selection = MainWindowCommandState::describe(
        selectedProducts(), attachmentsShown ? m_attachments->selectedAttachments() : QList<AttachmentEntity*>(),
        attachmentsShown, nullptr);
    selection.hasLibrary = m_context != nullptr;
    return MainWindowCommandState(selection);
}

void MainWindow::updateActions()
{
    if (!m_attachmentActions) {
        return; // still being built
    }
    const bool hasLibrary = m_context != nullptr;
    const Persistence::UndoManager* undo = hasLibrary ? m_context->undoManager() : nullptr;
    const MainWindowCommandState state = commandState();
    m_newAction->setEnabled(state.isEnabled(MainWindowCommand::NewProduct));
    m_removeAction->setEnabled(state.isEnabled(MainWindowCommand::RemoveProduct));
    m_saveAction->setEnabled(hasLibrary);
    m_printAction->setEnabled(state.isEnabled(MainWindowCommand::Print));
    m_printAllAction->setEnabled(hasLibrary);
    m_syncAction->setEnabled(state.isEnabled(MainWindowCommand::SyncToMobile));
    m_importMenu->setEnabled(state.isEnabled(MainWindowCommand::ImportApp));
    m_undoAction->setEnabled(undo && undo->canUndo());
    m_redoAction->setEnabled(undo && undo->canRedo());
    m_undoAction->setText(UndoNaming::undoTitle(undo));
    m_redoAction->setText(UndoNaming::redoTitle(undo));
    m_productActions->update();
    m_attachmentActions->update(state, ZREmailParser::defaultMailReader());
}

void MainWindow::updateCount()
{
    if (!m_context) {
        return;
    }
    m_countBar->setCount(m_model->rowCount(), m_model->totalCount());
    const int due = m_model->dueCount();
    m_status->setText(due > 0 ? localizedFormat(QStringLiteral("DueCountStatusFormat"), {QString::number(due)})
                              : QString());
}

// The start-up reminder, as `keymoor remind` gives it; the notifications go out off this thread.
void MainWindow::remindOfDueLicences()
{
    QList<LicenceDueEntry> due = LicenceDue::dueEntries(m_model->products(), QDate::currentDate(), std::nullopt);
    if (!due.isEmpty()) {
        LicenceReminder::remindInBackground(std::move(due), CurrencyCodes(*m_context), QDate::currentDate());
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_terminationAccepted || !m_delegate) {
        event->accept();
        return;
    }
    if (m_delegate->applicationShouldTerminate() == KeymoorAppDelegate::TerminateReply::Cancel) {
        event->ignore();
        updateActions();
        return;
    }
    m_terminationAccepted = true;
    saveWindowState();
    event->accept();
}

void MainWindow::saveWindowState()
{
    if (m_delegate) {
        MainWindowState::save(m_delegate->userPrefs().defaults(),
                              {this, m_splitter, m_table->horizontalHeader(), m_tabs});
    }
}

void MainWindow::restoreWindowState()
{
    if (MainWindowState::restore(m_delegate->userPrefs().defaults(),
                                 {this, m_splitter, m_table->horizontalHeader(), m_tabs})) {
        // The title column always shows and takes the room the others leave.
        m_table->horizontalHeader()->setSectionHidden(ProductListModel::TitleColumn, false);
        m_table->horizontalHeader()->setSectionResizeMode(ProductListModel::TitleColumn, QHeaderView::Stretch);
    }
}

void MainWindow::buildReportActions()
{
    m_printPanel = std::make_unique<QtPrintPanel>(this);
    m_delegate->setPrintPanel(m_printPanel.get());

    m_printAction = new QAction(localizedString(QStringLiteral("MainPrintMenuItem")), this);
    m_printAction->setObjectName(QStringLiteral("printAction"));
    m_printAction->setShortcut(QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, [this] {
        if (m_delegate) {
            m_detail->commitEditing();
            m_delegate->print();
        }
    });
    m_printAllAction = new QAction(localizedString(QStringLiteral("MainPrintAllMenuItem")), this);
    m_printAllAction->setObjectName(QStringLiteral("printAllAction"));
    m_printAllAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(m_printAllAction, &QAction::triggered, this, [this] {
        if (m_delegate) {
            m_detail->commitEditing();
            m_delegate->printAll();
        }
    });
    m_syncAction = new QAction(localizedString(QStringLiteral("MainSyncToPhoneMenuItem")), this);
    connect(m_syncAction, &QAction::triggered, this, [this] {
        if (m_delegate) {
            m_detail->commitEditing();
            showStatusMessage(localizedString(m_delegate->syncToMobile() ? QStringLiteral("StatusSyncFinished")
                                                                         : QStringLiteral("StatusSyncNotDone")));
        }
    });
}

PreferencesController* MainWindow::preferencesController()
{
    if (!m_preferences && m_delegate) {
        m_preferences = new PreferencesController(*m_delegate, this);
        // The preferences work on the controller's settings: they close with it.
        PreferencesController* preferences = m_preferences;
        connect(m_delegate, &QObject::destroyed, preferences, [preferences] { delete preferences; });
        connect(m_preferences, &PreferencesController::preferenceChanged, this, [this](const QString& key) {
            if (key == PreferenceKeys::AttachmentSortKey) {
                m_attachments->reload();
            } else if (MainToolbarLayout::isMailPreference(key)) {
                m_toolbar->reload();
            }
        });
    }
    return m_preferences;
}

void MainWindow::addPreferencesAction(QMenu* menu)
{
    m_preferencesAction = new QAction(localizedString(QStringLiteral("MainPreferencesMenuItem")), this);
    m_preferencesAction->setObjectName(QStringLiteral("preferencesAction"));
    m_preferencesAction->setMenuRole(QAction::PreferencesRole);
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Preferences);
    if (keys.isEmpty()) {
        keys.append(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    }
    m_preferencesAction->setShortcuts(keys);
    connect(m_preferencesAction, &QAction::triggered, this, [this] {
        if (PreferencesController* preferences = preferencesController()) {
            preferences->showWindow();
        }
    });
    menu->addSeparator();
    menu->addAction(m_preferencesAction);
}

// "Sync to iPhone" with sync switched off asks for its pane.
void MainWindow::showPreferencesPane(const QString& identifier)
{
    if (PreferencesController* preferences = preferencesController()) {
        preferences->setActiveViewByIdentifier(identifier);
        preferences->showWindow();
    }
}

void MainWindow::showImportSheet()
{
    if (!m_delegate || !m_delegate->managedObjectContext()) {
        return;
    }
    if (!m_importSheetController) {
        m_importSheetController = new ZRImportSheetController(this);
    }
    MaintenanceMenu* maintenance = m_maintenance;
    ImportSheet sheet(
        m_delegate, m_importSheetController,
        [maintenance](const QString& path, bool replace) { maintenance->importLibraryFromPath(path, replace); }, this);
    sheet.exec();
}
