#pragma once

#include "MainWindowCommandState.h"

#include <QObject>
#include <QPointer>

class AttachmentListView;
class KeymoorAppDelegate;
class QAction;
class QMenu;

// The menu items and toolbar items of the attachment commands: attaching files and mail, and
// opening, exporting, scanning and removing the selected attached files of the attachments tab.
class AttachmentActions : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentActions)

public:
    AttachmentActions(KeymoorAppDelegate* delegate, AttachmentListView* view, QWidget* parent);
    ~AttachmentActions() override;

    // Adds the items to a menu (the Product menu).
    void addToMenu(QMenu* menu);
    // Enables the items for the window's selection; the menu's mail item follows the default mail
    // program ("Microsoft Outlook" or "Apple Mail").
    void update(const MainWindowCommandState& state, const QString& defaultMailReader);

    QAction* attachFileAction() const { return m_attachFile; }
    QAction* importMailAction() const { return m_importMail; }
    QAction* importOutlookAction() const { return m_importOutlook; }
    QAction* mailMenuAction() const { return m_mailMenu; }
    QAction* removeAttachmentAction() const { return m_remove; }

signals:
    // The toolbar's Import Mail item, while no mail helper of the person's own is installed.
    void findLicencesInMailRequested();

private:
    QAction* makeAction(const QString& text, const QString& objectName, void (AttachmentListView::*command)());
    QAction* makeMailAction(const QString& text, const QString& objectName, bool outlook);
    void importMail(bool outlook);

    QPointer<KeymoorAppDelegate> m_delegate;
    AttachmentListView* m_view;
    QWidget* m_parent;
    bool m_mailMenuUsesOutlook = false;
    QAction* m_attachFile = nullptr;
    QAction* m_importMail = nullptr;
    QAction* m_importOutlook = nullptr;
    QAction* m_mailMenu = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_export = nullptr;
    QAction* m_open = nullptr;
    QAction* m_scan = nullptr;
};
