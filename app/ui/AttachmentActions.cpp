#include "AttachmentActions.h"

#include "AttachmentListView.h"
#include "MainToolbarLayout.h"
#include "ToolbarIcons.h"
#include "attachments/MailImportService.h"
#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"

#include <QAction>
#include <QMenu>

AttachmentActions::AttachmentActions(KeymoorAppDelegate* delegate, AttachmentListView* view, QWidget* parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_view(view)
    , m_parent(parent)
{
    m_attachFile = makeAction(localizedString(QStringLiteral("AttachmentMenuAttachFileMenuItem")),
                              QStringLiteral("attachExistingFile"), &AttachmentListView::attachFiles);
    m_attachFile->setIcon(ToolbarIcons::attachFileIcon());
    m_importMail = new QAction(localizedString(QStringLiteral("AppleMailToolbarButton")), parent);
    m_importMail->setObjectName(QStringLiteral("attachSelectedEmail"));
    connect(m_importMail, &QAction::triggered, this, [this] {
        if (MailImportService::isHelperInstalled(QStringLiteral("MailHelper"))) {
            importMail(false);
        } else {
            emit findLicencesInMailRequested();
        }
    });
    m_importMail->setIcon(ToolbarIcons::importMailIcon());
    m_importOutlook = makeMailAction(localizedString(QStringLiteral("OutlookToolbarButton")),
                                     QStringLiteral("attachSelectedEmailFromOutlook"), true);
    m_importOutlook->setIcon(ToolbarIcons::importOutlookIcon());
    m_mailMenu = new QAction(localizedString(QStringLiteral("AttachmentMenuAttachSelectedMailMenuItem")), parent);
    m_mailMenu->setObjectName(QStringLiteral("mailImportMenuItem"));
    connect(m_mailMenu, &QAction::triggered, this, [this] { importMail(m_mailMenuUsesOutlook); });
    m_open = makeAction(localizedString(QStringLiteral("AttachmentMenuOpenAttachmentMenuItem")),
                        QStringLiteral("openAttachedFileWindow"), &AttachmentListView::openSelected);
    m_export = makeAction(localizedString(QStringLiteral("AttachmentMenuExportAttachmentsMenuItem")),
                          QStringLiteral("exportSelectedAttachments"), &AttachmentListView::exportSelected);
    m_scan = makeAction(localizedString(QStringLiteral("AttachmentMenuScanEmailMenuItem")), QStringLiteral("scanEmail"),
                        &AttachmentListView::scanSelectedEmail);
    m_remove = makeAction(localizedString(QStringLiteral("AttachmentMenuDeleteAttachmentsMenuItem")),
                          QStringLiteral("removeAttachedFile"), &AttachmentListView::removeSelected);
    m_remove->setIcon(ToolbarIcons::removeAttachmentIcon());
}

AttachmentActions::~AttachmentActions() = default;

QAction* AttachmentActions::makeAction(const QString& text, const QString& objectName,
                                       void (AttachmentListView::*command)())
{
    auto* action = new QAction(text, m_parent);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, m_view, command);
    return action;
}

QAction* AttachmentActions::makeMailAction(const QString& text, const QString& objectName, bool outlook)
{
    auto* action = new QAction(text, m_parent);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, [this, outlook] { importMail(outlook); });
    return action;
}

void AttachmentActions::importMail(bool outlook)
{
    if (!m_delegate) {
        return;
    }
    if (outlook) {
        m_delegate->attachSelectedEmailFromOutlook();
    } else {
        m_delegate->attachSelectedEmail();
    }
}

void AttachmentActions::addToMenu(QMenu* menu)
{
    menu->addSeparator();
    for (QAction* action : {m_attachFile, m_mailMenu, m_open, m_export, m_scan, m_remove}) {
        menu->addAction(action);
    }
}

void AttachmentActions::update(const MainWindowCommandState& state, const QString& defaultMailReader)
{
    m_mailMenuUsesOutlook = defaultMailReader == QLatin1String(MainToolbarLayout::OutlookReader);
    m_attachFile->setEnabled(state.isEnabled(MainWindowCommand::AttachFile));
    const bool helper = MailImportService::isHelperInstalled(QStringLiteral("MailHelper"));
    m_importMail->setEnabled(helper ? state.isEnabled(MainWindowCommand::ImportMail)
                                    : m_delegate && m_delegate->managedObjectContext());
    m_importOutlook->setEnabled(state.isEnabled(MainWindowCommand::ImportOutlook));
    m_mailMenu->setEnabled(
        state.isEnabled(m_mailMenuUsesOutlook ? MainWindowCommand::ImportOutlook : MainWindowCommand::ImportMail));
    m_remove->setEnabled(state.isEnabled(MainWindowCommand::RemoveAttachment));
    m_export->setEnabled(state.isEnabled(MainWindowCommand::ExportAttachments));
    m_open->setEnabled(state.isEnabled(MainWindowCommand::OpenAttachment));
    m_scan->setEnabled(state.isEnabled(MainWindowCommand::ScanEmail));
}
