#pragma once

#include "attachments/MailLicenceFinder.h"
#include "persistence/ObjectID.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>

class KeymoorAppDelegate;
class MailProposalTable;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// "Find Licences in Mail…": choose a mail store (or take the dropped files), an optional first
// date, and scan it on the background-job tracker, with the count of messages read and Cancel. The
// proposals found are listed to be ticked, retitled and added as products in one saved change.
class MailLicenceSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailLicenceSheet)

public:
    // The name of the scan job on the tracker.
    static constexpr const char* ScanJobName = "MailLicenceScan";

    // `defaultMailProgramId`: the desktop file ID of the default mail program, to preselect its
    // store; empty asks the desktop (only when no source is stored in the preferences).
    explicit MailLicenceSheet(KeymoorAppDelegate* delegate, QWidget* parent = nullptr,
                              const QString& defaultMailProgramId = QString());
    // Cancels a scan still running; its result is dropped.
    ~MailLicenceSheet() override;

    // Reads these files (a dropped mbox, saved messages) instead of a mail program's store.
    void setDroppedFiles(const QStringList& paths);
    // The files or folders the scan reads.
    QStringList sourcePaths() const;

    void startScan();
    void cancelScan();
    bool isScanning() const { return m_scan != nullptr; }
    // Adds the ticked proposals; on success the sheet closes and productsAdded is emitted.
    void addCheckedProposals();

    MailProposalTable* table() const { return m_table; }

signals:
    void productsAdded(const QList<Persistence::ObjectID>& productIDs);

private:
    struct ScanState;

    void buildSourceRow(const QString& defaultMailProgramId);
    void buildSinceRow();
    void buildButtons();
    void sourceChanged();
    void chooseSource();
    void scanFinished(const std::shared_ptr<ScanState>& state);
    void showProgress();
    void updateButtons();
    void alert(const QString& title, const QString& message);

    QPointer<KeymoorAppDelegate> m_delegate;
    QStringList m_droppedFiles;
    QComboBox* m_source = nullptr;
    QLabel* m_path = nullptr;
    QPushButton* m_choose = nullptr;
    QCheckBox* m_sinceOn = nullptr;
    QDateEdit* m_since = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_addButton = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    MailProposalTable* m_table = nullptr;
    QTimer* m_progressTimer = nullptr;
    std::shared_ptr<ScanState> m_scan;
};
