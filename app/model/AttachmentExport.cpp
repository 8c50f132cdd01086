#include "AttachmentExport.h"

#include "AttachedEmail.h"
#include "AttachmentEntity.h"
#include "ZRPathTools.h"
#include "base/FileWriting.h"
#include "base/Log.h"

#include <QDir>
#include <QFileInfo>

AttachmentExport AttachmentExport::forAttachment(const AttachmentEntity& attachment)
{
    AttachmentExport job;
    job.m_name = attachment.name();
    job.m_fileName = attachment.exportFileName();
    job.m_source = attachment.contentPath();
    job.m_email = dynamic_cast<const AttachedEmail*>(&attachment) != nullptr;
    return job;
}

QString AttachmentExport::exportToFolder(const QString& folder) const
{
    // The stored bytes of an e-mail are the raw message in its recorded encoding, so both kinds
    // export by copying the stored file; only the log lines differ.
    static const char* const emailOperation = "AttachedEmail::exportToFolder";
    if (m_email) {
        Log::write(QStringLiteral("Export email: %1 to folder: %2").arg(m_name, folder));
    }
    const QString target = folder.isEmpty() ? QString() : ZR_safeFilePath(QDir(folder).filePath(m_fileName));
    if (target.isEmpty()) {
        Log::write(m_email ? QStringLiteral("%1 Error creating save path!").arg(QLatin1String(emailOperation))
                           : QStringLiteral("Warning: export to folder path is nil."));
        return {};
    }
    if (m_source.isEmpty() || (m_email && !QFileInfo(m_source).isReadable())) {
        Log::write(
            m_email ? QStringLiteral("%1 Error retrieving email content for export.").arg(QLatin1String(emailOperation))
                    : QStringLiteral("Warning: export to folder attachment contentPath is nil."));
        return {};
    }
    QString error;
    if (!FileWriting::copyFile(m_source, target, &error)) {
        Log::write(m_email ? QStringLiteral("%1: error writing file. %2").arg(QLatin1String(emailOperation), error)
                           : QStringLiteral("Error exporting attachment to path:%1. Error: %2").arg(target, error));
        return {};
    }
    return target;
}
