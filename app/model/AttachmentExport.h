#pragma once

#include <QString>

class AttachmentEntity;

// What exporting one attached file needs, read from its record on the record's thread, so that the
// copying itself can run on any thread without touching the record.
class AttachmentExport
{
public:
    static AttachmentExport forAttachment(const AttachmentEntity& attachment);

    // The attachment's name, for messages about it.
    const QString& name() const { return m_name; }

    // Copies the stored file into the folder under the export name, made unique, never replacing a
    // file. Answers the written path, or empty after a log line when nothing was written.
    QString exportToFolder(const QString& folder) const;

private:
    QString m_name;
    QString m_fileName;
    QString m_source;
    bool m_email = false;
};
