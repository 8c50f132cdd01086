#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class AttachmentEntity;
class LibrarySession;

// Exporting attached files into a folder: the records are read on the main thread, the files are
// copied by a job on the background queue under the progress sheet, and the person is told which
// attachments could not be written.
class AttachmentExportService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentExportService)

public:
    // The kind of background job of exporting.
    static inline const QString ExportJob = QStringLiteral("AttachmentExport");

    explicit AttachmentExportService(LibrarySession& session, QObject* parent = nullptr);
    ~AttachmentExportService() override;

    // Asks for a folder, then exports the attachments into it.
    void exportSelectedAttachments(const QList<AttachmentEntity*>& attachments);
    // Remembers the folder as "Export Attachment Path" and exports each attachment into it on a
    // background thread, under the progress sheet; `attachmentsExported` follows on this thread, and
    // the person is told which attachments could not be written. False when nothing was started.
    bool exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments, const QString& folder);
    // Runs the event loop until every started attachment export has finished.
    void waitForAttachmentExports();

signals:
    // An attachment export ended: the files written, and the names of attachments that were not.
    void attachmentsExported(const QStringList& written, const QStringList& failedNames);

private:
    void attachmentExportDidFinish(const QStringList& written, const QStringList& failedNames);

    LibrarySession& m_session;
};
