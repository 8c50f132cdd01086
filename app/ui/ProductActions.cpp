#include "ProductActions.h"

#include "AboutDialog.h"
#include "MainWindowCommandState.h"
#include "ToolbarIcons.h"
#include "UndoNaming.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "desktop/ApplicationLocator.h"
#include "model/ProductEntity.h"
#include "products/ProductApplicationCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

ProductActions::ProductActions(KeymoorAppDelegate* delegate, ProductsProvider selection, ProductsProvider listed,
                               QWidget* parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_selection(std::move(selection))
    , m_listed(std::move(listed))
    , m_parent(parent)
{
    m_launch = makeAction(localizedString(QStringLiteral("ProductLaunchApplicationMenuItem")),
                          QStringLiteral("launchApplication"),
                          [this](ProductEntity* product) { launchApplication(product); });
    m_locate = makeAction(localizedString(QStringLiteral("ProductLocateAppMenuItem")), QStringLiteral("locateApp"),
                          [this](ProductEntity* product) { m_delegate->locateApp(product); });
    m_reveal = makeAction(localizedString(QStringLiteral("ProductShowApplicationInFolderMenuItem")),
                          QStringLiteral("revealApp"),
                          [this](ProductEntity* product) { m_delegate->revealAppInFinder(product); });
    m_refresh = makeAction(
        localizedString(QStringLiteral("ProductRefreshFromApplicationMenuItem")), QStringLiteral("updateAppInfo"),
        [this](ProductEntity* product) {
            bool refreshed = false;
            UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::refreshFromApplication(),
                                 [&] { refreshed = m_delegate->updateInfoForApp(product); });
            report(refreshed ? localizedFormat(QStringLiteral("StatusRefreshedProductFormat"), {product->title()})
                             : localizedString(QStringLiteral("StatusNothingToRefresh")));
        });
    m_refreshAll = makeGlobalAction(
        localizedString(QStringLiteral("ProductRefreshAllFromApplicationsMenuItem")),
        QStringLiteral("updateAllAppInfo"), [this] {
            int refreshed = 0;
            UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::refreshFromApplication(),
                                 [&] { refreshed = m_delegate->updateAllAppInfo(m_listed()); });
            report(refreshed > 0
                       ? localizedFormat(QStringLiteral("StatusRefreshedCountFormat"), {QString::number(refreshed)})
                       : localizedString(QStringLiteral("StatusNothingToRefresh")));
        });
    m_addIcon = makeAction(localizedString(QStringLiteral("ProductChooseIconMenuItem")), QStringLiteral("addAppIcon"),
                           [this](ProductEntity* product) {
                               UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::changeIcon(),
                                                    [&] { m_delegate->addAppIcon(product); });
                           });
    m_removeIcon = makeAction(localizedString(QStringLiteral("ProductRemoveIconMenuItem")),
                              QStringLiteral("removeAppIcon"), [this](ProductEntity* product) {
                                  UndoNaming::runNamed(m_delegate->managedObjectContext(), UndoNaming::removeIcon(),
                                                       [&] { m_delegate->removeAppIcon(product); });
                              });
    m_copySerial = makeAction(localizedString(QStringLiteral("ProductCopySerialNumberMenuItem")),
                              QStringLiteral("copySerial"), [this](ProductEntity* product) {
                                  m_delegate->copySerialToClipboard(product);
                                  report(localizedString(QStringLiteral("StatusSerialCopied")));
                              });
    m_copySerial->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_copySerial->setIcon(ToolbarIcons::clipboardKeyIcon());
    m_refresh->setIcon(ToolbarIcons::reloadIcon());
    m_refreshAll->setIcon(ToolbarIcons::reloadMultipleIcon());
    m_copyName = makeAction(localizedString(QStringLiteral("ProductCopyRegisteredNameMenuItem")),
                            QStringLiteral("copyRegisteredName"),
                            [this](ProductEntity* product) { m_delegate->copyRegisteredNameToClipboard(product); });
    m_copyEmail = makeAction(localizedString(QStringLiteral("ProductCopyRegisteredEmailMenuItem")),
                             QStringLiteral("copyRegisteredEmail"),
                             [this](ProductEntity* product) { m_delegate->copyRegisteredEmailToClipboard(product); });
    m_openWebsite
        = makeAction(localizedString(QStringLiteral("ProductOpenWebsiteMenuItem")), QStringLiteral("openWebsite"),
                     [this](ProductEntity* product) { openAddress(product, &ProductEntity::productWebsite); });
    m_sendDeveloperEmail = makeAction(
        localizedString(QStringLiteral("ProductWriteToSupportMenuItem")), QStringLiteral("sendDeveloperEmail"),
        [this](ProductEntity* product) { openAddress(product, &ProductEntity::productEmail); });

    m_helpActions = {
        makeGlobalAction(localizedString(QStringLiteral("ProductKeymoorSupportMenuItem")),
                         QStringLiteral("openSupport"), [this] { m_delegate->openSupport(); }),
        makeGlobalAction(localizedString(QStringLiteral("ProductFrequentlyAskedQuestionsMenuItem")),
                         QStringLiteral("openFAQ"), [this] { m_delegate->openFrequentlyAskedQuestionsSite(); }),
        makeGlobalAction(localizedString(QStringLiteral("ProductReleaseNotesMenuItem")),
                         QStringLiteral("openReleaseNotes"), [this] { m_delegate->openReleaseNotesSite(); }),
        makeGlobalAction(localizedString(QStringLiteral("ProductSendFeedbackMenuItem")), QStringLiteral("sendFeedback"),
                         [this] { m_delegate->sendFeedback(); }),
        makeGlobalAction(localizedString(QStringLiteral("ProductCheckForUpdatesMenuItem")),
                         QStringLiteral("checkForUpdates"), [this] { m_delegate->checkForUpdates(); }),
    };
    update();
}

ProductActions::~ProductActions() = default;

QAction* ProductActions::makeAction(const QString& text, const QString& objectName,
                                    std::function<void(ProductEntity*)> command)
{
    auto* action = new QAction(text, m_parent);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, [this, command] {
        ProductEntity* product = firstSelected();
        if (m_delegate && product) {
            command(product);
        }
    });
    return action;
}

QAction* ProductActions::makeGlobalAction(const QString& text, const QString& objectName, std::function<void()> command)
{
    auto* action = new QAction(text, m_parent);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, [this, command] {
        if (m_delegate) {
            command();
        }
    });
    return action;
}

ProductEntity* ProductActions::firstSelected() const
{
    const QList<ProductEntity*> products = m_selection ? m_selection() : QList<ProductEntity*>();
    return products.isEmpty() ? nullptr : products.first();
}

void ProductActions::addToProductMenu(QMenu* menu)
{
    menu->addSeparator();
    for (QAction* action : {m_copySerial, m_copyName, m_copyEmail}) {
        menu->addAction(action);
    }
    menu->addSeparator();
    for (QAction* action : {m_launch, m_reveal, m_refresh, m_refreshAll}) {
        menu->addAction(action);
    }
    menu->addSeparator();
    for (QAction* action : {m_addIcon, m_removeIcon}) {
        menu->addAction(action);
    }
    menu->addSeparator();
    for (QAction* action : {m_openWebsite, m_sendDeveloperEmail}) {
        menu->addAction(action);
    }
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (m_locator) {
            m_locator->refresh(); // an application may have been installed or removed meanwhile
        }
        update();
    });
}

void ProductActions::addToContextMenu(QMenu* menu)
{
    for (QAction* action : {m_copySerial, m_copyName, m_copyEmail}) {
        menu->addAction(action);
    }
    menu->addSeparator();
    for (QAction* action : {m_launch, m_reveal, m_locate, m_refresh}) {
        menu->addAction(action);
    }
    menu->addSeparator();
    for (QAction* action : {m_openWebsite, m_sendDeveloperEmail}) {
        menu->addAction(action);
    }
}

ApplicationLocator& ProductActions::locator()
{
    if (!m_locator) {
        m_locator = std::make_unique<ApplicationLocator>(m_delegate->applicationLocator());
    }
    return *m_locator;
}

void ProductActions::addHelpMenu(QMenuBar* menuBar)
{
    QMenu* help = menuBar->addMenu(localizedString(QStringLiteral("ProductHelpMenu")));
    for (QAction* action : std::as_const(m_helpActions)) {
        help->addAction(action);
    }
    help->addSeparator();
    QAction* about = help->addAction(localizedString(QStringLiteral("AboutMenuItem")), m_parent,
                                     [this] { AboutDialog::show(m_parent); });
    about->setObjectName(QStringLiteral("about"));
    about->setMenuRole(QAction::AboutRole);
}

void ProductActions::update()
{
    const QList<ProductEntity*> selected = m_selection ? m_selection() : QList<ProductEntity*>();
    MainWindowSelection selection
        = MainWindowCommandState::describe(selected, {}, false, m_delegate ? &locator() : nullptr);
    selection.hasLibrary = m_delegate && m_delegate->openMode() == KeymoorAppDelegate::OpenMode::ReadWrite;
    const MainWindowCommandState state(selection);
    const std::pair<QAction*, MainWindowCommand> rules[] = {
        {m_launch, MainWindowCommand::LaunchApp},
        {m_reveal, MainWindowCommand::RevealApp},
        {m_locate, MainWindowCommand::LocateApp},
        {m_refresh, MainWindowCommand::RefreshApp},
        {m_refreshAll, MainWindowCommand::RefreshAllApps},
        {m_addIcon, MainWindowCommand::AddIcon},
        {m_removeIcon, MainWindowCommand::RemoveIcon},
        {m_copySerial, MainWindowCommand::CopySerial},
        {m_copyName, MainWindowCommand::CopyRegisteredName},
        {m_copyEmail, MainWindowCommand::CopyRegisteredEmail},
        {m_openWebsite, MainWindowCommand::OpenWebsite},
        {m_sendDeveloperEmail, MainWindowCommand::WriteToSupport},
    };
    for (const auto& [action, command] : rules) {
        action->setEnabled(state.isEnabled(command));
    }
}

void ProductActions::openAddress(ProductEntity* first, QString (ProductEntity::*address)() const)
{
    // With several products selected, the first one that has the address is used.
    const QList<ProductEntity*> selected = m_selection ? m_selection() : QList<ProductEntity*>();
    ProductEntity* product = nullptr;
    for (ProductEntity* candidate : selected) {
        if (!(candidate->*address)().trimmed().isEmpty()) {
            product = candidate;
            break;
        }
    }
    const bool website = address == &ProductEntity::productWebsite;
    if (!product) {
        report(localizedFormat(website ? QStringLiteral("StatusNoWebsiteFormat")
                                       : QStringLiteral("StatusNoSupportAddressFormat"),
                               {first->title()}));
        return;
    }
    const bool opened = website ? m_delegate->openWebsiteInBrowser(product) : m_delegate->sendDeveloperEmail(product);
    if (!opened) {
        report(localizedFormat(QStringLiteral("StatusCouldNotOpenFormat"), {(product->*address)()}));
    }
}

void ProductActions::report(const QString& message)
{
    emit statusMessage(message);
}

void ProductActions::launchApplication(ProductEntity* product)
{
    QString error;
    if (m_delegate->applications().launchApplication(product, &error) || error.isEmpty()) {
        return;
    }
    if (UserInterface* ui = m_delegate->userInterface()) {
        ui->runAlert(
            Alert {AlertStyle::Warning, localizedString(QStringLiteral("LaunchApplicationAlertTitle")), error, {}, -1});
    }
}
