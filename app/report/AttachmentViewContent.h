#pragma once

#include "WebArchive.h"

#include <QByteArray>
#include <QString>

#include <optional>

class AttachmentEntity;

// What the attachment viewer shows for one attached file, decided and prepared without widgets:
// an e-mail as its HTML or its readable text, a PDF document, an image, a text file, a saved web
// page, or, for anything else, the file's icon.
class AttachmentViewContent
{
public:
    enum class Kind {
        Html, // an e-mail's HTML: text() holds it
        Text, // text() holds what is shown
        Pdf, // filePath() is the stored document
        Image, // filePath() is the stored image
        WebArchive, // webArchive() holds the page
        Icon, // nothing to show but the attachment's icon
    };

    static AttachmentViewContent forAttachment(const AttachmentEntity& attachment);

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    const QString& filePath() const { return m_filePath; }
    const std::optional<WebArchive>& webArchive() const { return m_archive; }

    // The bytes an e-mail's HTML refers to as "cid:<contentId>": the stored file of an attachment
    // named `contentId` (ignoring case, taken literally) of a product titled like the shown
    // attachment's product (ignoring case). Nothing when there is none.
    static std::optional<QByteArray> inlineResource(const AttachmentEntity& shown, const QString& contentId);

private:
    static AttachmentViewContent emailContent(const AttachmentEntity& attachment);
    static AttachmentViewContent textContent(const AttachmentEntity& attachment);

    Kind m_kind = Kind::Icon;
    QString m_text;
    QString m_filePath;
    std::optional<WebArchive> m_archive;
};
