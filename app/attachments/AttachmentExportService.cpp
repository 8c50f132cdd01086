#include "AttachmentExportService.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/UserInterface.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "model/AttachmentExport.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <memory>

namespace {

struct AttachmentExportResult
{
    QStringList written;
    QStringList failedNames;
};

} // namespace

AttachmentExportService::AttachmentExportService(LibrarySession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{ }

AttachmentExportService::~AttachmentExportService() = default;

void AttachmentExportService::exportSelectedAttachments(const QList<AttachmentEntity*>& attachments)
{
    UserInterface* ui = m_session.userInterface();
    if (attachments.isEmpty() || !ui) {
        return;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("ChooseExportFolder"));
    options.startFolder = m_session.userPrefs().expandedPath(PreferenceKeys::ExportAttachmentPath);
    options.chooseFiles = false;
    options.chooseFolders = true;
    options.canCreateFolders = true;
    const std::optional<QStringList> folders = ui->runOpenPanel(options);
    if (folders && !folders->isEmpty()) {
        exportSelectedAttachmentsToFolder(attachments, folders->first());
    }
}

bool AttachmentExportService::exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments,
                                                                const QString& folder)
{
    if (folder.isEmpty()) {
        Log::write(QStringLiteral("Warning: exportSelectedAttachmentsToFolder: nil"));
        return false;
    }
    m_session.userPrefs().setExportAttachmentPath(folder);
    // The records are read here; the background thread only copies files.
    QList<AttachmentExport> exports;
    for (const AttachmentEntity* attachment : attachments) {
        exports.append(AttachmentExport::forAttachment(*attachment));
    }
    if (UserInterface* ui = m_session.userInterface()) {
        ui->startProgress(localizedString(attachments.size() >= 2
                                              ? QStringLiteral("ExportSelectedAttachmentsProgressMessage")
                                              : QStringLiteral("ExportSelectedAttachmentProgressMessage")));
    }
    auto result = std::make_shared<AttachmentExportResult>();
    m_session.jobs().start(
        ExportJob,
        [exports, folder, result]() -> std::optional<QString> {
            for (const AttachmentExport& attachment : exports) {
                const QString path = attachment.exportToFolder(folder);
                if (path.isEmpty()) {
                    result->failedNames.append(attachment.name());
                } else {
                    result->written.append(path);
                }
            }
            if (result->failedNames.isEmpty()) {
                return std::nullopt;
            }
            return result->failedNames.join(QStringLiteral(", "));
        },
        [this, result] { attachmentExportDidFinish(result->written, result->failedNames); },
        BackgroundJobTracker::Placement::Queue, this);
    return true;
}

void AttachmentExportService::attachmentExportDidFinish(const QStringList& written, const QStringList& failedNames)
{
    UserInterface* ui = m_session.userInterface();
    if (ui && m_session.jobs().runningCount(ExportJob) == 0) {
        ui->stopProgress();
    }
    if (ui && !failedNames.isEmpty()) {
        showNotice(ui, AlertStyle::Warning, localizedString(QStringLiteral("ExportAttachmentsFailedTitle")),
                   localizedFormat(QStringLiteral("ExportAttachmentsFailedMessageFormat"),
                                   {failedNames.join(QStringLiteral(", "))}));
    }
    emit attachmentsExported(written, failedNames);
}

void AttachmentExportService::waitForAttachmentExports()
{
    m_session.jobs().waitFor(ExportJob);
}
