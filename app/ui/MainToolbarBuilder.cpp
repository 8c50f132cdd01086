#include "MainToolbarBuilder.h"

#include "AttachmentActions.h"
#include "ImportApplicationMenu.h"
#include "LicenceFilterBar.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "ProductActions.h"
#include "ToolbarIcons.h"
#include "email/ZREmailParser.h"
#include "prefs/UserPreferences.h"

#include <QAction>
#include <QLineEdit>
#include <QWidgetAction>

MainToolbar* MainToolbarBuilder::build(MainWindow& window, const UserPreferences& prefs)
{
    auto* toolbar = new MainToolbar(prefs.defaults(), [&prefs] {
        return MainToolbarLayout::MailSettings {prefs.autoDetectEmailReader(), prefs.enableAppleMail(),
                                                prefs.enableMicrosoftOutlook(), ZREmailParser::defaultMailReader()};
    });
    window.addToolBar(toolbar);
    setItemActions(window, *toolbar);
    toolbar->reload();
    return toolbar;
}

void MainToolbarBuilder::setItemActions(MainWindow& window, MainToolbar& toolbar)
{
    namespace Item = MainToolbarLayout;
    // The search field stays owned by its action whether the toolbar shows it or not.
    auto* search = new QWidgetAction(&window);
    search->setDefaultWidget(window.searchArea());
    const ImportApplicationMenu* imports = window.importApplicationMenu();
    imports->importApplicationAction()->setIcon(ToolbarIcons::importAppIcon());
    imports->importWidgetAction()->setIcon(ToolbarIcons::importWidgetIcon());
    imports->importPluginAction()->setIcon(ToolbarIcons::importPluginIcon());
    imports->importPreferencePaneAction()->setIcon(ToolbarIcons::importPrefPaneIcon());
    window.syncAction()->setIcon(ToolbarIcons::phoneIcon());
    const AttachmentActions* attachments = window.attachmentActions();
    const ProductActions* products = window.productActions();
    const std::pair<const char*, QAction*> items[] = {
        {Item::NewItem, window.newProductAction()},
        {Item::ImportApp, imports->importApplicationAction()},
        {Item::RemoveItem, window.removeProductAction()},
        {Item::ImportMail, attachments->importMailAction()},
        {Item::ImportOutlook, attachments->importOutlookAction()},
        {Item::AttachFile, attachments->attachFileAction()},
        {Item::SearchItem, search},
        {Item::ClipboardSerial, products->copySerialAction()},
        {Item::RemoveAttachment, attachments->removeAttachmentAction()},
        {Item::ImportWidget, imports->importWidgetAction()},
        {Item::ImportPlugin, imports->importPluginAction()},
        {Item::ImportPrefPane, imports->importPreferencePaneAction()},
        {Item::RefreshApp, products->refreshAction()},
        {Item::RefreshAllApps, products->refreshAllAction()},
        {Item::SyncToMobile, window.syncAction()},
    };
    for (const auto& [identifier, action] : items) {
        toolbar.setItemAction(QString::fromLatin1(identifier), action);
    }
}
