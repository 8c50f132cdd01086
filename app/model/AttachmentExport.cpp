#include "AttachmentExport.h"

#include "AttachedEmail.h"
#include "AttachmentEntity.h"
#include "ZRPathTools.h"
#include "core/FileWriting.h"
#include "core/Log.h"

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
    return m_email ? exportEmailToFolder(folder) : exportFileToFolder(folder);
}

QString AttachmentExport::exportFileToFolder(const QString& folder) const
{
    const QString target = folder.isEmpty() ? QString() : ZR_safeFilePath(QDir(folder).filePath(m_fileName));
    if (target.isEmpty()) {
        Log::write(QStringLiteral("Warning: export to folder path is nil."));
        return {};
    }
    if (m_source.isEmpty()) {
        Log::write(QStringLiteral("Warning: export to folder attachment contentPath is nil."));
        return {};
    }
    QString error;
    if (!FileWriting::copyFile(m_source, target, &error)) {
        Log::write(QStringLiteral("Error exporting attachment to path:%1. Error: %2").arg(target, error));
        return {};
    }
    return target;
}

QString AttachmentExport::exportEmailToFolder(const QString& folder) const
{
    // The stored bytes of an e-mail are the raw message in its recorded encoding, so the copy is
    // the message file.
    static const char* const operation = "AttachedEmail::exportToFolder";
    Log::write(QStringLiteral("Export email: %1 to folder: %2").arg(m_name, folder));
    const QString target = folder.isEmpty() ? QString() : ZR_safeFilePath(QDir(folder).filePath(m_fileName));
    if (target.isEmpty()) {
        Log::write(QStringLiteral("%1 Error creating save path!").arg(QLatin1String(operation)));
        return {};
    }
    if (m_source.isEmpty() || !QFileInfo(m_source).isReadable()) {
        Log::write(QStringLiteral("%1 Error retrieving email content for export.").arg(QLatin1String(operation)));
        return {};
    }
    QString error;
    if (!FileWriting::copyFile(m_source, target, &error)) {
        Log::write(QStringLiteral("%1: error writing file. %2").arg(QLatin1String(operation), error));
        return {};
    }
    return target;
}
