#include "PreferencesController.h"
#include "PreferencesPane.h"
#include "PreferencesPanes.h"
#include "base/Localization.h"

#include <QAction>
#include <QActionGroup>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

// The window of the preferences: its toolbar, its panes and the rules for showing them.

QMainWindow* PreferencesController::window()
{
    if (!m_window) {
        buildWindow();
    }
    return m_window;
}

void PreferencesController::buildWindow()
{
    m_window = new QMainWindow(m_parentWindow, Qt::Window);
    m_window->setObjectName(QStringLiteral("preferencesWindow"));
    m_panes.clear();
    m_activePane = nullptr;

    QToolBar* toolbar = m_window->addToolBar(localizedString(QStringLiteral("PreferencesToolbarTitle")));
    toolbar->setObjectName(QStringLiteral("preferences toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu); // the toolbar cannot be hidden or changed
    toolbar->toggleViewAction()->setVisible(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_items = new QActionGroup(m_window);
    m_items->setExclusive(true);

    toolbar->setIconSize(QSize(32, 32)); // theme icons come in uneven sizes
    auto* central = new QWidget(m_window);
    auto* column = new QVBoxLayout(central);
    auto* holder = new QWidget(central);
    m_holder = new QVBoxLayout(holder);
    m_holder->setContentsMargins(0, 0, 0, 0);
    m_holder->setSizeConstraint(QLayout::SetMinimumSize);
    column->addWidget(holder, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, central);
    buttons->setObjectName(QStringLiteral("preferencesButtons"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, m_window, &QWidget::close);
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::Close), QKeySequence(Qt::Key_Escape)}) {
        connect(new QShortcut(keys, m_window), &QShortcut::activated, m_window, &QWidget::close);
    }
    m_window->setCentralWidget(central);

    const auto item = [this](const char* labelKey, const char* iconName, QStyle::StandardPixmap fallback) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(iconName), m_window->style()->standardIcon(fallback));
        auto* action = new QAction(icon, localizedString(QString::fromLatin1(labelKey)), m_items);
        action->setCheckable(true);
        return action;
    };
    addPane(PreferencesPanes::makeGeneralPane(*this, holder),
            item("PreferencesGeneralTab", "preferences-system", QStyle::SP_ComputerIcon));
    addPane(PreferencesPanes::makeAutoFillPane(*this, holder),
            item("PreferencesAutofillTab", "x-office-address-book", QStyle::SP_DirHomeIcon));
    addPane(PreferencesPanes::makeEmailScannerPane(*this, holder),
            item("PreferencesEmailScannerTab", "mail-message", QStyle::SP_FileDialogContentsView));
    addPane(PreferencesPanes::makeSyncUpdatePane(*this, holder),
            item("PreferencesSyncTab", "phone", QStyle::SP_DriveNetIcon));
    addPane(PreferencesPanes::makeAdvancedPane(*this, holder),
            item("PreferencesAdvancedTab", "preferences-other", QStyle::SP_FileDialogDetailedView));
    toolbar->addActions(m_items->actions());
    // Every pane takes the size of the largest, so the window keeps one size whichever is shown.
    QSize largest;
    for (const PreferencesPane* pane : std::as_const(m_panes)) {
        largest = largest.expandedTo(pane->sizeHint());
    }
    for (PreferencesPane* pane : std::as_const(m_panes)) {
        pane->setMinimumSize(largest);
    }
    connect(m_items, &QActionGroup::triggered, this, &PreferencesController::toggleActivePreferenceView);

    // The window opens on the first pane.
    QAction* general = toolbarItem(QString::fromLatin1(GeneralPane));
    general->setChecked(true);
    toggleActivePreferenceView(general);
}

void PreferencesController::addPane(PreferencesPane* pane, QAction* item)
{
    item->setData(pane->identifier());
    item->setObjectName(pane->identifier());
    pane->hide();
    m_panes.append(pane);
}

PreferencesPane* PreferencesController::pane(const QString& identifier) const
{
    for (PreferencesPane* pane : m_panes) {
        if (pane->identifier() == identifier) {
            return pane;
        }
    }
    return nullptr;
}

QAction* PreferencesController::toolbarItem(const QString& identifier) const
{
    if (!m_items) {
        return nullptr;
    }
    for (QAction* action : m_items->actions()) {
        if (action->data().toString() == identifier) {
            return action;
        }
    }
    return nullptr;
}

void PreferencesController::toggleActivePreferenceView(QAction* item)
{
    if (!item) {
        return;
    }
    window();
    if (PreferencesPane* shown = pane(item->data().toString())) {
        setActiveView(shown);
    }
    m_window->setWindowTitle(item->text());
}

void PreferencesController::setActiveViewByIdentifier(const QString& identifier)
{
    window();
    if (PreferencesPane* shown = pane(identifier)) {
        setActiveView(shown);
    }
    // The toolbar item of the pane is highlighted and names the window.
    if (QAction* item = toolbarItem(identifier)) {
        item->setChecked(true);
        m_window->setWindowTitle(item->text());
    } else {
        m_window->setWindowTitle(identifier);
    }
}

void PreferencesController::setActiveView(PreferencesPane* pane)
{
    window();
    if (!pane || !m_panes.contains(pane)) {
        return;
    }
    if (m_activePane && m_activePane != pane) {
        m_holder->removeWidget(m_activePane);
        m_activePane->hide();
    }
    pane->load();
    if (m_activePane != pane) {
        m_holder->addWidget(pane);
        pane->show();
        m_activePane = pane;
    }
    // The window takes the size the pane asks for; a top-level resize keeps the top-left corner.
    const QPoint topLeft = m_window->pos();
    m_holder->activate();
    m_window->setFixedSize(m_window->sizeHint());
    m_window->move(topLeft);
}

void PreferencesController::showWindow()
{
    QMainWindow* shown = window();
    if (!shown->isVisible()) {
        QScreen* screen = m_parentWindow ? m_parentWindow->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = shown->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            shown->move(frame.topLeft());
        }
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
}
