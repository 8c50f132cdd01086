#include "MailImportService.h"

#include "AttachmentService.h"
#include "MailClientImport.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/UserInterface.h"
#include "import/MailScriptHelper.h"
#include "import/MissingScriptAlert.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"

#include <QFileInfo>

#include <memory>

MailImportService::MailImportService(LibrarySession& session, AttachmentService& attachments, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_attachments(attachments)
{ }

MailImportService::~MailImportService() = default;

void MailImportService::attachSelectedEmail()
{
    emit m_attachments.showAttachmentsTab();
    importSelectedMailViaHelper(QStringLiteral("MailHelper"));
}

void MailImportService::attachSelectedEmailFromOutlook()
{
    emit m_attachments.showAttachmentsTab();
    importSelectedMailViaHelper(QStringLiteral("OutlookHelper"));
}

void MailImportService::showMissingScriptAlert(const QString& helperName)
{
    ::showMissingScriptAlert(m_session.userInterface(), helperName);
}

bool MailImportService::isHelperInstalled(const QString& helperName)
{
    const QStringList folders = MailScriptHelper::sharedHelper().searchFolders();
    const QString path = MailScriptHelper::sharedHelper().pathForScript(helperName);
    return !path.isEmpty() && !folders.isEmpty()
        && QFileInfo(path).absolutePath() == QFileInfo(folders.first()).absoluteFilePath();
}

bool MailImportService::importSelectedMailViaHelper(const QString& helperName)
{
    MailScriptHelper& helper = MailScriptHelper::sharedHelper();
    const QString helperPath = helper.pathForScript(helperName);
    if (helperPath.isEmpty()) {
        showMissingScriptAlert(helperName);
        return false;
    }
    const QString folder = LibraryPaths::applicationCacheFolder();
    UserInterface* ui = m_session.userInterface();
    if (ui) {
        ui->startProgress(localizedString(QStringLiteral("ImportingSelectedMailMessage")));
    }
    // The helper runs on a thread of its own; the attaching happens on the main thread.
    auto selection = std::make_shared<MailClientSelection>();
    m_session.jobs().start(
        AttachmentService::MailImportJob,
        [selection, &helper, helperPath, folder] {
            *selection = MailClientImport::fetchSelection(helper, helperPath, folder);
            return std::optional<QString>();
        },
        [this, selection, folder, ui] {
            attachMailSelection(*selection, folder);
            if (ui) {
                ui->stopProgress();
            }
        },
        BackgroundJobTracker::Placement::OwnThread, this);
    return true;
}

void MailImportService::attachMailSelection(const MailClientSelection& selection, const QString& folder)
{
    // Messages and files from the mail client are attached at once and not scanned; each list stops
    // at its first failure, and the attached files are taken even when a message failed.
    for (const QString& text : selection.messageTexts.value_or(QStringList())) {
        if (!m_attachments.attachEmailRawSourceToSelectedProduct(text, false)) {
            break;
        }
    }
    for (const QString& path :
         MailClientImport::attachmentPaths(selection.attachmentNames.value_or(QStringList()), folder)) {
        if (!m_attachments.attachDocumentsToSelectedProduct({path}, false)) {
            break;
        }
    }
}
