#pragma once

#include "persistence/ObjectID.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class KeymoorAppDelegate;
class MailLicenceSheet;
class QAction;
class QWidget;
struct MailDrop;

// The window's ways into finding licences in mail: File > Find Licences in Mail…, and mail
// dropped on the products list (searched in the sheet) or on the attachments tab (attached to the
// shown product; an mbox opens the sheet). Messages that arrive as data are first saved as ".eml"
// files in the cache folder, so the sheet and the attaching read them like any other file.
class MailLicenceCommands : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailLicenceCommands)

public:
    MailLicenceCommands(KeymoorAppDelegate* delegate, QWidget* window);
    ~MailLicenceCommands() override;

    QAction* findAction() const { return m_find; }
    // The sheet, made for this call; with paths it reads those files.
    MailLicenceSheet* showSheet(const QStringList& paths = {});
    MailLicenceSheet* sheet() const;

    // Answers whether anything was done with the drop.
    bool productListDrop(const MailDrop& mail);
    bool attachmentsDrop(const MailDrop& mail);

    // The desktop file ID handed to new sheets (tests); empty asks the desktop.
    void setDefaultMailProgramId(const QString& id) { m_defaultMailProgramId = id; }

    // What the sheet did when it closed: the products it added, or why there were none.
    static QString addedMessage(int added, bool scanned, int found);

signals:
    void productsAdded(const QList<Persistence::ObjectID>& productIDs);
    // What a command did, for the window's status bar.
    void statusMessage(const QString& message);

private:
    // Tells the person which addresses could not be read and how to drop the message instead;
    // answers whether there were any.
    bool reportUnresolved(const QStringList& addresses);
    QStringList cachedMessageFiles(const QList<QByteArray>& messages);
    void watchSheet(MailLicenceSheet* sheet);

    QPointer<KeymoorAppDelegate> m_delegate;
    QWidget* m_window;
    QAction* m_find = nullptr;
    QPointer<MailLicenceSheet> m_sheet;
    QString m_defaultMailProgramId;
};
