#pragma once

#include <QObject>
#include <QString>

class AttachmentService;
class LibrarySession;
struct MailClientSelection;

// Attaching what is selected in the person's mail program: a helper program ("MailHelper",
// "OutlookHelper") hands over the selected messages and their attached files on a thread of its
// own; they are then attached to the selected product on the main thread, without a scan.
class MailImportService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailImportService)

public:
    MailImportService(LibrarySession& session, AttachmentService& attachments, QObject* parent = nullptr);
    ~MailImportService() override;

    // Attaches the messages selected in the mail client, and their attached files, through the
    // helper program of that name: the helper runs on a thread of its own, the attaching happens on
    // the main thread without a scan. A missing helper is reported with an alert and answers false.
    bool importSelectedMailViaHelper(const QString& helperName);
    // The two mail programs of the attachments tab: show the tab, then import through their helper.
    void attachSelectedEmail();
    void attachSelectedEmailFromOutlook();
    void showMissingScriptAlert(const QString& helperName);

    // Whether the person installed a helper program of that name in their own helper folder (the
    // first of the search folders). The helpers shipped with Keymoor stand in for mail programs of
    // another platform and answer nothing, so they are not offered.
    static bool isHelperInstalled(const QString& helperName);

private:
    void attachMailSelection(const MailClientSelection& selection, const QString& folder);

    LibrarySession& m_session;
    AttachmentService& m_attachments;
};
