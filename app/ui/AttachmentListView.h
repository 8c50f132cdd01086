#pragma once

#include "MailDrop.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class AttachmentEntity;
class AttachmentListModel;
class KeymoorAppDelegate;
class ProductEntity;
class QMimeData;
class QPushButton;
class MainWindowCommandState;
class ZRTableView;

// The attachments tab of the main window: the selected product's attached files with their icons and
// dates, buttons to attach, remove, export and scan, and drops of files, images and pasted messages.
// Every change goes through the controller.
class AttachmentListView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentListView)

public:
    explicit AttachmentListView(KeymoorAppDelegate* delegate, QWidget* parent = nullptr);
    ~AttachmentListView() override;

    void setProduct(ProductEntity* product);
    void reload();
    // Selects the attachment and scrolls to it; false when it is not in the list.
    bool selectAttachment(AttachmentEntity* attachment);
    QList<AttachmentEntity*> selectedAttachments() const;

    // What a drop on the list would do.
    enum class DropAction {
        Refuse,
        AttachFiles, // file names (also files promised by another program)
        AttachRawEmail, // plain text holding "Subject:", "From:" and "To:"
        AttachImage, // an image without a file: cached as a TIFF file named by a UUID
        AttachMail, // message data, a mail program's message addresses, mbox files: see MailDrop
    };
    // Refuses drags from inside Keymoor, drops without a product, and file lists holding an
    // unsupported type ("app").
    static DropAction dropAction(const QMimeData* data, bool fromInsideApplication, bool hasProduct);
    // Carries a drop out; answers whether anything was handed to the controller.
    bool acceptDrop(const QMimeData* data);

    // The commands of the buttons.
    void attachFiles();
    // Attaches the messages selected in the mail program (Outlook's helper when that is the one enabled).
    void attachSelectedMail();
    void removeSelected();
    // Opens the first selected attachment in its viewer window.
    void openSelected();
    void exportSelected();
    void scanSelectedEmail();

    AttachmentListModel* model() const { return m_model; }
    ZRTableView* table() const { return m_table; }
    // The enabling rules for the selection of this list, shown as the current tab.
    MainWindowCommandState commandState() const;

signals:
    // Values of the product changed (a scan wrote into it).
    void productChanged();
    // Mail was dropped for the shown product (AttachMail).
    void mailDropped(const MailDrop& mail);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void updateButtons();

    QPointer<KeymoorAppDelegate> m_delegate;
    AttachmentListModel* m_model = nullptr;
    ZRTableView* m_table = nullptr;
    QPushButton* m_attach = nullptr;
    QPushButton* m_mail = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_scan = nullptr;
};
